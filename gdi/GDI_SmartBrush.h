#pragma once
// A solid brush selected into a device context for the guard's lifetime.
#include <string>

#include "gdi/GDI_SmartGdiObj.h"
#include "plat/PLAT_Error.h"
#include "glo/GLO_Exception.h"
#include "win/WIN_Exception.h"

namespace gdi {

class SmartBrush_t : public SmartGdiObj_t {
 public:
  // Selects nothing yet; see CreateSolid.
  explicit SmartBrush_t(plat::Dc_t& dc) : SmartGdiObj_t(dc) {}
  // Creates a solid brush of the colour and selects it.
  SmartBrush_t(plat::Dc_t& dc, plat::COLORREF colour) : SmartGdiObj_t(dc) { CreateSolid(colour); }
  // Selects a stock brush (kWhiteBrush ... kNullBrush).
  SmartBrush_t(plat::Dc_t& dc, int stockIndex) : SmartGdiObj_t(dc) {
    const plat::GdiHandle_t stock = plat::GetStockObject(stockIndex);
    if (stock.Kind() != plat::GdiKind::Brush) throw win::Error_t(GLO_SRC, plat::kErrorInvalidParameter);
    SelectOwn(stock);
  }

  ~SmartBrush_t() override {
    try {
      if (!m_previous.IsNull()) m_dc->SelectObject(m_previous);
    } catch (...) {
    }
  }

  // Creates a solid brush and selects it; a guard that has selected a brush
  // already raises glo::Exception_t with an empty message.
  void CreateSolid(plat::COLORREF colour) {
    if (!m_previous.IsNull()) throw glo::Exception_t(GLO_SRC, std::string());
    plat::Brush_t brush;
    if (!brush.CreateSolidBrush(colour)) throw win::Error_t(GLO_SRC);
    SelectOwn(brush.GetSafeHandle());
    m_brush.Attach(brush.Detach());
  }

  const plat::Brush_t& GetBrush() const { return m_brush; }

 private:
  void SelectOwn(const plat::GdiHandle_t& brush) {
    plat::GdiHandle_t previous = m_dc->SelectObject(brush);
    if (previous.IsNull()) throw win::Error_t(GLO_SRC);
    m_previous = previous;
  }

  plat::Brush_t m_brush;
  plat::GdiHandle_t m_previous;
};

}  // namespace gdi
