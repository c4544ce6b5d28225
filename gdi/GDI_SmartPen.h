#pragma once
// A pen selected into a device context for the guard's lifetime.
#include <string>

#include "gdi/GDI_SmartGdiObj.h"
#include "plat/PLAT_Error.h"
#include "glo/GLO_Exception.h"
#include "win/WIN_Exception.h"

namespace gdi {

class SmartPen_t : public SmartGdiObj_t {
 public:
  // Selects nothing yet; see Create.
  explicit SmartPen_t(plat::Dc_t& dc) : SmartGdiObj_t(dc) {}
  // Creates a pen (style plat::kPsSolid ..., width, colour) and selects it.
  SmartPen_t(plat::Dc_t& dc, int style, int width, plat::COLORREF colour) : SmartGdiObj_t(dc) {
    Create(style, width, colour);
  }
  // Selects a stock pen (kWhitePen, kBlackPen, kNullPen).
  SmartPen_t(plat::Dc_t& dc, int stockIndex) : SmartGdiObj_t(dc) {
    const plat::GdiHandle_t stock = plat::GetStockObject(stockIndex);
    if (stock.Kind() != plat::GdiKind::Pen) throw win::Error_t(GLO_SRC, plat::kErrorInvalidParameter);
    SelectOwn(stock);
  }

  ~SmartPen_t() override {
    try {
      if (!m_previous.IsNull()) m_dc->SelectObject(m_previous);
    } catch (...) {
    }
  }

  // Creates a pen and selects it; a guard that has selected a pen already
  // raises glo::Exception_t with an empty message.
  void Create(int style, int width, plat::COLORREF colour) {
    if (!m_previous.IsNull()) throw glo::Exception_t(GLO_SRC, std::string());
    plat::Pen_t pen;
    if (!pen.CreatePen(style, width, colour)) throw win::Error_t(GLO_SRC);
    SelectOwn(pen.GetSafeHandle());
    m_pen.Attach(pen.Detach());
  }

  const plat::Pen_t& GetPen() const { return m_pen; }

 private:
  void SelectOwn(const plat::GdiHandle_t& pen) {
    plat::GdiHandle_t previous = m_dc->SelectObject(pen);
    if (previous.IsNull()) throw win::Error_t(GLO_SRC);
    m_previous = previous;
  }

  plat::Pen_t m_pen;
  plat::GdiHandle_t m_previous;
};

}  // namespace gdi
