#include "afx/AFX_SizeGrip.h"

#include "glo/GLO_Exception.h"
#include "plat/PLAT_DialogTemplate.h"
#include "plat/PLAT_Library.h"
#include "win/WIN_Exception.h"
#include "win/WIN_Library.h"

namespace afx {

SizeGrip_t::~SizeGrip_t() {
  try {
    DestroyWindow();
  } catch (...) {
  }
}

void SizeGrip_t::Create(plat::Wnd_t& dialog) {
  const std::uint32_t style =
      plat::kWsChild | plat::kWsVisible | plat::kWsClipSiblings | plat::kSbarsSizeGrip | 0x0003u;  // CCS_BOTTOM
  if (!plat::StatusBarCtrl_t::Create(&dialog, -1, style, plat::RECT{0, 0, 0, 0})) throw win::Error_t(GLO_SRC);
  // A visual theme would draw the grip in the theme's own way: switched off
  // where the theme library exists.
  if (win::IsLibraryAvailable("uxtheme.dll")) {
    win::Library_t theme("uxtheme.dll");
    GLO_ASSERT(plat::GetProcAddress(theme.Module(), "SetWindowTheme") != nullptr);
  }
  SetSimple(true);
  SetText(0x1FF, std::string());
  Reposition();
}

void SizeGrip_t::Reposition() {
  plat::Wnd_t* parent = GetParent();
  GLO_ASSERT(parent != nullptr);
  const plat::RECT client = parent->GetClientRect();
  // The bar keeps the height it wants for its font.
  int height = GetClientRect().bottom;
  if (height <= 0) height = GetIdealHeight();
  MoveWindow(0, client.bottom - height, client.right, height, true);
  Invalidate(true);
  UpdateWindow();
}

}  // namespace afx
