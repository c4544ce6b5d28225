#pragma once
// The history page (one row per week of all runs) and, sharing its template
// and its list, the week page (one row per run of a week); both with the
// totals over the shown runs and a title line. A page shows the data of the
// moment it was built; the form view builds a new one for every selection.
#include <functional>
#include <string>

#include "app/RunSet.h"
#include "app/SummaryPage.h"
#include "mat/MAT_Units.h"
#include "plat/PLAT_List.h"

namespace app {

// Selects the n-th child of the tree's selected item (a double-clicked row).
using SelectChild_t = std::function<void(int)>;

// One row of a run list: its first column and the range it sums.
struct RunRow_t {
  std::string label;
  RunSet_t::const_iterator first, last;
};

// The first run of [first, last) that has laps (the set keeps runs without
// laps before all others), or last.
RunSet_t::const_iterator FirstWithLaps(RunSet_t::const_iterator first, RunSet_t::const_iterator last);

class RunListPage_t : public SummaryPage_t {
 public:
  plat::ListCtrl_t& GetList() const;

 protected:
  // Makes the page from template 146 over the form view; the first column is
  // titled by string 'firstTitle'.
  RunListPage_t(plat::Wnd_t* formView, int firstTitle, SelectChild_t selectChild);
  // Fills the list (rows latest first) and the totals over the shown runs; the
  // heart-rate column and total are hidden when no lap has a heart rate.
  // The runs are read only here.
  void Fill(RunSet_t::const_iterator first, RunSet_t::const_iterator last, const std::vector<RunRow_t>& rows,
            const std::string& title);

  bool OnCommand(unsigned id, unsigned code) override;

  mat::DistUnitsTypes_t m_units;

 private:
  int m_firstTitle;
  SelectChild_t m_selectChild;
};

class HistoryDialog_t : public RunListPage_t {
 public:
  // All runs, grouped by week; the title names the user when the name is not empty.
  HistoryDialog_t(plat::Wnd_t* formView, const RunSet_t& runs, const std::string& userName,
                  SelectChild_t selectChild = {});
};

}  // namespace app
