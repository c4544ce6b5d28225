// The coordinate unpacker on any stream: byte 0 gives the mode flags and how
// far the byte count claims past the file's end, byte 1 the level's bits,
// byte 2 where the stream starts in its block; the rest is the stream, placed
// in a sub-file of a built image.
#include <memory>

#include "dsk/DSK_Directory.h"
#include "dsk/DSK_Disk.h"
#include "dsk/DSK_File.h"
#include "dsk/DSK_FileBuffer.h"
#include "dsk/DSK_Partition.h"
#include "glo/GLO_Exception.h"
#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Subfile.h"
#include "mpl/MPL_UnpackDeltas.h"
#include "tests/fuzz/FuzzSeeds.h"
#include "tests/imgkit/DeltaStream.h"
#include "tests/imgkit/ImageBuilder.h"
#include "tests/imgkit/MemoryMedia.h"

namespace {

std::string Input(std::uint8_t control, std::uint8_t bits, std::uint8_t place, const std::string& stream) {
  return std::string{static_cast<char>(control), static_cast<char>(bits), static_cast<char>(place)} + stream;
}

}  // namespace

std::vector<std::string> StrideFuzzSeeds() {
  std::vector<std::string> seeds;
  imgkit::DeltaStream_t s;
  s.points = {{3, -2, {}}, {-700, 5, {}}, {100, 90000, {}}, {0, 0, {}}};
  seeds.push_back(Input(0, 24, 0, imgkit::Encode(s)));
  seeds.push_back(Input(0, 20, 255, imgkit::Encode(s)));
  s.lon = imgkit::DeltaAxis_t{0, imgkit::DeltaAxis_t::kSigned};
  seeds.push_back(Input(0, 16, 1, imgkit::Encode(s)));
  imgkit::DeltaStream_t node;
  node.extraBits = 1;
  node.startExtra = 1;
  node.points = {{4, 4, 0}, {-4, 2, 1}, {1, 1, 1}};
  seeds.push_back(Input(mpl::kUnpackExtraBit | mpl::kUnpackKeepExtra, 24, 254, imgkit::Encode(node)));
  imgkit::DeltaStream_t wide;
  wide.extended = true;
  wide.extraBits = 8;
  wide.presence = true;
  wide.startExtra = 0xA5;
  wide.points = {{10, -10, std::nullopt}, {-3, 7, 0x7F}, {2, 2, std::nullopt}};
  seeds.push_back(Input(mpl::kUnpackExtended | mpl::kUnpackKeepExtra | (3 << 3), 22, 127, imgkit::Encode(wide)));
  imgkit::DeltaStream_t common;
  for (int i = 0; i < 60; ++i) common.points.push_back({i % 4, -(i % 3), {}});
  seeds.push_back(Input(0, 24, 200, imgkit::Encode(common)));
  seeds.push_back(Input(0, 0, 0, std::string(1, '\x55')));
  seeds.push_back(Input(7 << 3, 24, 3, std::string("\xFF\x00\x00\x00\x00\x00", 6)));
  return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const std::uint8_t control = data[0];
  const std::string stream = fuzz::Bytes(data + 3, size - 3);
  const std::uint32_t at = data[2] * 2u;
  imgkit::ImageBuilder_t b;
  // No more blocks than the file needs, so that each input builds quickly.
  b.blockCount = static_cast<std::uint16_t>(16 + (at + stream.size()) / 512);
  b.trimToData = true;
  b.files.push_back(imgkit::File("T.RGN", std::string(at, '\xAA') + stream));
  imgkit::MemoryMedia_t media(b.Build(), true);
  try {
    dsk::Disk_t disk(media, 4);
    mpl::MdbMap_t map;
    map.rgn.file = dsk::File_t(disk.GetPartition(0).GetRootDirectory().FindFile("T.RGN"));
    map.rgn.file.Open(dsk::kModeRead);
    mpl::MdbSeek(map.rgn.file, at, 0);
    mpl::MdbUnpackState_t s;
    s.bits = data[1];
    s.mode = control & 7u;
    s.budget = static_cast<std::uint32_t>(stream.size()) + ((control >> 3) & 7u);
    s.startLat = 0x12345600;
    s.startLon = -0x23456700;
    s.map = &map;
    std::vector<mpl::MdbPoint_t> points;
    const std::uint32_t n = mpl::UnpackDeltas(s, points, 1);
    if (n != points.size() || n == 0) __builtin_trap();
    // Every point after the start takes at least four bits of the stream's bytes.
    const std::uint64_t streamBits = stream.empty() ? 0 : 8 * (stream.size() - 1);
    if (n > 1 + streamBits / 4) __builtin_trap();
    if (points[0].lon != s.startLon) __builtin_trap();
  } catch (const glo::Exception_t&) {
  }
  return 0;
}
