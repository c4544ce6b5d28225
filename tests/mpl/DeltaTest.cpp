// Coordinate streams: the encoder of the image kit pinned by hand-made bytes,
// and the unpacker over streams placed in a sub-file of a built image: every
// sign mode and escape, extra fields, block and word boundaries, short and
// damaged streams.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "dsk/DSK_Directory.h"
#include "dsk/DSK_Disk.h"
#include "dsk/DSK_File.h"
#include "dsk/DSK_FileBuffer.h"
#include "dsk/DSK_Partition.h"
#include "mpl/MPL_Engine.h"
#include "mpl/MPL_StreamWord.h"
#include "mpl/MPL_Subfile.h"
#include "mpl/MPL_UnpackDeltas.h"
#include "tests/imgkit/DeltaStream.h"
#include "tests/imgkit/ImageBuilder.h"
#include "tests/imgkit/MemoryMedia.h"
#include "tests/imgkit/RgnBuilder.h"

namespace {

using imgkit::DeltaAxis_t;
using imgkit::DeltaPoint_t;
using imgkit::DeltaStream_t;

// One file in a built image, open as the RGN sub-file of an engine context.
struct StreamFile_t {
  explicit StreamFile_t(const std::string& bytes) {
    imgkit::ImageBuilder_t b;
    b.files.push_back(imgkit::File("T.RGN", bytes));
    media = std::make_unique<imgkit::MemoryMedia_t>(b.Build(), true);
    disk = std::make_unique<dsk::Disk_t>(*media, 8);
    map.rgn.file = dsk::File_t(disk->GetPartition(0).GetRootDirectory().FindFile("T.RGN"));
    map.rgn.file.Open(dsk::kModeRead);
  }
  std::unique_ptr<imgkit::MemoryMedia_t> media;
  std::unique_ptr<dsk::Disk_t> disk;
  mpl::MdbMap_t map;
};

struct Unpacked_t {
  std::vector<mpl::MdbPoint_t> points;
  mpl::MdbBox_t box;
  std::uint32_t result = 0;
};

Unpacked_t Unpack(StreamFile_t& f, std::uint32_t at, std::uint32_t budget, std::uint8_t mode = 0,
                  std::uint8_t bits = 24, mpl::MdbPoint_t start = {0x100000, 0x200000}) {
  mpl::MdbSeek(f.map.rgn.file, at, 0);
  mpl::MdbUnpackState_t s;
  s.bits = bits;
  s.mode = mode;
  s.budget = budget;
  s.startLat = start.lat;
  s.startLon = start.lon;
  s.map = &f.map;
  Unpacked_t u;
  u.result = mpl::UnpackDeltas(s, u.points, 1);
  u.box = {s.north, s.east, s.south, s.west};
  return u;
}

Unpacked_t UnpackBytes(const std::string& stream, std::uint8_t mode = 0, std::uint32_t at = 0) {
  StreamFile_t f(std::string(at, '\x55') + stream);
  return Unpack(f, at, static_cast<std::uint32_t>(stream.size()), mode);
}

// The points a stream should give: the start, then the deltas in semicircles.
std::vector<mpl::MdbPoint_t> Expected(const DeltaStream_t& s, mpl::MdbPoint_t start = {0x100000, 0x200000},
                                      unsigned shift = 8, bool keep = false) {
  std::vector<mpl::MdbPoint_t> out;
  mpl::MdbPoint_t p = start;
  auto withExtra = [&](mpl::MdbPoint_t q, std::optional<std::uint32_t> extra) {
    if (keep) q.lat = static_cast<std::int32_t>(static_cast<std::uint32_t>(q.lat) | extra.value_or(0));
    return q;
  };
  out.push_back(withExtra(p, s.extraBits != 0 ? s.startExtra : std::nullopt));
  for (const auto& d : s.points) {
    p.lat = static_cast<std::int32_t>(static_cast<std::uint32_t>(p.lat) + (static_cast<std::uint32_t>(d.dlat) << shift));
    p.lon = static_cast<std::int32_t>(static_cast<std::uint32_t>(p.lon) + (static_cast<std::uint32_t>(d.dlon) << shift));
    out.push_back(withExtra(p, d.extra));
  }
  return out;
}

void ExpectPoints(const std::vector<mpl::MdbPoint_t>& want, const std::vector<mpl::MdbPoint_t>& got) {
  ASSERT_EQ(want.size(), got.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(want[i].lat, got[i].lat) << "point " << i;
    EXPECT_EQ(want[i].lon, got[i].lon) << "point " << i;
  }
}

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int c : b) s.push_back(static_cast<char>(c));
  return s;
}

