#pragma once
// What the tide graph and the tide dialog share besides the prediction: the two
// tide display settings, the texts of tide times, the locale's time and
// day-month pictures, and the converter between window columns and times.
//
// A time is shown in one of three ways: with the caller's "use offset" flag as
// UTC plus the caller's offset (labelled with it); otherwise, with the setting
// "UseLocalTime", in the computer's local time (no label); otherwise as UTC plus
// the setting "UserUtcOffset" (labelled).
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "glo/GLO_DateTime.h"
#include "glo/GLO_Time.h"
#include "glo/GLO_TimeSpan.h"
#include "win/WIN_RegKey.h"
#include "win/WIN_RegValue.h"

namespace map {

// The tide display settings under the application's settings key: each read at
// construction (its default when missing or unreadable) and written back at once.
class TideSettings_t {
 public:
  explicit TideSettings_t(const win::RegKey_t& settingsKey);

  win::RegValue_t<bool> UseLocalTime;              // "UseLocalTime", default true
  win::RegValue_t<glo::TimeSpan_t> UserUtcOffset;  // "UserUtcOffset", default 0
};

// The process's tide settings, built on first use.
TideSettings_t& GetTideSettings();

// The user's time-of-day picture.
struct TimeFormatInfo_t {
  bool twelveHour = false;  // the picture has a lower-case "h"
  std::string separator;    // the time separator
  std::string picture;      // the time picture ("h:mm:ss tt")
};

// The record of a separator and a picture.
TimeFormatInfo_t MakeTimeFormatInfo(const std::string& separator, const std::string& picture);
// The record of the user's locale; win::Error_t when the locale is refused.
TimeFormatInfo_t GetTimeFormatInfo();

// The fields of a date picture: from each position, up to the first separator
// or blank, whichever comes first.
std::vector<std::string> SplitDateFormat(const std::string& picture, const std::string& separator);
// The strftime picture of a day-and-month label in the order of the short-date
// picture: "%#m<sep>%#d" or "%#d<sep>%#m".
std::string BuildDayMonthFormat(const std::string& separator, const std::string& shortDatePicture);
// The same for the user's locale; win::Error_t when the locale is refused.
std::string BuildDayMonthFormat();

// The display fields of a time by the settings: local time, or UTC plus
// "UserUtcOffset" (kept in the record).
glo::DateTime_t MakeDisplayDateTime(const glo::Time_t& time, int lcid);
// The calendar fields of a time shown with (useOffset, offset) and the settings.
std::tm DisplayFields(bool useOffset, const glo::Time_t& time, const glo::TimeSpan_t& offset);

// "<short date> <time> <offset text>": with useOffset the time plus the offset,
// labelled; otherwise by the settings. A local-time text ends in a blank.
std::string FormatTideTime(bool useOffset, const glo::Time_t& time, const glo::TimeSpan_t& offset);

// A strftime picture (with the '#' flag) over calendar fields in the user's
// locale; win::Error_t for a picture the formatter refuses.
std::string FormatTidePicture(const std::string& picture, const std::tm& fields);

// Window columns and times: the origin time sits at the origin column.
class PixelTimeCnvrt_t {
 public:
  // pixels per hour = width / (hours from origin to end).
  PixelTimeCnvrt_t(const glo::Time_t& origin, const glo::Time_t& end, int originX, int width);

  // glo::OutOfRange_t for a time outside the range of glo::Time_t.
  glo::Time_t PixelToTime(int x) const;
  int TimeToPixel(const glo::Time_t& time) const;

  const glo::Time_t& GetOrigin() const { return m_origin; }
  int GetOriginX() const { return m_originX; }
  double GetPixelsPerHour() const { return m_pixelsPerHour; }

 private:
  glo::Time_t m_origin;
  int m_originX;
  double m_pixelsPerHour;
};

// Rounds half away from zero.
int RoundHalfAway(double value);

}  // namespace map
