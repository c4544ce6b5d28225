#pragma once
// Base of the guards that create a drawing object, select it into a device
// context and put the previous object back when they end.
#include "plat/PLAT_Gdi.h"

namespace gdi {

class SmartGdiObj_t {
 public:
  explicit SmartGdiObj_t(plat::Dc_t& dc) : m_dc(&dc) {}
  SmartGdiObj_t(const SmartGdiObj_t&) = delete;
  SmartGdiObj_t& operator=(const SmartGdiObj_t&) = delete;
  virtual ~SmartGdiObj_t() = default;

  plat::Dc_t& GetDc() const { return *m_dc; }

 protected:
  plat::Dc_t* m_dc;
};

}  // namespace gdi
