// The objects of a map whose TRE and RGN sub-files are any bytes: the input is
// a 16-bit length, that many bytes of TRE and the rest RGN, put into an image
// with a built LBL. Every usable level is searched for areas, lines and points
// (all of them, by a filter, inside a part of the map, around an exclusion
// box), each object found is read again by its reference, and the type lists
// are built.
#include "glo/GLO_Exception.h"
#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Level.h"
#include "mpl/MPL_Rgn.h"
#include "mpl/MPL_TypeList.h"
#include "tests/fuzz/FuzzSeeds.h"
#include "tests/imgkit/MapImage.h"
#include "tests/mpl/RgnMap.h"

namespace {

constexpr std::size_t kMaxResults = 3000;

std::string Input(const rgntest::Fixture_t& f) {
  imgkit::MapBuilder_t m = f.map;
  f.rgn.Place(m);
  const auto files = m.Files();
  const std::string& tre = files[0].data;
  const std::string& rgn = files[1].data;
  std::string s{static_cast<char>(tre.size() & 0xFF), static_cast<char>(tre.size() >> 8)};
  return s + tre + rgn;
}

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

bool Overlaps(const mpl::MdbBox_t& a, const mpl::MdbBox_t& b) { return mpl::MdbBoxesOverlap(a, b); }

// One search of each kind with the map's current settings.
void Search(mpl::MdbMap_t& map, std::uint16_t request) {
  std::size_t n = 0;
  mpl::MdbAreaRecord_t area;
  for (int r = mpl::MdbFirstArea(map, area, request, nullptr); r == 0 && n < kMaxResults;
       r = mpl::MdbNextArea(map, area, request, nullptr), ++n) {
    Check(Overlaps(area.box, map.searchRect));
    Check(mpl::MdbTypeFilterTest(&map.areaFilter, area.type, area.subtype));
    Check((request & mpl::kRequestCount) < 1 || !area.points.empty());
    Check((area.ref & 0x7000) == 0);
  }
  n = 0;
  mpl::MdbLineRecord_t line;
  for (int r = mpl::MdbFirstLine(map, line, request, nullptr); r == 0 && n < kMaxResults;
       r = mpl::MdbNextLine(map, line, request, nullptr), ++n) {
    Check(Overlaps(line.box, map.searchRect));
    Check(mpl::MdbTypeFilterTest(&map.lineFilter, line.type, line.subtype));
    mpl::MdbLineRecord_t again;
    again.ref = line.ref;
    mpl::MdbMap_t copy;
    if (mpl::MdbCopy(copy, map) == 0 && mpl::MdbGetLine(copy, again, request, nullptr) == 0)
      Check(again.type == line.type && again.points.size() == line.points.size());
  }
  n = 0;
  mpl::MdbPointRecord_t point;
  for (int r = mpl::MdbFirstPoint(map, point, 0, nullptr); r == 0 && n < kMaxResults;
       r = mpl::MdbNextPoint(map, point, 0, nullptr), ++n) {
    const mpl::MdbPoint_t p{point.lat, point.lon};
    Check(mpl::MdbPointInBox(map.searchRect, p) && !mpl::MdbPointInBox(map.exclusion, p));
    Check(mpl::MdbTypeFilterTest(&map.pointFilter, point.type, point.subtype));
  }
}

}  // namespace

