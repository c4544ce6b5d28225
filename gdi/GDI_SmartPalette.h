#pragma once
// Selects a palette as the foreground palette and realises it for the guard's
// lifetime. On a true-colour device this changes no pixel.
#include "glo/GLO_Exception.h"
#include "plat/PLAT_Gdi.h"

namespace gdi {

class SmartPalette_t {
 public:
  SmartPalette_t(plat::Dc_t& dc, const plat::Palette_t& palette) : m_dc(&dc) {
    m_previous = dc.SelectPalette(palette.GetSafeHandle(), false);
    if (m_previous.IsNull()) throw glo::Assert_t(GLO_SRC);
    dc.RealizePalette();
  }
  SmartPalette_t(const SmartPalette_t&) = delete;
  SmartPalette_t& operator=(const SmartPalette_t&) = delete;

  // Selects the previous palette back. A destructor never throws: a failed
  // restore is checked and discarded.
  virtual ~SmartPalette_t() {
    try {
      if (m_dc->SelectPalette(m_previous, false).IsNull()) throw glo::Assert_t(GLO_SRC);
    } catch (...) {
    }
  }

 private:
  plat::Dc_t* m_dc;
  plat::GdiHandle_t m_previous;
};

}  // namespace gdi
