// Label placement: the grid of cells, acceptance by priority and overlap
// (upright and rotated), repeats of one name, the longest visible segment
// and the offers of areas, lines and points.
#include <gtest/gtest.h>

#include "map/MAP_Dymo.h"
#include "tests/mapwin/LabelTestUtil.h"

namespace {

using labeltest::Box;
using labeltest::Canvas;
using labeltest::FakeSource;
using labeltest::Turned;

class DymoPlacementTest : public ::testing::Test {
 protected:
  void SetUp() override { labeltest::UseLabelSettings(); }
  static int Count(const map::Dymo_t& grid) {
    int n = 0;
    for (int r = 0; r < grid.Rows(); ++r)
      for (int c = 0; c < grid.Columns(); ++c) n += static_cast<int>(grid.Cell(r, c).Labels().size());
    return n;
  }
  FakeSource source;
};

TEST_F(DymoPlacementTest, GridCellsAndTheirEdges) {
  map::Dymo_t small(plat::RECT{0, 0, 199, 199}, nullptr);
  EXPECT_EQ(1, small.Columns());
  EXPECT_EQ(1, small.Rows());
  EXPECT_EQ(plat::RECT({0, 0, 198, 198}), small.Cell(0, 0).Rect());
  EXPECT_NE(nullptr, small.FindCell(plat::POINT{197, 197}));
  EXPECT_EQ(nullptr, small.FindCell(plat::POINT{198, 10}));

  map::Dymo_t grid(plat::RECT{0, 0, 1000, 600}, nullptr);
  EXPECT_EQ(6, grid.Columns());
  EXPECT_EQ(4, grid.Rows());  // cells of 166 x 150, pitch 165 x 149
  EXPECT_EQ(plat::RECT({165, 149, 330, 298}), grid.Cell(1, 1).Rect());
  EXPECT_EQ(&grid.Cell(0, 1), grid.FindCell(plat::POINT{165, 0}));
  EXPECT_EQ(&grid.Cell(0, 0), grid.FindCell(plat::POINT{164, 148}));
  EXPECT_EQ(&grid.Cell(3, 5), grid.FindCell(plat::POINT{989, 595}));
  EXPECT_EQ(nullptr, grid.FindCell(plat::POINT{990, 10}));   // the last pixels lie in no cell
  EXPECT_EQ(nullptr, grid.FindCell(plat::POINT{10, 596}));
}

TEST_F(DymoPlacementTest, OverlapDecidedByPriority) {
  struct Case { const char* what; std::uint32_t first, second; bool secondStays; int left; };
  const Case cases[] = {{"equal priority: the first stays", 50, 50, false, 1},
                        {"weaker refused", 50, 40, false, 1},
                        {"stronger replaces", 50, 60, true, 1}};
  for (const Case& k : cases) {
    map::Dymo_t grid(plat::RECT{0, 0, 400, 400}, nullptr);
    map::DymoCell_t& cell = *grid.FindCell(plat::POINT{10, 10});
    EXPECT_TRUE(grid.Place(Box(10, 10, 80, 30, k.first), cell)) << k.what;
    EXPECT_EQ(k.secondStays, grid.Place(Box(70, 25, 150, 45, k.second), cell)) << k.what;
    EXPECT_EQ(k.left, Count(grid)) << k.what;
    EXPECT_EQ(k.secondStays ? k.second : k.first, cell.Labels().front().priority) << k.what;
  }
  // Boxes that only touch overlap; one pixel apart they do not.
  map::Dymo_t grid(plat::RECT{0, 0, 400, 400}, nullptr);
  map::DymoCell_t& cell = *grid.FindCell(plat::POINT{10, 10});
  EXPECT_TRUE(grid.Place(Box(10, 10, 80, 30, 50), cell));
  EXPECT_FALSE(grid.Place(Box(80, 10, 120, 30, 50), cell));
  EXPECT_TRUE(grid.Place(Box(81, 10, 120, 30, 50), cell));
}

TEST_F(DymoPlacementTest, StrongerLabelRemovesEveryWeakerItOverlapsInAnyCell) {
  map::Dymo_t grid(plat::RECT{0, 0, 400, 400}, nullptr);
  // Two weak labels on both sides of the border between two cells.
  EXPECT_TRUE(grid.Place(Box(150, 10, 195, 30, 10), *grid.FindCell(plat::POINT{150, 10})));
  EXPECT_TRUE(grid.Place(Box(210, 10, 260, 30, 10), *grid.FindCell(plat::POINT{210, 10})));
  EXPECT_EQ(2, Count(grid));
  EXPECT_TRUE(grid.Place(Box(180, 20, 230, 40, 90), *grid.FindCell(plat::POINT{180, 20})));
  EXPECT_EQ(1, Count(grid));
}

TEST_F(DymoPlacementTest, RefusedLabelRemovesNothing) {
  // The new label beats the weak one in the first cell but loses to the
  // strong one in a later cell: it is refused and the weak one stays.
  map::Dymo_t grid(plat::RECT{0, 0, 400, 400}, nullptr);
  map::DymoCell_t& first = *grid.FindCell(plat::POINT{90, 10});
  map::DymoCell_t& second = *grid.FindCell(plat::POINT{140, 10});
  ASSERT_NE(&first, &second);
  EXPECT_TRUE(grid.Place(Box(90, 10, 125, 30, 10), first));
  EXPECT_TRUE(grid.Place(Box(140, 10, 190, 30, 200), second));
  EXPECT_FALSE(grid.Place(Box(120, 20, 150, 40, 90), first));
  EXPECT_EQ(2, Count(grid));
  EXPECT_EQ(1u, first.Labels().size());
  EXPECT_EQ(10u, first.Labels().front().priority);
}

TEST_F(DymoPlacementTest, RotatedBoxesUseTheExactTest) {
  struct Case { const char* what; map::Label_t a, b; bool overlap; };
  const Case cases[] = {
      // Parallel diagonal boxes whose bounding rectangles meet but which do not touch.
      {"parallel apart", Turned(100, 100, 50, 10, 45, 1), Turned(80, 80, 50, 10, 45, 1), false},
      {"parallel touching", Turned(100, 100, 50, 10, 45, 1), Turned(105, 95, 50, 10, 45, 1), true},
      {"crossing diagonals", Turned(100, 100, 50, 10, 45, 1), Turned(100, 100, 50, 10, 135, 1), true},
      {"upright beside rotated", Box(140, 140, 180, 160, 1), Turned(100, 100, 40, 10, 45, 1), false},
      {"upright crossed by rotated", Box(90, 90, 110, 110, 1), Turned(100, 100, 40, 10, 30, 1), true},
      {"bounding rectangles apart", Turned(100, 100, 20, 10, 30, 1), Turned(300, 300, 20, 10, 30, 1), false}};
  for (const Case& k : cases) {
    EXPECT_EQ(k.overlap, map::Label_t::Overlaps(k.a, k.b)) << k.what;
    EXPECT_EQ(k.overlap, map::Label_t::Overlaps(k.b, k.a)) << k.what;
  }
  // Bounding rectangles meet in every case but the last.
  const map::Label_t a = Turned(100, 100, 50, 10, 45, 1), b = Turned(80, 80, 50, 10, 45, 1);
  EXPECT_TRUE(a.MaxX() >= b.MinX() && a.MinY() <= b.MaxY());
}

TEST_F(DymoPlacementTest, OneNameIsNotRepeatedWithin200Pixels) {
  struct Case { int distance; std::int32_t kind; bool bothStay; };
  const Case cases[] = {{150, map::kAreaLabel, false}, {250, map::kAreaLabel, true},
                        {150, map::kLineLabel, false}, {150, map::kPointLabel, true}};
  for (const Case& k : cases) {
    map::Dymo_t grid(plat::RECT{0, 0, 600, 400}, nullptr);
    map::DymoCell_t& cell = *grid.FindCell(plat::POINT{10, 10});
    EXPECT_TRUE(grid.Place(Box(10, 10, 60, 30, 30, 7, k.kind), cell));
    EXPECT_EQ(k.bothStay, grid.Place(Box(10 + k.distance, 10, 60 + k.distance, 30, 30, 7, k.kind), cell))
        << k.distance << " kind " << k.kind;
  }
  // Another priority is not a repeat.
  map::Dymo_t grid(plat::RECT{0, 0, 600, 400}, nullptr);
  map::DymoCell_t& cell = *grid.FindCell(plat::POINT{10, 10});
  EXPECT_TRUE(grid.Place(Box(10, 10, 60, 30, 30, 7, map::kAreaLabel), cell));
  EXPECT_TRUE(grid.Place(Box(160, 10, 210, 30, 31, 7, map::kAreaLabel), cell));
}

TEST_F(DymoPlacementTest, CellKeepsDescendingPriorityAndDropsEmptyTexts) {
  map::Dymo_t grid(plat::RECT{0, 0, 400, 400}, nullptr);
  map::DymoCell_t& cell = *grid.FindCell(plat::POINT{10, 10});
  const std::uint32_t priorities[] = {20, 50, 20, 70, 50};
  for (int i = 0; i < 5; ++i) {
    map::Label_t l = Box(10, 10 + 25 * i, 60, 30 + 25 * i, priorities[i]);
    l.labelId = std::uint32_t(i + 1);
    EXPECT_TRUE(grid.Place(l, cell));
  }
  std::vector<std::uint32_t> ids;
  for (const auto& l : cell.Labels()) ids.push_back(l.labelId);
  EXPECT_EQ((std::vector<std::uint32_t>{4, 2, 5, 1, 3}), ids);
  map::Label_t empty = Box(300, 300, 320, 320, 99);
  empty.text.clear();
  EXPECT_FALSE(grid.Place(empty, cell));
}

TEST_F(DymoPlacementTest, LongestVisibleSegment) {
  map::Dymo_t grid(plat::RECT{0, 0, 400, 300}, nullptr);
  // The second segment is longest but mostly off screen; its visible part
  // (x 0..100) is shorter than the third.
  const plat::POINT line[] = {{10, 10}, {20, 10}, {-1000, 50}, {50, 50}, {50, 200}};
  auto s = grid.FindLongestVisibleSegment(line, 5);
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(50, s->X0());
  EXPECT_EQ(150, std::abs(s->Y1() - s->Y0()));
  // Ties: the first one wins.
  const plat::POINT tie[] = {{10, 10}, {60, 10}, {60, 60}};
  s = grid.FindLongestVisibleSegment(tie, 3);
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(10, s->Y0());
  EXPECT_EQ(10, s->Y1());
  const plat::POINT off[] = {{-50, -50}, {-10, -60}};
  EXPECT_FALSE(grid.FindLongestVisibleSegment(off, 2).has_value());
  EXPECT_THROW(grid.FindLongestVisibleSegment(off, 1), glo::Assert_t);
}

TEST_F(DymoPlacementTest, AreasPointsAndLinesAreOffered) {
  Canvas c(400, 400);
  map::Dymo_t grid(plat::RECT{0, 0, 400, 400}, nullptr);
  source.Set(1, "Pine Lake");
  // Two areas with one name whose centres fall into one cell: the first only.
  grid.AddAreaLabel(c.dc, source, map::AreaLabelRecord_t{60, 1}, plat::POINT{60, 40}, nullptr);
  grid.AddAreaLabel(c.dc, source, map::AreaLabelRecord_t{60, 1}, plat::POINT{60, 160}, nullptr);
  EXPECT_EQ(1, Count(grid));
  // Types 74 and 135 and areas without a name have no label.
  source.Set(2, "Reserve");
  grid.AddAreaLabel(c.dc, source, map::AreaLabelRecord_t{74, 2}, plat::POINT{300, 40}, nullptr);
  grid.AddAreaLabel(c.dc, source, map::AreaLabelRecord_t{60, 0}, plat::POINT{300, 300}, nullptr);
  EXPECT_EQ(1, Count(grid));
  // Outside the clip region: skipped.
  plat::Region_t clip;
  ASSERT_TRUE(clip.CreateRectRgn(0, 0, 100, 100));
  grid.AddAreaLabel(c.dc, source, map::AreaLabelRecord_t{60, 2}, plat::POINT{300, 300}, &clip);
  EXPECT_EQ(1, Count(grid));

  // A measured depth without a label reference still gets a label.
  map::PointLabelRecord_t depth;
  depth.symbol.type = 300;
  depth.symbol.attrClass = 3;
  depth.value = 4;
  grid.AddPointLabel(c.dc, source, depth, plat::POINT{300, 100}, 0);
  EXPECT_EQ(2, Count(grid));
  map::PointLabelRecord_t nameless;
  nameless.symbol.type = 6;
  grid.AddPointLabel(c.dc, source, nameless, plat::POINT{300, 200}, 47);
  EXPECT_EQ(2, Count(grid));
  EXPECT_EQ("4", grid.FindCell(plat::POINT{300, 100})->Labels().front().text);
}

TEST_F(DymoPlacementTest, LineTextsByScaleAndContourUnits) {
  Canvas c(400, 400);
  const std::vector<plat::POINT> road = {{20, 300}, {380, 300}};
  struct Case { std::uint16_t type; double scale; const char* text; const char* shown; };
  source.Set(3, "\x01" "I5 North", 0x800);
  source.Set(3, "Interstate", 0x802);
  source.Set(4, "Elm", 0x800);
  source.Set(4, "Elm Street", 0x802);
  source.Set(5, "100");
  source.Set(6, "ten");
  const struct {
    std::uint32_t id;
    std::uint16_t type;
    double scale;
    const char* shown;
  } cases[] = {{4, 2, 100, "Elm"}, {4, 2, 350, "Elm Street"}, {3, 2, 100, "Interstate"},
               {5, 32, 100, "100"}, {6, 32, 100, nullptr}, {5, 36, 100, "100.0"}};
  for (const auto& k : cases) {
    map::Dymo_t grid(plat::RECT{0, 0, 400, 400}, nullptr);
    grid.AddLineLabel(c.dc, source, map::LineLabelRecord_t{k.type, k.id}, road, k.scale, nullptr);
    if (k.shown == nullptr) {
      EXPECT_EQ(0, Count(grid)) << k.id;
      continue;
    }
    ASSERT_EQ(1, Count(grid)) << k.id;
    const map::Label_t& l = grid.FindCell(plat::POINT{200, 300})->Labels().front();
    EXPECT_EQ(k.shown, l.text);
    EXPECT_EQ(map::LineLabelPriority(k.type) + 1, l.priority);  // horizontal: raised by one
  }
  map::GetRegistry().ElevationUnits.Set(mat::ElevationUnits_t::Feet);
  map::Dymo_t grid(plat::RECT{0, 0, 400, 400}, nullptr);
  grid.AddLineLabel(c.dc, source, map::LineLabelRecord_t{33, 5}, road, 100, nullptr);
  ASSERT_EQ(1, Count(grid));
  EXPECT_EQ("328", grid.FindCell(plat::POINT{200, 300})->Labels().front().text);
}

TEST_F(DymoPlacementTest, PriorityTables) {
  const std::tuple<std::uint32_t (*)(std::uint32_t), std::uint32_t, std::uint32_t> cases[] = {
      {map::AreaLabelPriority, 2, 0},     {map::AreaLabelPriority, 40, 180}, {map::AreaLabelPriority, 80, 40},
      {map::AreaLabelPriority, 100, 1},   {map::LineLabelPriority, 1, 150},  {map::LineLabelPriority, 33, 11},
      {map::LineLabelPriority, 71, 55},   {map::LineLabelPriority, 50, 1},   {map::PointLabelPriority, 20, 250},
      {map::PointLabelPriority, 265, 20}, {map::PointLabelPriority, 80, 10}, {map::PointLabelPriority, 0, 1}};
  for (const auto& [table, type, priority] : cases) EXPECT_EQ(priority, table(type)) << type;
}

TEST_F(DymoPlacementTest, DrawPaintsEveryPlacedLabel) {
  Canvas c(400, 400);
  map::Dymo_t grid(plat::RECT{0, 0, 400, 400}, nullptr);
  source.Set(1, "North");
  source.Set(2, "South");
  grid.AddAreaLabel(c.dc, source, map::AreaLabelRecord_t{60, 1}, plat::POINT{100, 50}, nullptr);
  grid.AddAreaLabel(c.dc, source, map::AreaLabelRecord_t{60, 2}, plat::POINT{300, 350}, nullptr);
  ASSERT_EQ(2, Count(grid));
  c.dc.SetBkMode(plat::kOpaque);
  grid.Draw(c.dc);
  EXPECT_EQ(plat::kOpaque, c.dc.GetBkMode());
  const plat::RECT top = c.Painted(plat::RECT{0, 0, 400, 200});
  const plat::RECT bottom = c.Painted(plat::RECT{0, 200, 400, 400});
  EXPECT_LE(top.left, 100);
  EXPECT_GE(top.right, 100);
  EXPECT_LE(bottom.left, 300);
  EXPECT_GE(bottom.right, 300);
}

}  // namespace
