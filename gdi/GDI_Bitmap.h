#pragma once
// A bitmap with an optional palette of its own, drawn as a whole at a point.
#include "glo/GLO_AutoPtr.h"
#include "plat/PLAT_Gdi.h"

namespace gdi {

class Bitmap_t : public plat::Bitmap_t {
 public:
  Bitmap_t() = default;
  // Deletes the owned palette, then the bitmap.
  ~Bitmap_t() override;

  // Gives the bitmap a palette of its own (the bitmap takes ownership).
  void SetPalette(plat::Palette_t* palette) { m_palette.Reset(palette); }
  plat::Palette_t* GetPalette() const { return m_palette.Get(); }

  // Copies the whole bitmap to (x, y) of the device context through a memory
  // context; on a palette device the bitmap's palette is selected and realised
  // for the copy. A memory context that cannot be made raises win::Error_t.
  void Draw(plat::Dc_t& dc, int x, int y) const;

 private:
  glo::AutoPtr_t<plat::Palette_t> m_palette;
};

}  // namespace gdi
