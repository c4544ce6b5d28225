#pragma once
// Selects an object into a device context and restores the previous one at the end.
#include "plat/PLAT_Gdi.h"
#include "win/WIN_Exception.h"

namespace gdi {

class SmartSelectObj_t {
 public:
  SmartSelectObj_t(plat::Dc_t& dc, const plat::GdiHandle_t& object) : m_dc(&dc) {
    m_previous = dc.SelectObject(object);
    if (m_previous.IsNull()) throw win::Error_t(GLO_SRC);
  }
  SmartSelectObj_t(const SmartSelectObj_t&) = delete;
  SmartSelectObj_t& operator=(const SmartSelectObj_t&) = delete;
  virtual ~SmartSelectObj_t() {
    try {
      if (!m_previous.IsNull()) m_dc->SelectObject(m_previous);
    } catch (...) {
    }
  }

 private:
  plat::Dc_t* m_dc;
  plat::GdiHandle_t m_previous;
};

}  // namespace gdi
