// The labels and index tables of a map whose label sub-file (LBL) is any
// bytes: the input is the sub-file, put into an image beside a small built
// map. Labels are decoded at the first offsets and at offsets taken from the
// input, with several flag sets and buffer sizes, and every index table is
// read up to its first records.
#include <cstring>

#include "glo/GLO_Exception.h"
#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Lbl.h"
#include "mpl/MPL_Rgn.h"
#include "tests/fuzz/FuzzSeeds.h"
#include "tests/imgkit/LblBuilder.h"
#include "tests/mpl/LblMap.h"

namespace {

constexpr unsigned kRecords = 40;

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

// A label into buffers of a few sizes: always terminated inside the buffer.
void Label(mpl::MdbMap_t& map, std::uint32_t offset) {
  static const std::uint32_t kFlags[] = {0,
                                         mpl::kLabelRaw,
                                         mpl::kLabelBaseName | mpl::kLabelExpandShield,
                                         mpl::kLabelSuffixOnly,
                                         mpl::kLabelExpandShield | mpl::kLabelMarkShield | mpl::kLabelShieldVariant,
                                         mpl::kLabelSecondName | mpl::kLabelTitleCase,
                                         mpl::kLabelOnlySecondName | mpl::kLabelPrefixBlank};
  for (std::size_t size : {1u, 5u, 64u}) {
    for (std::uint32_t flags : kFlags) {
      char buffer[80];
      std::memset(buffer, 0x55, sizeof buffer);
      mpl::MdbReadLabelText(map, offset, buffer, size, flags);
      Check(std::memchr(buffer, 0, size) != nullptr && buffer[size] == 0x55);
      std::memset(buffer, 0x55, sizeof buffer);
      mpl::MdbGetObjectLabel(map, &offset, mpl::kLabelOfOffset, buffer, size, flags);
      Check(std::memchr(buffer, 0, size) != nullptr && buffer[size] == 0x55);
    }
  }
}

std::string Sample() {
  imgkit::LblBuilder_t b;
  b.header.encoding = 6;
  const std::uint32_t a = b.AddLabel("MAIN\x1FST");
  const std::uint32_t c = b.AddLabel("\x02" "12");
  b.AddCountry(a);
  b.AddRegion(1, c);
  b.AddCity(a, 1);
  b.AddCity(1u | (1u << 8), 0x8000);
  b.AddIndexed(c);
  b.AddExit(a, 1);
  b.AddExit(c, 3);
  b.AddFacility(a, false, 3, 2, 0x11);
  b.AddFacility(c, true, 4, 1, 0x22);
  b.AddPoi(a);
  b.table156Count = 4;
  return b.Build();
}

}  // namespace

std::vector<std::string> StrideFuzzSeeds() {
  std::vector<std::string> seeds;
  const std::string six = Sample();
  seeds.push_back(six);
  for (std::uint8_t encoding : {7, 9, 10}) {
    std::string s = six;
    s[30] = static_cast<char>(encoding);
    if (encoding == 10) {
      s[170] = static_cast<char>(936 & 0xFF);
      s[171] = static_cast<char>(936 >> 8);
    }
    seeds.push_back(s);
  }
  imgkit::LblBuilder_t b;
  b.header.encoding = 9;
  b.header.codePage = 1252;
  b.AddRawLabel(std::string("A\x07\x00\x05" "B\x07xxC\x07yy\x00", 14));
  b.AddRawLabel("CAF\xC9 NO CDEF:");
  seeds.push_back(b.Build());
  std::string shifted = six;
  shifted[29] = 31;  // a label shift that overflows
  seeds.push_back(shifted);
  return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    // The built map, with the input as its label sub-file.
    mpl::MdbMap_t map;
    const std::vector<imgkit::MapFile_t> files = lbltest::WithLbl(mpltest::BasicMap(), fuzz::Bytes(data, size));
    if (mpl::MdbOpen(map, "12345678", "", imgkit::OpenImage(imgkit::MapImage(files))) != 0) return 0;
    for (std::uint32_t offset = 0; offset < 24; ++offset) Label(map, offset);
    for (std::size_t i = 0; i + 3 <= size && i < 96; i += 3)
      Label(map, (data[i] | (data[i + 1] << 8) | (data[i + 2] << 16)) & 0x3FFFFF);
    Label(map, 0xFFFFFFFF);
    map.mapId = 2097537;
    Label(map, 1420);
    for (std::uint32_t n = 0; n < kRecords; ++n) {
      std::uint32_t label = 0, country = 0, count = 0;
      mpl::MdbReadCountry(map, n, label);
      mpl::MdbReadRegion(map, n, label, country);
      mpl::MdbReadCityRegion(map, n * 0x1111u, country, label);
      mpl::MdbReadIndexedLabel(map, n, label);
      mpl::MdbReadPoiLabel(map, n, label);
      mpl::MdbCityRecord_t city;
      city.number = n;
      mpl::MdbReadCity(map, city);
      mpl::MdbExitRecord_t exit;
      exit.number = n;
      // Never a negative range wrapped round: at most the next first index
      // (22 bits) or the closing table's count.
      if (mpl::MdbReadExit(map, exit) == 0)
        Check(exit.count <= 0x400000 || exit.count <= std::uint64_t{map.lbl.table156.count} + 1);
      mpl::MdbExitFacilityRecord_t facility;
      facility.number = n;
      mpl::MdbReadExitFacility(map, facility);
      if (mpl::MdbCountExitFacilities(map, n, count) == 0)
        Check(count >= 1 && n - 1 + count <= map.lbl.facilities.count);
      char buffer[40];
      mpl::MdbPointRecord_t point;
      point.type = static_cast<std::uint16_t>(n * 7);
      point.poi = n;
      mpl::MdbGetObjectLabel(map, &point, mpl::kLabelOfPoint, buffer, sizeof buffer, mpl::kLabelDescribe);
      mpl::MdbGetObjectLabel(map, &exit, mpl::kLabelOfExit, buffer, sizeof buffer, 0);
    }
  } catch (const glo::Exception_t&) {
    // only a missing text of the language module may throw
  }
  return 0;
}
