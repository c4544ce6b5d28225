// Point-of-interest property records of any bytes: the input gives the
// global property flags (2 bytes), a byte choosing the sizes of the city and
// postal-code tables, the record offsets of six points (2 bytes each) and
// then the property section of a built label sub-file. Each point's record is
// decoded with two label flag sets, and the nearest text search runs over the
// points with every kind of criteria.
#include <algorithm>
#include <cstring>

#include "glo/GLO_Exception.h"
#include "mpl/MPL_Engine.h"
#include "mpl/MPL_PoiText.h"
#include "tests/fuzz/FuzzSeeds.h"
#include "tests/imgkit/LblBuilder.h"
#include "tests/imgkit/PoiTextBuilder.h"
#include "tests/mpl/LblMap.h"
#include "tests/mpl/RgnMap.h"

namespace {

constexpr unsigned kPoints = 6;
constexpr std::size_t kHead = 3 + 2 * kPoints;

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

// What a decoded record promises: terminated texts, and an address whose
// three lengths (with a blank between the parts present) make up its length.
void CheckText(const mpl::MdbPoiText_t& t) {
  Check(std::memchr(t.address, 0, sizeof t.address) != nullptr);
  Check(std::memchr(t.number, 0, sizeof t.number) != nullptr);
  const unsigned parts[] = {t.houseNumberLength, t.streetNameLength, t.unitLength};
  std::size_t sum = 0, present = 0;
  for (unsigned p : parts) {
    sum += p;
    present += p != 0 ? 1 : 0;
  }
  Check(std::strlen(t.address) == sum + (present > 0 ? present - 1 : 0));
}

std::string Input(std::uint16_t flags, std::uint8_t tables, const std::vector<std::uint16_t>& offsets,
                  const std::string& section) {
  std::string s;
  s.push_back(static_cast<char>(flags & 0xFF));
  s.push_back(static_cast<char>(flags >> 8));
  s.push_back(static_cast<char>(tables));
  for (unsigned i = 0; i < kPoints; ++i) {
    const std::uint16_t o = i < offsets.size() ? offsets[i] : 0xFFFF;
    s.push_back(static_cast<char>(o & 0xFF));
    s.push_back(static_cast<char>(o >> 8));
  }
  return s + section;
}

// The labels every input's sub-file holds: offsets 1, 7, 16 and 19.
imgkit::LblBuilder_t Labels(std::uint32_t flags, std::uint8_t tables) {
  imgkit::LblBuilder_t b;
  b.header.encoding = 9;
  b.header.propFlags = flags;
  b.AddLabel("MAIN ST");
  b.AddLabel("BLUE CAFE");
  b.AddLabel("A1");
  b.AddLabel("12-3");
  const unsigned cities = (tables & 1) != 0 ? 300 : 3;
  for (unsigned i = 0; i < cities; ++i) b.AddCity(1, 0);
  if ((tables & 2) != 0)
    for (unsigned i = 0; i < 260; ++i) b.AddIndexed(1);
  b.AddExit(16, 1);
  b.AddFacility(16, true, 1, 1, 1);
  return b;
}

}  // namespace

