#pragma once
// The week page: one row per run of the selected week (HistoryPage.h).
#include "app/HistoryPage.h"

namespace app {

class WeekDialog_t : public RunListPage_t {
 public:
  // The runs [first, last) of one week; the title is the week's first and last date.
  WeekDialog_t(plat::Wnd_t* formView, RunSet_t::const_iterator first, RunSet_t::const_iterator last,
               SelectChild_t selectChild = {});
};

}  // namespace app