TEST(DeltaStreamTest, WidthsEscapesAndVarintsAsWritten) {
  const unsigned widths[16] = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 21, 23};
  for (unsigned c = 0; c < 16; ++c) EXPECT_EQ(widths[c], imgkit::DeltaWidth(c));
  // Three-bit signed fields: the escape is 100b, each lengthens by 3.
  EXPECT_EQ((std::vector<std::uint32_t>{4, 3}), imgkit::EscapedFields(6, 3));
  EXPECT_EQ((std::vector<std::uint32_t>{4, 7}), imgkit::EscapedFields(-4, 3));
  EXPECT_EQ((std::vector<std::uint32_t>{4, 4, 1}), imgkit::EscapedFields(7, 3));
  EXPECT_EQ((std::vector<std::uint32_t>{3}), imgkit::EscapedFields(3, 3));
  // The shortest form: 7, 14, 21 or 29 bits behind 1, 2, 3 or 4 length bits.
  EXPECT_EQ(Bytes({0x03}), imgkit::Varint(1));
  EXPECT_EQ(Bytes({0xFF}), imgkit::Varint(127));
  EXPECT_EQ(Bytes({0x02, 0x02}), imgkit::Varint(128));
  EXPECT_EQ(Bytes({0x04, 0x00, 0x02}), imgkit::Varint(16384));
  EXPECT_EQ(Bytes({0x00, 0x00, 0x00, 0x01}), imgkit::Varint(2097152));
}

TEST(DeltaStreamTest, EncodesAHandMadeStream) {
  // Both axes signed, width code 0 (3-bit fields): sign bits 0 0, then
  // longitude +6 = 100 011, latitude -4 = 100 111, two zero bits of padding.
  DeltaStream_t s;
  s.lon = s.lat = DeltaAxis_t{0, DeltaAxis_t::kSigned};
  s.points = {{6, -4, {}}};
  EXPECT_EQ(Bytes({0x00, 0x70, 0x3C}), imgkit::Encode(s));
  const Unpacked_t u = UnpackBytes(Bytes({0x00, 0x70, 0x3C}));
  ExpectPoints({{0x100000, 0x200000}, {0x100000 - (4 << 8), 0x200000 + (6 << 8)}}, u.points);
  EXPECT_EQ(2u, u.result);
  EXPECT_EQ(0x100000, u.box.north);
  EXPECT_EQ(0x100000 - (4 << 8), u.box.south);
  EXPECT_EQ(0x200000 + (6 << 8), u.box.east);
  EXPECT_EQ(0x200000, u.box.west);
}

TEST(DeltaStreamTest, EscapeChainsDecode) {
  // Three-bit signed longitudes after escapes; the latitude is a constant 0.
  struct Case_t {
    std::vector<std::uint32_t> fields;
    std::int32_t delta;
  } cases[] = {{{4, 3}, 6}, {{4, 7}, -4}, {{4, 0}, 3}, {{4, 4, 1}, 7}, {{4, 4, 4, 5}, -12}};
  for (const auto& c : cases) {
    imgkit::BitWriter_t w;
    w.Put(0, 1);  // longitude signed
    w.Put(1, 1);  // latitude: common sign, positive
    w.Put(0, 1);
    for (std::uint32_t f : c.fields) w.Put(f, 3);
    w.Put(0, 2);  // latitude magnitude 0
    w.Put(0, (8 - w.BitCount() % 8) % 8);
    const Unpacked_t u = UnpackBytes(std::string(1, '\0') + w.Bytes());
    ASSERT_GE(u.points.size(), 2u) << c.delta;
    EXPECT_EQ(0x200000 + c.delta * 256, u.points[1].lon) << c.delta;
    EXPECT_EQ(0x100000, u.points[1].lat) << c.delta;
  }
}

TEST(DeltaStreamTest, RoundTripsEverySignModeAndExtraField) {
  std::vector<DeltaStream_t> streams;
  DeltaStream_t s;
  s.points = {{3, -2, {}}, {-7, 5, {}}, {100, 0, {}}, {-1000, 200000, {}}};  // signed, escapes on the wide one
  streams.push_back(s);
  s.lon = DeltaAxis_t{0, DeltaAxis_t::kSigned};  // 3-bit fields: every wide delta escapes
  streams.push_back(s);
  s = {};
  s.points = {{5, -3, {}}, {0, 0, {}}, {9, -12, {}}};  // common positive longitude, negative latitude
  streams.push_back(s);
  s.lon = DeltaAxis_t{2, DeltaAxis_t::kPositive};
  s.lat = DeltaAxis_t{3, DeltaAxis_t::kNegative};
  streams.push_back(s);
  for (const auto& stream : streams) {
    const Unpacked_t u = UnpackBytes(imgkit::Encode(stream));
    ExpectPoints(Expected(stream), u.points);
  }
}