std::vector<std::string> StrideFuzzSeeds() {
  const imgkit::PoiTables_t small{3, 0, 1, 1};
  const imgkit::PoiTables_t large{300, 260, 1, 1};
  imgkit::PoiRecord_t full;
  full.name = 7;
  full.houseNumber = imgkit::EncodePackedDigits("12-34");
  full.street = 1;
  full.city = 2;
  full.postalCode = 0;
  full.phone = imgkit::EncodeNumberLabel(19);
  full.exit = imgkit::PoiExit_t{16, true, 1, 1};
  full.extension = imgkit::PoiExtension_t{std::string("\x01\x02\x05\x00\x00", 5), 4, std::nullopt};
  imgkit::PoiGroupA_t a;
  a.value1 = 1;
  a.byte1 = 2;
  a.mask = 3;
  full.groupA = a;
  full.groupB = imgkit::PoiGroupB_t{5, "x"};
  imgkit::PoiRecord_t masked = full;
  masked.localMask = true;
  masked.street.reset();
  masked.phone.reset();
  imgkit::PoiRecord_t unit;
  unit.name = 7;
  unit.houseNumber = imgkit::EncodeNumberLabel(19);
  unit.street = 1;
  std::vector<std::string> seeds;
  std::string section = imgkit::EncodePoiRecord(full, 0x1FF, small);
  const auto second = static_cast<std::uint16_t>(section.size());
  section += imgkit::EncodePoiRecord(masked, 0x1FF, small);
  const auto third = static_cast<std::uint16_t>(section.size());
  section += imgkit::EncodePoiRecord(unit, 0x1FF, small);
  seeds.push_back(Input(0x1FF, 0, {0, second, third, 0, second, 0xFFFF}, section));
  seeds.push_back(Input(0x1FF, 3, {0}, imgkit::EncodePoiRecord(full, 0x1FF, large)));
  seeds.push_back(Input(0x03, 0, {0}, imgkit::EncodePoiRecord(unit, 0x03, small)));
  // Damaged: an overlong mask and extension run, a packed number without end.
  seeds.push_back(Input(0x1FF, 0, {0}, std::string("\x07\x00\x80\x00\x00\x00\x00\x00\x80", 9)));
  seeds.push_back(Input(0x40, 0, {0}, std::string("\x07\x00\x00\x01\x01\x01\x01\x81", 8)));
  seeds.push_back(Input(0x01, 0, {0, 3}, std::string("\x07\x00\x00\x8C\x17\x17", 6)));
  return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kHead) return 0;
  try {
    const std::uint32_t flags = (data[0] | (data[1] << 8)) & 0x1FFu;
    imgkit::LblBuilder_t lbl = Labels(flags, data[2]);
    lbl.properties = fuzz::Bytes(data + kHead, size - kHead);
    rgntest::Fixture_t f = rgntest::BasicObjects();
    imgkit::RgnSubdivision_t s;
    static const std::uint8_t kTypes[kPoints] = {0x2A, 0x17, 0x20, 0x1D, 0x12, 0x2B};
    for (unsigned i = 0; i < kPoints; ++i) {
      imgkit::RgnPoint_t p;
      p.type = kTypes[i];
      p.label = static_cast<std::uint32_t>(data[3 + 2 * i] | (data[4 + 2 * i] << 8));
      p.poi = p.label != 0xFFFF;
      p.dlat = static_cast<std::int16_t>(static_cast<int>(i * 7) - 20);
      p.dlon = static_cast<std::int16_t>(static_cast<int>(i * 13) - 30);
      s.points.push_back(p);
    }
    f.rgn.subdivisions = {imgkit::RgnSubdivision_t{}, s, imgkit::RgnSubdivision_t{}, imgkit::RgnSubdivision_t{}};
    imgkit::MapBuilder_t m = f.map;
    f.rgn.Place(m);
    mpl::MdbMap_t map;
    if (mpl::MdbOpen(map, m.name, "", imgkit::OpenImage(imgkit::MapImage(lbltest::WithLbl(m, lbl.Build())))) != 0)
      return 0;

    for (const imgkit::RgnPoint_t& p : s.points) {
      mpl::MdbPointRecord_t point;
      point.type = p.type;
      point.poi = p.poi ? p.label : mpl::kMdbNone;
      mpl::MdbPoiText_t text;
      const int r = mpl::MdbReadPoiText(map, text, point, 0x804);
      Check(r == 0 || r == 1 || r == 3);
      CheckText(text);
      mpl::MdbReadPoiTextPlain(map, text, point);
      CheckText(text);
    }

    char work[24];
    static const mpl::MdbRouteNode_t kRoute[] = {{rgntest::kLow - 0x4000, rgntest::kLow - 0x4000, 0},
                                                 {rgntest::kLow + 0x4000, rgntest::kLow + 0x4000, 0x6000}};
    mpl::MdbTextCriteria_t criteria[5];
    criteria[0].mode = mpl::kTextByBearing;
    criteria[0].bearing = 0x40000000;
    criteria[0].tolerance = 0x30000000;
    criteria[0].exitName = "A1";
    criteria[1].mode = mpl::kTextByProperty;
    criteria[1].properties = 3;
    criteria[1].name = "CAFE";
    criteria[2].mode = mpl::kTextByName;
    criteria[2].name = "E";
    criteria[3].mode = mpl::kTextByRoute;
    criteria[3].nodes = kRoute;
    criteria[3].nodeCount = 2;
    criteria[3].maxOffRoute = 0x3000;
    criteria[3].name = "A";
    for (mpl::MdbTextCriteria_t& c : criteria) {
      c.work = work;
      c.workSize = sizeof work;
      mpl::MdbTextHit_t hits[4];
      mpl::MdbPointRecord_t first;
      const mpl::MdbBox_t before = map.searchRect;
      const int r = mpl::MdbNearestText(map, {rgntest::kLow, rgntest::kLow}, first, hits, 4, &c);
      Check(std::memcmp(&before, &map.searchRect, sizeof before) == 0);
      Check(r != 0 || (hits[0].ref != 0 && hits[0].ref == first.ref));
      for (unsigned i = 1; i < 4; ++i)
        Check(hits[i].ref == 0 || (hits[i - 1].ref != 0 && hits[i - 1].distance <= hits[i].distance));
    }
  } catch (const glo::Exception_t&) {
    // a sub-file the image cannot hold
  }
  return 0;
}
