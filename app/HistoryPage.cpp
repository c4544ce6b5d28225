#include "app/HistoryPage.h"

#include "app/ValueFormat.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "map/MAP_Registry.h"

namespace app {

namespace {

constexpr int kList = 1002;

// The width samples of the seven columns.
const char* const kWidthSamples[7] = {"XXXXXXXXXXXXXXXX", "XXXXXX xx (XX.X xx)", "XX:XX:XX", "XX:XX min/xx",
                                      "XXXXXXXXXX",       "XXXXXXXXXX",          "XXXXXXXXXXXXX"};

// The width of a text in the default font of the controls.
int TextWidth(const std::string& text) {
  plat::Dc_t dc;
  dc.CreateCompatibleDC(nullptr);
  dc.SelectStockObject(plat::kDefaultGuiFont);
  plat::SIZE size{0, 0};
  dc.GetTextExtentPoint32(text, size);
  return size.cx;
}

}  // namespace

RunSet_t::const_iterator FirstWithLaps(RunSet_t::const_iterator first, RunSet_t::const_iterator last) {
  while (first != last && !first->HasLaps()) ++first;
  return first;
}

RunListPage_t::RunListPage_t(plat::Wnd_t* formView, int firstTitle, SelectChild_t selectChild)
    : SummaryPage_t(146, formView),
      m_units(map::GetRegistry().DistanceUnitsType.Value()),
      m_firstTitle(firstTitle),
      m_selectChild(std::move(selectChild)) {
  // The list stretches with the page; the totals and their labels stay below it.
  Anchor(kList, AnchorBoth, AnchorBoth);
  for (plat::Wnd_t* child : GetChildren())
    if (child->GetDlgCtrlID() != kList && child->GetDlgCtrlID() != 1026) Anchor(*child, AnchorNear, AnchorFar);
}

plat::ListCtrl_t& RunListPage_t::GetList() const {
  plat::ListCtrl_t* list = dynamic_cast<plat::ListCtrl_t*>(&Item(kList));
  GLO_ASSERT(list != nullptr);
  return *list;
}

void RunListPage_t::Fill(RunSet_t::const_iterator first, RunSet_t::const_iterator last, const std::vector<RunRow_t>& rows,
                         const std::string& title) {
  plat::ListCtrl_t& list = GetList();
  const std::string heartRate = FormatRangeHeartRate(first, last);
  const int columns = heartRate.empty() ? 6 : 7;
  GLO_ASSERT(list.GetColumnCount() == 0);
  for (int c = 0; c < columns; ++c)
    list.InsertColumn(c, glo::StringResource_t(c == 0 ? m_firstTitle : 165 + c, GLO_SRC).Text(), plat::kLvcfmtLeft,
                      TextWidth(kWidthSamples[c]) + 20);
  for (const RunRow_t& row : rows) {
    list.InsertItem(0, row.label);
    list.SetItemText(0, 1, FormatRangeDistance(row.first, row.last, m_units));
    list.SetItemText(0, 2, FormatRangeTime(row.first, row.last));
    list.SetItemText(0, 3, FormatRangePace(row.first, row.last, m_units));
    list.SetItemText(0, 4, FormatRangeSpeed(row.first, row.last, m_units));
    list.SetItemText(0, 5, FormatRangeCalories(row.first, row.last));
    if (columns == 7) list.SetItemText(0, 6, FormatRangeHeartRate(row.first, row.last));
  }
  SetItemText(1005, FormatRangeDistance(first, last, m_units));
  SetItemText(1007, FormatRangeTime(first, last));
  SetItemText(1014, FormatRangePace(first, last, m_units));
  SetItemText(1015, FormatRangeSpeed(first, last, m_units));
  SetItemText(1009, FormatRangeCalories(first, last));
  SetItemText(1017, heartRate);
  if (heartRate.empty()) {
    ShowItem(1017, false);
    ShowItem(1033, false);
  }
  SetItemText(1026, title);
  Finish();
}

bool RunListPage_t::OnCommand(unsigned id, unsigned code) {
  if (id == kList && code == plat::kNmDblClk) {
    const int row = GetList().GetSelectedItem();
    if (row >= 0 && m_selectChild) m_selectChild(row);
    return true;
  }
  return SummaryPage_t::OnCommand(id, code);
}

HistoryDialog_t::HistoryDialog_t(plat::Wnd_t* formView, const RunSet_t& runs, const std::string& userName,
                                 SelectChild_t selectChild)
    : RunListPage_t(formView, 150, std::move(selectChild)) {
  // Runs without laps (kept first by the set) have no week and add nothing.
  const RunSet_t::const_iterator shown = FirstWithLaps(runs.begin(), runs.end());
  std::vector<RunRow_t> rows;
  for (RunSet_t::const_iterator first = shown; first != runs.end();) {
    const glo::Time_t start = first->GetLaps().begin()->GetStart();
    const std::int64_t week = WeekStart(start).GetValue();
    RunSet_t::const_iterator last = std::next(first);
    while (last != runs.end() && WeekStart(last->GetLaps().begin()->GetStart()).GetValue() == week) ++last;
    rows.push_back(RunRow_t{FormatWeekLabel(start), first, last});
    first = last;
  }
  std::string title = glo::StringResource_t(149, GLO_SRC).Text();
  if (!userName.empty()) title += " - " + userName;
  Fill(shown, runs.end(), rows, title);
}

}  // namespace app
