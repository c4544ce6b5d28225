// The single queries of the map object: labels and the report of a label
// that cannot be read, name reordering, exits and their facilities, the
// detail reader seam, tide stations, elevation ranges and DEM levels, the
// road queries and the light searches.
#include <gtest/gtest.h>

#include <iterator>
#include <memory>

#include "dsk/DSK_Partition.h"
#include "mpl/MPL_HarmonicTideStationBase.h"
#include "mpl/MPL_Map.h"
#include "mpl/MPL_PoiText.h"
#include "mpl/MPL_SimplifiedTideStation.h"
#include "tests/imgkit/DemBuilder.h"
#include "tests/imgkit/LblBuilder.h"
#include "tests/imgkit/PoiTextBuilder.h"
#include "tests/imgkit/TideBuilder.h"
#include "tests/mpl/LblMap.h"
#include "tests/mpl/MapFacadeFixture.h"
#include "tests/mpl/MapFixture.h"
#include "tests/mpl/RgnMap.h"
#include "tests/mpl/RoadMap.h"

namespace {

struct Opened_t {
  Opened_t(const std::vector<imgkit::MapFile_t>& files, const std::string& name = "12345678")
      : image(files), map(image.source, name, "") {}
  facadetest::Image_t image;
  mpl::Map_t map;
};

TEST(MapQueryTest, DumpOfRecordBytes) {
  const std::uint8_t four[] = {0x12, 0x34, 0x00, 0x00};
  EXPECT_EQ("0000: 12 34 00 00 " + std::string(36, ' ') + "  .4..\n", mpl::DumpBytes(four, 4));
  EXPECT_EQ("", mpl::DumpBytes(four, 0));
  std::uint8_t seventeen[17];
  for (unsigned i = 0; i < 17; ++i) seventeen[i] = static_cast<std::uint8_t>('A' + i);
  EXPECT_EQ("0000: 41 42 43 44 45 46 47 48 49 4a 4b 4c 4d 4e 4f 50   ABCDEFGHIJKLMNOP\n"
            "0010: 51 " + std::string(45, ' ') + "  Q\n",
            mpl::DumpBytes(seventeen, 17));
}

TEST(MapQueryTest, NameReorderingStaysInsideTheName) {
  struct Case_t {
    const char* name;
    unsigned l1, l2, l3;
    const char* result;
  } cases[] = {
      {"AB CD EF", 2, 2, 2, "CD AB EF"},
      {"Main Street", 4, 6, 0, "Street Main"},
      {"Main Street and more", 4, 6, 0, "Street Main and more"},
      {"AB CD", 0, 2, 0, "AB CD"},        // a missing part: unchanged
      {"AB CD", 2, 0, 0, "AB CD"},
      {"AB CD", 5, 5, 0, "AB CD"},        // parts longer than the name: unchanged
      {"AB CD EF", 2, 2, 200, "AB CD EF"},
      {"AB CD", 2, 3, 0, "AB CD"},        // one character past the end
      {"", 1, 1, 1, ""},
  };
  for (const Case_t& c : cases) {
    std::string name = c.name;
    mpl::ReorderNameParts(name, c.l1, c.l2, c.l3);
    EXPECT_EQ(c.result, name) << c.name << " " << c.l1 << "/" << c.l2 << "/" << c.l3;
  }
}

imgkit::LblBuilder_t Labels(std::uint32_t& hill, std::uint32_t& museum) {
  imgkit::LblBuilder_t b;
  b.header.encoding = 9;
  hill = b.AddLabel("HILL ROAD");
  museum = b.AddLabel("MUSEUM");
  b.AddIndexed(hill);
  b.AddExit(museum, 1);
  b.AddFacility(0x10, false, 3, 5, 0xAA);
  b.AddFacility(0x20, true, 31, 7, 0x55);
  b.AddFacility(0x30, true, 1, 0, 0x01);
  return b;
}

TEST(MapQueryTest, LabelsExitsAndTheirFailures) {
  std::uint32_t hill = 0, museum = 0;
  imgkit::MapBuilder_t m = mpltest::BasicMap();
  Opened_t o(lbltest::WithLbl(m, Labels(hill, museum).Build()));
  EXPECT_EQ("HILL ROAD", o.map.GetLabelText(hill, 0));
  EXPECT_EQ("Hill Road", o.map.GetLabelByIndex(1));
  mpl::MdbPointRecord_t point;
  point.label = museum;
  const auto [pointText, pointLabel] = o.map.GetPointLabel(point, 0);
  EXPECT_EQ("MUSEUM", pointText);
  EXPECT_EQ(museum, pointLabel);
  mpl::MdbLineRecord_t line;
  line.label = hill;
  EXPECT_EQ(hill, o.map.GetLineLabel(line, 0).second);
  mpl::MdbAreaRecord_t area;
  area.label = museum;
  EXPECT_EQ("MUSEUM", o.map.GetAreaLabel(area, 0));
  EXPECT_THROW(o.map.GetLabelByIndex(2), mpl::MdbException_t);
  // A label past the label section: the report names the image, the record
  // kind and the record's bytes.
  try {
    o.map.GetLabelText(0x3412, 0);
    ADD_FAILURE() << "read";
  } catch (const mpl::MdbException_t& e) {
    EXPECT_EQ("Image: trail\nRecord type: 5\nRecord:\n0000: 12 34 00 00 " + std::string(36, ' ') +
                  "  .4..\nError code: " + std::to_string(e.Code()),
              e.what());
  }
  const mpl::MdbExitRecord_t exit = o.map.GetExit(1);
  EXPECT_EQ(museum, exit.label);
  EXPECT_THROW(o.map.GetExit(2), mpl::MdbException_t);
  std::vector<mpl::MdbExitFacilityRecord_t> facilities;
  o.map.GetExitFacilities(1, facilities);
  ASSERT_EQ(2u, facilities.size());
  EXPECT_EQ(0x10u, facilities[0].label);
  EXPECT_EQ(0x20u, facilities[1].label);
  o.map.GetExitFacilities(3, facilities);
  EXPECT_EQ(3u, facilities.size());
  EXPECT_THROW(o.map.GetExitFacilities(9, facilities), mpl::MdbException_t);
}

// A stand-in for the reader of point property records.
int FakeDetails(mpl::MdbMap_t&, const mpl::MdbPointRecord_t& point, mpl::MdbPointDetails_t& details, std::uint32_t) {
  if (point.poi == mpl::kMdbNone) return 3;
  details.name = "AB CD EF";
  details.length1 = details.length2 = details.length3 = 2;
  details.stationPointer = 0x40;
  return 0;
}

struct DetailsReader_t {
  explicit DetailsReader_t(mpl::MdbPointDetailsReader_t r) { mpl::SetPointDetailsReader(r); }
  ~DetailsReader_t() { mpl::SetPointDetailsReader(nullptr); }
};

TEST(MapQueryTest, TextEntitiesInTheMapsNameOrder) {
  for (bool order : {false, true}) {
    imgkit::MapBuilder_t m = mpltest::BasicMap();
    m.tre.flags = order ? 0x4 : 0;
    Opened_t o(m.Files());
    mpl::Point_t point;
    point.record.poi = 7;
    EXPECT_THROW(o.map.GetTextEntity(point, 0), mpl::MdbException_t);  // the map has no property records
    DetailsReader_t reader(FakeDetails);
    EXPECT_EQ(order ? "CD AB EF" : "AB CD EF", o.map.GetTextEntity(point, 0).name);
    point.record.poi = mpl::kMdbNone;
    EXPECT_THROW(o.map.GetTextEntity(point, 0), mpl::MdbException_t);
  }
  mpl::TextEntity_t entity;
  entity.SetMatchKind(4);
  EXPECT_EQ(4, entity.MatchKind());
  EXPECT_THROW(entity.SetMatchKind(5), glo::Assert_t);
  EXPECT_THROW(entity.SetMatchKind(-1), glo::Assert_t);
}

// A map whose points of type 29 are real tide stations of subtypes 0, 1, 2
// and 6, in that order in subdivision 2: each point's property record holds
// the station pointer (with the corrections for subtype 1) in its extension,
// and the LBL ends with the tide section.
std::vector<imgkit::MapFile_t> TideStationMap() {
  imgkit::TideSectionBuilder_t section;
  const std::uint32_t harmonic = section.AddHarmonic(-300, 3000, {{0, 900, 400}, {1, 250, 1200}});
  imgkit::TideSimplifiedFields_t fields;
  fields.z0 = 1000;
  fields.amplitudes[0] = 900;
  const std::uint32_t simplified = section.AddSimplified(fields);
  const auto length = static_cast<std::uint32_t>(section.Bytes().size());
  imgkit::TideCorrectionsFields_t corrections;
  corrections.highTime = 30;
  imgkit::LblBuilder_t lbl;
  lbl.header.length = 236;
  lbl.header.encoding = 9;
  lbl.header.propFlags = mpl::kPoiExtension;
  std::vector<imgkit::RgnPoint_t> points;
  const std::uint8_t subtypes[] = {0, 1, 2, 6};
  for (const std::uint8_t subtype : subtypes) {
    imgkit::PoiRecord_t record;
    record.localMask = true;
    std::string pointer = imgkit::EncodeStationPointer(length, subtype == 2 ? simplified : harmonic);
    if (subtype == 1) pointer += imgkit::EncodeCorrections(corrections);
    record.extension = imgkit::PoiExtension_t{pointer, 0, std::nullopt};
    imgkit::RgnPoint_t p;
    p.type = 29;
    p.subtype = subtype;
    p.poi = true;
    p.label = static_cast<std::uint32_t>(lbl.properties.size());
    p.dlat = static_cast<std::int16_t>(10 * subtype);
    points.push_back(p);
    lbl.properties += imgkit::EncodePoiRecord(record, lbl.header.propFlags, {});
  }
  const auto sectionOffset = static_cast<std::uint32_t>(lbl.Build().size());
  lbl.header.words196 = {sectionOffset, length, 0};
  rgntest::Fixture_t f = rgntest::BasicObjects();
  imgkit::RgnSubdivision_t s;
  s.points = points;
  f.rgn.subdivisions = {imgkit::RgnSubdivision_t{}, s, imgkit::RgnSubdivision_t{}, imgkit::RgnSubdivision_t{}};
  f.rgn.Place(f.map);
  return lbltest::WithLbl(f.map, lbl.Build() + section.Bytes());
}

// Subtypes 0 and 1 are harmonic stations (1 with its corrections and the
// curve drawn between its extremes), 2 a simplified one and 6 one with
// monthly arguments and the point's latitude; by point reference and by the
// point and its details alike. Other subtypes and types are assertions.
TEST(MapQueryTest, TideStationsByPointKind) {
  Opened_t o(TideStationMap());
  struct Case_t {
    std::uint16_t subtype;
    int kind;
    std::uint8_t interpolate;
  };
  const Case_t cases[] = {{0, 0, 0}, {1, 0, 1}, {2, 1, 0}, {6, 2, 0}};
  for (unsigned i = 0; i < std::size(cases); ++i) {
    const Case_t& c = cases[i];
    const std::uint32_t ref = mpl::MdbMakeRef(2, i + 1);
    const mpl::Point_t point = o.map.GetPointRecord(ref);
    ASSERT_EQ(point.record.subtype, c.subtype);
    const mpl::MdbPointDetails_t details = o.map.GetTextEntity(point, 0);
    for (const bool byRef : {true, false}) {
      const std::unique_ptr<mpl::TideStation_t> station =
          byRef ? o.map.MakeTideStation(ref) : o.map.MakeTideStation(point.record, details);
      ASSERT_NE(station, nullptr) << c.subtype;
      const mpl::TideStation_t& s = *station;
      EXPECT_EQ(c.subtype == 0 || c.subtype == 1, dynamic_cast<const mpl::HarmonicTideStation_t*>(&s) != nullptr)
          << c.subtype;
      EXPECT_EQ(c.subtype == 2, dynamic_cast<const mpl::SimplifiedTideStation_t*>(&s) != nullptr) << c.subtype;
      EXPECT_EQ(c.subtype == 6, dynamic_cast<const mpl::IosTideStation_t*>(&s) != nullptr) << c.subtype;
      EXPECT_EQ(s.Engine().kind, c.kind) << c.subtype;
      EXPECT_EQ(s.Engine().interpolate, c.interpolate) << c.subtype;
      if (c.subtype == 1) {
        EXPECT_EQ(dynamic_cast<const mpl::HarmonicTideStationBase_t&>(s).Corrections().highTime, 30);
      }
      if (c.subtype == 6) {
        EXPECT_EQ(s.Engine().latitude, point.record.lat);
      }
    }
  }
  mpl::MdbPointRecord_t point = o.map.GetPointRecord(mpl::MdbMakeRef(2, 1)).record;
  const mpl::MdbPointDetails_t details = o.map.GetTextEntity(o.map.GetPointRecord(mpl::MdbMakeRef(2, 1)), 0);
  point.subtype = 3;
  EXPECT_THROW(o.map.MakeTideStation(point, details), glo::Assert_t);
  point.type = 28;
  point.subtype = 0;
  EXPECT_THROW(o.map.MakeTideStation(point, details), glo::Assert_t);
  mpl::Map_t closed;
  EXPECT_THROW(closed.MakeTideStation(point, details), glo::Assert_t);
}

std::vector<imgkit::MapFile_t> DemMap(std::int16_t lowest, std::int16_t highest, std::uint16_t quant, bool feet) {
  imgkit::DemBuilder_t dem;
  dem.flags = feet ? 1 : 0;
  imgkit::DemLevel_t level;
  level.lowest = lowest;
  level.highest = highest;
  level.quant = quant;
  dem.levels = {level};
  imgkit::MapBuilder_t m = mpltest::BasicMap();
  m.extra.push_back({m.name + ".DEM", dem.Build()});
  return m.Files();
}

TEST(MapQueryTest, ElevationRangesOverSeveralMaps) {
  Opened_t high(DemMap(10, 200, 0, false));
  Opened_t low(DemMap(-5, 50, 0, false));
  ASSERT_TRUE(high.map.HasDem());
  std::optional<std::int32_t> lowest = 1, highest = 2;
  high.map.GetElevationRange(lowest, highest, true);
  EXPECT_EQ(2560, lowest);
  EXPECT_EQ(51200, highest);
  low.map.GetElevationRange(lowest, highest, false);
  EXPECT_EQ(-1280, lowest);
  EXPECT_EQ(51200, highest);
  // Feet count 78 a unit; the quantisation widens the range.
  Opened_t feet(DemMap(10, 20, 2, true));
  feet.map.GetElevationRange(lowest, highest, true);
  EXPECT_EQ(8 * 78, lowest);
  EXPECT_EQ(22 * 78, highest);
  // A map without DEM leaves the outputs as they were, or empties them on reset.
  Opened_t none(mpltest::BasicMap().Files());
  none.map.GetElevationRange(lowest, highest, false);
  EXPECT_EQ(22 * 78, highest);
  none.map.GetElevationRange(lowest, highest, true);
  EXPECT_FALSE(lowest.has_value());
  EXPECT_NO_THROW(none.map.LoadDemLevel(24));
  // The DEM level of 24 bits, and of bits no level has (the lowest level).
  EXPECT_NO_THROW(high.map.LoadDemLevel(24));
  EXPECT_EQ(0, high.map.Engine().dem.level);
  EXPECT_NO_THROW(high.map.LoadDemLevel(7));
  EXPECT_EQ(0, high.map.Engine().dem.level);
}

TEST(MapQueryTest, RoadsOfTheMap) {
  roadtest::RoadFixture_t f;
  roadtest::RoadFixture_t::Open_t open;
  f.Open(open);
  ASSERT_EQ(0, open.result);
  mpl::Map_t map(open.map.source, open.map.mapName, "");
  const std::int32_t u = roadtest::kUnit;
  const mpl::MdbPoint_t q{roadtest::kLat - 3 * u, roadtest::kLon + 400 * u};
  mpl::MdbLineRecord_t line;
  mpl::MdbRoadNear_t near;
  ASSERT_TRUE(map.FindNamedRoad(roadtest::LineRef(1, 1), q, line, near));
  EXPECT_EQ(roadtest::LineRef(3, 1), near.ref);
  EXPECT_EQ(roadtest::LineRef(3, 1), line.ref);
  // The address runs on the most detailed level and leaves the current one.
  map.Engine().level = 1;
  mpl::MdbAddress_t address;
  EXPECT_TRUE(map.TraceRoad(line, near, address));
  EXPECT_EQ(1, map.Engine().level);
  // Also when the medium goes missing on the way.
  auto* media = static_cast<imgkit::MemoryMedia_t*>(map.GetImageSource().Media());
  // Nothing left in the block cache: the next read needs the medium.
  dynamic_cast<dsk::PrivPartition_t&>(*map.GetImageSource().Partition()).Cache().ReleaseAll();
  media->SetMissing(true);
  EXPECT_THROW(map.TraceRoad(line, near, address), dsk::MediaUnavailable_t);
  media->SetMissing(false);
  EXPECT_EQ(1, map.Engine().level);
  mpl::Map_t closed;
  EXPECT_FALSE(closed.FindNamedRoad(roadtest::LineRef(1, 1), q, line, near));
  EXPECT_FALSE(closed.TraceRoad(line, near, address));
}

TEST(MapQueryTest, PositionAlongARoad) {
  roadtest::RoadFixture_t f;
  roadtest::RoadFixture_t::Open_t open;
  f.Open(open);
  ASSERT_EQ(0, open.result);
  const std::int32_t u = roadtest::kUnit;
  mpl::MdbLineRecord_t work;
  std::uint32_t along = 0, length = 0;
  // Road A on the most detailed level: 356 units long as stored.
  const mpl::MdbPoint_t p{roadtest::kLat + 2 * u, roadtest::kLon + 150 * u};
  ASSERT_EQ(0, mpl::MdbRoadPosition(open.map, open.offsets[0], p, work, along, length));
  EXPECT_EQ(356u * u, length);
  EXPECT_NEAR(150.0 * u, along, 2);
  const mpl::MdbPoint_t end{roadtest::kLat, roadtest::kLon + 500 * u};
  ASSERT_EQ(0, mpl::MdbRoadPosition(open.map, open.offsets[0], end, work, along, length));
  EXPECT_EQ(356u * u, along);
  // Scaling to the stored length; lines without length give position 0.
  struct Case_t {
    std::uint64_t along, total;
    std::uint32_t stored, result;
  } cases[] = {{50, 100, 300, 150}, {0, 100, 300, 0}, {100, 100, 300, 300}, {0, 0, 300, 0}, {7, 0, 300, 0}};
  for (const Case_t& c : cases) EXPECT_EQ(c.result, mpl::MdbScaleRoadPosition(c.along, c.total, c.stored));
}

TEST(MapQueryTest, LightSearchesOfAnAttributeRecordThatIsNoLight) {
  Opened_t o(mpltest::BasicMap().Files());
  mpl::MdbAuxInfo_t notALight;
  notALight.bytes[0] = 1;
  auto flashes = o.map.LightFlashSearch(notALight);
  EXPECT_TRUE(flashes.begin() == flashes.end());
  auto sectors = o.map.LightSectorSearch(notALight);
  EXPECT_TRUE(sectors.begin() == sectors.end());
  mpl::Map_t closed;
  EXPECT_THROW(closed.LightFlashSearch(notALight).begin(), glo::Assert_t);
}

}  // namespace
