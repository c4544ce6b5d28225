#pragma once
// Rich edit controls ("richedit"): formatted text in paragraphs, each with its
// alignment, its characters with their font face. The window text is the plain
// text with "\r\n" between paragraphs. The user can select and copy the text;
// with kEsReadOnly (the template flag "readonly") nothing can be typed.
#include <string>

#include "plat/PLAT_Window.h"

namespace plat {

// Paragraph alignments (the classic values).
enum : int { kPfaLeft = 1, kPfaRight = 2, kPfaCenter = 3 };

class RichEditCtrl_t : public Wnd_t {
 public:
  bool Create(Wnd_t* parent, int id, std::uint32_t style, const RECT& rect) {
    return CreateControl("richedit", parent, id, style, rect, std::string());
  }
  // Appends the text at the end. "\r\n" (a lone "\n" too) starts a new
  // paragraph; the text's first line continues the last paragraph. Every
  // paragraph the text touches, the last one included, takes the alignment; the
  // appended characters take the face (empty: the control's font).
  void AppendText(const std::string& text, int alignment, const std::string& face);
  // The text's length in characters, a paragraph break counting as two ("\r\n").
  int GetTextLength() const;

  // Paragraphs, counted from 0 (an empty control has one, empty).
  int GetParagraphCount() const;
  std::string GetParagraphText(int paragraph) const;
  int GetParagraphAlignment(int paragraph) const;  // 0 for a bad index
  // The face of the paragraph's first character (of its format when it is empty).
  std::string GetParagraphFace(int paragraph) const;
};

}  // namespace plat
