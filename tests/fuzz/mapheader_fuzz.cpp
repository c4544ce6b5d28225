// A map's sub-file headers and subdivisions on any bytes, inside a built
// image: the map is opened, every level selected and walked, every subdivision
// loaded with its extended pointers, and the TRE read through the buffered
// reader. The input is a sequence of sub-files (TRE, RGN, LBL, NET, NOD), each
// a 16-bit little-endian length and its bytes; a missing one is left out.
#include <set>

#include "glo/GLO_Exception.h"
#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Level.h"
#include "mpl/MPL_Reader.h"
#include "mpl/MPL_Subfile.h"
#include "mpl/MPL_Tre.h"
#include "tests/fuzz/FuzzSeeds.h"
#include "tests/imgkit/MapImage.h"

namespace {

const char* const kExtensions[] = {".TRE", ".RGN", ".LBL", ".NET", ".NOD"};

std::string Encode(const std::vector<imgkit::MapFile_t>& files) {
  std::string input;
  for (const char* ext : kExtensions) {
    std::string data;
    for (const imgkit::MapFile_t& f : files)
      if (f.name.ends_with(ext)) data = f.data;
    if (data.size() > 0xFFFF) data.resize(0xFFFF);
    input += static_cast<char>(data.size() & 0xFF);
    input += static_cast<char>(data.size() >> 8);
    input += data;
  }
  return input;
}

std::vector<imgkit::MapFile_t> Decode(const std::string& input) {
  std::vector<imgkit::MapFile_t> files;
  std::size_t at = 0;
  for (const char* ext : kExtensions) {
    if (at + 2 > input.size()) break;
    std::size_t n = static_cast<std::uint8_t>(input[at]) | (static_cast<std::uint8_t>(input[at + 1]) << 8);
    at += 2;
    n = std::min(n, input.size() - at);
    imgkit::MapFile_t file;
    file.name = "M";
    file.name.append(ext);
    file.data = input.substr(at, n);
    files.push_back(std::move(file));
    at += n;
  }
  return files;
}

imgkit::TreSubdiv_t Subdiv(std::int32_t lat, std::int32_t lon, std::uint16_t half, std::uint32_t offset, bool last,
                           std::uint16_t child, std::uint32_t kinds) {
  imgkit::TreSubdiv_t s;
  s.centreLat = lat;
  s.centreLon = lon;
  s.halfWidth = s.halfHeight = half;
  s.rgnOffset = offset;
  s.last = last;
  s.firstChild = child;
  s.kinds = 0x0F;
  s.extKinds = kinds;
  s.extLength = {offset / 4, offset / 8, 1};
  return s;
}

imgkit::MapBuilder_t SeedMap() {
  imgkit::MapBuilder_t m;
  m.name = "M";
  const std::int32_t q = 0x80000;
  m.tre.levels = {
      {2, 16, false, {Subdiv(0, -2 * q, 16, 0, false, 3, 0), Subdiv(0, 2 * q, 16, 0x10, true, 5, 0)}, {}},
      {1, 20, false,
       {Subdiv(q, -3 * q, 128, 0x20, false, 7, 0), Subdiv(-q, -q, 128, 0x30, true, 8, 0),
        Subdiv(q, q, 128, 0x40, false, 9, 0), Subdiv(-q, 3 * q, 128, 0x50, true, 10, 0)},
       {}},
      {0, 24, false,
       {Subdiv(q, -3 * q, 0x800, 0x60, true, 0, 1), Subdiv(-q, -q, 0x800, 0x70, true, 0, 2),
        Subdiv(q, q, 0x800, 0x80, true, 0, 4), Subdiv(-q, 3 * q, 0x800, 0x90, true, 0, 2)},
       {}},
  };
  m.tre.rgnEnd = 0xA0;
  m.tre.extFlags = 0x417;
  m.tre.overviews[0] = {std::string(6, '\x01'), 3, 0};
  m.tre.extTypes[2] = {std::string(10, '\x02'), 0, 0};
  m.tre.extTypeRecordSize = 5;
  m.rgn.length = 125;
  m.rgnData = std::string(0xA0, '\0');
  m.lbl.length = 236;
  m.lbl.countries = {0x300, 30, 3, 0};
  m.lbl.cities = {0x500, 50, 5, 0};
  m.net = imgkit::NetHeader_t();
  m.net->mask = 0x3E0;
  m.net->tableLength = 9;
  m.net->tableRecordSize = 3;
  m.nod = imgkit::NodHeader_t();
  m.nod->flags = 0x100;
  return m;
}

// Walks a level: it must end, yield each subdivision of the level at most once.
void WalkLevel(mpl::MdbMap_t& map, unsigned level) {
  mpl::MdbResetWalk(map);
  std::set<unsigned> seen;
  for (;;) {
    const int result = mpl::MdbNextSubdivision(map, level);
    if (result != mpl::kMdbDone) {
      if (result != mpl::kMdbBadData && result != mpl::kMdbNotFound) __builtin_trap();
      return;
    }
    const unsigned n = map.subdiv.number;
    if (n == 0 || n > map.tre.totalSubdivs || !seen.insert(n).second) __builtin_trap();
  }
}

void Exercise(mpl::MdbMap_t& map) {
  if (!mpl::MdbIsMapOpen(map) && map.mapId != 0) __builtin_trap();
  for (unsigned bits : {0u, 12u, 20u, 24u, 32u})
    for (int step : {-9, -1, 0, 1, 9}) {
      mpl::MdbSelectLevel(map, bits, step);
      if (map.level >= mpl::kMdbLevels) __builtin_trap();
    }
  for (unsigned level = 0; level < mpl::kMdbLevels; ++level) {
    map.searchRect = mpl::kMdbWorld;
    map.extKindsMask = 0;
    WalkLevel(map, level);
    map.searchRect = {0x100000, 0x100000, 0, 0};
    map.extKindsMask = 0x2;
    WalkLevel(map, level);
  }
  const unsigned total = map.tre.totalSubdivs;
  for (unsigned n = 0; n <= total + 1 && n < 2000; ++n) {
    mpl::MdbLoadSubdivision(map, n, true);
    mpl::MdbBox_t box;
    mpl::MdbGetSubdivisionBox(map, box, n);
  }
  std::uint8_t window[40];
  mpl::MdbBufReader_t reader;
  if (mpl::MdbBufOpen(reader, map.tre.file, map.tre.subdivOffset, window, sizeof window) == mpl::kMdbDone) {
    std::uint32_t value;
    for (int i = 0; i < 500 && mpl::MdbBufReadVarint(reader, value) == mpl::kMdbDone; ++i)
      if (reader.index > reader.count) __builtin_trap();
  }
  mpl::MdbMap_t copy;
  mpl::MdbCopy(copy, map);
  if (mpl::MdbIsMapOpen(copy) != mpl::MdbIsMapOpen(map)) __builtin_trap();
}

}  // namespace

