#include "map/MAP_TideDialog.h"

#include <algorithm>
#include <cmath>

#include "afx/AFX_GetCheckedRadioButton.h"
#include "afx/AFX_InitControlMember.h"
#include "glo/GLO_DateTime.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "map/MAP_Registry.h"
#include "mat/MAT_UnitConverter.h"
#include "plat/PLAT_Calendar.h"
#include "plat/PLAT_DateTimeRange.h"
#include "plat/PLAT_TimePicture.h"

namespace map {

namespace {

constexpr double kDay = 86400.0;

plat::SYSTEMTIME ToSystemTime(const std::tm& f) {
  return plat::SYSTEMTIME{f.tm_year + 1900, f.tm_mon + 1, f.tm_wday, f.tm_mday, f.tm_hour, f.tm_min, f.tm_sec, 0};
}

int StringWidth(const std::string& text) {
  plat::Dc_t dc;
  GLO_ASSERT(dc.CreateCompatibleDC(nullptr));
  dc.SelectStockObject(plat::kDefaultGuiFont);
  plat::SIZE size{0, 0};
  GLO_ASSERT(dc.GetTextExtentPoint32(text, size));
  return size.cx;
}

}  // namespace

bool& TideDialog_t::StationTime() {
  static bool stationTime = false;
  return stationTime;
}

std::vector<afx::ListColumn_t>& TideDialog_t::Columns() {
  static std::vector<afx::ListColumn_t> columns = [] {
    std::vector<afx::ListColumn_t> c(3);
    const int ids[3] = {6123, 6124, 6125};
    const int formats[3] = {plat::kLvcfmtLeft, plat::kLvcfmtRight, plat::kLvcfmtCenter};
    for (int i = 0; i < 3; ++i) {
      c[i].titleId = ids[i];
      c[i].title = glo::StringResource_t(ids[i], GLO_SRC).Text();
      c[i].format = formats[i];
      c[i].subItem = i;
    }
    return c;
  }();
  return columns;
}

TideDialog_t::TideDialog_t(const mpl::TideStation_t& station, const glo::Time_t& start, int days,
                           const std::string& title, NotesHandler_t notes, plat::Wnd_t* parent)
    : afx::Dialog_t(kTemplateId, parent), m_station(station), m_start(start), m_days(days), m_title(title),
      m_notes(std::move(notes)) {
  TideGraphCtrl_t::RegisterWindowClass();
}

TideDialog_t::~TideDialog_t() = default;

glo::Time_t TideDialog_t::GetEarliest() const { return mpl::GetTideMinDate() - m_station.GetUtcOffset(); }

glo::Time_t TideDialog_t::GetLatest() const {
  return mpl::GetTideMaxDate() - m_station.GetUtcOffset() - glo::TimeSpan_t(m_days * kDay);
}

glo::TimeSpan_t TideDialog_t::GetDisplayOffset(const glo::Time_t& time) const {
  if (StationTime()) return m_station.GetUtcOffset();
  const TideSettings_t& settings = GetTideSettings();
  if (settings.UseLocalTime.Value()) {
    std::tm local{};
    GLO_ASSERT(plat::LocalFields(time.GetValue(), local));
    return glo::GetUtcOffset(local);
  }
  return settings.UserUtcOffset.Value();
}

std::tm TideDialog_t::DisplayCalendar(const glo::Time_t& time) const {
  return DisplayFields(StationTime(), time, m_station.GetUtcOffset());
}

bool TideDialog_t::OnInitDialog() {
  const bool result = afx::Dialog_t::OnInitDialog();
  m_initialised = true;
  afx::InitControlMember(*this, kIdList, m_list);
  afx::InitControlMember(*this, plat::kIdOk, m_ok);
  afx::InitControlMember(*this, kIdNow, m_now);
  afx::InitControlMember(*this, kIdOneDay, m_oneDay);
  afx::InitControlMember(*this, kIdSevenDays, m_sevenDays);
  afx::InitControlMember(*this, kIdFrame, m_frame);
  afx::InitControlMember(*this, kIdTitle, m_titleCtrl);
  afx::InitControlMember(*this, kIdDate, m_date);
  afx::InitControlMember(*this, kIdTime, m_time);
  afx::InitControlMember(*this, kIdGraph, m_graph);
  afx::InitControlMember(*this, kIdStationTime, m_stationTime);
  afx::InitControlMember(*this, kIdNotes, m_notesButton);
  m_graph.Initialise();
  m_grip.Create(*this);

  AnchorControl(kIdList, &m_list, 2, 0);
  for (auto [id, control] : {std::pair<int, plat::Wnd_t*>{plat::kIdOk, &m_ok}, {kIdNow, &m_now},
                             {kIdOneDay, &m_oneDay}, {kIdSevenDays, &m_sevenDays}, {kIdFrame, &m_frame},
                             {kIdDate, &m_date}, {kIdTime, &m_time}, {kIdStationTime, &m_stationTime},
                             {kIdNotes, &m_notesButton}})
    AnchorControl(id, control, 1, 0);
  AnchorControl(kIdTitle, &m_titleCtrl, 0, 0);
  AnchorControl(kIdGraph, &m_graph, 2, 2);
  m_backgroundChildren.insert(kIdFrame);

  m_stationTime.SetCheck(StationTime() ? plat::kBstChecked : plat::kBstUnchecked);
  // The graph starts with the period the start is clamped to below (where the
  // user is told), so that it never predicts outside the served dates.
  const glo::Time_t first = std::clamp(m_start.GetValue(), GetEarliest().GetValue(), GetLatest().GetValue()) ==
                                    m_start.GetValue()
                                ? m_start
                                : (m_start.GetValue() < GetEarliest().GetValue() ? GetEarliest() : GetLatest());
  m_graph.SetData(&m_station, first, GetEarliest(), GetLatest(), m_days, GetDisplayOffset(first), StationTime());
  const plat::RECT window = GetWindowRect();
  SetMinimumSize(window.right - window.left, window.bottom - window.top);

  for (std::size_t i = 0; i < Columns().size(); ++i) {
    const afx::ListColumn_t& c = Columns()[i];
    m_list.InsertColumn(static_cast<int>(i), c.title, c.format, c.width);
  }
  std::string datePicture;
  GLO_ASSERT(plat::GetLocalePicture(plat::kLocaleUserDefault, plat::kLocaleSShortDate, datePicture));
  GLO_ASSERT(m_date.SetFormat(datePicture));
  SizeColumns();
  FillEventList();
  RestorePosition();
  SetPickerRanges();
  SetTimeFormat();
  ClampStart();
  ShowStartTime();

  GLO_ASSERT(m_days == 1 || m_days == 7);
  (m_days == 1 ? m_oneDay : m_sevenDays).SetCheck(plat::kBstChecked);

  plat::LOGFONTA lf = GetRegistry().MapFont();
  lf.lfHeight = -static_cast<int>(std::lround(50 / 10.0 * 96 / 72));  // 50 tenths of a point
  lf.lfWeight = 600;
  GLO_ASSERT(m_titleFont.CreateFontIndirect(lf));
  m_titleCtrl.SetFont(m_titleFont.GetSafeHandle());
  m_titleCtrl.SetWindowText(m_title);

  m_notesButton.EnableWindow(m_station.Notes().IsPresent() && m_notes != nullptr);
  m_graph.SetFocus();
  (void)result;
  return false;
}

void TideDialog_t::OnOK() {
  SavePosition();
  EndDialog(plat::kIdOk);
}

void TideDialog_t::LayoutControls(int cx, int cy) {
  afx::Dialog_t::LayoutControls(cx, cy);
  if (!m_initialised) return;
  UpdateGraph();
  SizeColumns();
  m_grip.Reposition();
}

void TideDialog_t::ClampStart() {
  const glo::Time_t earliest = GetEarliest(), latest = GetLatest();
  if (m_start.GetValue() < earliest.GetValue() || m_start.GetValue() > latest.GetValue()) {
    m_graph.ShowRangeMessage();
    m_start = m_start.GetValue() > latest.GetValue() ? latest : earliest;
  }
}

glo::Time_t TideDialog_t::ReadStartTime() const {
  plat::SYSTEMTIME date{}, time{};
  GLO_ASSERT(m_date.GetTime(date));
  GLO_ASSERT(m_time.GetTime(time));
  std::tm fields{};
  fields.tm_year = date.wYear - 1900;
  fields.tm_mon = date.wMonth - 1;
  fields.tm_mday = date.wDay;
  fields.tm_hour = time.wHour;
  fields.tm_min = time.wMinute;
  fields.tm_sec = time.wSecond;
  fields.tm_isdst = -1;
  glo::TimeSpan_t offset;
  if (StationTime())
    offset = m_station.GetUtcOffset();
  else if (GetTideSettings().UseLocalTime.Value())
    offset = glo::GetUtcOffset(fields);
  else
    offset = GetTideSettings().UserUtcOffset.Value();
  return glo::Time_t(static_cast<std::uint16_t>(date.wYear), static_cast<std::uint16_t>(date.wMonth),
                     static_cast<std::uint16_t>(date.wDay), static_cast<std::uint16_t>(time.wHour),
                     static_cast<std::uint16_t>(time.wMinute), static_cast<std::uint16_t>(time.wSecond), offset);
}

void TideDialog_t::ShowStartTime() {
  const plat::SYSTEMTIME st = ToSystemTime(DisplayCalendar(m_start));
  m_settingPickers = true;
  const bool dateSet = m_date.SetTime(st), timeSet = m_time.SetTime(st);
  m_settingPickers = false;
  GLO_ASSERT(dateSet);
  GLO_ASSERT(timeSet);
}

void TideDialog_t::SetPickerRanges() {
  m_settingPickers = true;
  const bool set = plat::SetDateRange(m_date, ToSystemTime(DisplayCalendar(GetEarliest())),
                                      ToSystemTime(DisplayCalendar(GetLatest())));
  m_settingPickers = false;
  GLO_ASSERT(set);
}

void TideDialog_t::SetTimeFormat() {
  m_timeFormat = GetTimeFormatInfo().picture;
  if (GetDisplayOffset(m_start).GetSeconds() == 0.0) m_timeFormat += " 'UTC'";
  m_settingPickers = true;
  const bool set = m_time.SetFormat(m_timeFormat);
  m_settingPickers = false;
  GLO_ASSERT(set);
}

void TideDialog_t::UpdateGraph() {
  GLO_ASSERT(m_initialised);
  m_graph.SetData(&m_station, m_start, GetEarliest(), GetLatest(), m_days, GetDisplayOffset(m_start), StationTime());
  FillEventList();
}

void TideDialog_t::FillEventList() {
  GLO_ASSERT(m_initialised);
  m_list.DeleteAllItems();
  const mat::UnitConverter_t& unit = GetDepthConverter();
  static const glo::StringResource_t high(6126, GLO_SRC), low(6127, GLO_SRC);
  for (const mpl::TideEvent_t& e : m_graph.GetStats().GetEvents()) {
    const glo::Time_t t = e.time.Time();
    const int row = m_list.InsertItem(m_list.GetItemCount(), FormatTideTime(StationTime(), t, GetDisplayOffset(t)));
    const double height = std::round(unit.Conversion().BaseToSmall(e.height) * 100.0) / 100.0;
    m_list.SetItemText(row, 1, mat::FormatNumber(height, true, 2, 2) + " " + unit.GetSmallUnitName());
    m_list.SetItemText(row, 2, e.high ? high.Text() : low.Text());
  }
}

void TideDialog_t::SizeColumns() {
  if (!m_initialised) return;
  std::vector<afx::ListColumn_t>& columns = Columns();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i].width == -1) {
      columns[i].width = StringWidth(columns[i].title) + 20;
      m_list.SetColumnWidth(static_cast<int>(i), columns[i].width);
    } else {
      columns[i].width = m_list.GetColumnWidth(static_cast<int>(i));
    }
  }
  int others = 0;
  for (std::size_t i = 1; i < columns.size(); ++i) others += columns[i].width;
  const plat::RECT client = m_list.GetClientRect();
  columns[0].width = std::max(static_cast<int>(client.right - client.left) - others, StringWidth(columns[0].title));
  for (std::size_t i = 0; i < columns.size(); ++i) m_list.SetColumnWidth(static_cast<int>(i), columns[i].width);
}

