#pragma once
// Date and time pickers ("datetime"). The parent hears kDtnDateTimeChange.
#include "plat/PLAT_Window.h"

namespace plat {

struct SYSTEMTIME {
  int wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
};

class DateTimeCtrl_t : public Wnd_t {
 public:
  bool Create(Wnd_t* parent, int id, std::uint32_t style, const RECT& rect) {
    return CreateControl("datetime", parent, id, style, rect, std::string());
  }
  bool GetTime(SYSTEMTIME& time) const;
  bool SetTime(const SYSTEMTIME& time);
  // A display format in the classic picture letters (d, M, y, H, h, m, s, t).
  bool SetFormat(const std::string& format);
};

}  // namespace plat
