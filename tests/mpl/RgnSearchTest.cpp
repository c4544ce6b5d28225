// Areas, lines and points of a built map: read by reference and searched by
// level, search rectangle, exclusion box and type filter, with the extended
// pass, the pruning by kinds, and the malformed subdivisions the readers must
// survive.
#include <gtest/gtest.h>

#include "mpl/MPL_Rgn.h"
#include "mpl/MPL_Tre.h"
#include "mpl/MPL_TypeList.h"
#include "tests/mpl/RgnMap.h"

namespace {

using rgntest::kHigh;
using rgntest::kLow;

constexpr std::int32_t U = 256;  // one level unit at 24 bits

struct Found_t {
  std::uint16_t type, subtype;
  std::uint32_t ref;
  bool operator==(const Found_t&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Found_t& f) {
  return os << "{type 0x" << std::hex << f.type << ", sub " << f.subtype << ", ref 0x" << f.ref << std::dec << "}";
}

std::vector<Found_t> Areas(mpl::MdbMap_t& map, std::uint16_t request = 2, int* end = nullptr) {
  std::vector<Found_t> out;
  mpl::MdbAreaRecord_t rec;
  int r = mpl::MdbFirstArea(map, rec, request, nullptr);
  for (; r == 0 && out.size() < 10000; r = mpl::MdbNextArea(map, rec, request, nullptr))
    out.push_back({rec.type, rec.subtype, rec.ref});
  if (end) *end = r;
  return out;
}

std::vector<Found_t> Lines(mpl::MdbMap_t& map, std::uint16_t request = 2) {
  std::vector<Found_t> out;
  mpl::MdbLineRecord_t rec;
  for (int r = mpl::MdbFirstLine(map, rec, request, nullptr); r == 0 && out.size() < 10000;
       r = mpl::MdbNextLine(map, rec, request, nullptr))
    out.push_back({rec.type, rec.subtype, rec.ref});
  return out;
}

std::vector<Found_t> Points(mpl::MdbMap_t& map, int* end = nullptr) {
  std::vector<Found_t> out;
  mpl::MdbPointRecord_t rec;
  int r = mpl::MdbFirstPoint(map, rec, 0, nullptr);
  for (; r == 0 && out.size() < 10000; r = mpl::MdbNextPoint(map, rec, 0, nullptr))
    out.push_back({rec.type, rec.subtype, rec.ref});
  if (end) *end = r;
  return out;
}

std::uint32_t Ref(unsigned sub, unsigned index, bool ext = false) { return mpl::MdbMakeRef(sub, index, ext); }

mpl::MdbBox_t BoxOf(std::int32_t lat, std::int32_t lon) {
  const std::int32_t h = rgntest::kHalf * U;
  return {lat + h, lon + h, lat - h, lon - h};
}

mpl::Filter_t Filter(std::uint8_t kind, std::map<std::uint16_t, std::uint32_t> entries) {
  mpl::Filter_t f;
  f.kind = kind;
  f.entries = std::move(entries);
  return f;
}

void ExpectBox(const mpl::MdbBox_t& want, const mpl::MdbBox_t& got) {
  EXPECT_EQ(want.north, got.north);
  EXPECT_EQ(want.east, got.east);
  EXPECT_EQ(want.south, got.south);
  EXPECT_EQ(want.west, got.west);
}

TEST(RgnSearchTest, FindsTheLevelsObjectsStandardThenExtended) {
  rgntest::Open_t m(rgntest::BasicObjects());
  ASSERT_EQ(0, m.result);
  EXPECT_EQ((std::vector<Found_t>{{0x40, 0, Ref(2, 1)}, {0x41, 0, Ref(3, 1)}, {0x90, 1, Ref(4, 1, true)}}),
            Areas(m.map));
  EXPECT_EQ((std::vector<Found_t>{{5, 0, Ref(2, 1)}, {6, 0, Ref(2, 2)}, {7, 0, Ref(3, 1)}, {0x60, 0, Ref(4, 1, true)}}),
            Lines(m.map));
  // Indexed points count first; subdivision 4 has only indexed points.
  EXPECT_EQ((std::vector<Found_t>{{0x30, 0, Ref(2, 1)},
                                  {0x10, 0, Ref(2, 2)},
                                  {0x20, 3, Ref(2, 3)},
                                  {0x21, 0, Ref(2, 4)},
                                  {0x31, 0, Ref(4, 1)},
                                  {0x32, 0, Ref(4, 2)},
                                  {0x105, 2, Ref(4, 1, true)},
                                  {0x106, 1, Ref(4, 2, true)}}),
            Points(m.map));
}

TEST(RgnSearchTest, ReadsRecordsByReference) {
  rgntest::Open_t m(rgntest::BasicObjects());
  ASSERT_EQ(0, m.result);
  mpl::MdbMap_t& map = m.map;
  // Points in any order: the cursor restarts when the index does not follow.
  mpl::MdbPointRecord_t p;
  for (unsigned index : {4u, 2u, 3u, 1u, 3u}) {
    p.ref = Ref(2, index);
    ASSERT_EQ(0, mpl::MdbGetPoint(map, p, 0, nullptr)) << index;
  }
  EXPECT_EQ(0x20, p.type);
  EXPECT_EQ(3, p.subtype);
  EXPECT_EQ(0x222u, p.label);
  EXPECT_EQ(mpl::kMdbNone, p.poi);
  EXPECT_EQ(kLow - 0x20 * U, p.lat);
  EXPECT_EQ(kLow - 0x10 * U, p.lon);
  p.ref = Ref(2, 4);  // the point after the 9-byte one
  ASSERT_EQ(0, mpl::MdbGetPoint(map, p, 0, nullptr));
  EXPECT_EQ(0x21, p.type);
  EXPECT_EQ(mpl::kMdbNone, p.label);
  EXPECT_EQ(0x333u, p.poi);
  p.ref = Ref(2, 1);
  ASSERT_EQ(0, mpl::MdbGetPoint(map, p, 0, nullptr));
  EXPECT_EQ(0x444u, p.label);
  EXPECT_EQ(kLow + 5 * U, p.lat);
  p.ref = Ref(2, 5);
  EXPECT_EQ(3, mpl::MdbGetPoint(map, p, 0, nullptr));
  mpl::MdbAuxInfo_t aux;
  aux.bytes[0] = 9;
  p.ref = Ref(4, 1, true);  // the second extended point lies past a 5-byte trailer
  ASSERT_EQ(0, mpl::MdbGetPoint(map, p, 0, &aux));
  EXPECT_EQ(0xABCu, p.label);
  EXPECT_EQ(0, aux.bytes[0]);
  p.ref = Ref(4, 2, true);
  ASSERT_EQ(0, mpl::MdbGetPoint(map, p, 0, nullptr));
  EXPECT_EQ(0x106, p.type);
  EXPECT_EQ(0u, p.label);  // no label: 0
  EXPECT_EQ(kHigh + 4 * U, p.lat);

  // A line with a road, its direction flag and its points.
  mpl::MdbLineRecord_t line;
  line.ref = Ref(2, 1);
  ASSERT_EQ(0, mpl::MdbGetLine(map, line, 3, nullptr));
  EXPECT_EQ(5, line.type);
  EXPECT_EQ(1, line.direction);
  EXPECT_EQ(0x555u, line.netOffset);
  EXPECT_EQ(mpl::kMdbNone, line.label);
  const std::int32_t lon0 = kLow + 0x40 * U;
  ASSERT_EQ(3u, line.points.size());
  EXPECT_EQ(lon0 + 20 * U, line.points[2].lon);
  EXPECT_EQ(kLow + 10 * U, line.points[2].lat);
  ExpectBox({kLow + 10 * U, lon0 + 20 * U, kLow, lon0}, line.box);
  // Node flags: kept in bit 0 of each latitude only when asked for.
  line.ref = Ref(2, 2);
  ASSERT_EQ(0, mpl::MdbGetLine(map, line, 10 | mpl::kRequestNodeFlags, nullptr));
  EXPECT_EQ(mpl::kMdbNone, line.label);  // bits 22 and 23: a road with node flags
  EXPECT_EQ(0x666u, line.netOffset);
  ASSERT_EQ(3u, line.points.size());
  EXPECT_EQ(1, line.points[0].lat & 0xFF);
  EXPECT_EQ(1, line.points[1].lat & 0xFF);
  EXPECT_EQ(0, line.points[2].lat & 0xFF);
  ASSERT_EQ(0, mpl::MdbGetLine(map, line, 10, nullptr));
  EXPECT_EQ(0, line.points[0].lat & 0xFF);
  // The header only, and the first point only.
  ASSERT_EQ(0, mpl::MdbGetLine(map, line, 1, nullptr));
  EXPECT_EQ(1u, line.points.size());
  ASSERT_EQ(0, mpl::MdbGetLine(map, line, 0, nullptr));
  EXPECT_TRUE(line.points.empty());

  // An area with a long stream (two-byte length), and an extended one with
  // its attribute block, optional fields and label.
  mpl::MdbAreaRecord_t area;
  area.ref = Ref(3, 1);
  ASSERT_EQ(0, mpl::MdbGetArea(map, area, 1000, nullptr));
  EXPECT_EQ(101u, area.points.size());
  EXPECT_EQ(0x888u, area.label);
  area.ref = Ref(4, 1, true);
  ASSERT_EQ(0, mpl::MdbGetArea(map, area, 1000, &aux));
  EXPECT_EQ(0x90, area.type);
  EXPECT_EQ(1, area.subtype);
  EXPECT_EQ(0xDEFu, area.label);
  EXPECT_EQ(1, aux.bytes[0]);  // a block, kept undecoded
  ASSERT_EQ(3u, area.points.size());
  ExpectBox({kHigh + 0x20 * U, kLow + 0x20 * U, kHigh, kLow}, area.box);
  mpl::MdbLineRecord_t ext;
  ext.ref = Ref(4, 1, true);
  ASSERT_EQ(0, mpl::MdbGetLine(map, ext, 5, nullptr));
  EXPECT_EQ(0x60, ext.type);
  EXPECT_EQ(0u, ext.label);  // bit 22 set: no label
  EXPECT_EQ(2u, ext.points.size());
}

TEST(RgnSearchTest, SearchRectangleAndExclusionBox) {
  rgntest::Open_t m(rgntest::BasicObjects());
  ASSERT_EQ(0, m.result);
  m.map.searchRect = BoxOf(kLow, kHigh);  // subdivision 3 alone
  EXPECT_EQ((std::vector<Found_t>{{0x41, 0, Ref(3, 1)}}), Areas(m.map));
  EXPECT_EQ((std::vector<Found_t>{{7, 0, Ref(3, 1)}}), Lines(m.map));
  int end = 0;
  EXPECT_TRUE(Points(m.map, &end).empty());
  EXPECT_EQ(3, end);
  // Excluding subdivision 2's box leaves the points of subdivision 4.
  m.map.searchRect = mpl::kMdbWorld;
  m.map.exclusion = BoxOf(kLow, kLow);
  EXPECT_EQ(4u, Points(m.map).size());
  // A search rectangle around one point only.
  m.map.exclusion = mpl::kMdbNoExclusion;
  m.map.searchRect = {kLow + 0x20 * U, kLow + 0x10 * U, kLow + 0x20 * U, kLow + 0x10 * U};
  EXPECT_EQ((std::vector<Found_t>{{0x10, 0, Ref(2, 2)}}), Points(m.map));
  // An exclusion box equal to the search rectangle leaves nothing.
  m.map.searchRect = m.map.exclusion = BoxOf(kLow, kLow);
  EXPECT_TRUE(Points(m.map).empty());
}

TEST(RgnSearchTest, TypeFiltersAndTheirSubtypes) {
  rgntest::Open_t m(rgntest::BasicObjects());
  ASSERT_EQ(0, m.result);
  m.map.areaFilter = Filter(1, {{0x41, 0xFFFFFFFF}});
  EXPECT_EQ((std::vector<Found_t>{{0x41, 0, Ref(3, 1)}}), Areas(m.map));
  m.map.areaFilter = Filter(0, {{0x40, 0xFFFFFFFF}});
  EXPECT_EQ(2u, Areas(m.map).size());
  // Subtype mask 0x4 admits subtype 2 and refuses subtype 3.
  m.map.pointFilter = Filter(1, {{0x20, 0x4}, {0x105, 0x4}});
  EXPECT_EQ((std::vector<Found_t>{{0x105, 2, Ref(4, 1, true)}}), Points(m.map));
  m.map.lineFilter = Filter(1, {{6, 1}});
  EXPECT_EQ((std::vector<Found_t>{{6, 0, Ref(2, 2)}}), Lines(m.map));
  // A read by reference ignores the search filters.
  mpl::MdbPointRecord_t p;
  p.ref = Ref(2, 3);
  EXPECT_EQ(0, mpl::MdbGetPoint(m.map, p, 0, nullptr));

  struct Case_t {
    std::uint8_t kind;
    std::uint32_t mask;
    std::uint16_t type, subtype;
    bool admitted;
  } cases[] = {
      {1, 0x4, 7, 2, true},   {1, 0x4, 7, 3, false}, {1, 0x4, 8, 2, false},     {0, 0x4, 7, 2, false},
      {0, 0x4, 7, 3, true},   {0, 0x4, 8, 2, true},  {1, 0x2, 7, 33, true},     // subtype modulo 32
      {1, 0x1, 7, 64, true},  {0, 0x2, 7, 33, false}, {1, 0x80000000, 7, 31, true},
  };
  for (const auto& c : cases) {
    const mpl::Filter_t f = Filter(c.kind, {{7, c.mask}});
    EXPECT_EQ(c.admitted, mpl::MdbTypeFilterTest(&f, c.type, c.subtype))
        << int(c.kind) << " " << c.mask << " " << c.type << "/" << c.subtype;
  }
  const mpl::Filter_t empty = Filter(1, {});
  EXPECT_TRUE(mpl::MdbTypeFilterTest(&empty, 9, 9));
  EXPECT_TRUE(mpl::MdbTypeFilterTest(nullptr, 9, 9));
}

TEST(RgnSearchTest, TheExtendedPassRunsWhenTheMapAnnouncesIt) {
  // Without the extended-subdivision flags there is no extended pass.
  rgntest::Fixture_t f = rgntest::BasicObjects();
  f.map.tre.extFlags = 0x02;  // extended lines only
  rgntest::Open_t m(f);
  ASSERT_EQ(0, m.result);
  EXPECT_EQ(2u, Areas(m.map).size());
  EXPECT_EQ(4u, Lines(m.map).size());
  EXPECT_EQ(6u, Points(m.map).size());
  // A standard overview that lists no types: straight to the extended pass.
  f = rgntest::BasicObjects();
  f.map.tre.overviews[1] = rgntest::Table({}, 2);
  rgntest::Open_t e(f);
  ASSERT_EQ(0, e.result);
  EXPECT_EQ((std::vector<Found_t>{{0x90, 1, Ref(4, 1, true)}}), Areas(e.map));
}

TEST(RgnSearchTest, AFilterThatAdmitsNothingReadsNoObjects) {
  rgntest::Open_t m(rgntest::BasicObjects());
  ASSERT_EQ(0, m.result);
  // Type 0x41 is present from level 1 on, but 0x50 nowhere.
  m.map.areaFilter = Filter(1, {{0x50, 0xFFFFFFFF}});
  int end = 0;
  EXPECT_TRUE(Areas(m.map, 2, &end).empty());
  EXPECT_EQ(3, end);
  const std::uint64_t before = m.media->Reads();
  EXPECT_TRUE(Areas(m.map, 2, &end).empty());
  EXPECT_EQ(before, m.media->Reads());  // the level's types are kept: no read at all
  // Level 1 lists area type 0x41 only.
  m.map.level = 1;
  m.map.areaFilter = Filter(1, {{0x40, 0xFFFFFFFF}});
  EXPECT_EQ(3, mpl::MdbFilterAdmitsLevel(m.map, m.map.areaFilter, mpl::kMdbAreas));
  m.map.areaFilter = Filter(1, {{0x41, 0xFFFFFFFF}});
  EXPECT_EQ(0, mpl::MdbFilterAdmitsLevel(m.map, m.map.areaFilter, mpl::kMdbAreas));
}

TEST(RgnSearchTest, KindsPruneSubdivisionsWithoutAWantedKind) {
  rgntest::Fixture_t f = rgntest::BasicObjects();
  f.map.tre.extFlags = 0x07 | (1u << 9) | (1u << 10) | (3u << 4);  // kind bytes, 4-byte kinds words
  f.map.tre.extTypeRecordSize = 4;
  // Extended area type 0x10 belongs to kind 40 (stored 41), extended line
  // type 0x20 to kind 3.
  f.map.tre.extTypes[1] = rgntest::Table({{0x10, 0, 1, 41}}, 4);
  f.map.tre.extTypes[0] = rgntest::Table({{0x20, 0, 0, 4}}, 4);
  f.map.tre.extTypes[2] = rgntest::Table({{5, 0, 2, 0}, {6, 0, 1, 0}}, 4);
  // Kind 40 is bit 40 mod 32 = 8 of the kinds word.
  f.map.tre.levels[1].subdivs[2].extKinds = (1u << 8) | (1u << 3);
  rgntest::Open_t m(f);
  ASSERT_EQ(0, m.result);
  m.map.areaFilter = Filter(1, {{0x90, 0x2}});
  EXPECT_EQ((std::vector<Found_t>{{0x90, 1, Ref(4, 1, true)}}), Areas(m.map));
  EXPECT_EQ(1u << 8, m.map.extKindsMask);
  m.map.lineFilter = Filter(1, {{0x60, 0x1}});
  EXPECT_EQ((std::vector<Found_t>{{0x60, 0, Ref(4, 1, true)}}), Lines(m.map));
  EXPECT_EQ(1u << 3, m.map.extKindsMask);
  // A wanted type that no kind lists: no pruning.
  m.map.areaFilter = Filter(1, {{0x90, 0x2}, {0x41, 0x1}});
  EXPECT_EQ(2u, Areas(m.map).size());
  EXPECT_EQ(0u, m.map.extKindsMask);
}

// A type listed under two kinds: a subdivision marked with the second kind
// alone still holds it.
TEST(RgnSearchTest, EveryKindOfAWantedTypeKeepsItsSubdivisions) {
  rgntest::Fixture_t f = rgntest::BasicObjects();
  f.map.tre.extFlags = 0x07 | (1u << 9) | (1u << 10) | (3u << 4);
  f.map.tre.extTypeRecordSize = 4;
  f.map.tre.extTypes[1] = rgntest::Table({{0x10, 0, 1, 41}, {0x10, 0, 1, 6}}, 4);  // kinds 40 and 5
  f.map.tre.extTypes[0] = rgntest::Table({{0x20, 0, 0, 0}}, 4);
  f.map.tre.extTypes[2] = rgntest::Table({{5, 0, 2, 0}, {6, 0, 1, 0}}, 4);
  f.map.tre.levels[1].subdivs[2].extKinds = 1u << 5;
  rgntest::Open_t m(f);
  ASSERT_EQ(0, m.result);
  m.map.areaFilter = Filter(1, {{0x90, 0x2}});
  EXPECT_EQ((std::vector<Found_t>{{0x90, 1, Ref(4, 1, true)}}), Areas(m.map));
  EXPECT_EQ((1u << 8) | (1u << 5), m.map.extKindsMask);
}

TEST(RgnSearchTest, SectionTableIsClampedAndZeroFilled) {
  rgntest::Fixture_t f = rgntest::BasicObjects();
  // Subdivision 3: its table sends the areas past the data's end: they
  // start at its end, empty, and the lines run to it (the area's record
  // reads as one more line).
  f.rgn.subdivisions[2].table = std::vector<std::uint16_t>{0x7000};
  // Subdivision 4: every kind flagged, 3 bytes of data: the table is read
  // zero-filled and every section is empty.
  imgkit::RgnSubdivision_t tiny;
  tiny.kinds = 0x1F;
  tiny.areasEnd = std::string("\x01\x02\x03", 3);
  f.rgn.subdivisions[3] = tiny;
  rgntest::Open_t m(f);
  ASSERT_EQ(0, m.result);
  int end = 0;
  const auto areas = Areas(m.map, 2, &end);
  EXPECT_EQ(3, end);
  EXPECT_EQ(1u, areas.size());  // subdivision 2's only
  EXPECT_EQ(4u, Lines(m.map).size());
  EXPECT_EQ(4u, Points(m.map).size());
  m.map.subdiv.number = 0;
  m.map.sectionsSubdiv = 0;
  ASSERT_EQ(0, mpl::MdbLoadSubdivision(m.map, 4, false));
  ASSERT_EQ(0, mpl::MdbLoadSections(m.map));
  for (unsigned s = mpl::kSecPoints; s <= mpl::kSecAreas; ++s) {
    EXPECT_EQ(0, m.map.sections[s].length) << s;
    EXPECT_LE(m.map.sections[s].start, 3) << s;
  }
}

TEST(RgnSearchTest, ObjectIndexStopsAt4095) {
  rgntest::Fixture_t f = rgntest::BasicObjects();
  imgkit::RgnSubdivision_t crowded;
  for (int i = 0; i < 4100; ++i) crowded.points.push_back({0x10, 0, false, std::nullopt, 0, 0});
  f.rgn.subdivisions[2] = crowded;
  rgntest::Open_t m(f);
  ASSERT_EQ(0, m.result);
  const auto points = Points(m.map);
  std::size_t fromThree = 0;
  for (const auto& p : points) {
    EXPECT_EQ(0u, p.ref & 0x7000) << p;  // never carried into the flag bits
    if ((p.ref >> 16) == 3) ++fromThree;
  }
  EXPECT_EQ(4095u, fromThree);
  EXPECT_EQ(4u + 4095u + 4u, points.size());  // the search goes on to subdivision 4
}

TEST(RgnSearchTest, BadExtendedPointersEndTheSearch) {
  // Subdivision 3's extended areas claim a length that makes the next
  // offset smaller than its own.
  rgntest::Fixture_t f = rgntest::BasicObjects();
  imgkit::MapBuilder_t m = f.map;
  f.rgn.Place(m);
  m.tre.levels[1].subdivs[1].extLength[0] = 0xFFFFFFF0u;
  mpl::MdbMap_t map;
  ASSERT_EQ(0, mpl::MdbOpen(map, m.name, "", imgkit::OpenImage(m.Build())));
  int end = 0;
  Areas(map, 2, &end);
  EXPECT_EQ(1, end);
  mpl::MdbAreaRecord_t area;
  area.ref = Ref(4, 1, true);
  EXPECT_EQ(1, mpl::MdbGetArea(map, area, 2, nullptr));
  // A length longer than a 16-bit cursor can walk.
  m.tre.levels[1].subdivs[1].extLength[0] = 0x10000;
  mpl::MdbMap_t wide;
  ASSERT_EQ(0, mpl::MdbOpen(wide, m.name, "", imgkit::OpenImage(m.Build())));
  Areas(wide, 2, &end);
  EXPECT_EQ(1, end);
  area.ref = Ref(3, 1, true);
  EXPECT_EQ(1, mpl::MdbGetArea(wide, area, 2, nullptr));
}

}  // namespace
