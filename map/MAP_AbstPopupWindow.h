#pragma once
// Small windows drawn over the map: a marker ("pip") at a feature and text
// popups. They are not real windows: each saves the pixels under its rectangle
// when shown and puts them back when hidden, so the map never has to be drawn
// again for them.
#include <memory>
#include <string>

#include "plat/PLAT_Gdi.h"
#include "plat/PLAT_ImageList.h"

namespace map {

class Window_t;

class AbstPopupWindow_t {
 public:
  AbstPopupWindow_t() = default;
  AbstPopupWindow_t(const AbstPopupWindow_t&) = delete;
  AbstPopupWindow_t& operator=(const AbstPopupWindow_t&) = delete;
  virtual ~AbstPopupWindow_t();

  // glo::Exception_t (empty message) while the window holds saved pixels.
  virtual void SetRect(const plat::RECT& rect);
  virtual void Paint(plat::Dc_t& dc) = 0;

  // Saves the pixels under the rectangle (every time), then paints clipped to
  // it. An empty rectangle at the first show is glo::Exception_t; context and
  // bitmap failures win::Error_t.
  void Show(plat::Dc_t& dc);
  // Puts the saved pixels back; a window never shown is glo::Exception_t.
  void Hide(plat::Dc_t& dc);

  const plat::RECT& GetRect() const { return m_rect; }
  bool HasSaved() const { return static_cast<bool>(m_saved); }

 private:
  std::unique_ptr<plat::Bitmap_t> m_saved;
  plat::RECT m_rect{0, 0, 0, 0};
};

// A 7 x 7 square around the anchor: black with a white edge, or inverted.
class PipWindow_t : public AbstPopupWindow_t {
 public:
  PipWindow_t(plat::POINT anchor, bool inverted);
  void Paint(plat::Dc_t& dc) override;

 private:
  bool m_inverted;
};

// A white disc around the anchor with a symbol image in its middle, large
// enough for the image's visible part.
class IconPipWindow_t : public AbstPopupWindow_t {
 public:
  IconPipWindow_t(plat::POINT anchor, const plat::ImageList_t& images, int iconIndex);
  void Paint(plat::Dc_t& dc) override;

 private:
  int m_iconIndex;
  const plat::ImageList_t* m_images;
  int m_iconX;
  int m_iconY;
};

// One line of text in a framed box whose lower left corner lies 5 pixels
// right of and above the anchor, kept inside the window's client area.
class PopupWindow_t : public AbstPopupWindow_t {
 public:
  PopupWindow_t(const std::string& text, plat::POINT anchor, Window_t& window, plat::COLORREF fill);
  void Paint(plat::Dc_t& dc) override;

 private:
  plat::COLORREF m_fill;
  std::string m_text;
};

// The font of the popups: the user's map font at 0.83 of its size, made once.
const plat::Font_t& GetPopupFont();

}  // namespace map
