#pragma once
// Writing text to the clipboard. A writer collects the data; when it ends it
// hands the data to the system clipboard, which keeps it after the program
// ends. A failure to hand it over is swallowed.
#include <memory>
#include <string>

#include "glo/GLO_NonCopyable.h"

namespace afx {

// A block of clipboard data.
class OClipData_t {
 public:
  virtual ~OClipData_t();
  const std::string& Bytes() const { return m_bytes; }

 protected:
  explicit OClipData_t(std::string bytes) : m_bytes(std::move(bytes)) {}

 private:
  std::string m_bytes;
};

// A text block: the text and its terminating zero.
class OClipText_t : public OClipData_t {
 public:
  explicit OClipText_t(const std::string& text);
  std::string Text() const { return Bytes().substr(0, Bytes().size() - 1); }
};

class OClipboard_t : glo::NonCopyable_t {
 public:
  OClipboard_t();
  // Hands the data to the clipboard; failures are swallowed.
  virtual ~OClipboard_t();

 private:
  friend void SetClipboardText(OClipboard_t& writer, const std::string& text);
  std::unique_ptr<OClipText_t> m_text;
};

// Caches the text in the writer as its text data.
void SetClipboardText(OClipboard_t& writer, const std::string& text);

}  // namespace afx
