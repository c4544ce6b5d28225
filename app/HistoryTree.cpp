#include "app/HistoryTree.h"

#include <cstdint>
#include <ctime>
#include <iterator>
#include <utility>

#include "app/LapPage.h"
#include "app/ValueFormat.h"
#include "glo/GLO_DateTime.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "plat/PLAT_Calendar.h"
#include "plat/PLAT_Error.h"
#include "win/WIN_TimeStr.h"

namespace app {

namespace {

// Pictures of the items by level: the normal one; the selected ones follow at +4.
int ImageOf(int level) { return level; }

// Negative when a is earlier than b.
double Compare(const glo::Time_t& a, const glo::Time_t& b) { return glo::Difference(a, b).GetSeconds(); }

// The Sunday that starts the week of 'time', as local days after 1970-01-01:
// the same for two times exactly when their WeekStart is, but without turning
// a local time back into UTC (which reads the time zone again each time).
std::int64_t WeekSunday(const glo::Time_t& time) {
  std::tm local;
  if (!plat::LocalFields(time.GetValue(), local)) throw glo::Assert_t(GLO_SRC);
  const std::int64_t seconds = std::int64_t{time.GetValue()} + local.tm_gmtoff;
  constexpr std::int64_t kDay = 86400;
  return (seconds >= 0 ? seconds / kDay : (seconds - kDay + 1) / kDay) - local.tm_wday;
}

}  // namespace

std::string RunItemLabel(const Run_t& run) {
  return FormatLocalDate(run.GetKey()) + " " + FormatLocalTime(run.GetKey());
}

void HistoryTree_t::InsertRoot() {
  const plat::HTREEITEM root = m_tree.InsertItem(std::string());
  m_tree.SetItemImage(root, ImageOf(kHistory));
  m_tree.SelectItem(root);
}

void HistoryTree_t::UpdateRootLabel(const std::string& user) {
  const plat::HTREEITEM root = m_tree.GetRootItem();
  GLO_ASSERT(root != 0);
  std::string label = glo::StringResource_t(149, GLO_SRC).Text();
  if (!user.empty()) label += " - " + user;
  m_tree.SetItemText(root, label);
}

const std::string& HistoryTree_t::TimeText(const glo::Time_t& time) {
  std::tm local;
  if (!plat::LocalFields(time.GetValue(), local)) throw win::Error_t(GLO_SRC);
  const int second = (local.tm_hour * 60 + local.tm_min) * 60 + local.tm_sec;
  const auto known = m_timeTexts.find(second);
  if (known != m_timeTexts.end()) return known->second;
  return m_timeTexts.emplace(second, FormatLocalTime(time)).first->second;
}

void HistoryTree_t::Reset() {
  m_timeTexts.clear();
  m_tree.DeleteAllItems();
  InsertRoot();
}

plat::HTREEITEM HistoryTree_t::InsertWeek(const glo::Time_t& start, plat::HTREEITEM after, plat::TreeItem_t run) {
  plat::TreeItem_t week{FormatWeekLabel(start), ImageOf(kWeek), 0, {}};
  week.children.push_back(std::move(run));
  return m_tree.InsertItemTree(week, m_tree.GetRootItem(), after);
}

void HistoryTree_t::AddRun(const Run_t& run) {
  const plat::HTREEITEM root = m_tree.GetRootItem();
  GLO_ASSERT(root != 0);
  const glo::Time_t start = run.GetKey();
  const std::int64_t sunday = WeekSunday(start);

  // The run's item with its laps' (for runs of more than one lap), inserted at once.
  plat::TreeItem_t runItem{FormatLocalDate(start) + " " + TimeText(start), ImageOf(kRun),
                           reinterpret_cast<std::uintptr_t>(&run), {}};
  if (run.GetLaps().size() > 1) {
    const std::string lapText = glo::StringResource_t(162, GLO_SRC).Text();
    runItem.children.reserve(run.GetLaps().size());
    int number = 1;
    for (const Lap_t& lap : run.GetLaps()) {
      // A lap item is found by its place under its run's item.
      runItem.children.push_back({lapText + std::to_string(number++) + " - " + TimeText(lap.GetStart()),
                                  ImageOf(kLap), 0, {}});
    }
  }

  // Weeks newest first: the run's week, or a new one before the first older week.
  plat::HTREEITEM weekAfter = plat::kTviLast;
  for (plat::HTREEITEM item = m_tree.GetChildItem(root); item; item = m_tree.GetNextSiblingItem(item)) {
    const plat::HTREEITEM first = m_tree.GetChildItem(item);
    GLO_ASSERT(first != 0);
    const glo::Time_t firstStart = GetItemRun(first).GetKey();
    if (WeekSunday(firstStart) == sunday) {
      // Newest first: before the first run that does not start later.
      plat::HTREEITEM after = plat::kTviLast;
      for (plat::HTREEITEM other = first; other; other = m_tree.GetNextSiblingItem(other)) {
        if (Compare(GetItemRun(other).GetKey(), start) <= 0) {
          const plat::HTREEITEM previous = m_tree.GetPrevSiblingItem(other);
          after = previous ? previous : plat::kTviFirst;
          break;
        }
      }
      const plat::HTREEITEM inserted = m_tree.InsertItemTree(runItem, item, after);
      GLO_ASSERT(inserted != 0);
      return;
    }
    if (Compare(start, firstStart) >= 0) {
      const plat::HTREEITEM previous = m_tree.GetPrevSiblingItem(item);
      weekAfter = previous ? previous : plat::kTviFirst;
      break;
    }
  }
  const plat::HTREEITEM week = InsertWeek(start, weekAfter, std::move(runItem));
  GLO_ASSERT(week != 0);
}

void HistoryTree_t::RemoveRun(const Run_t& run) {
  const plat::HTREEITEM root = m_tree.GetRootItem();
  GLO_ASSERT(root != 0);
  GLO_ASSERT(m_tree.GetChildItem(root) != 0);
  const glo::Time_t start = run.GetKey();
  for (plat::HTREEITEM week = m_tree.GetChildItem(root); week; week = m_tree.GetNextSiblingItem(week)) {
    GLO_ASSERT(m_tree.GetChildItem(week) != 0);
    for (plat::HTREEITEM item = m_tree.GetChildItem(week); item; item = m_tree.GetNextSiblingItem(item)) {
      if (Compare(GetItemRun(item).GetKey(), start) != 0) continue;
      const bool alone = !m_tree.GetPrevSiblingItem(item) && !m_tree.GetNextSiblingItem(item);
      m_tree.DeleteItem(alone ? week : item);
      return;
    }
  }
  throw glo::Assert_t(GLO_SRC);
}

int HistoryTree_t::GetItemLevel(plat::HTREEITEM item) const {
  int level = 0;
  for (plat::HTREEITEM parent = m_tree.GetParentItem(item); parent; parent = m_tree.GetParentItem(parent)) ++level;
  return level;
}

plat::HTREEITEM HistoryTree_t::Selected() const {
  const plat::HTREEITEM item = m_tree.GetSelectedItem();
  if (!item) throw win::Error_t(GLO_SRC, plat::kErrorInvalidParameter);
  return item;
}

int HistoryTree_t::GetSelectionLevel() const { return GetItemLevel(Selected()); }

const Run_t& HistoryTree_t::GetItemRun(plat::HTREEITEM item) const {
  GLO_ASSERT(GetItemLevel(item) == kRun);
  const auto* run = reinterpret_cast<const Run_t*>(m_tree.GetItemData(item));
  GLO_ASSERT(run != nullptr);
  return *run;
}

const Run_t& HistoryTree_t::GetSelectedRun() const { return GetItemRun(Selected()); }

const Lap_t& HistoryTree_t::GetSelectedLap() const {
  const plat::HTREEITEM item = Selected();
  const int level = GetItemLevel(item);
  if (level == kRun) {
    const Run_t& run = GetItemRun(item);
    GLO_ASSERT(run.GetLaps().size() == 1);
    return *run.GetLaps().begin();
  }
  GLO_ASSERT(level == kLap);
  const LapSet_t& laps = GetSelectedLapRun().GetLaps();
  const int number = GetSelectedLapNumber();
  GLO_ASSERT(number <= static_cast<int>(laps.size()));
  return *std::next(laps.begin(), number - 1);
}

const Run_t& HistoryTree_t::GetSelectedLapRun() const {
  const plat::HTREEITEM item = Selected();
  GLO_ASSERT(GetItemLevel(item) == kLap);
  return GetItemRun(m_tree.GetParentItem(item));
}

int HistoryTree_t::GetSelectedLapNumber() const {
  plat::HTREEITEM item = Selected();
  GLO_ASSERT(GetItemLevel(item) == kLap);
  int number = 1;
  while ((item = m_tree.GetPrevSiblingItem(item)) != 0) ++number;
  return number;
}

HistoryTreeIntf_t::Range_t HistoryTree_t::GetSelectedRuns() const {
  const plat::HTREEITEM item = Selected();
  switch (GetItemLevel(item)) {
    case kHistory:
      return {m_runs.begin(), m_runs.end()};
    case kWeek: {
      const plat::HTREEITEM first = m_tree.GetChildItem(item);
      GLO_ASSERT(first != 0);
      auto newest = m_runs.find(GetItemRun(first).GetKey());
      GLO_ASSERT(newest != m_runs.end());
      const auto last = std::next(newest);
      auto begin = newest;
      for (plat::HTREEITEM child = m_tree.GetNextSiblingItem(first); child; child = m_tree.GetNextSiblingItem(child)) {
        GLO_ASSERT(begin != m_runs.begin());
        --begin;
      }
      return {begin, last};
    }
    case kRun: {
      const auto run = m_runs.find(GetItemRun(item).GetKey());
      GLO_ASSERT(run != m_runs.end());
      return {run, std::next(run)};
    }
    default:
      throw glo::Assert_t(GLO_SRC);
  }
}

void HistoryTree_t::SelectChild(int n) {
  plat::HTREEITEM child = m_tree.GetChildItem(Selected());
  for (int i = 0; child && i < n; ++i) child = m_tree.GetNextSiblingItem(child);
  GLO_ASSERT(child != 0);
  m_tree.SelectItem(child);
}

}  // namespace app