TEST(DeltaStreamTest, ExtraFieldsAreKeptOrDropped) {
  // Basic stream with node flags (one bit, no presence bit).
  DeltaStream_t basic;
  basic.extraBits = 1;
  basic.startExtra = 1;
  basic.points = {{4, 4, 0}, {-4, 2, 1}, {1, 1, 1}};
  const std::string b = imgkit::Encode(basic);
  ExpectPoints(Expected(basic, {0x100000, 0x200000}, 8, true),
               UnpackBytes(b, mpl::kUnpackExtraBit | mpl::kUnpackKeepExtra).points);
  ExpectPoints(Expected(basic), UnpackBytes(b, mpl::kUnpackExtraBit).points);

  // Extended: v = 15 is eight bits behind a presence bit, v = 0 one bit without.
  DeltaStream_t wide;
  wide.extended = true;
  wide.extraBits = 8;
  wide.presence = true;
  wide.startExtra = 0xA5;
  wide.points = {{10, -10, std::nullopt}, {-3, 7, 0x7F}, {2, 2, std::nullopt}};
  const std::string w = imgkit::Encode(wide);
  // Sign bits 0 0, layout bit 1 and v = 1111b.
  EXPECT_EQ(0x7C, static_cast<std::uint8_t>(w[1]) & 0x7F);
  ExpectPoints(Expected(wide, {0x100000, 0x200000}, 8, true),
               UnpackBytes(w, mpl::kUnpackExtended | mpl::kUnpackKeepExtra).points);
  ExpectPoints(Expected(wide), UnpackBytes(w, mpl::kUnpackExtended).points);

  DeltaStream_t one = wide;
  one.extraBits = 1;
  one.presence = false;
  one.startExtra = 1;
  one.points = {{10, -10, 1}, {-3, 7, 0}};
  const std::string o = imgkit::Encode(one);
  EXPECT_EQ(0x04, static_cast<std::uint8_t>(o[1]) & 0x7F);  // layout bit 1, v = 0000b
  ExpectPoints(Expected(one, {0x100000, 0x200000}, 8, true),
               UnpackBytes(o, mpl::kUnpackExtended | mpl::kUnpackKeepExtra).points);
}

TEST(DeltaStreamTest, ShortStreamsEndAtWhatTheyHold) {
  // Only the header: the start point with its extra value.
  DeltaStream_t header;
  header.extraBits = 1;
  header.startExtra = 1;
  Unpacked_t u = UnpackBytes(imgkit::Encode(header), mpl::kUnpackExtraBit | mpl::kUnpackKeepExtra);
  ExpectPoints({{0x100001, 0x200000}}, u.points);
  EXPECT_EQ(0x100000, u.box.north);
  EXPECT_EQ(0x200000, u.box.east);
  // An info byte alone, and no byte at all: the start point.
  ExpectPoints({{0x100000, 0x200000}}, UnpackBytes(Bytes({0x55})).points);
  StreamFile_t f(Bytes({0x00, 0x70, 0x3C}));
  u = Unpack(f, 0, 0);
  ExpectPoints({{0x100000, 0x200000}}, u.points);
  EXPECT_EQ(1u, u.result);
  EXPECT_EQ(0x100000, u.box.south);
  EXPECT_EQ(0x200000, u.box.west);
  // A stream cut inside the second point's latitude keeps the first point only.
  DeltaStream_t two;
  two.lon = two.lat = DeltaAxis_t{6, DeltaAxis_t::kSigned};  // 9-bit fields
  two.points = {{100, -100, {}}, {50, 60, {}}};
  const std::string full = imgkit::Encode(two);  // 1 + (2 + 36 bits -> 5 bytes)
  ASSERT_EQ(6u, full.size());
  const std::string cut = full.substr(0, 5);  // 30 bits: lon of point 2 but not its lat
  StreamFile_t g(cut);
  u = Unpack(g, 0, 5);
  ExpectPoints({{0x100000, 0x200000}, {0x100000 - 100 * 256, 0x200000 + 100 * 256}}, u.points);
  EXPECT_EQ(0x200000 + 100 * 256, u.box.east);  // the half-read point is not in the box
}

