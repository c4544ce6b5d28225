#include "plat/PLAT_DateTime.h"

#include <QDateTimeEdit>

#include "plat/PLAT_WindowImpl.h"

namespace plat {

namespace {
QDateTimeEdit* EditOf(const Wnd_t& w) { return qobject_cast<QDateTimeEdit*>(w.Impl()->widget.data()); }
}  // namespace

bool DateTimeCtrl_t::GetTime(SYSTEMTIME& t) const {
  QDateTimeEdit* e = EditOf(*this);
  if (e == nullptr) return false;
  const QDateTime v = e->dateTime();
  t = SYSTEMTIME{v.date().year(), v.date().month(), v.date().dayOfWeek() % 7, v.date().day(),
                 v.time().hour(), v.time().minute(), v.time().second(), v.time().msec()};
  return true;
}

bool DateTimeCtrl_t::SetTime(const SYSTEMTIME& t) {
  QDateTimeEdit* e = EditOf(*this);
  const QDate d(t.wYear, t.wMonth, t.wDay);
  const QTime tm(t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
  if (e == nullptr || !d.isValid() || !tm.isValid()) return false;
  detail::Sync([&] { e->setDateTime(QDateTime(d, tm)); });
  return true;
}

bool DateTimeCtrl_t::SetFormat(const std::string& format) {
  QDateTimeEdit* e = EditOf(*this);
  if (e == nullptr) return false;
  QString f = detail::FromUtf8(format);
  f.replace(QStringLiteral("tt"), QStringLiteral("AP")).replace('t', QStringLiteral("A"));
  e->setDisplayFormat(f);
  return true;
}

}  // namespace plat
