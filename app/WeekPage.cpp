#include "app/WeekPage.h"

#include "app/LapPage.h"
#include "app/ValueFormat.h"

namespace app {

WeekDialog_t::WeekDialog_t(plat::Wnd_t* formView, const RunSet_t& weekRuns, SelectChild_t selectChild)
    : RunListPage_t(formView, weekRuns, 163, std::move(selectChild)) {
  std::vector<RunRow_t> rows;
  for (RunSet_t::const_iterator run = m_runs.begin(); run != m_runs.end(); ++run) {
    const glo::Time_t& start = run->GetLaps().begin()->GetStart();
    rows.push_back(RunRow_t{FormatLocalDate(start) + "  " + FormatLocalTime(start), run, std::next(run)});
  }
  Fill(rows, m_runs.empty() ? std::string() : FormatWeekLabel(m_runs.begin()->GetLaps().begin()->GetStart()));
}

}  // namespace app
