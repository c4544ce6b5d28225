#include "map/MAP_TideSettings.h"

#include <cmath>

#include "glo/GLO_Exception.h"
#include "plat/PLAT_Calendar.h"
#include "plat/PLAT_TimePicture.h"
#include "win/WIN_Exception.h"
#include "win/WIN_RegSettingsKey.h"
#include "win/WIN_TimeStr.h"

namespace map {

namespace {

std::string LocalePicture(unsigned long type) {
  std::string text;
  if (!plat::GetLocalePicture(plat::kLocaleUserDefault, type, text)) throw win::Error_t(GLO_SRC);
  return text;
}

}  // namespace

TideSettings_t::TideSettings_t(const win::RegKey_t& settingsKey)
    : UseLocalTime(settingsKey, "UseLocalTime", true),
      UserUtcOffset(settingsKey, "UserUtcOffset", glo::TimeSpan_t(0.0)) {}

TideSettings_t& GetTideSettings() {
  static TideSettings_t settings(app::GetSettingsKey());
  return settings;
}

TimeFormatInfo_t MakeTimeFormatInfo(const std::string& separator, const std::string& picture) {
  TimeFormatInfo_t info;
  info.twelveHour = picture.find('h') != std::string::npos;
  info.separator = separator;
  info.picture = picture;
  return info;
}

TimeFormatInfo_t GetTimeFormatInfo() {
  return MakeTimeFormatInfo(LocalePicture(plat::kLocaleSTime), LocalePicture(plat::kLocaleSTimeFormat));
}

std::vector<std::string> SplitDateFormat(const std::string& picture, const std::string& separator) {
  std::vector<std::string> fields;
  std::size_t from = 0;
  while (from <= picture.size()) {
    std::size_t cut = separator.empty() ? std::string::npos : picture.find(separator, from);
    const std::size_t blank = picture.find(' ', from);
    if (blank != std::string::npos && (cut == std::string::npos || blank < cut)) cut = blank;
    const std::string piece = picture.substr(from, cut == std::string::npos ? std::string::npos : cut - from);
    if (cut != std::string::npos || !piece.empty()) fields.push_back(piece);
    if (cut == std::string::npos) break;
    from = cut + 1;
  }
  return fields;
}

std::string BuildDayMonthFormat(const std::string& separator, const std::string& shortDatePicture) {
  std::string out;
  bool day = false, month = false;
  for (const std::string& field : SplitDateFormat(shortDatePicture, separator)) {
    if (field.find('M') != std::string::npos) {
      out += "%#m";
      month = true;
      if (!day) out += separator;
    }
    if (field.find('d') != std::string::npos) {
      out += "%#d";
      day = true;
      if (!month) out += separator;
    }
  }
  return out;
}

std::string BuildDayMonthFormat() {
  return BuildDayMonthFormat(LocalePicture(plat::kLocaleSDate), LocalePicture(plat::kLocaleSShortDate));
}

glo::DateTime_t MakeDisplayDateTime(const glo::Time_t& time, int lcid) {
  const TideSettings_t& settings = GetTideSettings();
  if (settings.UseLocalTime.Value()) return glo::DateTime_t(time, lcid);
  return glo::DateTime_t(time, settings.UserUtcOffset.Value(), lcid);
}

std::tm DisplayFields(bool useOffset, const glo::Time_t& time, const glo::TimeSpan_t& offset) {
  if (useOffset) return time.ToTm(offset);
  const TideSettings_t& settings = GetTideSettings();
  if (settings.UseLocalTime.Value()) {
    std::tm fields{};
    if (!plat::LocalFields(time.GetValue(), fields)) throw glo::OutOfRange_t(GLO_SRC);
    return fields;
  }
  return time.ToTm(settings.UserUtcOffset.Value());
}

std::string FormatTideTime(bool useOffset, const glo::Time_t& time, const glo::TimeSpan_t& offset) {
  const int lcid = static_cast<int>(plat::kLocaleUserDefault);
  const glo::DateTime_t fields =
      useOffset ? glo::DateTime_t(time, offset, lcid) : MakeDisplayDateTime(time, lcid);
  return win::FormatDate(fields) + " " + win::FormatTime(fields, 0) + " " + fields.FormatUtcOffset();
}

std::string FormatTidePicture(const std::string& picture, const std::tm& fields) {
  std::string text;
  if (!plat::FormatCalendarPicture(picture, fields, text)) throw win::Error_t(GLO_SRC);
  return text;
}

int RoundHalfAway(double value) { return static_cast<int>(std::round(value)); }

PixelTimeCnvrt_t::PixelTimeCnvrt_t(const glo::Time_t& origin, const glo::Time_t& end, int originX, int width)
    : m_origin(origin), m_originX(originX), m_pixelsPerHour(width / (glo::Difference(end, origin).GetSeconds() / 3600.0)) {}

glo::Time_t PixelTimeCnvrt_t::PixelToTime(int x) const {
  return m_origin + glo::TimeSpan_t((x - m_originX) / m_pixelsPerHour * 3600.0);
}

int PixelTimeCnvrt_t::TimeToPixel(const glo::Time_t& time) const {
  return m_originX + RoundHalfAway(glo::Difference(time, m_origin).GetSeconds() / 3600.0 * m_pixelsPerHour);
}

}  // namespace map