TEST(DeltaStreamTest, BoundariesOfBlocksAndWordsDoNotMatter) {
  DeltaStream_t s;
  std::mt19937 rng(7);
  for (int i = 0; i < 200; ++i)
    s.points.push_back({static_cast<std::int32_t>(rng() % 2001) - 1000, static_cast<std::int32_t>(rng() % 301) - 150, {}});
  const std::string stream = imgkit::Encode(s);
  const auto want = Expected(s);
  // Unaligned starts, the info byte as a block's last byte, a stream across
  // several blocks.
  for (std::uint32_t at : {0u, 1u, 2u, 3u, 509u, 510u, 511u, 512u, 1021u}) {
    const Unpacked_t u = UnpackBytes(stream, 0, at);
    ExpectPoints(want, u.points);
    EXPECT_EQ(want.size(), u.result);  // more than 32 points, in order across the batches
  }
}

TEST(DeltaStreamTest, PaddingNeverDecodesAsAPoint) {
  // Narrow common-sign axes (4-bit points) would turn padding zeros into a
  // phantom point; the encoder arranges the last byte so that none appears.
  std::mt19937 rng(11);
  for (int round = 0; round < 300; ++round) {
    DeltaStream_t s;
    const unsigned n = rng() % 6;
    for (unsigned i = 0; i < n; ++i) s.points.push_back({static_cast<std::int32_t>(rng() % 4), -static_cast<std::int32_t>(rng() % 4), {}});
    if (round % 3 == 1) {
      s.extended = true;
      s.extraBits = 1 + rng() % 3;
      s.presence = rng() % 2 != 0;
    }
    const std::string bytes = imgkit::Encode(s);
    const std::uint8_t mode = s.extended ? mpl::kUnpackExtended : 0;
    EXPECT_EQ(n + 1, UnpackBytes(bytes, mode).points.size()) << round;
  }
}

TEST(DeltaStreamTest, AStreamPastTheFilesEndStopsAtItsBytes) {
  DeltaStream_t s;
  s.points = {{1, 1, {}}, {2, 2, {}}};
  const std::string stream = imgkit::Encode(s);
  // The first block is all ones, so a block buffer read past the file's end
  // would hold them; the stream claims more bytes than the file has.
  std::string file(512, '\xFF');
  file += stream;
  StreamFile_t f(file);
  const std::uint8_t* data = nullptr;
  mpl::MdbSeek(f.map.rgn.file, 0, 0);
  ASSERT_EQ(512u, mpl::MdbReadBlock(f.map.rgn.file, data));
  const Unpacked_t u = Unpack(f, 512, static_cast<std::uint32_t>(stream.size()) + 8);
  ExpectPoints(Expected(s), u.points);
  // An info byte past the end: the start point only.
  EXPECT_EQ(1u, Unpack(f, static_cast<std::uint32_t>(file.size()), 4).points.size());
  // An info byte that is the file's last byte, after bytes that would decode.
  StreamFile_t g(std::string(254, '\xAA') + "\x55");
  EXPECT_EQ(1u, Unpack(g, 254, 4).points.size());
}

TEST(StreamWordTest, HandsOutWordsByTheBytesLeft) {
  std::string file(1024, '\0');
  for (unsigned i = 0; i < file.size(); ++i) file[i] = static_cast<char>(i * 7 + 1);
  StreamFile_t f(file);
  mpl::MdbUnpackState_t s;
  s.map = &f.map;
  s.budget = 6;
  s.nextPos = 508;
  EXPECT_EQ(mpl::MdbGet32(reinterpret_cast<const std::uint8_t*>(file.data()) + 508), mpl::MdbNextStreamWord(s));
  EXPECT_EQ(32, s.validBits);
  // The last word of the block was used; the next call reads on at 512.
  const std::uint32_t second = mpl::MdbNextStreamWord(s);
  EXPECT_EQ(16, s.validBits);
  EXPECT_EQ(mpl::MdbGet16(reinterpret_cast<const std::uint8_t*>(file.data()) + 512), second & 0xFFFF);
  EXPECT_EQ(0u, s.budget);
  mpl::MdbNextStreamWord(s);
  EXPECT_EQ(0, s.validBits);
  // At the end of the sub-file nothing is read: 0 valid bits, and the next
  // call tries again.
  s.budget = 4;
  s.wordsLeft = 0;
  s.nextPos = 1024;
  mpl::MdbNextStreamWord(s);
  EXPECT_EQ(0, s.validBits);
  EXPECT_EQ(0u, s.wordsLeft);
}

}  // namespace
