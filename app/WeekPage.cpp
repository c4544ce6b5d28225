#include "app/WeekPage.h"

#include "app/LapPage.h"
#include "app/ValueFormat.h"

namespace app {

WeekDialog_t::WeekDialog_t(plat::Wnd_t* formView, RunSet_t::const_iterator first, RunSet_t::const_iterator last,
                           SelectChild_t selectChild)
    : RunListPage_t(formView, 163, std::move(selectChild)) {
  first = FirstWithLaps(first, last);
  std::vector<RunRow_t> rows;
  for (RunSet_t::const_iterator run = first; run != last; ++run) {
    const glo::Time_t& start = run->GetLaps().begin()->GetStart();
    rows.push_back(RunRow_t{FormatLocalDate(start) + "  " + FormatLocalTime(start), run, std::next(run)});
  }
  Fill(first, last, rows, first == last ? std::string() : FormatWeekLabel(first->GetLaps().begin()->GetStart()));
}

}  // namespace app
