#pragma once
// Restores a device context's background colour and mode when it ends.
#include "plat/PLAT_Gdi.h"

namespace gdi {

class BkModeSaver_t {
 public:
  explicit BkModeSaver_t(plat::Dc_t& dc) : m_dc(&dc), m_colour(dc.GetBkColor()), m_mode(dc.GetBkMode()) {}
  BkModeSaver_t(const BkModeSaver_t&) = delete;
  BkModeSaver_t& operator=(const BkModeSaver_t&) = delete;
  virtual ~BkModeSaver_t() {
    try {
      m_dc->SetBkColor(m_colour);
      m_dc->SetBkMode(m_mode);
    } catch (...) {
    }
  }

 private:
  plat::Dc_t* m_dc;
  plat::COLORREF m_colour;
  int m_mode;
};

}  // namespace gdi
