// The marine chart dialog: the notes' text pieces and the chart's rows built
// from records in memory, the dialog's layout on its rendered picture and as
// it is resized, Enter and Escape, and a chart read from a generated map.
#include <gtest/gtest.h>

#include "geo/GEO_Datum.h"
#include "geo/GEO_LatLon.h"
#include "glo/GLO_Exception.h"
#include "map/MAP_MarineChartDialog.h"
#include "map/MAP_PropertyDialogs.h"
#include "map/MAP_Registry.h"
#include "mat/MAT_DepthUnits.h"
#include "mpl/MPL_Exception.h"
#include "plat/PLAT_App.h"
#include "tests/imgkit/LblBuilder.h"
#include "tests/imgkit/ParagraphBuilder.h"
#include "tests/mapwin/DialogLayoutCheck.h"
#include "tests/mapwin/MapWinTestUtil.h"
#include "tests/mpl/LblMap.h"
#include "tests/mpl/MapFacadeFixture.h"

namespace {

using dialogtest::Text;

mpl::TextEntity_t Entity(const std::string& text, int kind) {
  mpl::TextEntity_t e;
  e.text = text;
  e.SetMatchKind(kind);
  return e;
}

std::int32_t Semicircles(double degrees) { return static_cast<std::int32_t>(degrees / 180.0 * 2147483648.0); }

mpl::MarineChartRecord_t Chart() {
  mpl::MarineChartRecord_t c;
  c.number = 1;
  c.kind = 2;
  c.chartClass = 1;
  c.byte42 = 1;
  c.labelA = 10;
  c.labelB = 20;
  c.labelC = 30;
  c.labelD = 40;
  c.labelE = 7;
  c.coords[4] = Semicircles(50.5);
  c.coords[5] = Semicircles(-1.25);
  c.raw25 = 1234567;
  c.dates = {{{6, 1, 2015}, {12, 1, 1999}, {2, 29, 2020}}};
  return c;
}

std::string Label(std::uint32_t offset) { return "Label " + std::to_string(offset); }

// A grid that is not latitude and longitude.
class ProjectedGrid_t : public geo::Grid_t {
 public:
  geo::GridText_t Format(const geo::Position_t&, const geo::Datum_t&) const override {
    return geo::GridText_t("projected");
  }
  geo::Position_t Parse(const geo::GridText_t&, const geo::Datum_t&) const override { return geo::Position_t(); }
  int GetTypeId() const override { return 40; }
  double GetConvergence(const geo::Position_t&, const geo::Datum_t&) const override { return 0.0; }
};

// A map window whose grid is degrees, minutes and seconds.
class GridWindow : public mapwintest::TestWindow {
 public:
  geo::Grid_t& GetGrid() override { return grid; }
  geo::LatLonDMS_t grid;
};

class MarineChartDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plat::EnsureGuiApplication());
    plat::SetResourceHandle(glo::GetResourceModule());
  }
  void TearDown() override { plat::SetModalHook(nullptr); }
  mapwintest::MetricUnits_t m_units;
};

