#include "map/MAP_MarineChartDialog.h"

#include <algorithm>

#include "afx/AFX_InitControlMember.h"
#include "geo/GEO_Datum.h"
#include "geo/GEO_Grid.h"
#include "geo/GEO_LatLon.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "map/MAP_Registry.h"
#include "map/MAP_Window.h"
#include "mat/MAT_DepthUnits.h"
#include "mpl/MPL_Exception.h"
#include "mpl/MPL_Lbl.h"
#include "mpl/MPL_Paragraph.h"
#include "plat/PLAT_Calendar.h"

namespace map {

namespace {

constexpr std::uint32_t kNoLabel = 0xFFFFFFFFu;
const char kLineBreak[] = "\r\n";

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string Text(int id) { return glo::StringResource_t(id, GLO_SRC).Text(); }

}  // namespace

// ---- text entities ----

std::vector<mpl::TextEntity_t> ReadTextEntities(mpl::Map_t& map, std::uint32_t criteria) {
  std::vector<mpl::TextEntity_t> entities;
  char buffer[151] = {};
  mpl::MdbParagraph_t state;
  state.number = static_cast<std::int32_t>(criteria);
  state.buffer = buffer;
  state.bufferSize = sizeof buffer;
  GLO_ASSERT(map.IsOpen());
  int rc = mpl::MdbOpenParagraph(map.Engine(), state);
  while (rc == 0) {
    mpl::TextEntity_t entity;
    entity.text = buffer;
    // The rest of a long part comes in further chunks.
    while (state.morePending != 0) {
      GLO_ASSERT(map.IsOpen());
      rc = mpl::MdbReadParagraph(map.Engine(), state);
      if (rc != 0) break;
      entity.text += buffer;
    }
    if (rc != 0) break;
    entities.push_back(std::move(entity));
    GLO_ASSERT(map.IsOpen());
    rc = mpl::MdbReadParagraph(map.Engine(), state);
  }
  if (rc != 3) throw mpl::MdbException_t(GLO_SRC, rc);
  return entities;
}

LabelReader_t MapLabelReader(mpl::Map_t* map) {
  GLO_ASSERT(map != nullptr);
  return [map](std::uint32_t offset) { return map->GetLabelText(offset, mpl::kLabelTitleCase); };
}

TextEntityReader_t MapTextEntityReader(mpl::Map_t* map) {
  GLO_ASSERT(map != nullptr);
  return [map](std::uint32_t criteria) { return ReadTextEntities(*map, criteria); };
}

std::vector<TextRun_t> BuildTextRuns(const std::vector<mpl::TextEntity_t>& entities) {
  static const std::string kSans = "MS Sans Serif";
  static const std::string kFixed = "Courier New";
  std::vector<TextRun_t> runs;
  for (const mpl::TextEntity_t& entity : entities) {
    std::string text;
    for (const char c : entity.text) {
      if (c == '\x03') text += kLineBreak;
      else text += c;
    }
    // Every entity ends in an empty line.
    if (text.size() < 2 || !EndsWith(text, kLineBreak)) text += "\r\n\r\n";
    else if (text.size() >= 4 && !EndsWith(text, "\r\n\r\n")) text += kLineBreak;
    TextRun_t run;
    run.text = std::move(text);
    switch (entity.MatchKind()) {
      case 1: run.alignment = plat::kPfaRight; break;
      case 2: run.alignment = plat::kPfaCenter; break;
      default: run.alignment = plat::kPfaLeft; break;
    }
    run.face = entity.MatchKind() == 4 ? kFixed : kSans;
    runs.push_back(std::move(run));
  }
  // The box does not end in empty lines.
  std::size_t total = 0;
  for (const TextRun_t& r : runs) total += r.text.size();
  for (int i = 0; i < 2 && total >= 3; ++i) {
    while (!runs.empty() && runs.back().text.empty()) runs.pop_back();
    if (runs.empty()) break;
    // Every run was made to end in a whole break, so the text's last break lies in one run.
    std::string& last = runs.back().text;
    if (!EndsWith(last, kLineBreak)) break;
    last.resize(last.size() - 2);
    total -= 2;
  }
  while (!runs.empty() && runs.back().text.empty()) runs.pop_back();
  return runs;
}

void TextEntityEditCtrl_t::ShowTextEntities(std::uint32_t criteria, mpl::Map_t* map) {
  GLO_ASSERT(map != nullptr);
  ShowTextEntities(ReadTextEntities(*map, criteria));
}

void TextEntityEditCtrl_t::ShowTextEntities(const std::vector<mpl::TextEntity_t>& entities) {
  for (const TextRun_t& run : BuildTextRuns(entities)) AppendText(run.text, run.alignment, run.face);
}

void TextEntityEditCtrl_t::OnSize(int cx, int cy) {
  plat::RichEditCtrl_t::OnSize(cx, cy);
  Invalidate(true);
}

// ---- value texts ----

std::string YesNoText(int flag) {
  GLO_ASSERT(flag == 0 || flag == 1);
  return Text(flag == 0 ? 4479 : 4480);
}

std::string ChartAttributeText(int value) {
  GLO_ASSERT(value >= 0 && value <= 28);
  return Text(4481 + value);
}

std::string FormatPackedDate(const mpl::MarineChartRecord_t::Date_t& date) {
  std::string text;
  if (!plat::FormatShortDate(plat::kLocaleUserDefault, date.year, date.month, date.day, text)) return std::string();
  return text;
}

NameValueRows_t BuildChartRows(const mpl::MarineChartRecord_t& chart, const LabelReader_t& labels,
                               const geo::Grid_t* grid) {
  NameValueRows_t rows;
  const auto add = [&rows](int id, std::string value) { rows.emplace_back(Text(id), std::move(value)); };
  if (chart.labelA != kNoLabel) add(4466, labels(chart.labelA));
  if (chart.labelB != kNoLabel) add(4467, labels(chart.labelB));
  add(4468, "1:" + std::to_string(chart.raw25));
  // Classes 2 and 3 are possible in a record but have no word: their number shows.
  add(4469, chart.chartClass <= 1 ? YesNoText(chart.chartClass) : std::to_string(chart.chartClass));
  if (chart.labelD != kNoLabel) add(4470, labels(chart.labelD));
  for (int i = 0; i < 3; ++i) add(4471 + i, FormatPackedDate(chart.dates[static_cast<std::size_t>(i)]));
  add(4474, mat::DepthUnitsName(GetRegistry().DepthUnits.Value()));
  add(4475, mat::DepthUnitsLongName(chart.kind));
  add(4476, labels(chart.labelC));
  add(4477, ChartAttributeText(chart.byte42));
  const geo::Position_t position(chart.coords[4], chart.coords[5]);
  static const geo::LatLonDegMins_t degreesMinutes;
  const int type = grid != nullptr ? grid->GetTypeId() : 0;
  const geo::Grid_t& shown = (type == 15 || type == 16 || type == 17) ? *grid : degreesMinutes;
  add(4478, shown.Format(position, geo::GetWgs84Datum()).text);
  return rows;
}

// ---- list columns ----

std::vector<afx::ListColumn_t> MakeNameValueColumns(int nameTitleId, int valueTitleId) {
  std::vector<afx::ListColumn_t> columns(2);
  for (int i = 0; i < 2; ++i) {
    afx::ListColumn_t& column = columns[static_cast<std::size_t>(i)];
    column.titleId = i == 0 ? nameTitleId : valueTitleId;
    column.title = Text(column.titleId);
    column.format = plat::kLvcfmtLeft;
    column.subItem = i;
  }
  return columns;
}

std::vector<afx::ListColumn_t>& GetChartListColumns() {
  static std::vector<afx::ListColumn_t> columns = MakeNameValueColumns(4464, 4465);
  return columns;
}

void FitListColumns(plat::ListCtrl_t& list, std::vector<afx::ListColumn_t>& columns) {
  const int count = static_cast<int>(columns.size());
  int others = 0;
  for (int i = 0; i < count; ++i) {
    columns[static_cast<std::size_t>(i)].width = list.GetColumnWidth(i);
    if (i != 1) others += columns[static_cast<std::size_t>(i)].width;
  }
  if (count > 1) columns[1].width = std::max(list.GetRowAreaWidth() - others, list.GetStringWidth(columns[1].title));
  for (int i = 0; i < count; ++i) list.SetColumnWidth(i, columns[static_cast<std::size_t>(i)].width);
}

void FillNameValueList(plat::ListCtrl_t& list, std::vector<afx::ListColumn_t>& columns, const std::string& sizingText,
                       const NameValueRows_t& rows) {
  const int width = list.GetStringWidth(sizingText);
  for (afx::ListColumn_t& c : columns) c.width = width;
  GLO_ASSERT(list.GetColumnCount() == 0);
  for (const afx::ListColumn_t& c : columns) list.InsertColumn(c.subItem, c.title, c.format, c.width);
  FitListColumns(list, columns);
  int row = 0;
  for (const auto& [name, value] : rows) {
    list.InsertItem(row, name);
    list.SetItemText(row, 1, value);
    ++row;
  }
}

// ---- layout ----

plat::RECT ControlRect(const plat::Wnd_t& dialog, int id) {
  const plat::Wnd_t* control = dialog.GetDlgItem(id);
  GLO_ASSERT(control != nullptr);
  plat::RECT r = control->GetWindowRect();
  dialog.ScreenToClient(r);
  return r;
}

plat::RECT PlaceOkButton(plat::Wnd_t& dialog, int bottomMargin) {
  plat::Wnd_t* ok = dialog.GetDlgItem(plat::kIdOk);
  GLO_ASSERT(ok != nullptr);
  const plat::RECT client = dialog.GetClientRect();
  const plat::RECT now = ControlRect(dialog, plat::kIdOk);
  const int half = (now.right - now.left) / 2;
  const int height = now.bottom - now.top;
  plat::RECT r;
  r.left = client.right / 2 - half;
  r.right = r.left + 2 * half;
  r.bottom = client.bottom - bottomMargin;
  r.top = r.bottom - height;
  ok->MoveWindow(r);
  return r;
}

void DialogLayout_t::Measure(const plat::Wnd_t& dialog, int sideControl) {
  TakeMinimumSize(dialog);
  m_sideMargin = ControlRect(dialog, sideControl).left;
  m_bottomMargin = dialog.GetClientRect().bottom - ControlRect(dialog, plat::kIdOk).bottom;
}

void DialogLayout_t::TakeMinimumSize(const plat::Wnd_t& dialog) {
  const plat::RECT window = dialog.GetWindowRect();
  m_minWidth = window.right - window.left;
  m_minHeight = window.bottom - window.top;
}

void DialogLayout_t::Finish(plat::Wnd_t& dialog) {
  m_grip.Create(dialog);
  m_finished = true;
  dialog.SetMinTrackSize(m_minWidth, m_minHeight);
}

// ---- the dialog ----

MarineChartPropertiesDialog_t::MarineChartPropertiesDialog_t(const MarineChartInput_t& input)
    : plat::Dialog_t(kTemplateId, nullptr), m_labels(MapLabelReader(input.map)),
      m_entities(MapTextEntityReader(input.map)),
      m_grid(input.window != nullptr ? &input.window->GetGrid() : nullptr) {
  m_chart = input.map->GetMarineObject(input.number);
}

MarineChartPropertiesDialog_t::MarineChartPropertiesDialog_t(const mpl::MarineChartRecord_t& chart,
                                                             LabelReader_t labels, TextEntityReader_t notes,
                                                             const geo::Grid_t* grid)
    : plat::Dialog_t(kTemplateId, nullptr), m_labels(std::move(labels)), m_entities(std::move(notes)),
      m_chart(chart), m_grid(grid) {}

MarineChartPropertiesDialog_t::~MarineChartPropertiesDialog_t() = default;

plat::ListCtrl_t& MarineChartPropertiesDialog_t::List() {
  auto* list = dynamic_cast<plat::ListCtrl_t*>(GetDlgItem(kIdList));
  GLO_ASSERT(list != nullptr);
  return *list;
}

bool MarineChartPropertiesDialog_t::OnInitDialog() {
  plat::Dialog_t::OnInitDialog();
  afx::InitControlMember(*this, kIdNotes, m_notes);
  m_notes.ShowTextEntities(m_entities(m_chart.labelE));
  FillNameValueList(List(), GetChartListColumns(), "XXXXXXXXXXXXXXX", BuildChartRows(m_chart, m_labels, m_grid));
  m_layout.Measure(*this, kIdNotes);
  m_layout.Finish(*this);
  return true;
}

void MarineChartPropertiesDialog_t::OnSize(int cx, int cy) {
  plat::Dialog_t::OnSize(cx, cy);
  if (!m_layout.IsFinished()) return;
  const plat::RECT client = GetClientRect();
  plat::RECT list = ControlRect(*this, kIdList);
  list.right = client.right - m_layout.SideMargin();
  List().MoveWindow(list);
  FitListColumns(List(), GetChartListColumns());
  const plat::RECT ok = PlaceOkButton(*this, m_layout.BottomMargin());
  plat::RECT notes = ControlRect(*this, kIdNotes);
  notes.right = client.right - m_layout.SideMargin();
  notes.bottom = ok.top - m_layout.BottomMargin();
  m_notes.MoveWindow(notes);
  m_layout.Grip().Reposition();
}

}  // namespace map
