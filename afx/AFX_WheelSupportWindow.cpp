#include "afx/AFX_WheelSupportWindow.h"

#include <cstdint>
#include <cstdlib>

#include "plat/PLAT_App.h"

namespace afx {

int GetWheelScrollLines() {
  static const int lines = plat::GetWheelScrollLines();
  return lines;
}

int WheelScrollAmount(int delta, int lines, int lineSize, int pageSize) {
  if (lines == -1) return delta > 0 ? -pageSize : pageSize;
  // -delta x lines / 120, rounded to the nearest whole line.
  const std::int64_t product = std::int64_t(-delta) * lines;
  const std::int64_t notches = (product >= 0 ? product + 60 : product - 60) / 120;
  const std::int64_t amount = std::int64_t(lineSize) * notches;
  // At most one page, whichever way the wheel turned.
  const std::int64_t page = std::llabs(pageSize);
  if (amount > page) return static_cast<int>(page);
  if (amount < -page) return static_cast<int>(-page);
  return static_cast<int>(amount);
}

WheelSupportWindow_t::~WheelSupportWindow_t() {
  try {
    DestroyWindow();
  } catch (...) {
  }
}

plat::Wnd_t* WheelSupportWindow_t::GetScrollBarCtrl(bool) const { return nullptr; }

bool WheelSupportWindow_t::OnMouseWheel(unsigned flags, int delta, plat::POINT screenPoint) {
  if (flags & (plat::kMkShift | plat::kMkControl)) return false;
  return HandleWheel(delta, screenPoint);
}

bool WheelSupportWindow_t::CanScroll(bool vertical) const {
  const plat::Wnd_t* bar = GetScrollBarCtrl(vertical);
  if (bar != nullptr && bar->IsWindowEnabled()) return true;
  return (GetStyle() & (vertical ? plat::kWsVScroll : plat::kWsHScroll)) != 0;
}

bool WheelSupportWindow_t::IsScrollDisabled(bool vertical) const {
  if (GetStyle() & (vertical ? plat::kWsVScroll : plat::kWsHScroll)) return !IsScrollBarEnabled(vertical);
  const plat::Wnd_t* bar = GetScrollBarCtrl(vertical);
  return bar != nullptr && !bar->IsWindowEnabled();
}

bool WheelSupportWindow_t::HandleWheel(int delta, plat::POINT screenPoint) {
  const bool vertical = CanScroll(true);
  if (!vertical && !CanScroll(false)) return false;
  const int lines = GetWheelScrollLines();
  int dx = 0, dy = 0;
  if (vertical) dy = WheelScrollAmount(delta, lines, GetVertLineSize(), GetVertPageSize());
  else dx = WheelScrollAmount(delta, lines, GetHorzLineSize(), GetHorzPageSize());
  return Scroll(dx, dy, screenPoint);
}

bool WheelSupportWindow_t::Scroll(int dx, int dy, plat::POINT screenPoint) {
  if (IsScrollDisabled(false)) dx = 0;
  if (IsScrollDisabled(true)) dy = 0;
  const bool scrolled = OnWheelScroll(dx, dy, screenPoint);
  if (scrolled) UpdateWindow();
  return scrolled;
}

}  // namespace afx
