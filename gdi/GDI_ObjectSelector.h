#pragma once
// Selects drawing objects into a device context, remembering the object that the
// first selection replaced, and selects that one back at the end.
#include "plat/PLAT_Gdi.h"
#include "win/WIN_Exception.h"

namespace gdi {

class ObjectSelector_t {
 public:
  explicit ObjectSelector_t(plat::Dc_t& dc) : m_dc(&dc) {}
  ObjectSelector_t(plat::Dc_t& dc, const plat::GdiHandle_t& object) : m_dc(&dc) { Select(object); }
  ObjectSelector_t(plat::Dc_t& dc, const plat::GdiObject_t& object) : m_dc(&dc) {
    Select(object.GetSafeHandle());
  }
  ObjectSelector_t(const ObjectSelector_t&) = delete;
  ObjectSelector_t& operator=(const ObjectSelector_t&) = delete;

  virtual ~ObjectSelector_t() {
    try {
      if (!m_first.IsNull()) m_dc->SelectObject(m_first);
    } catch (...) {
    }
  }

  // Selects an object; the first selection remembers the object it replaces.
  // A failed selection raises win::Error_t.
  void Select(const plat::GdiHandle_t& object) {
    if (m_first.IsNull()) {
      m_first = m_dc->SelectObject(object);
      if (m_first.IsNull()) throw win::Error_t(GLO_SRC);
    } else {
      if (m_dc->SelectObject(object).IsNull()) throw win::Error_t(GLO_SRC);
    }
  }
  void Select(const plat::GdiObject_t& object) { Select(object.GetSafeHandle()); }

  // The same with a stock object.
  void SelectStockObject(int index) {
    if (m_first.IsNull()) {
      m_first = m_dc->SelectStockObject(index);
      if (m_first.IsNull()) throw win::Error_t(GLO_SRC);
    } else {
      if (m_dc->SelectStockObject(index).IsNull()) throw win::Error_t(GLO_SRC);
    }
  }

 private:
  plat::Dc_t* m_dc;
  plat::GdiHandle_t m_first;
};

}  // namespace gdi