std::vector<std::string> StrideFuzzSeeds() {
  std::vector<std::string> seeds;
  const imgkit::MapBuilder_t good = SeedMap();
  seeds.push_back(Encode(good.Files()));
  imgkit::MapBuilder_t old = good;
  old.tre.headerLength = 116;
  old.tre.date = {2001, 2, 2, 0, 0, 0};
  old.net.reset();
  seeds.push_back(Encode(old.Files()));
  imgkit::MapBuilder_t loose = good;
  for (imgkit::TreLevel_t& l : loose.tre.levels)
    for (imgkit::TreSubdiv_t& s : l.subdivs) s.last = false;
  loose.tre.levels[1].subdivs[2].firstChild = 7;
  seeds.push_back(Encode(loose.Files()));
  imgkit::MapBuilder_t bad = good;
  bad.tre.levels[0].number = 9;
  seeds.push_back(Encode(bad.Files()));
  imgkit::MapBuilder_t wide = good;
  wide.tre.levels[2].subdivs[0].halfWidth = 0;
  wide.tre.levels[0].bits = 1;
  wide.tre.extFlags = 0x437;
  seeds.push_back(Encode(wide.Files()));
  return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<imgkit::MapFile_t> files = Decode(fuzz::Bytes(data, size));
  try {
    const mpl::ImageSource_t source = imgkit::OpenImage(imgkit::MapImage(files));
    mpl::MdbMap_t map;
    const int result = mpl::MdbOpen(map, "M", "", source);
    if (result == mpl::kMdbDone)
      Exercise(map);
    else if (map.tre.file.IsOpen() || map.rgn.file.IsOpen() || map.lbl.file.IsOpen())
      __builtin_trap();  // a failed open leaves the context closed
    mpl::MdbClose(map);
  } catch (const glo::Exception_t&) {
    // The image layer's own errors; the engine itself never throws.
  }
  return 0;
}