TEST(MarineChartTextTest, EntitiesEndInAnEmptyLineAndTheBoxDoesNot) {
  using Runs = std::vector<map::TextRun_t>;
  const std::string sans = "MS Sans Serif", fixed = "Courier New";
  const struct {
    const char* what;
    std::vector<mpl::TextEntity_t> entities;
    Runs runs;
  } cases[] = {
      {"0x03 breaks the line; the last empty lines come off",
       {Entity("Shoal\x03" "Rocks", 0)},
       {{"Shoal\r\nRocks", plat::kPfaLeft, sans}}},
      {"an empty line already there gets nothing more",
       {Entity("Caution\r\n\r\n", 1), Entity("Buoyed", 2)},
       {{"Caution\r\n\r\n", plat::kPfaRight, sans}, {"Buoyed", plat::kPfaCenter, sans}}},
      {"one break gets a second",
       {Entity("Depths\r\n", 4), Entity("See notes", 3)},
       {{"Depths\r\n\r\n", plat::kPfaLeft, fixed}, {"See notes", plat::kPfaLeft, sans}}},
      {"short texts", {Entity("", 0), Entity("z", 0)}, {{"\r\n\r\n", plat::kPfaLeft, sans}, {"z", plat::kPfaLeft, sans}}},
      {"a lone break is short: nothing appended", {Entity("\r\n", 0), Entity("q", 1)},
       {{"\r\n", plat::kPfaLeft, sans}, {"q", plat::kPfaRight, sans}}},
      {"trailing breaks come off across pieces, twice at most", {Entity("a", 0), Entity("\r\n", 2)},
       {{"a\r\n", plat::kPfaLeft, sans}}},
      {"the removal stops below three characters", {Entity("", 2)}, {{"\r\n", plat::kPfaCenter, sans}}},
      {"no entities", {}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(map::BuildTextRuns(c.entities), c.runs) << c.what;
}

TEST_F(MarineChartDialogTest, RowsInOrderWithTheirConditions) {
  mpl::MarineChartRecord_t chart = Chart();
  const geo::LatLonDegMins_t degreesMinutes;
  const geo::LatLonDMS_t dms;
  const geo::Position_t where(chart.coords[4], chart.coords[5]);
  const std::string position = degreesMinutes.Format(where, geo::GetWgs84Datum()).text;
  const map::NameValueRows_t rows = map::BuildChartRows(chart, Label, &degreesMinutes);
  const map::NameValueRows_t want = {
      {Text(4466), "Label 10"},
      {Text(4467), "Label 20"},
      {Text(4468), "1:1234567"},
      {Text(4469), Text(4480)},
      {Text(4470), "Label 40"},
      {Text(4471), map::FormatPackedDate(chart.dates[0])},
      {Text(4472), map::FormatPackedDate(chart.dates[1])},
      {Text(4473), map::FormatPackedDate(chart.dates[2])},
      {Text(4474), mat::DepthUnitsName(mat::DepthUnits_t::Metres)},
      {Text(4475), mat::DepthUnitsLongName(2)},
      {Text(4476), "Label 30"},
      {Text(4477), Text(4482)},
      {Text(4478), position},
  };
  EXPECT_EQ(rows, want);
  EXPECT_NE(rows[5].second.find("2015"), std::string::npos);
  EXPECT_NE(position.find("50"), std::string::npos);

  // Absent labels drop their rows; the others move up.
  chart.labelA = chart.labelB = chart.labelD = 0xFFFFFFFFu;
  const map::NameValueRows_t fewer = map::BuildChartRows(chart, Label, nullptr);
  ASSERT_EQ(fewer.size(), 10u);
  EXPECT_EQ(fewer[0].first, Text(4468));
  EXPECT_EQ(fewer[2].first, Text(4471));
  EXPECT_EQ(fewer.back(), (std::pair<std::string, std::string>{Text(4478), position}));  // no grid: degrees, minutes

  // The position in the window's latitude/longitude grid, never in a projected one.
  EXPECT_EQ(map::BuildChartRows(chart, Label, &dms).back().second, dms.Format(where, geo::GetWgs84Datum()).text);
  const ProjectedGrid_t projected;
  EXPECT_EQ(map::BuildChartRows(chart, Label, &projected).back().second, position);

  // Depth units follow the user's setting.
  map::GetRegistry().DepthUnits.Set(mat::DepthUnits_t::Fathoms);
  EXPECT_EQ(map::BuildChartRows(chart, Label, nullptr)[5].second, mat::DepthUnitsName(mat::DepthUnits_t::Fathoms));
}

TEST_F(MarineChartDialogTest, ValueTextsAndTheirLimits) {
  EXPECT_EQ(map::YesNoText(0), Text(4479));
  EXPECT_EQ(map::YesNoText(1), Text(4480));
  EXPECT_THROW(map::YesNoText(2), glo::Assert_t);
  EXPECT_EQ(map::ChartAttributeText(0), Text(4481));
  EXPECT_EQ(map::ChartAttributeText(28), Text(4509));
  EXPECT_THROW(map::ChartAttributeText(29), glo::Assert_t);
  // A stored value past the texts fails the rows (the dialog does not open).
  mpl::MarineChartRecord_t chart = Chart();
  chart.byte42 = 29;
  EXPECT_THROW(map::BuildChartRows(chart, Label, nullptr), glo::Assert_t);
  // Classes 2 and 3 have no word: they show their number.
  chart = Chart();
  chart.chartClass = 3;
  EXPECT_EQ(map::BuildChartRows(chart, Label, nullptr)[3].second, "3");
  // A date that is no calendar date shows empty rather than failing the dialog.
  chart.dates[0] = {0, 1, 0};
  chart.dates[1] = {13, 1, 2001};
  const map::NameValueRows_t rows = map::BuildChartRows(chart, Label, nullptr);
  EXPECT_EQ(rows[5].second, "");
  EXPECT_EQ(rows[6].second, "");
  EXPECT_NE(rows[7].second, "");
}

TEST_F(MarineChartDialogTest, ShowsRowsAndNotesAndKeepsItsLayout) {
  const geo::LatLonDegMins_t grid;
  std::vector<std::uint32_t> asked;
  map::MarineChartPropertiesDialog_t dialog(
      Chart(), Label,
      [&](std::uint32_t criteria) {
        asked.push_back(criteria);
        return std::vector<mpl::TextEntity_t>{Entity("Caution\x03Shoals", 2), Entity("fixed", 4)};
      },
      &grid);
  const int result = dialogtest::RunAndPress<map::MarineChartPropertiesDialog_t>(dialog, [&](auto& d) {
    dialogtest::MaybeSave(d, "chart-dialog");
    plat::ListCtrl_t& list = d.List();
    ASSERT_EQ(list.GetColumnCount(), 2);
    EXPECT_EQ(list.GetColumnTitle(0), Text(4464));
    EXPECT_EQ(list.GetColumnTitle(1), Text(4465));
    const map::NameValueRows_t rows = map::BuildChartRows(d.GetChart(), Label, &grid);
    ASSERT_EQ(list.GetItemCount(), static_cast<int>(rows.size()));
    for (int r = 0; r < list.GetItemCount(); ++r) {
      EXPECT_EQ(list.GetItemText(r, 0), rows[static_cast<std::size_t>(r)].first);
      EXPECT_EQ(list.GetItemText(r, 1), rows[static_cast<std::size_t>(r)].second);
    }
    // The notes of the chart's text entity, the centred one first.
    map::TextEntityEditCtrl_t& notes = d.Notes();
    EXPECT_EQ(notes.GetWindowText(), "Caution\r\nShoals\r\n\r\nfixed");
    EXPECT_EQ(notes.GetParagraphAlignment(0), plat::kPfaCenter);
    EXPECT_EQ(notes.GetParagraphAlignment(1), plat::kPfaCenter);
    EXPECT_EQ(notes.GetParagraphAlignment(3), plat::kPfaLeft);
    EXPECT_EQ(notes.GetParagraphFace(3), "Courier New");

    // The rendered layout: list above notes above a centred OK, text drawn in both.
    dialogtest::ExpectTidyLayout(d);
    const plat::RECT client = d.GetClientRect();
    const plat::RECT listRect = map::ControlRect(d, 4551), notesRect = map::ControlRect(d, 4552);
    const plat::RECT ok = map::ControlRect(d, plat::kIdOk);
    EXPECT_LT(listRect.bottom, notesRect.top);
    EXPECT_LT(notesRect.bottom, ok.top);
    EXPECT_LE(std::abs((ok.left + ok.right) - client.right), 1);
    {
      const dialogtest::Picture_t picture(d);
      EXPECT_GT(picture.Count(listRect, dialogtest::Picture_t::Dark), 50);
      EXPECT_GT(picture.Count(notesRect, dialogtest::Picture_t::Dark), 20);
      EXPECT_GT(picture.Count(notesRect, dialogtest::Picture_t::White), (notesRect.right - notesRect.left) * 10);
    }
    // Wider: only the value column and the boxes widen, the value column filling the list; OK stays centred.
    plat::RECT window = d.GetWindowRect();
    const int width = window.right - window.left, height = window.bottom - window.top;
    window.right += 40;
    d.MoveWindow(window);
    const int name = list.GetColumnWidth(0), value = list.GetColumnWidth(1);
    EXPECT_EQ(name + value, list.GetRowAreaWidth());
    window.right += 80;
    window.bottom += 60;
    d.MoveWindow(window);
    EXPECT_EQ(list.GetColumnWidth(0), name);
    EXPECT_EQ(list.GetColumnWidth(1), value + 80);
    const plat::RECT wideList = map::ControlRect(d, 4551), wideNotes = map::ControlRect(d, 4552);
    const plat::RECT wideOk = map::ControlRect(d, plat::kIdOk);
    EXPECT_EQ(wideList.right, listRect.right + 120);
    EXPECT_EQ(wideList.bottom - wideList.top, listRect.bottom - listRect.top);
    EXPECT_EQ(wideNotes.right, notesRect.right + 120);
    EXPECT_EQ(wideNotes.bottom, notesRect.bottom + 60);
    EXPECT_EQ(wideOk.bottom, ok.bottom + 60);
    EXPECT_EQ(wideOk.right - wideOk.left, ok.right - ok.left);
    EXPECT_LE(std::abs((wideOk.left + wideOk.right) - d.GetClientRect().right), 1);
    dialogtest::ExpectTidyLayout(d);
    // Never smaller than it opened.
    window.right = window.left + width / 2;
    window.bottom = window.top + height / 2;
    d.MoveWindow(window);
    window = d.GetWindowRect();
    EXPECT_EQ(window.right - window.left, width);
    EXPECT_EQ(window.bottom - window.top, height);
  });
  EXPECT_EQ(result, plat::kIdOk);
  EXPECT_EQ(asked, std::vector<std::uint32_t>{7});

  // Escape closes it too, as a cancel.
  map::MarineChartPropertiesDialog_t again(Chart(), Label, [](std::uint32_t) { return std::vector<mpl::TextEntity_t>{}; },
                                           nullptr);
  EXPECT_EQ(dialogtest::RunAndPress<map::MarineChartPropertiesDialog_t>(
                again, [](auto& d) { EXPECT_EQ(d.Notes().GetWindowText(), ""); }, plat::kVkEscape),
            plat::kIdCancel);
}

// A marine chart whose label sub-file holds the labels and the chart table.
std::string ChartLbl(std::vector<std::uint32_t>& labels) {
  imgkit::LblBuilder_t lbl;
  lbl.header.length = 236;
  for (const char* text : {"Harbour Approaches", "Inner Basin", "Admiralty", "No 1234"})
    labels.push_back(lbl.AddLabel(text));
  const std::string plain = lbl.Build();
  lbl.header.marineOffset = static_cast<std::uint32_t>(plain.size());
  lbl.header.marineLength = 46;
  lbl.header.marineRecordSize = 46;
  std::string r(46, '\0');
  r[0] = static_cast<char>(0x01 | (2 << 2));  // class 1, kind code 2 (stored kind 4)
  imgkit::Put24(r, 1, labels[0]);
  imgkit::Put24(r, 4, labels[1]);
  imgkit::Put24(r, 10 + 9, 0x123456);
  imgkit::Put32(r, 25, 50000);
  imgkit::Put24(r, 29, labels[3]);
  imgkit::Put24(r, 32, labels[2]);
  imgkit::Put16(r, 35, 2001 | (3 << 12));
  imgkit::Put16(r, 37, 2002 | (4 << 12));
  imgkit::Put16(r, 39, 2003 | (5 << 12));
  r[41] = 14;
  r[42] = 2;
  return lbl.Build() + r;
}

TEST_F(MarineChartDialogTest, ReadsTheChartOfAGeneratedMap) {
  imgkit::MapBuilder_t m = mpltest::BasicMap();
  m.tre.word67 = 0x00120000;
  std::vector<std::uint32_t> labels;
  const facadetest::Image_t image(lbltest::WithLbl(m, ChartLbl(labels)));
  mpl::Map_t chartMap(image.source, m.name, "");
  map::MarineChartInput_t input;
  input.number = 1;
  input.map = &chartMap;
  map::MarineChartPropertiesDialog_t dialog(input);
  EXPECT_EQ(dialog.GetChart().kind, 4);
  EXPECT_EQ(dialogtest::RunAndPress<map::MarineChartPropertiesDialog_t>(dialog, [&](auto& d) {
    plat::ListCtrl_t& list = d.List();
    ASSERT_EQ(list.GetItemCount(), 13);
    EXPECT_EQ(list.GetItemText(0, 1), "Harbour Approaches");
    EXPECT_EQ(list.GetItemText(1, 1), "Inner Basin");
    EXPECT_EQ(list.GetItemText(2, 1), "1:50000");
    EXPECT_EQ(list.GetItemText(3, 1), Text(4480));
    EXPECT_EQ(list.GetItemText(4, 1), "Admiralty");
    EXPECT_EQ(list.GetItemText(9, 1), mat::DepthUnitsLongName(4));
    EXPECT_EQ(list.GetItemText(10, 1), "No 1234");
    EXPECT_EQ(list.GetItemText(11, 1), Text(4483));
  }), plat::kIdOk);
  // The properties command shows it with positions in the window's grid.
  GridWindow window;
  input.window = &window;
  std::string shownPosition;
  plat::SetModalHook([&](plat::Dialog_t& d) {
    shownPosition = dynamic_cast<map::MarineChartPropertiesDialog_t&>(d).List().GetItemText(12, 1);
    d.EndDialog(plat::kIdOk);
  });
  map::ShowFeatureDescription(input);
  plat::SetModalHook(nullptr);
  const geo::Position_t where(dialog.GetChart().coords[4], dialog.GetChart().coords[5]);
  EXPECT_EQ(window.grid.Format(where, geo::GetWgs84Datum()).text, shownPosition);
  EXPECT_NE(geo::LatLonDegMins_t().Format(where, geo::GetWgs84Datum()).text, shownPosition);
  // No such record, or a closed map: the dialog is not made.
  input.number = 2;
  EXPECT_THROW(map::MarineChartPropertiesDialog_t{input}, mpl::MdbException_t);
  mpl::Map_t closed;
  input.map = &closed;
  input.number = 1;
  EXPECT_THROW(map::MarineChartPropertiesDialog_t{input}, glo::Assert_t);
}

// The notes of a map: one entity per part of the paragraph, a long part
// assembled from several chunks.
TEST_F(MarineChartDialogTest, TextEntitiesOfAGeneratedMap) {
  imgkit::ParagraphFiles_t files;
  files.offsetShift = 0;
  const std::string longText(400, 'w');
  files.paragraphs = {{imgkit::PlainPart("first"), imgkit::PlainPart(longText)}, {imgkit::PlainPart("other")}};
  imgkit::MapBuilder_t m = mpltest::BasicMap();
  std::vector<imgkit::MapFile_t> mapFiles = lbltest::WithLbl(m, files.Lbl());
  const facadetest::Image_t image(mapFiles);
  mpl::Map_t textMap(image.source, m.name, "");
  ASSERT_TRUE(textMap.IsOpen());
  const std::vector<mpl::TextEntity_t> entities =
      map::ReadTextEntities(textMap, static_cast<std::uint32_t>(files.Number(0)));
  ASSERT_EQ(entities.size(), 2u);
  EXPECT_EQ(entities[0].text, "first");
  EXPECT_EQ(entities[1].text, longText);
  EXPECT_EQ(entities[1].MatchKind(), 0);
  mpl::Map_t closed;
  EXPECT_THROW(map::ReadTextEntities(closed, 0), glo::Assert_t);
}

}  // namespace
