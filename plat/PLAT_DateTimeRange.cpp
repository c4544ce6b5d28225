#include "plat/PLAT_DateTimeRange.h"

#include <QDateTimeEdit>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_WindowImpl.h"

namespace plat {

bool SetDateRange(DateTimeCtrl_t& picker, const SYSTEMTIME& first, const SYSTEMTIME& last) {
  auto* edit = qobject_cast<QDateTimeEdit*>(picker.Impl()->widget.data());
  const QDate from(first.wYear, first.wMonth, first.wDay), to(last.wYear, last.wMonth, last.wDay);
  if (edit == nullptr || !from.isValid() || !to.isValid() || to < from) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  detail::Sync([&] { edit->setDateRange(from, to); });
  return true;
}

}  // namespace plat
