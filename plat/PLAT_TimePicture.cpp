#include "plat/PLAT_TimePicture.h"

#include <QLocale>
#include <QRegularExpression>
#include <QString>

#include "plat/PLAT_Calendar.h"
#include "plat/PLAT_Error.h"
#include "plat/PLAT_UserLocale.h"

namespace plat {

namespace {

bool IsDefaultLocale(unsigned long lcid) {
  return lcid == kLocaleUserDefault || lcid == kLocaleSystemDefault || lcid == 0;
}

// Index just past a quoted run starting at i (at the opening quote).
qsizetype SkipQuoted(const QString& format, qsizetype i) {
  const qsizetype j = format.indexOf(QLatin1Char('\''), i + 1);
  return j < 0 ? format.size() : j + 1;
}

// The toolkit's time format as a Windows picture, with seconds as the Windows
// default format shows them.
QString WindowsTimePicture(const QLocale& locale) {
  const QString format = locale.timeFormat(QLocale::ShortFormat);
  bool twelveHour = false;
  for (qsizetype i = 0; i < format.size();) {
    if (format[i] == QLatin1Char('\'')) {
      i = SkipQuoted(format, i);
      continue;
    }
    if (format[i] == QLatin1Char('a') || format[i] == QLatin1Char('A')) twelveHour = true;
    ++i;
  }
  QString out;
  for (qsizetype i = 0; i < format.size();) {
    const QChar c = format[i];
    if (c == QLatin1Char('\'')) {
      const qsizetype j = SkipQuoted(format, i);
      out += format.mid(i, j - i);
      i = j;
      continue;
    }
    if (c == QLatin1Char('a') || c == QLatin1Char('A')) {
      qsizetype j = i;
      while (j < format.size() && (format[j] == QLatin1Char('a') || format[j] == QLatin1Char('A') ||
                                   format[j] == QLatin1Char('p') || format[j] == QLatin1Char('P')))
        ++j;
      out += QStringLiteral("tt");
      i = j;
      continue;
    }
    if (c == QLatin1Char('h') && !twelveHour) {
      out += QLatin1Char('H');
      ++i;
      continue;
    }
    if (c == QLatin1Char('t') || c == QLatin1Char('z')) {  // zone and milliseconds: not shown
      ++i;
      continue;
    }
    out += c;
    ++i;
  }
  if (!out.contains(QLatin1Char('s'))) {
    const qsizetype m = out.lastIndexOf(QStringLiteral("mm"));
    if (m >= 0) {
      // The separator that follows the hours.
      QString separator = QStringLiteral(":");
      const qsizetype h = out.indexOf(QRegularExpression(QStringLiteral("[hH]")));
      if (h >= 0) {
        qsizetype k = h;
        while (k < out.size() && (out[k] == QLatin1Char('h') || out[k] == QLatin1Char('H'))) ++k;
        if (k < out.size() && out[k] != QLatin1Char('m') && !out[k].isLetter()) separator = out[k];
      }
      out.insert(m + 2, separator + QStringLiteral("ss"));
    }
  }
  return out.trimmed();
}

// The toolkit's short date format as a Windows picture with four-digit years.
QString WindowsDatePicture(const QLocale& locale) {
  const QString format = locale.dateFormat(QLocale::ShortFormat);
  QString out;
  for (qsizetype i = 0; i < format.size();) {
    if (format[i] == QLatin1Char('\'')) {
      const qsizetype j = SkipQuoted(format, i);
      out += format.mid(i, j - i);
      i = j;
      continue;
    }
    if (format[i] == QLatin1Char('y')) {
      while (i < format.size() && format[i] == QLatin1Char('y')) ++i;
      out += QStringLiteral("yyyy");
      continue;
    }
    out += format[i++];
  }
  return out;
}

// The first character between two fields of a picture that is neither a letter,
// a blank nor a quote.
QString SeparatorOf(const QString& picture, const QString& fallback) {
  for (qsizetype i = 0; i < picture.size();) {
    if (picture[i] == QLatin1Char('\'')) {
      i = SkipQuoted(picture, i);
      continue;
    }
    const QChar c = picture[i];
    if (!c.isLetter() && !c.isSpace()) return QString(c);
    ++i;
  }
  return fallback;
}

}  // namespace

bool GetLocalePicture(unsigned long lcid, unsigned long type, std::string& text) {
  if (!IsDefaultLocale(lcid)) return FailWith(kErrorInvalidParameter);
  const QLocale locale = UserLocale("LC_TIME");
  QString value;
  switch (type) {
    case kLocaleSDate: value = SeparatorOf(WindowsDatePicture(locale), QStringLiteral("/")); break;
    case kLocaleSTime: value = SeparatorOf(WindowsTimePicture(locale), QStringLiteral(":")); break;
    case kLocaleSShortDate: value = WindowsDatePicture(locale); break;
    case kLocaleSTimeFormat: value = WindowsTimePicture(locale); break;
    default: return FailWith(kErrorInvalidFlags);
  }
  text = value.toStdString();
  return true;
}

bool FormatCalendarPicture(const std::string& picture, const std::tm& fields, std::string& text) {
  if (fields.tm_mon < 0 || fields.tm_mon > 11 || fields.tm_mday < 1 || fields.tm_mday > 31 || fields.tm_hour < 0 ||
      fields.tm_hour > 23 || fields.tm_min < 0 || fields.tm_min > 59 || fields.tm_sec < 0 || fields.tm_sec > 60 ||
      fields.tm_wday < 0 || fields.tm_wday > 6)
    return FailWith(kErrorInvalidParameter);
  const QLocale locale = UserLocale("LC_TIME");
  std::string out;
  for (std::size_t i = 0; i < picture.size(); ++i) {
    if (picture[i] != '%') {
      out += picture[i];
      continue;
    }
    if (++i >= picture.size()) return FailWith(kErrorInvalidParameter);
    bool noPadding = false;
    if (picture[i] == '#') {
      noPadding = true;
      if (++i >= picture.size()) return FailWith(kErrorInvalidParameter);
    }
    auto number = [&](int value, int width) {
      std::string digits = std::to_string(value);
      if (!noPadding)
        while (static_cast<int>(digits.size()) < width) digits.insert(digits.begin(), '0');
      out += digits;
    };
    const int dayOfWeek = fields.tm_wday == 0 ? 7 : fields.tm_wday;  // the toolkit counts Monday as 1
    switch (picture[i]) {
      case 'H': number(fields.tm_hour, 2); break;
      case 'I': number(fields.tm_hour % 12 == 0 ? 12 : fields.tm_hour % 12, 2); break;
      case 'M': number(fields.tm_min, 2); break;
      case 'S': number(fields.tm_sec, 2); break;
      case 'd': number(fields.tm_mday, 2); break;
      case 'm': number(fields.tm_mon + 1, 2); break;
      case 'y': number((fields.tm_year + 1900) % 100, 2); break;
      case 'Y': number(fields.tm_year + 1900, 4); break;
      case 'p': out += (fields.tm_hour < 12 ? locale.amText() : locale.pmText()).toStdString(); break;
      case 'a': out += locale.dayName(dayOfWeek, QLocale::ShortFormat).toStdString(); break;
      case 'A': out += locale.dayName(dayOfWeek, QLocale::LongFormat).toStdString(); break;
      case 'b': out += locale.monthName(fields.tm_mon + 1, QLocale::ShortFormat).toStdString(); break;
      case 'B': out += locale.monthName(fields.tm_mon + 1, QLocale::LongFormat).toStdString(); break;
      case '%': out += '%'; break;
      default: return FailWith(kErrorInvalidParameter);
    }
  }
  text = out;
  return true;
}

}  // namespace plat
