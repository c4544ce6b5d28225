#pragma once
// The range of dates a date picker (PLAT_DateTime.h) lets the user choose.
#include "plat/PLAT_DateTime.h"

namespace plat {

// Limits the picker to the dates from 'first' to 'last' (the date fields
// count); a value outside moves to the nearer limit. False for a picker
// without a window or an invalid date.
bool SetDateRange(DateTimeCtrl_t& picker, const SYSTEMTIME& first, const SYSTEMTIME& last);

}  // namespace plat
