#pragma once
// Checks of a dialog's layout on its rendered picture: every control lies in
// the client area, no two overlap (a group box holds its controls), and where
// controls are painted on white the picture shows white behind dark text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "glo/GLO_StringResource.h"
#include "plat/PLAT_Bars.h"
#include "plat/PLAT_Dc.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_Input.h"
#include "plat/PLAT_Static.h"
#include "plat/PLAT_WindowImage.h"

namespace dialogtest {

// The dialog's rendered picture, its pixels readable.
class Picture_t {
 public:
  explicit Picture_t(plat::Wnd_t& window) {
    EXPECT_TRUE(plat::GrabWindowImage(window, m_bitmap));
    EXPECT_TRUE(m_dc.CreateCompatibleDC(nullptr));
    m_dc.SelectObject(m_bitmap);
    const plat::RECT r = window.GetClientRect();
    m_width = r.right;
    m_height = r.bottom;
  }
  // Pixels of the area whose colour passes the test.
  int Count(const plat::RECT& area, const std::function<bool(plat::COLORREF)>& test) const {
    int n = 0;
    for (int y = std::max(0, area.top); y < std::min(m_height, area.bottom); ++y)
      for (int x = std::max(0, area.left); x < std::min(m_width, area.right); ++x) n += test(m_dc.GetPixel(x, y) & 0xFFFFFF);
    return n;
  }
  static bool White(plat::COLORREF c) { return c == 0xFFFFFF; }
  static bool Dark(plat::COLORREF c) {
    return (c & 0xFF) < 96 && ((c >> 8) & 0xFF) < 96 && ((c >> 16) & 0xFF) < 96;
  }

 private:
  plat::Bitmap_t m_bitmap;
  plat::Dc_t m_dc;
  int m_width = 0;
  int m_height = 0;
};

inline plat::RECT ChildRect(const plat::Wnd_t& dialog, const plat::Wnd_t& child) {
  plat::RECT r = child.GetWindowRect();
  dialog.ScreenToClient(r);
  return r;
}

inline bool Overlap(const plat::RECT& a, const plat::RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

inline bool Inside(const plat::RECT& inner, const plat::RECT& outer) {
  return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
         inner.bottom <= outer.bottom;
}

// Every shown control (the size grip aside) lies inside the client area and
// overlaps no other, except that a group box holds the controls inside it.
inline void ExpectTidyLayout(const plat::Wnd_t& dialog) {
  const plat::RECT client = dialog.GetClientRect();
  std::vector<std::pair<const plat::Wnd_t*, plat::RECT>> controls;
  for (const plat::Wnd_t* child : dialog.GetChildren()) {
    if (!child->IsWindowVisible() || dynamic_cast<const plat::StatusBarCtrl_t*>(child) != nullptr) continue;
    const plat::RECT r = ChildRect(dialog, *child);
    EXPECT_TRUE(Inside(r, client)) << "control " << child->GetDlgCtrlID() << " leaves the client area";
    EXPECT_GT(r.right - r.left, 0);
    EXPECT_GT(r.bottom - r.top, 0);
    controls.emplace_back(child, r);
  }
  const auto holds = [](const plat::Wnd_t* box, const plat::RECT& outer, const plat::RECT& inner) {
    return dynamic_cast<const plat::Static_t*>(box) != nullptr && Inside(inner, outer);
  };
  for (std::size_t i = 0; i < controls.size(); ++i)
    for (std::size_t j = i + 1; j < controls.size(); ++j) {
      const auto& [a, ra] = controls[i];
      const auto& [b, rb] = controls[j];
      if (!Overlap(ra, rb)) continue;
      EXPECT_TRUE(holds(a, ra, rb) || holds(b, rb, ra))
          << "controls " << a->GetDlgCtrlID() << " and " << b->GetDlgCtrlID() << " overlap";
    }
}

// A control painted on white shows white with dark text on it (text non-empty)
// in the dialog's picture.
inline void ExpectWhiteWithText(plat::Wnd_t& dialog, int id, bool hasText = true) {
  const plat::Wnd_t* control = dialog.GetDlgItem(id);
  ASSERT_NE(control, nullptr);
  const plat::RECT r = ChildRect(dialog, *control);
  const Picture_t picture(dialog);
  const int area = (r.right - r.left) * (r.bottom - r.top);
  EXPECT_GT(picture.Count(r, Picture_t::White), area / 2) << id;
  if (hasText) {
    EXPECT_GT(picture.Count(r, Picture_t::Dark), 10) << id;
  }
}

// Saves a window's picture under $STRIDE_TEST_PNG_DIR (for looking at it by hand).
inline void MaybeSave(plat::Wnd_t& window, const std::string& name) {
  if (const char* dir = std::getenv("STRIDE_TEST_PNG_DIR")) window.SaveImage(std::string(dir) + "/" + name + ".png");
}

inline std::string Text(int id) { return glo::StringResource_t(id, GLO_SRC).Text(); }

// Runs the dialog with the check inside it; then ends it with a real key
// press (Enter or Escape) where the focus is, and gives the dialog's result.
template <typename D>
int RunAndPress(D& dialog, const std::function<void(D&)>& check, unsigned key = plat::kVkReturn) {
  plat::SetModalHook([&](plat::Dialog_t& d) {
    check(dynamic_cast<D&>(d));
    plat::SendKeyToFocus(key);
    if (!d.IsEnding()) {
      ADD_FAILURE() << "the key did not end the dialog";
      d.EndDialog(-2);
    }
  });
  const int result = dialog.DoModal();
  plat::SetModalHook(nullptr);
  return result;
}

}  // namespace dialogtest
