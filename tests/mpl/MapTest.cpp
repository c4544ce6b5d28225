// The map object over an image holding several maps: opening and closing,
// the result policy, accessors and setters of open and closed maps, copies,
// levels, and the searches with filters, criteria and iterators.
#include <gtest/gtest.h>

#include <map>

#include "glo/GLO_Locale.h"
#include "mpl/MPL_Map.h"
#include "tests/mpl/MapFacadeFixture.h"
#include "tests/mpl/MapFixture.h"

namespace {

using facadetest::Image_t;

struct Found_t {
  std::uint16_t type;
  std::uint32_t ref;
  bool operator==(const Found_t&) const = default;
};

template <typename Range>
std::vector<Found_t> Collect(const Range& range) {
  std::vector<Found_t> out;
  for (auto it = range.begin(); it != range.end() && out.size() < 10000; ++it)
    out.push_back({it->record.type, it->record.ref});
  return out;
}

std::vector<Found_t> EngineAreas(mpl::MdbMap_t& map) {
  std::vector<Found_t> out;
  mpl::MdbAreaRecord_t rec;
  for (int r = mpl::MdbFirstArea(map, rec, 2, nullptr); r == 0; r = mpl::MdbNextArea(map, rec, 2, nullptr))
    out.push_back({rec.type, rec.ref});
  return out;
}

geo::Box_t World() { return geo::Box_t(0x3FFFFFFF, -0x3FFFFFFF, 0x7FFFFFFF, static_cast<std::int32_t>(0x80000000)); }

TEST(MapTest, OpensEveryMapOfOneImage) {
  Image_t image(facadetest::SeveralMaps());
  mpl::Map_t a(image.source, "10000001", "");
  mpl::Map_t b(image.source, "20000001", "");
  ASSERT_TRUE(a.IsOpen());
  ASSERT_TRUE(b.IsOpen());
  EXPECT_EQ(0x10001u, a.GetMapId());
  EXPECT_EQ(0x20001u, b.GetMapId());
  const geo::Box_t bounds = a.GetBounds();
  EXPECT_EQ(0x400000, bounds.GetNorth());
  EXPECT_EQ(0x400000, bounds.GetEast());
  EXPECT_EQ(0, bounds.GetSouth());
  EXPECT_EQ(0, bounds.GetWest());
  EXPECT_EQ(2 * facadetest::kSpan, b.GetBounds().GetNorth());
  EXPECT_EQ(image.media, a.GetImageSource().Media());
  EXPECT_EQ(24u, a.GetDetailLevel());
  EXPECT_EQ(24u, a.GetHighestLevelBits());  // level 1 has no data of its own
  EXPECT_EQ(24u, a.GetLowestLevelBits());
  // Without a code page in the label header the labels are in code page 1252.
  EXPECT_EQ(glo::MakeLocale("", "", 1252).name(), a.GetLocale().name());
  // Every type passes the filters of a freshly opened map.
  EXPECT_EQ(1, a.GetAreaFilter().kind);
  EXPECT_TRUE(a.GetAreaFilter().entries.empty());
  EXPECT_TRUE(a.HasDem() == false);
}

TEST(MapTest, AFailedOpeningNamesTheImageAndTheMap) {
  Image_t image(facadetest::SeveralMaps());
  struct Case_t {
    const char* map;
    int code;
  } cases[] = {{"30000001", 1}, {"99999999", 1}};
  for (const Case_t& c : cases) {
    try {
      mpl::Map_t map(image.source, c.map, "");
      ADD_FAILURE() << c.map << " opened";
    } catch (const mpl::MdbException_t& e) {
      EXPECT_EQ(c.code, e.Code());
      EXPECT_EQ(std::string("Image: trail\nMap: ") + c.map + "\nError code: 1", e.what());
    }
  }
  // The directory's sort table form fails alike.
  EXPECT_THROW(mpl::Map_t(image.source, "30000001", mpl::MdbSubfile_t()), mpl::MdbException_t);
}

TEST(MapTest, TheResultPolicyPassesCodesByMode) {
  struct Case_t {
    int code, mode;
    bool passes;
  } cases[] = {{0, 0, true}, {3, 0, false}, {1, 0, false}, {0, 1, true}, {3, 1, true}, {2, 1, false},
               {1, 1, false}, {2, 2, true}, {3, 2, true},  {1, 2, false}, {4, 2, false}};
  for (const Case_t& c : cases) {
    if (c.passes) {
      EXPECT_EQ(c.code, mpl::CheckMdbResult(c.code, "file", 7, c.mode)) << c.code << " " << c.mode;
    } else {
      try {
        mpl::CheckMdbResult(c.code, "file", 7, c.mode);
        ADD_FAILURE() << c.code << " passed mode " << c.mode;
      } catch (const mpl::MdbException_t& e) {
        EXPECT_EQ(c.code, e.Code());
        EXPECT_EQ("Error code: " + std::to_string(c.code), e.what());
      }
    }
  }
}

TEST(MapTest, AClosedMapAssertsAndItsSettersAndTestsDoNothing) {
  mpl::Map_t map;
  EXPECT_FALSE(map.IsOpen());
  EXPECT_THROW(map.GetMapId(), glo::Assert_t);
  EXPECT_THROW(map.GetBounds(), glo::Assert_t);
  EXPECT_THROW(map.GetDetailLevel(), glo::Assert_t);
  EXPECT_THROW(map.GetSearchBox(), glo::Assert_t);
  EXPECT_THROW(map.GetLocale(), glo::Assert_t);
  EXPECT_THROW(map.GetImageSource(), glo::Assert_t);
  EXPECT_THROW(map.GetHighestLevelBits(), glo::Assert_t);
  EXPECT_THROW(map.GetMapInfo(), glo::Assert_t);
  EXPECT_THROW(map.GetPointRecord(0x20001), glo::Assert_t);
  EXPECT_THROW(map.GetLabelText(0, 0), glo::Assert_t);
  EXPECT_THROW(map.AreaSearch(mpl::Criteria_t(24, World(), mpl::Filter_t())).begin(), glo::Assert_t);
  EXPECT_NO_THROW(map.SetSearchBox(World()));
  EXPECT_NO_THROW(map.SetSearchBox(geo::Box_t()));  // not even looked at
  map.SetAreaFilter(mpl::Filter_t(0x40, 0x41, 1));
  EXPECT_TRUE(map.GetAreaFilter().entries.empty());
  mpl::MdbAreaRecord_t area;
  EXPECT_FALSE(map.FindAreasAtPoint({0, 0}, area));
  mpl::MdbLineRecord_t line;
  mpl::MdbLineHit_t hit;
  EXPECT_FALSE(map.FindNearestLines({0, 0}, line, &hit, 1));
  mpl::MdbJunction_t junction;
  EXPECT_FALSE(map.FindNearestJunction({0, 0}, line, junction, 4));
  std::optional<std::int32_t> low, high;
  map.GetElevationRange(low, high, true);
  EXPECT_FALSE(low.has_value());
  EXPECT_NO_THROW(map.LoadDemLevel(24));
}

TEST(MapTest, SearchBoxAndAreaResetTheExclusion) {
  Image_t image(facadetest::SeveralMaps());
  mpl::Map_t map(image.source, "10000001", "");
  map.Engine().exclusion = {1, 2, 3, 4};
  map.SetSearchBox(geo::Box_t(0x200000, 0x100000, 0x300000, -0x100000));
  const geo::Box_t box = map.GetSearchBox();
  EXPECT_EQ(0x200000, box.GetNorth());
  EXPECT_EQ(0x100000, box.GetSouth());
  EXPECT_EQ(0x300000, box.GetEast());
  EXPECT_EQ(-0x100000, box.GetWest());
  EXPECT_EQ(static_cast<std::int32_t>(0xBFFFFFFF), map.Engine().exclusion.north);
  EXPECT_THROW(map.SetSearchBox(geo::Box_t()), glo::OutOfRange_t);
  map.Engine().exclusion = {1, 2, 3, 4};
  map.SetSearchArea(geo::Position_t(0x123, 0x456));
  const mpl::MdbBox_t& r = map.Engine().searchRect;
  EXPECT_EQ((std::vector<std::int32_t>{0x123, 0x456, 0x123, 0x456}), (std::vector<std::int32_t>{r.north, r.east, r.south, r.west}));
  const mpl::MdbBox_t& x = map.Engine().exclusion;
  EXPECT_EQ((std::vector<std::int32_t>{static_cast<std::int32_t>(0xBFFFFFFF), 0x7FFFFFFF,
                                       static_cast<std::int32_t>(0xBFFFFFFF), 0x7FFFFFFF}),
            (std::vector<std::int32_t>{x.north, x.east, x.south, x.west}));
}

TEST(MapTest, ACopyIsIndependentOfItsSource) {
  Image_t image(facadetest::SeveralMaps());
  mpl::Map_t source(image.source, "10000001", "");
  source.SetSearchBox(World());
  mpl::Map_t copy(source);
  ASSERT_TRUE(copy.IsOpen());
  EXPECT_EQ(source.GetMapId(), copy.GetMapId());
  EXPECT_EQ(source.GetDetailLevel(), copy.GetDetailLevel());
  EXPECT_EQ(source.GetBounds().GetNorth(), copy.GetBounds().GetNorth());
  copy.SetSearchBox(geo::Box_t(10, 0, 10, 0));
  copy.SetAreaFilter(mpl::Filter_t(0x41, 0x41, 1));
  EXPECT_EQ(0x3FFFFFFF, source.GetSearchBox().GetNorth());
  EXPECT_TRUE(source.GetAreaFilter().entries.empty());
  // The source's walk is not disturbed by the copy's.
  mpl::MdbAreaRecord_t rec;
  ASSERT_EQ(0, mpl::MdbFirstArea(source.Engine(), rec, 2, nullptr));
  mpl::MdbAreaRecord_t other;
  mpl::MdbFirstArea(copy.Engine(), other, 2, nullptr);
  ASSERT_EQ(0, mpl::MdbNextArea(source.Engine(), rec, 2, nullptr));
  EXPECT_EQ(0x41, rec.type);
  // A closed map copies as closed.
  mpl::Map_t closed;
  mpl::Map_t closedCopy(closed);
  EXPECT_FALSE(closedCopy.IsOpen());
  closedCopy = source;
  EXPECT_TRUE(closedCopy.IsOpen());
}

TEST(MapTest, LevelBitsSkipLevelsWithoutDataAndFailWhenNoneIsUsable) {
  imgkit::MapBuilder_t m = mpltest::BasicMap();
  Image_t four({m.Files()});
  mpl::Map_t map(four.source, m.name, "");
  EXPECT_EQ(20u, map.GetHighestLevelBits());
  EXPECT_EQ(24u, map.GetLowestLevelBits());
  for (imgkit::TreLevel_t& level : m.tre.levels) level.noData = true;
  Image_t none(m.Files());
  mpl::Map_t empty(none.source, m.name, "");
  EXPECT_THROW(empty.GetHighestLevelBits(), glo::Assert_t);
  EXPECT_THROW(empty.GetLowestLevelBits(), glo::Assert_t);
}

TEST(MapTest, SearchesYieldWhatTheEngineEnumerates) {
  Image_t image(facadetest::SeveralMaps());
  mpl::Map_t map(image.source, "10000001", "");
  map.SetSearchBox(World());
  mpl::Map_t engine(map);
  const std::vector<Found_t> areas = EngineAreas(engine.Engine());
  ASSERT_EQ(3u, areas.size());
  EXPECT_EQ(areas, Collect(map.AreaSearch(map.GetAreaCriteria())));
  const std::vector<Found_t> lines = Collect(map.LineSearch(map.GetLineCriteria()));
  EXPECT_EQ((std::vector<Found_t>{{5, mpl::MdbMakeRef(2, 1)}, {6, mpl::MdbMakeRef(2, 2)}, {7, mpl::MdbMakeRef(3, 1)},
                                  {0x60, mpl::MdbMakeRef(4, 1, true)}}),
            lines);
  EXPECT_EQ(8u, Collect(map.PointSearch(map.GetPointCriteria())).size());
  // The records carry their points.
  auto range = map.AreaSearch(map.GetAreaCriteria());
  EXPECT_EQ(4u, range.begin()->record.points.size());
}

TEST(MapTest, SearchesFollowTheirCriteria) {
  Image_t image(facadetest::SeveralMaps());
  mpl::Map_t map(image.source, "20000001", "");
  const mpl::Criteria_t all(24, World(), mpl::Filter_t());
  ASSERT_EQ(16u, Collect(map.AreaSearch(all)).size());
  struct Case_t {
    const char* what;
    mpl::Filter_t filter;
    std::vector<std::uint16_t> types;
  } cases[] = {
      {"one type", mpl::Filter_t(mpl::FilterEntry_t{0x41, 0xFFFFFFFF}, 1), {0x41}},
      {"a range", mpl::Filter_t(0x41, 0x42, 1), {0x41, 0x42}},
      {"subtype 0 only", mpl::Filter_t(mpl::FilterEntry_t{0x43, 0x1}, 1), {0x43}},
      {"another subtype", mpl::Filter_t(mpl::FilterEntry_t{0x43, 0x2}, 1), {}},
      {"an exclusion", mpl::Filter_t(0x40, 0x42, 0), {0x43}},
      {"no entries, exclusion kind", mpl::Filter_t(), {0x40, 0x41, 0x42, 0x43}},
  };
  for (const Case_t& c : cases) {
    const std::vector<Found_t> found = Collect(map.AreaSearch(mpl::Criteria_t(24, World(), c.filter)));
    // Each matching type is found once in each of the four subdivisions, and nothing else.
    std::map<std::uint16_t, std::size_t> perType;
    for (const Found_t& f : found) ++perType[f.type];
    std::map<std::uint16_t, std::size_t> expected;
    for (const std::uint16_t type : c.types) expected[type] = 4;
    EXPECT_EQ(expected, perType) << c.what;
  }
  // A box over the south-west subdivision only.
  const geo::Box_t sw(facadetest::kSpan - 1, 0, facadetest::kSpan - 1, 0);
  const std::vector<Found_t> inBox = Collect(map.LineSearch(mpl::Criteria_t(24, sw, mpl::Filter_t())));
  ASSERT_EQ(4u, inBox.size());
  for (const Found_t& f : inBox) EXPECT_EQ(2u, f.ref >> 16);
  // The source map's own state is left alone.
  EXPECT_EQ(1, map.GetAreaFilter().kind);
  EXPECT_TRUE(map.GetAreaFilter().entries.empty());
}

TEST(MapTest, SearchIteratorsAtTheEndAndSideBySide) {
  Image_t image(facadetest::SeveralMaps());
  mpl::Map_t map(image.source, "20000001", "");
  // No area of the wanted type: the search is at its end at once.
  auto none = map.AreaSearch(mpl::Criteria_t(24, World(), mpl::Filter_t(0x50, 0x50, 1)));
  EXPECT_TRUE(none.begin() == none.end());
  // An empty box fails when the search starts.
  auto bad = map.AreaSearch(mpl::Criteria_t(24, geo::Box_t(), mpl::Filter_t()));
  EXPECT_THROW(bad.begin(), glo::OutOfRange_t);
  // Two searches of one map walk independently.
  auto range = map.AreaSearch(mpl::Criteria_t(24, World(), mpl::Filter_t()));
  auto a = range.begin();
  auto b = range.begin();
  ++a;
  ++a;
  EXPECT_EQ(b->record.ref, mpl::MdbMakeRef(2, 1));
  ++b;
  EXPECT_EQ(b->record.ref, mpl::MdbMakeRef(2, 2));
  EXPECT_EQ(a->record.ref, mpl::MdbMakeRef(2, 3));
  auto c = a;  // a copy goes on from where it was made
  ++c;
  EXPECT_EQ(c->record.ref, mpl::MdbMakeRef(2, 4));
  EXPECT_EQ(a->record.ref, mpl::MdbMakeRef(2, 3));
}

TEST(MapTest, RecordsByReference) {
  Image_t image(facadetest::SeveralMaps());
  mpl::Map_t map(image.source, "10000001", "");
  const mpl::Point_t p = map.GetPointRecord(mpl::MdbMakeRef(2, 3));
  EXPECT_EQ(0x20, p.record.type);
  EXPECT_EQ(3, p.record.subtype);
  const mpl::Line_t l = map.GetLineRecord(mpl::MdbMakeRef(2, 1));
  EXPECT_EQ(5, l.record.type);
  EXPECT_EQ(3u, l.record.points.size());
  const mpl::Area_t a = map.GetObjectDetails(mpl::MdbMakeRef(3, 1));
  EXPECT_EQ(0x41, a.record.type);
  EXPECT_EQ(101u, a.record.points.size());
  EXPECT_THROW(map.GetPointRecord(mpl::MdbMakeRef(2, 99)), mpl::MdbException_t);
  EXPECT_THROW(map.GetLineRecord(mpl::MdbMakeRef(40, 1)), mpl::MdbException_t);
  EXPECT_THROW(map.GetObjectDetails(mpl::MdbMakeRef(2, 9)), mpl::MdbException_t);
}

}  // namespace