std::vector<std::string> StrideFuzzSeeds() {
  std::vector<std::string> seeds;
  rgntest::Fixture_t f = rgntest::BasicObjects();
  seeds.push_back(Input(f));
  rgntest::Fixture_t kinds = f;
  kinds.map.tre.extFlags = 0x07 | (1u << 9) | (1u << 10) | (3u << 4);
  kinds.map.tre.extTypeRecordSize = 4;
  kinds.map.tre.extTypes[1] = rgntest::Table({{0x10, 0, 1, 41}}, 4);
  kinds.map.tre.extTypes[0] = rgntest::Table({{0x20, 0, 0, 4}}, 4);
  kinds.map.tre.extTypes[2] = rgntest::Table({{5, 0, 2, 0}, {6, 0, 1, 0}}, 4);
  kinds.map.tre.levels[1].subdivs[2].extKinds = (1u << 8) | (1u << 3);
  seeds.push_back(Input(kinds));
  rgntest::Fixture_t clamped = f;
  clamped.rgn.subdivisions[2].table = std::vector<std::uint16_t>{0x7000};
  imgkit::RgnSubdivision_t tiny;
  tiny.kinds = 0x1F;
  tiny.areasEnd = std::string("\x01\x02\x03", 3);
  clamped.rgn.subdivisions[3] = tiny;
  seeds.push_back(Input(clamped));
  rgntest::Fixture_t plain = f;
  plain.map.tre.extFlags = 0;
  plain.rgn.subdivisions[3].extAreas.clear();
  plain.rgn.subdivisions[3].extLines.clear();
  plain.rgn.subdivisions[3].extPoints.clear();
  seeds.push_back(Input(plain));
  return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t treLength = data[0] | (data[1] << 8);
  if (treLength > size - 2) return 0;
  const std::string tre = fuzz::Bytes(data + 2, treLength);
  const std::string rgn = fuzz::Bytes(data + 2 + treLength, size - 2 - treLength);
  imgkit::LblHeader_t lbl;
  const std::string image = imgkit::MapImage({{"12345678.TRE", tre}, {"12345678.RGN", rgn}, {"12345678.LBL", lbl.Build()}});
  try {
    mpl::MdbMap_t map;
    if (mpl::MdbOpen(map, "12345678", "", imgkit::OpenImage(image)) != 0) return 0;
    for (unsigned level = 0; level < mpl::kMdbLevels; ++level) {
      if (!mpl::MdbLevelUsable(map, level)) continue;
      map.level = static_cast<std::uint8_t>(level);
      map.searchRect = mpl::kMdbWorld;
      map.exclusion = mpl::kMdbNoExclusion;
      map.areaFilter = map.lineFilter = map.pointFilter = mpl::Filter_t();
      Search(map, 50);
      // A filter of the first types listed, the map's south-west quarter,
      // and its north-east quarter excluded.
      mpl::MdbCursor_t lists;
      mpl::MdbSizeLists(lists, 64, 64);
      for (unsigned kind : {mpl::kMdbLines, mpl::kMdbAreas, mpl::kMdbPoints}) {
        const int r = kind == mpl::kMdbAreas   ? mpl::MdbAreaTypeList(map, nullptr, lists)
                      : kind == mpl::kMdbLines ? mpl::MdbLineTypeList(map, nullptr, lists)
                                               : mpl::MdbPointTypeList(map, nullptr, lists);
        mpl::Filter_t f;
        f.kind = 1;
        if (r == 0 && lists.typeCount > 0) f.entries[mpl::MdbListType(lists, 0)] = mpl::MdbListSubtypes(lists, 0) | 1u;
        (kind == mpl::kMdbAreas ? map.areaFilter : kind == mpl::kMdbLines ? map.lineFilter : map.pointFilter) = f;
      }
      const mpl::MdbBox_t b = map.bounds;
      const std::int32_t midLat = static_cast<std::int32_t>((static_cast<std::int64_t>(b.north) + b.south) / 2);
      const std::int32_t midLon = static_cast<std::int32_t>((static_cast<std::int64_t>(b.east) + b.west) / 2);
      map.searchRect = {midLat, midLon, b.south, b.west};
      map.exclusion = {b.north, b.east, midLat, midLon};
      Search(map, 1 | mpl::kRequestNodeFlags);
      map.areaFilter.kind = map.lineFilter.kind = map.pointFilter.kind = 0;
      map.searchRect = mpl::kMdbWorld;
      map.exclusion = mpl::kMdbNoExclusion;
      Search(map, 0);
    }
  } catch (const glo::Exception_t&) {
  }
  return 0;
}
