#pragma once
// The history of the current user as a tree of weeks (newest first), runs
// (newest first within the week) and laps (in lap order, for runs of more than
// one lap) in a tree control. The items refer to the runs as the document's
// run set holds them.
#include <string>
#include <unordered_map>

#include "app/Document.h"
#include "plat/PLAT_Tree.h"

namespace app {

class HistoryTree_t : public HistoryTreeIntf_t {
 public:
  // Levels of the items: the number of their ancestors.
  enum Level_t { kHistory = 0, kWeek = 1, kRun = 2, kLap = 3 };

  // Works on 'tree'; the selection ranges are ranges of 'runs'.
  HistoryTree_t(plat::TreeCtrl_t& tree, const RunSet_t& runs) : m_tree(tree), m_runs(runs) {}

  // The root item alone, selected.
  void InsertRoot();
  // The root's label: string 149, and " - " with the current user's name.
  void UpdateRootLabel(const std::string& user);

  void AddRun(const Run_t& run) override;
  void RemoveRun(const Run_t& run) override;
  void Reset() override;
  int GetSelectionLevel() const override;
  Range_t GetSelectedRuns() const override;
  const Run_t& GetSelectedRun() const override;

  int GetItemLevel(plat::HTREEITEM item) const;
  const Run_t& GetItemRun(plat::HTREEITEM item) const;
  // The selected lap (level 3, or the only lap of a run of one lap).
  const Lap_t& GetSelectedLap() const;
  // The run of the selected lap, and the lap's number counted from 1.
  const Run_t& GetSelectedLapRun() const;
  int GetSelectedLapNumber() const;
  // Selects the n-th child (from 0) of the selected item.
  void SelectChild(int n);

  plat::TreeCtrl_t& Control() const { return m_tree; }

 private:
  // A new week item for the run 'start', with the run's item 'run' under it.
  plat::HTREEITEM InsertWeek(const glo::Time_t& start, plat::HTREEITEM after, plat::TreeItem_t run);
  plat::HTREEITEM Selected() const;
  // The local time of day as the items show it; the texts of the seconds of
  // the day met since the last reset are kept (runs and laps of a history
  // tend to start at the same times).
  const std::string& TimeText(const glo::Time_t& time);

  plat::TreeCtrl_t& m_tree;
  const RunSet_t& m_runs;
  std::unordered_map<int, std::string> m_timeTexts;
};

// The label of a run item: its local start date and time of day.
std::string RunItemLabel(const Run_t& run);

}  // namespace app
