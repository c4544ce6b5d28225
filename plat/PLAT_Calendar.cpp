#include "plat/PLAT_Calendar.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>
#include <cerrno>
#include <climits>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_UserLocale.h"

namespace plat {

namespace {

bool ToTimeT(std::int64_t seconds, time_t& t) {
  if (seconds < static_cast<std::int64_t>(LLONG_MIN / 2) || seconds > static_cast<std::int64_t>(LLONG_MAX / 2)) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  t = static_cast<time_t>(seconds);
  return true;
}

// The calendar fields of a time through the system's UTC or local conversion.
bool CalendarFields(std::int64_t seconds, std::tm& fields, std::tm* (*convert)(const time_t*, std::tm*)) {
  time_t t;
  if (!ToTimeT(seconds, t)) return false;
  if (!convert(&t, &fields)) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  return true;
}

// Windows locale ids of the languages and regions the program may meet, and the
// locale names they stand for.
struct LcidName_t {
  unsigned long lcid;
  const char* name;
};
const LcidName_t kLcids[] = {
    {0x0401, "ar_SA"}, {0x0402, "bg_BG"}, {0x0403, "ca_ES"}, {0x0404, "zh_TW"}, {0x0405, "cs_CZ"},
    {0x0406, "da_DK"}, {0x0407, "de_DE"}, {0x0408, "el_GR"}, {0x0409, "en_US"}, {0x040B, "fi_FI"},
    {0x040C, "fr_FR"}, {0x040D, "he_IL"}, {0x040E, "hu_HU"}, {0x040F, "is_IS"}, {0x0410, "it_IT"},
    {0x0411, "ja_JP"}, {0x0412, "ko_KR"}, {0x0413, "nl_NL"}, {0x0414, "nb_NO"}, {0x0415, "pl_PL"},
    {0x0416, "pt_BR"}, {0x0418, "ro_RO"}, {0x0419, "ru_RU"}, {0x041A, "hr_HR"}, {0x041B, "sk_SK"},
    {0x041D, "sv_SE"}, {0x041E, "th_TH"}, {0x041F, "tr_TR"}, {0x0422, "uk_UA"}, {0x0424, "sl_SI"},
    {0x0425, "et_EE"}, {0x0426, "lv_LV"}, {0x0427, "lt_LT"}, {0x0804, "zh_CN"}, {0x0807, "de_CH"},
    {0x0809, "en_GB"}, {0x080A, "es_MX"}, {0x080C, "fr_BE"}, {0x0810, "it_CH"}, {0x0813, "nl_BE"},
    {0x0814, "nn_NO"}, {0x0816, "pt_PT"}, {0x0C07, "de_AT"}, {0x0C09, "en_AU"}, {0x0C0A, "es_ES"},
    {0x0C0C, "fr_CA"}, {0x1009, "en_CA"}, {0x100C, "fr_CH"}, {0x1409, "en_NZ"}, {0x1809, "en_IE"},
    {0x1C09, "en_ZA"},
};

bool LocaleOf(unsigned long lcid, QLocale& locale) {
  if (lcid == kLocaleUserDefault || lcid == kLocaleSystemDefault || lcid == 0) {
    locale = UserLocale("LC_TIME");
    return true;
  }
  for (const LcidName_t& entry : kLcids) {
    if (entry.lcid == lcid) {
      locale = QLocale(QString::fromLatin1(entry.name));
      return true;
    }
  }
  SetLastError(kErrorInvalidParameter);
  return false;
}

// Windows short dates show four-digit years; some locales' own short formats
// show two.
QString FourDigitYears(const QString& format) {
  QString out;
  for (qsizetype i = 0; i < format.size();) {
    if (format[i] == QLatin1Char('\'')) {  // quoted text is copied as it is
      qsizetype j = format.indexOf(QLatin1Char('\''), i + 1);
      j = j < 0 ? format.size() : j + 1;
      out += format.mid(i, j - i);
      i = j;
      continue;
    }
    if (format[i] == QLatin1Char('y')) {
      qsizetype j = i;
      while (j < format.size() && format[j] == QLatin1Char('y')) ++j;
      out += QStringLiteral("yyyy");
      i = j;
      continue;
    }
    out += format[i++];
  }
  return out;
}

// Removes the markers of one field letter (and the separator before it).
QString DropField(const QString& format, QChar letter) {
  QString out = format;
  qsizetype i = out.indexOf(letter);
  while (i >= 0) {
    qsizetype end = i;
    while (end < out.size() && out[end] == letter) ++end;
    qsizetype start = i;
    while (start > 0 && !out[start - 1].isLetter() && out[start - 1] != QLatin1Char('\'')) --start;
    out.remove(start, end - start);
    i = out.indexOf(letter);
  }
  return out;
}

QString TimeFormatOf(const QLocale& locale, unsigned long flags) {
  QString format = locale.timeFormat(QLocale::ShortFormat);
  // The short format has hours and minutes; the default Windows format has seconds too.
  if (!format.contains(QLatin1Char('s'))) {
    const qsizetype m = format.lastIndexOf(QStringLiteral("mm"));
    if (m >= 0) format.insert(m + 2, QStringLiteral(":ss"));
  }
  if (flags & (kTimeNoSeconds | kTimeNoMinutesOrSeconds)) format = DropField(format, QLatin1Char('s'));
  if (flags & kTimeNoMinutesOrSeconds) format = DropField(format, QLatin1Char('m'));
  if (flags & kTimeForce24HourFormat) {
    format.replace(QLatin1Char('h'), QLatin1Char('H'));
    flags |= kTimeNoTimeMarker;
  }
  if (flags & kTimeNoTimeMarker) {
    for (const char* marker : {"AP", "ap", "A", "a"}) format.remove(QString::fromLatin1(marker));
    // Without its marker a 12-hour clock would be ambiguous: the hours are then
    // shown on the 24-hour clock.
  }
  return format.trimmed();
}

}  // namespace

bool CurrentTime(std::int64_t& seconds) {
  const time_t now = ::time(nullptr);
  if (now == static_cast<time_t>(-1)) {
    SetLastErrorFromErrno(errno);
    return false;
  }
  seconds = static_cast<std::int64_t>(now);
  return true;
}

bool UtcFields(std::int64_t seconds, std::tm& fields) { return CalendarFields(seconds, fields, ::gmtime_r); }

bool LocalFields(std::int64_t seconds, std::tm& fields) { return CalendarFields(seconds, fields, ::localtime_r); }

bool UtcFieldsToTime(const std::tm& fields, std::int64_t& seconds) {
  std::tm copy = fields;
  errno = 0;
  const time_t t = ::timegm(&copy);
  if (t == static_cast<time_t>(-1) && errno != 0) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  seconds = static_cast<std::int64_t>(t);
  return true;
}

bool LocalUtcOffset(const std::tm& localFields, long& offsetSeconds) {
  std::tm copy = localFields;
  copy.tm_isdst = -1;
  errno = 0;
  const time_t t = ::mktime(&copy);
  if (t == static_cast<time_t>(-1) && errno != 0) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  std::tm local;
  if (!::localtime_r(&t, &local)) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  offsetSeconds = local.tm_gmtoff;
  return true;
}

bool StandardUtcOffset(long& offsetSeconds) {
  const time_t now = ::time(nullptr);
  if (now == static_cast<time_t>(-1)) {
    SetLastErrorFromErrno(errno);
    return false;
  }
  std::tm local;
  if (!::localtime_r(&now, &local)) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  if (local.tm_isdst <= 0) {
    offsetSeconds = local.tm_gmtoff;
    return true;
  }
  // Daylight saving is in force now: the standard offset is that of the most
  // recent moment without it (looking back up to a year, day by day).
  for (int day = 1; day <= 366; ++day) {
    const time_t earlier = now - static_cast<time_t>(day) * 86400;
    std::tm fields;
    if (::localtime_r(&earlier, &fields) && fields.tm_isdst == 0) {
      offsetSeconds = fields.tm_gmtoff;
      return true;
    }
  }
  ::tzset();
  offsetSeconds = -::timezone;
  return true;
}

bool FormatShortDate(unsigned long lcid, int year, int month, int day, std::string& text) {
  QLocale locale;
  if (!LocaleOf(lcid, locale)) return false;
  const QDate date(year, month, day);
  if (!date.isValid()) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  text = locale.toString(date, FourDigitYears(locale.dateFormat(QLocale::ShortFormat))).toStdString();
  return true;
}

bool FormatTimeOfDay(unsigned long lcid, unsigned long flags, int hour, int minute, int second,
                     std::string& text) {
  const unsigned long known = kTimeNoMinutesOrSeconds | kTimeNoSeconds | kTimeNoTimeMarker | kTimeForce24HourFormat;
  QLocale locale;
  if ((flags & ~known) != 0 || !LocaleOf(lcid, locale)) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  const QTime time(hour, minute, second);
  if (!time.isValid()) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  text = locale.toString(time, TimeFormatOf(locale, flags)).toStdString();
  return true;
}

}  // namespace plat
