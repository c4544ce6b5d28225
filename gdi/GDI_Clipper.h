#pragma once
// Saves a device context's clip region and restores it at the end, so a drawing
// routine may change the clipping freely.
#include "gdi/GDI_Region.h"
#include "plat/PLAT_Gdi.h"
#include "win/WIN_Exception.h"

namespace gdi {

class Clipper_t {
 public:
  // Saves the clip region and removes all clipping.
  explicit Clipper_t(plat::Dc_t& dc) : m_dc(&dc) {
    Save();
    m_dc->SelectClipRgn(plat::GdiHandle_t());
  }
  // Saves the clip region and intersects the current clipping with the rectangle.
  Clipper_t(plat::Dc_t& dc, const plat::RECT& rect) : m_dc(&dc) {
    Save();
    if (m_dc->IntersectClipRect(rect.left, rect.top, rect.right, rect.bottom) == plat::kRegionError)
      throw win::Error_t(GLO_SRC);
  }
  Clipper_t(const Clipper_t&) = delete;
  Clipper_t& operator=(const Clipper_t&) = delete;

  // Selects the saved region back, or removes clipping when there was none.
  virtual ~Clipper_t() {
    try {
      m_dc->SelectClipRgn(m_hadClip ? m_saved.GetSafeHandle() : plat::GdiHandle_t());
    } catch (...) {
    }
  }

 private:
  void Save() {
    const int r = m_dc->GetClipRgn(m_saved);
    if (r == -1) throw win::Error_t(GLO_SRC);
    m_hadClip = r == 1;
  }

  plat::Dc_t* m_dc;
  Region_t m_saved;
  bool m_hadClip = false;
};

}  // namespace gdi
