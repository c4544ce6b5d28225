#pragma once
// The locale's date and time pictures in the Windows picture letters, and
// calendar texts of strftime-style pictures that may carry the Windows '#'
// flag (no leading zero), in the user's locale: the one the environment names
// for times ($LC_ALL, $LC_TIME, $LANG) at the call.
#include <ctime>
#include <string>

namespace plat {

// Types of locale information that GetLocalePicture answers (Windows numbering).
enum : unsigned long {
  kLocaleSDate = 0x1D,          // date separator, "/"
  kLocaleSTime = 0x1E,          // time separator, ":"
  kLocaleSShortDate = 0x1F,     // short-date picture, "M/d/yyyy"
  kLocaleSTimeFormat = 0x1003,  // time picture, "h:mm:ss tt"
};

// The picture or separator of the user's (or the system's) default locale, as
// the date and time texts of PLAT_Calendar.h show it: d, M, y for the date; h
// (12-hour clock), H (24-hour clock), m, s and tt (the AM/PM mark) for the
// time; quoted text in single quotes. False with last error 87 for another
// locale id, 1004 for another type.
bool GetLocalePicture(unsigned long lcid, unsigned long type, std::string& text);

// The text of a strftime picture over calendar fields in the user's locale.
// Conversions: %H %I %M %S %p %d %m %y %Y %a %A %b %B %%; "%#" before a number
// drops its leading zero (%#I, %#d, %#m, ...). Other characters are copied.
// False with last error 87 for another conversion or a field out of range.
bool FormatCalendarPicture(const std::string& picture, const std::tm& fields, std::string& text);

}  // namespace plat
