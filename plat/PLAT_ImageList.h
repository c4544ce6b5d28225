#pragma once
// Image lists: equal-sized images cut from bitmap strips, with a colour key
// that marks the pixels an image leaves alone when it is drawn.
#include <memory>
#include <vector>

#include "plat/PLAT_Dc.h"
#include "plat/PLAT_GdiObject.h"

namespace plat {

// No background colour: masked pixels show what lies under the image.
constexpr COLORREF kClrNone = 0xFFFFFFFFu;

class ImageList_t {
 public:
  ImageList_t() = default;
  ImageList_t(const ImageList_t&) = delete;
  ImageList_t& operator=(const ImageList_t&) = delete;

  // An empty list of images of cx x cy pixels; false (last error 87) for a
  // size below 1.
  bool Create(int cx, int cy);
  bool IsCreated() const { return m_cx > 0; }

  // Cuts the bitmap into images of the list's width (left to right; a rest
  // narrower than an image is dropped) and adds them; pixels of the mask
  // colour (a palette-relative RGB counts as the plain RGB) are masked. The
  // index of the first image added, -1 when none could be.
  int AddMasked(const GdiHandle_t& bitmap, COLORREF maskColour);

  // Draws an image with its top left corner at (x, y): masked pixels are left
  // alone, or filled with the background colour when one is set.
  bool Draw(Dc_t& dc, int index, int x, int y) const;

  COLORREF SetBkColor(COLORREF colour);
  COLORREF GetBkColor() const { return m_bkColour; }
  int GetImageCount() const { return static_cast<int>(m_images.size()); }
  SIZE GetImageSize() const { return SIZE{m_cx, m_cy}; }
  // The smallest rectangle (image coordinates) that holds every unmasked
  // pixel of the image; empty for an image that is all mask or no image.
  RECT GetVisibleRect(int index) const;

 private:
  struct Image_t {
    Bitmap_t pixels;               // cx x cy
    std::vector<bool> masked;      // row by row
    COLORREF key = 0;              // the mask colour
  };
  int m_cx = 0;
  int m_cy = 0;
  COLORREF m_bkColour = kClrNone;
  std::vector<std::unique_ptr<Image_t>> m_images;
};

}  // namespace plat
