#pragma once
// Selects a font that the caller owns for the guard's lifetime.
#include <string>

#include "gdi/GDI_SmartGdiObj.h"
#include "glo/GLO_Exception.h"
#include "win/WIN_Exception.h"

namespace gdi {

class SmartFont_t : public SmartGdiObj_t {
 public:
  // Selects the font when one is given.
  explicit SmartFont_t(plat::Dc_t& dc, const plat::Font_t* font = nullptr) : SmartGdiObj_t(dc) {
    if (font != nullptr) Select(*font);
  }

  // Restores the remembered font; deletes nothing.
  ~SmartFont_t() override {
    try {
      if (!m_previous.IsNull()) m_dc->SelectObject(m_previous);
    } catch (...) {
    }
  }

  // Selects a font and remembers the one it replaces; a guard that remembers a
  // font already raises glo::Exception_t with an empty message.
  void Select(const plat::Font_t& font) {
    if (!m_previous.IsNull()) throw glo::Exception_t(GLO_SRC, std::string());
    plat::GdiHandle_t previous = m_dc->SelectObject(font.GetSafeHandle());
    if (previous.IsNull()) throw win::Error_t(GLO_SRC);
    m_previous = previous;
  }

 private:
  plat::GdiHandle_t m_previous;
};

}  // namespace gdi
