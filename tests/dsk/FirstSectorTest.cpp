// The first sector of an image: signature and XOR byte, header and boot record
// checks in their order, block sizes and the partition table.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "dsk/DSK_Directory.h"
#include "dsk/DSK_Disk.h"
#include "dsk/DSK_Exception.h"
#include "dsk/DSK_File.h"
#include "dsk/DSK_FileBuffer.h"
#include "dsk/DSK_FirstImageSector.h"
#include "dsk/DSK_Partition.h"
#include "tests/imgkit/ImageBuilder.h"
#include "tests/imgkit/ImageFiles.h"
#include "tests/imgkit/MemoryMedia.h"

namespace {

using imgkit::ImageBuilder_t;
using imgkit::MemoryMedia_t;

// The exception type and the line of the check that fails, found by the
// source file and the text of the throwing check.
struct Failure_t {
  const char* type;
  int line;
  std::string file;
};

template <typename F>
Failure_t FailureOf(F&& f) {
  try {
    f();
  } catch (const dsk::BadStream_t& e) {
    return {"BadStream", e.Line(), e.SourceFile()};
  } catch (const glo::Assert_t& e) {
    return {"Assert", e.Line(), e.SourceFile()};
  } catch (const glo::Exception_t& e) {
    return {"Exception", e.Line(), e.SourceFile()};
  }
  return {"none", 0, ""};
}

std::string Open(const std::string& image) {
  MemoryMedia_t media(image, true);
  dsk::Disk_t disk(media, 8);
  return disk.GetPartition(0).GetDescription();
}

std::string ReadFile(dsk::Partition_t& partition, const std::string& name) {
  return imgkit::ReadWhole(partition.GetRootDirectory(), name);
}

TEST(FirstSectorTest, SignatureAndXorByteDecodeTheSameImage) {
  ImageBuilder_t plain;
  plain.files = {imgkit::File("TRE00001.TRE", std::string(700, 'x') + "end")};
  ImageBuilder_t alt = plain;
  alt.signature = "DSDIMG";
  ImageBuilder_t xored = plain;
  xored.xorByte = 0x5A;

  const std::string stored = xored.Build();
  EXPECT_EQ(0x1E, static_cast<std::uint8_t>(stored[0x10]));
  for (const ImageBuilder_t* b : {&plain, &alt, &xored}) {
    MemoryMedia_t media(b->Build(), true);
    dsk::Disk_t disk(media, 8);
    EXPECT_EQ(b->xorByte, disk.XorByte());
    EXPECT_EQ(std::string(700, 'x') + "end", ReadFile(disk.GetPartition(0), "tre00001.tre"));
    EXPECT_EQ("Built test image" + std::string(34, ' '), disk.GetPartition(0).GetDescription());
  }
}

TEST(FirstSectorTest, ChecksFailInTheirOrder) {
  // Each case breaks one thing (and, where order matters, a later one too)
  // and names the check that must report it.
  struct Case_t {
    const char* what;
    std::function<void(ImageBuilder_t&)> change;
    std::function<void(std::string&)> patch;
    const char* type;
    const char* check;  // the failing comparison as written in the source
  };
  auto sector = [](unsigned offset, std::uint8_t v) { return [=](std::string& s) { s[offset] = char(v); }; };
  const std::vector<Case_t> cases = {
      {"no signature", [](ImageBuilder_t& b) { b.signature = "DSKIMX"; b.bytesPerSector = 1024; }, nullptr,
       "BadStream", "IsSignature(b + 0x10, 0)"},
      {"sector size", [](ImageBuilder_t& b) { b.bytesPerSector = 1024; b.heads = 0; }, nullptr, "BadStream",
       "GetU16(b + 0x16)"},
      {"sectors per track", [](ImageBuilder_t& b) { b.sectorsPerTrack = 0; }, nullptr, "BadStream",
       "GetU16(b + 0x18)"},
      {"heads", [](ImageBuilder_t& b) { b.heads = 0; b.cylinders = 0; }, nullptr, "BadStream", "GetU16(b + 0x1A)"},
      {"cylinders", [](ImageBuilder_t& b) { b.cylinders = 0; b.maker = "XXXXXX"; }, nullptr, "BadStream",
       "GetU16(b + 0x1C)"},
      {"block below 512", [](ImageBuilder_t& b) { b.e1 = 8; b.maker = "XXXXXX"; }, nullptr, "BadStream",
       "BlockExponent() < 9"},
      {"exponents over 31", [](ImageBuilder_t& b) { b.e1 = 9; b.e2 = 23; }, nullptr, "BadStream",
       "BlockExponent() < 9"},
      {"exponents that wrap a shift", [](ImageBuilder_t& b) { b.e1 = 9; b.e2 = 23 + 32; }, nullptr, "BadStream",
       "BlockExponent() < 9"},
      {"maker", [](ImageBuilder_t& b) { b.maker = "VORTAX"; b.e1 = 10; }, nullptr, "BadStream", "\"VORTAN\""},
      {"sector exponent", [](ImageBuilder_t& b) { b.e1 = 10; }, nullptr, "BadStream", "e1 != 9"},
      {"geometry", [](ImageBuilder_t& b) { b.sectorsPerTrack = 0x0100; }, nullptr, "Assert", "GLO_ASSERT(m_geometry"},
      {"start not the running total", nullptr, [](std::string& s) { s[0x1BE + 8] = 1; }, "BadStream",
       "entry.relativeStart != total"},
      {"start CHS", nullptr, sector(0x1BE + 1, 1), "BadStream", "e[1], e[2], e[3]"},
      {"end CHS", nullptr, sector(0x1BE + 5, 0), "BadStream", "e[5], e[6], e[7]"},
      {"boot indicator", nullptr, sector(0x1BE, 0x80), "BadStream", "e[0] != 0"},
      {"system id", nullptr, sector(0x1BE + 4, 6), "BadStream", "e[4] != 0"},
      {"table signature", [](ImageBuilder_t& b) { b.magic = 0x55AA; b.bootHeads = 3; }, nullptr, "BadStream",
       "0xAA55"},
      {"boot heads", [](ImageBuilder_t& b) { b.bootHeads = 3; }, nullptr, "BadStream", "m_boot.SectorsPerTrack() != m_geometry"},
      {"boot sectors per track", [](ImageBuilder_t& b) { b.bootSectorsPerTrack = 31; }, nullptr, "BadStream",
       "m_boot.SectorsPerTrack() != m_geometry"},
  };
  // Lines of the checks, from the source.
  const std::string source = [] {
    FILE* f = std::fopen(STRIDE_SOURCE_DIR "/dsk/DSK_FirstImageSector.cpp", "rb");
    std::string s;
    char buf[4096];
    size_t n;
    while (f && (n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
    if (f) std::fclose(f);
    return s;
  }();
  auto lineOf = [&](const char* text) {
    // The line of the throw that follows the check's text.
    auto at = source.find(text);
    if (at == std::string::npos) return -1;
    at = std::min(source.find("throw ", at), source.find("GLO_ASSERT(", at));
    return 1 + int(std::count(source.begin(), source.begin() + at, '\n'));
  };
  for (const Case_t& c : cases) {
    ImageBuilder_t b;
    if (c.change) c.change(b);
    std::string image = b.Build();
    if (c.patch) c.patch(image);
    const Failure_t f = FailureOf([&] { Open(image); });
    EXPECT_STREQ(c.type, f.type) << c.what;
    EXPECT_EQ("DSK_FirstImageSector.cpp", f.file) << c.what;
    EXPECT_EQ(lineOf(c.check), f.line) << c.what;
  }
}

TEST(FirstSectorTest, ShortMediaFailTheSignature) {
  const std::string good = ImageBuilder_t().Build();
  for (size_t size : {size_t(0), size_t(100), size_t(511)}) {
    MemoryMedia_t media(good.substr(0, size), true);
    EXPECT_THROW(dsk::Disk_t(media, 8), dsk::BadStream_t) << size;
  }
}

TEST(FirstSectorTest, BlockSizeFromBothExponents) {
  for (std::uint8_t e2 : {0, 1, 2, 4}) {
    ImageBuilder_t b;
    b.e2 = e2;
    b.blockCount = 64;
    b.files = {imgkit::File("A.B", std::string(5000, 'q'))};
    MemoryMedia_t media(b.Build(), true);
    dsk::Disk_t disk(media, 8);
    auto& p = disk.GetPrivPartition(0);
    EXPECT_EQ(512u << e2, p.BlockSize());
    EXPECT_EQ(std::uint64_t(64) * (512u << e2), p.GetFreeSpace() + p.GetUsedSpace());
    EXPECT_EQ(std::string(5000, 'q'), ReadFile(p, "A.B"));
  }
}

TEST(FirstSectorTest, PartitionTable) {
  const std::uint16_t spt = 32, heads = 16;
  {  // Several partitions follow each other; each is created once.
    ImageBuilder_t b;
    b.morePartitions = {64, 100};
    MemoryMedia_t media(b.Build(), true);
    dsk::Disk_t disk(media, 8);
    ASSERT_EQ(3u, disk.PartitionCount());
    EXPECT_EQ(&disk.GetPartition(0), &disk.GetPartition(0));
    EXPECT_NO_THROW(disk.GetPartition(2).GetRootDirectory());
    EXPECT_THROW(disk.GetPartition(3), glo::Assert_t);
  }
  {  // Entry 1 empty: entry 2 does not count, even when it is malformed.
    std::string image = ImageBuilder_t().Build();
    imgkit::PutPartitionEntry(image, 2, 7, 64, spt, heads);
    MemoryMedia_t media(image, true);
    dsk::Disk_t disk(media, 8);
    EXPECT_EQ(1u, disk.PartitionCount());
  }
  {  // No partitions at all: the table's signature still counts.
    std::string image = ImageBuilder_t().Build();
    imgkit::PutPartitionEntry(image, 0, 0, 0, spt, heads);
    MemoryMedia_t media(image, true);
    dsk::Disk_t disk(media, 8);
    EXPECT_EQ(0u, disk.PartitionCount());
    EXPECT_THROW(disk.GetPartition(0), glo::Assert_t);
    image[0x1FE] = 0;
    MemoryMedia_t broken(image, true);
    EXPECT_THROW(dsk::Disk_t(broken, 8), dsk::BadStream_t);
  }
  {  // A second partition that does not start where the first ends.
    ImageBuilder_t b;
    b.morePartitions = {64};
    std::string image = b.Build();
    imgkit::PutPartitionEntry(image, 1, 512 + 1, 64, spt, heads);
    MemoryMedia_t media(image, true);
    EXPECT_THROW(dsk::Disk_t(media, 8), dsk::BadStream_t);
  }
  {  // A running total beyond 32 bits cannot meet a start that wrapped.
    std::string image = ImageBuilder_t().Build();
    imgkit::PutPartitionEntry(image, 0, 0, 0xFFFFFFFF, spt, heads);
    std::memset(&image[0x1BE + 16 + 8], 0, 4);  // entry 1 starting at 0xFFFFFFFF + 1 wrapped
    image[0x1BE + 16 + 12] = 1;
    MemoryMedia_t media(image, true);
    EXPECT_THROW(dsk::Disk_t(media, 8), dsk::BadStream_t);
  }
}

TEST(FirstSectorTest, ChsOfTheBuiltTable) {
  // Sector 0 is head 0, sector 1, cylinder 0; the last sector of 1024
  // cylinders of 16 heads and 63 sectors carries the high cylinder bits.
  const imgkit::Chs_t first = imgkit::ToChs(0, 63, 16);
  EXPECT_EQ(0, first.head);
  EXPECT_EQ(1, first.sector);
  EXPECT_EQ(0, first.cylinder);
  const std::uint32_t last = 1024u * 16 * 63 - 1;
  const imgkit::Chs_t end = imgkit::ToChs(last, 63, 16);
  EXPECT_EQ(15, end.head);
  EXPECT_EQ(63 | 0xC0, end.sector);
  EXPECT_EQ(0xFF, end.cylinder);
  EXPECT_EQ(last, dsk::ChsToSector(dsk::Geometry_t{63, 16, 1024}, end.head, end.sector, end.cylinder));
}

TEST(FirstSectorTest, PartitionBeyondTheMedium) {
  ImageBuilder_t b;
  b.morePartitions = {64};
  std::string image = b.Build();
  image.resize(256 * 512);  // the second partition's sectors are gone
  MemoryMedia_t media(image, true);
  dsk::Disk_t disk(media, 8);
  EXPECT_THROW(disk.GetPartition(1), dsk::BadStream_t);
  EXPECT_NO_THROW(disk.GetPartition(0));
}

}  // namespace