void TideDialog_t::OnDateTimeChange() {
  const glo::Time_t before = m_start;
  m_start = ReadStartTime();
  ClampStart();
  ShowStartTime();
  GLO_ASSERT(m_initialised);
  if (m_start != before) UpdateGraph();
}

void TideDialog_t::OnGraphScrolled() {
  GLO_ASSERT(m_initialised);
  m_start = m_graph.GetStats().GetStart();
  const glo::Time_t before = m_start;
  ClampStart();
  if (m_start != before) UpdateGraph();
  ShowStartTime();
  FillEventList();
}

void TideDialog_t::OnDaySpan() {
  const int id = afx::GetCheckedRadioButton(*this, kIdOneDay);
  GLO_ASSERT(id == kIdOneDay || id == kIdSevenDays);
  const int days = id == kIdOneDay ? 1 : 7;
  if (days != m_days) {
    m_days = days;
    ClampStart();
    ShowStartTime();
    UpdateGraph();
    SetPickerRanges();
  }
  SizeColumns();
}

void TideDialog_t::OnNow() {
  GLO_ASSERT(m_initialised);
  const glo::Time_t now;
  if (now != m_start) {
    m_start = now;
    ClampStart();
    ShowStartTime();
    UpdateGraph();
  }
}

void TideDialog_t::OnStationTime() {
  const bool checked = m_stationTime.GetCheck() == plat::kBstChecked;
  if (checked == StationTime()) return;
  m_start = ReadStartTime();  // still in the time shown so far
  StationTime() = checked;
  ClampStart();
  SetTimeFormat();
  SetPickerRanges();
  ShowStartTime();
  UpdateGraph();
}

void TideDialog_t::OnNotes() {
  GLO_ASSERT(m_station.Notes().IsPresent() && m_notes != nullptr);
  m_notes(m_title, m_station.Notes().Value());
}

bool TideDialog_t::OnCommand(unsigned id, unsigned code) {
  if (m_initialised) {
    switch (id) {
      case kIdDate:
      case kIdTime:
        if (code == plat::kDtnDateTimeChange) {
          if (!m_settingPickers) OnDateTimeChange();
          return true;
        }
        break;
      case kTideGraphScrolled: OnGraphScrolled(); return true;
      case kIdOneDay:
      case kIdSevenDays:
        if (code == plat::kBnClicked) OnDaySpan();
        return true;
      case kIdNotes: OnNotes(); return true;
      case kIdNow: OnNow(); return true;
      case kIdStationTime: OnStationTime(); return true;
      default: break;
    }
  }
  return afx::Dialog_t::OnCommand(id, code);
}

}  // namespace map
