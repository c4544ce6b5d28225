#pragma once
// Maps for the map-object tests: an image holding several maps (the RGN test
// map, a generated grid of lines and areas, and one whose label sub-file is
// missing) opened through a memory medium with a Windows-style name, and the
// generated grid on its own for the searches and the benchmark.
#include <string>
#include <vector>

#include "mpl/MPL_Map.h"
#include "tests/imgkit/LblBuilder.h"
#include "tests/imgkit/MapImage.h"
#include "tests/imgkit/MemoryMedia.h"
#include "tests/imgkit/RgnBuilder.h"
#include "tests/mpl/RgnMap.h"

namespace facadetest {

// One level-0 subdivision spans this many semicircles (0x1000 units of 256).
constexpr std::int32_t kSpan = 0x100000;
// Cell of one line and one area inside a subdivision, in level units.
constexpr std::int16_t kCell = 0x160;
constexpr std::int16_t kFirst = -0x700;

// Line k of a subdivision: an L from its cell corner 0x80 units east, then
// 0x80 north. Area k: a 0x40-unit square 0x90 units north-east of the corner.
inline std::uint8_t LineType(unsigned k) { return static_cast<std::uint8_t>(1 + k % 6); }
inline std::uint8_t AreaType(unsigned k) { return static_cast<std::uint8_t>(0x40 + k % 4); }

// side x side level-0 subdivisions under one level-1 subdivision without data
// of its own, each with 'perKind' lines and areas (at most 100).
inline rgntest::Fixture_t GridFixture(unsigned side, unsigned perKind, const std::string& name = "20000001") {
  rgntest::Fixture_t f;
  imgkit::MapBuilder_t& m = f.map;
  m.name = name;
  const std::int32_t extent = static_cast<std::int32_t>(side) * kSpan;
  m.tre.north = extent;
  m.tre.east = extent;
  m.tre.south = 0;
  m.tre.west = 0;
  std::vector<imgkit::TreSubdiv_t> children;
  for (unsigned row = 0; row < side; ++row)
    for (unsigned col = 0; col < side; ++col)
      children.push_back(rgntest::Sub(static_cast<std::int32_t>(row) * kSpan + kSpan / 2,
                                      static_cast<std::int32_t>(col) * kSpan + kSpan / 2, 0x800,
                                      row == side - 1 && col == side - 1));
  const std::uint16_t topHalf = static_cast<std::uint16_t>(extent / 2 / 4096);
  m.tre.levels = {
      {1, 20, true, {rgntest::Sub(extent / 2, extent / 2, topHalf, true, 2)}, {}},
      {0, 24, false, children, {}},
  };
  m.rgn.length = 125;
  f.rgn.subdivisions.push_back(imgkit::RgnSubdivision_t{});
  for (unsigned s = 0; s < side * side; ++s) {
    imgkit::RgnSubdivision_t sub;
    for (unsigned k = 0; k < perKind; ++k) {
      const std::int16_t x = static_cast<std::int16_t>(kFirst + (k % 10) * kCell);
      const std::int16_t y = static_cast<std::int16_t>(kFirst + (k / 10) * kCell);
      sub.lines.push_back(rgntest::Poly(LineType(k), 0, x, y, rgntest::Stream({{0x80, 0, {}}, {0, 0x80, {}}})));
      sub.areas.push_back(rgntest::Poly(AreaType(k), 0, static_cast<std::int16_t>(x + 0x90),
                                        static_cast<std::int16_t>(y + 0x90),
                                        rgntest::Stream({{0x40, 0, {}}, {0, 0x40, {}}, {-0x40, 0, {}}})));
    }
    f.rgn.subdivisions.push_back(sub);
  }
  m.tre.overviews[0] = rgntest::Table({{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}}, 2);
  m.tre.overviews[1] = rgntest::Table({{0x40, 0}, {0x41, 0}, {0x42, 0}, {0x43, 0}}, 2);
  return f;
}


inline std::vector<imgkit::MapFile_t> FilesOf(const rgntest::Fixture_t& f) {
  imgkit::MapBuilder_t m = f.map;
  f.rgn.Place(m);
  return m.Files();
}

// An image over a medium named like a Windows path, with the maps' files.
struct Image_t {
  explicit Image_t(const std::vector<imgkit::MapFile_t>& files, const std::string& mediumName = "C:\\Maps\\trail.img") {
    media = new imgkit::MemoryMedia_t(imgkit::MapImage(files), true, mediumName);
    glo::SmartPtr_t<glo::RefCounter_t> owner(media);
    source = mpl::ImageSource_t(*media, owner, 16);
  }
  imgkit::MemoryMedia_t* media = nullptr;
  mpl::ImageSource_t source;
};

// The several maps: 10000001 the RGN test map, 20000001 a 2 x 2 grid with four
// lines and areas per subdivision, 30000001 without its label sub-file.
inline std::vector<imgkit::MapFile_t> SeveralMaps() {
  rgntest::Fixture_t a = rgntest::BasicObjects();
  a.map.name = "10000001";
  a.map.tre.mapId = 0x10001;
  std::vector<imgkit::MapFile_t> files = FilesOf(a);
  rgntest::Fixture_t b = GridFixture(2, 4);
  b.map.tre.mapId = 0x20001;
  for (const imgkit::MapFile_t& file : FilesOf(b)) files.push_back(file);
  rgntest::Fixture_t c = GridFixture(1, 1, "30000001");
  for (const imgkit::MapFile_t& file : FilesOf(c))
    if (file.name != "30000001.LBL") files.push_back(file);
  return files;
}

}  // namespace facadetest
