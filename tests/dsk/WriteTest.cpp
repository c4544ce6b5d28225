// Changing images: writing, truncating, attributes, directory rewrites,
// formatting, the checksum byte, read-only media and failing write-backs.
#include <gtest/gtest.h>

#include <memory>

#include "dsk/DSK_Directory.h"
#include "dsk/DSK_Disk.h"
#include "dsk/DSK_Exception.h"
#include "dsk/DSK_File.h"
#include "dsk/DSK_FileBuffer.h"
#include "dsk/DSK_Partition.h"
#include "dsk/DSK_PartitionParams.h"
#include "tests/imgkit/ImageBuilder.h"
#include "tests/imgkit/ImageFiles.h"
#include "tests/imgkit/MemoryMedia.h"
#include "win/WIN_Exception.h"

namespace {

using imgkit::File;
using imgkit::ImageBuilder_t;
using imgkit::MemoryMedia_t;
using imgkit::Pattern;

// A writable image that is opened, changed and closed again.
struct Session_t {
  explicit Session_t(MemoryMedia_t& m, unsigned cache = 8) : disk(std::make_unique<dsk::Disk_t>(m, cache)) {}
  dsk::PrivPartition_t& P() { return disk->GetPrivPartition(0); }
  dsk::FileBuffer_t& Buffer(const std::string& name) {
    dsk::FileBuffer_t* b = P().GetRootDirectory().FindFile(name);
    if (!b) throw std::runtime_error("no file " + name);
    return *b;
  }
  void Write(const std::string& name, std::uint64_t at, const std::string& data) {
    dsk::FileBuffer_t& b = Buffer(name);
    b.Open(dsk::kModeWrite);
    b.Write(data.data(), static_cast<std::uint32_t>(data.size()), at);
    b.Close();
  }
  std::string Read(const std::string& name) { return imgkit::ReadWhole(P().GetRootDirectory(), name); }
  void Close() { disk.reset(); }
  std::unique_ptr<dsk::Disk_t> disk;
};

TEST(WriteTest, WritingGrowsFilesAndSurvivesReopening) {
  ImageBuilder_t b;
  b.files = {File("EMPTY.DAT", ""), File("SMALL.DAT", "abc")};
  MemoryMedia_t media(b.Build());
  {
    Session_t s(media);
    const std::uint64_t freeBefore = s.P().GetFreeSpace();
    s.Write("EMPTY.DAT", 0, "z");
    EXPECT_EQ(1u, s.Buffer("EMPTY.DAT").Size());
    EXPECT_EQ(1u, s.Buffer("EMPTY.DAT").Blocks().size());
    EXPECT_EQ(freeBefore - 512, s.P().GetFreeSpace());
    // Growth inside the last block changes only the size: it is written back too.
    s.Write("SMALL.DAT", 3, "defg");
    // A write past the end leaves a gap with the blocks' old contents.
    s.Write("EMPTY.DAT", 1500, "tail");
  }
  Session_t s(media);
  EXPECT_EQ("abcdefg", s.Read("SMALL.DAT"));
  const std::string empty = s.Read("EMPTY.DAT");
  ASSERT_EQ(1504u, empty.size());
  EXPECT_EQ('z', empty[0]);
  EXPECT_EQ(std::string(1499, '\xFF'), empty.substr(1, 1499));
  EXPECT_EQ("tail", empty.substr(1500));
}

TEST(WriteTest, FileInASubDirectory) {
  // Growing a file rewrites its directory, which grows in turn and is
  // rewritten into the root.
  ImageBuilder_t b;
  b.files = {imgkit::Dir("SUB", {File("IN.RGN", "region"), File("OTHER", "o")})};
  MemoryMedia_t media(b.Build());
  const std::string data = Pattern(241 * 512);
  {
    Session_t s(media);
    dsk::Directory_t* sub = s.P().GetRootDirectory().FindDirectory("SUB");
    ASSERT_NE(nullptr, sub);
    dsk::FileBuffer_t& f = *sub->FindFile("IN.RGN");
    f.Open(dsk::kModeWrite);
    std::uint64_t at = 0;
    f.Write(data.data(), static_cast<std::uint32_t>(data.size()), at);
    f.Close();
    EXPECT_EQ(3u * 512, sub->OwnFile().Size());  // IN.RGN now takes two records
  }
  Session_t s(media);
  dsk::Directory_t* sub = s.P().GetRootDirectory().FindDirectory("SUB");
  ASSERT_NE(nullptr, sub);
  EXPECT_EQ(data, imgkit::ReadWhole(*sub, "IN.RGN"));
  EXPECT_EQ("o", imgkit::ReadWhole(*sub, "OTHER"));
}

TEST(WriteTest, BigFileTakesTwoRecords) {
  ImageBuilder_t b;
  b.blockCount = 400;
  b.rootBlocks = 6;
  b.files = {File("BIG.DAT", "")};
  MemoryMedia_t media(b.Build());
  const std::string data = Pattern(240 * 512 + 1);
  {
    Session_t s(media);
    s.Write("BIG.DAT", 0, data);
    EXPECT_EQ(241u, s.Buffer("BIG.DAT").Blocks().size());
  }
  // The root: its own record, then BIG.DAT in two records.
  const auto* rec = reinterpret_cast<const std::uint8_t*>(media.Bytes().data()) + 4 * 512;
  EXPECT_EQ(1, rec[0]);
  EXPECT_EQ(1, rec[17]);
  EXPECT_EQ(0, rec[16]);
  EXPECT_EQ(240u * 512 + 1, rec[12] | rec[13] << 8 | rec[14] << 16);
  for (unsigned i = 1; i < 240; ++i) ASSERT_EQ(0xFFFF, rec[32 + 2 * i] | rec[33 + 2 * i] << 8) << i;
  Session_t s(media);
  EXPECT_EQ(data, s.Read("BIG.DAT"));
}

TEST(WriteTest, TruncationFreesAndFills) {
  ImageBuilder_t b;
  b.files = {File("F.DAT", Pattern(3 * 512))};
  MemoryMedia_t media(b.Build());
  std::uint16_t third;
  {
    Session_t s(media);
    dsk::FileBuffer_t& f = s.Buffer("F.DAT");
    third = f.Blocks()[2];
    EXPECT_THROW(f.SetSize(600), dsk::FileNotOpen_t);
    f.Open(dsk::kModeWrite);
    f.SetSize(600);
    f.SetSize(600);
    f.Close();
    EXPECT_EQ(2u, f.Blocks().size());
    EXPECT_FALSE(s.P().IsUsed(third));
    // The freed block is the lowest free one and is taken first.
    EXPECT_EQ(third, s.P().AllocateBlock());
    s.P().FreeBlock(third);
  }
  Session_t s(media);
  const std::string data = s.Read("F.DAT");
  EXPECT_EQ(Pattern(600), data);
  std::uint8_t block[512];
  s.P().ReadBlock(s.Buffer("F.DAT").Blocks()[1], block);
  for (unsigned i = 600 - 512; i < 512; ++i) ASSERT_EQ(0xFF, block[i]) << i;
  // Growing by the size takes the blocks the size needs: the file reads to its end.
  dsk::FileBuffer_t& f = s.Buffer("F.DAT");
  f.Open(dsk::kModeWrite);
  f.SetSize(1600);
  EXPECT_TRUE(f.IsModified());
  f.Close();
  EXPECT_EQ(4u, f.Blocks().size());
  EXPECT_EQ(Pattern(600) + std::string(1000, '\xFF'), s.Read("F.DAT"));
}

TEST(WriteTest, ReadOnlyAttribute) {
  ImageBuilder_t b;
  b.files = {File("F.DAT", "data")};
  MemoryMedia_t media(b.Build());
  {
    Session_t s(media);
    dsk::FileBuffer_t& f = s.Buffer("F.DAT");
    f.Open(dsk::kModeRead);
    EXPECT_THROW(f.SetReadOnly(), dsk::FileIsOpen_t);
    f.Close();
    f.SetReadOnly();
    f.Open(dsk::kModeRead);
    EXPECT_THROW(f.SetSize(1), dsk::BadFile_t);
    f.Close();
  }
  {
    Session_t s(media);
    EXPECT_TRUE(s.Buffer("F.DAT").IsReadOnly());
    s.Buffer("F.DAT").ClearReadOnly();
  }
  Session_t s(media);
  EXPECT_FALSE(s.Buffer("F.DAT").IsReadOnly());
}

TEST(WriteTest, FormatSizes) {
  EXPECT_EQ(10u, dsk::DefaultRootBlocks(512, 100));
  EXPECT_EQ(4u, dsk::RootBlocksForFiles(512, {0}));
  EXPECT_EQ(2u, dsk::RootBlocksForFiles(1024, {0}));
  EXPECT_THROW(dsk::RootBlocksForFiles(512, {65536u * 512}), dsk::DiskFull_t);
  EXPECT_THROW(dsk::RootBlocksForFiles(512, {40000u * 512, 30000u * 512}), dsk::DiskFull_t);

  ImageBuilder_t b;
  b.blockCount = 100;
  b.files = {File("OLD.DAT", Pattern(2000))};
  MemoryMedia_t media(b.Build());
  {
    Session_t s(media);
    EXPECT_THROW(s.P().Format(0), glo::Assert_t);
    s.P().FormatDefault();
    EXPECT_EQ(10u, s.P().RootFile().Blocks().size());
    EXPECT_EQ(std::uint64_t(10) * 512, s.P().GetUsedSpace());
    EXPECT_EQ(nullptr, s.P().GetRootDirectory().FindFile("OLD.DAT"));
  }
  {
    Session_t s(media);
    EXPECT_EQ(10u, s.P().RootFile().Blocks().size());
    EXPECT_EQ(1u, s.P().GetRootDirectory().Count());  // its own entry
    s.P().FormatForFiles({0});
    EXPECT_EQ(4u, s.P().RootFile().Blocks().size());
    dsk::File_t self(s.P().GetRootDirectory().FindFile(""));
    self.Open(dsk::kModeRead);
    EXPECT_THROW(s.P().FormatDefault(), dsk::FileIsOpen_t);
  }
  Session_t s(media);
  EXPECT_EQ(std::vector<std::uint16_t>({0, 1, 2, 3}), s.P().RootFile().Blocks());
}

TEST(WriteTest, RootDirectoryGrowth) {
  // The root holds three records (its own, A and B); B growing to 241 blocks
  // needs a fourth.
  const std::string data = Pattern(241 * 512);
  {  // The block after the root belongs to A: the root cannot grow, and gives
     // back the block it took.
    ImageBuilder_t b;
    b.rootBlocks = 5;
    b.files = {File("A", "a"), File("B", "b")};
    MemoryMedia_t media(b.Build());
    Session_t s(media);
    const std::uint64_t freeBefore = s.P().GetFreeSpace();
    dsk::FileBuffer_t& big = s.Buffer("B");
    big.Open(dsk::kModeWrite);
    std::uint64_t at = 0;
    big.Write(data.data(), static_cast<std::uint32_t>(data.size()), at);
    EXPECT_THROW(big.Close(), dsk::RootDirFull_t);
    EXPECT_EQ(5u, s.P().RootFile().Blocks().size());
    EXPECT_EQ(freeBefore - 240 * 512, s.P().GetFreeSpace());
  }
  {  // A gives its block up first: the root grows onto it, and its own
     // records list every block of it when the image is read again.
    ImageBuilder_t b;
    b.rootBlocks = 5;
    b.files = {File("A", "a"), File("B", "")};
    MemoryMedia_t media(b.Build());
    {
      Session_t s(media);
      dsk::FileBuffer_t& big = s.Buffer("B");
      big.Open(dsk::kModeWrite);
      std::uint64_t at = 0;
      big.Write(data.data(), static_cast<std::uint32_t>(data.size()), at);
      dsk::FileBuffer_t& a = s.Buffer("A");
      a.Open(dsk::kModeWrite);
      a.SetSize(0);
      a.Close();
      EXPECT_EQ(std::vector<std::uint16_t>({0, 1, 2, 3, 4, 5}), s.P().RootFile().Blocks());
      big.Close();
    }
    Session_t s(media);
    EXPECT_EQ(std::vector<std::uint16_t>({0, 1, 2, 3, 4, 5}), s.P().RootFile().Blocks());
    EXPECT_EQ(s.P().RootFile().Blocks(), s.Buffer("").Blocks());
    EXPECT_EQ(data, s.Read("B"));
    EXPECT_EQ("", s.Read("A"));
  }
}

TEST(WriteTest, ChecksumIsKept) {
  for (std::uint8_t x : {0, 0x5A}) {
    ImageBuilder_t b;
    b.xorByte = x;
    b.blockCount = 64;
    b.trimToData = true;  // the file grows past the end of the image
    b.files = {File("A.DAT", Pattern(3000)), File("B.DAT", Pattern(700, 2))};
    MemoryMedia_t media(b.Build());
    const std::uint8_t before = imgkit::DecodedSum(media.Bytes(), x);
    const size_t sizeBefore = media.Bytes().size();
    {
      Session_t s(media, 2);  // a small cache: blocks come and go
      s.Read("A.DAT");
      s.Write("B.DAT", 100, "changed");
      s.Read("A.DAT");
      s.Write("A.DAT", 2990, Pattern(20 * 512, 3));  // far past the end: padding
      dsk::FileBuffer_t& a = s.Buffer("A.DAT");
      a.Open(dsk::kModeWrite);
      a.SetSize(5000);
      a.Close();
      s.Read("B.DAT");
    }
    EXPECT_GT(media.Bytes().size(), sizeBefore);
    EXPECT_EQ(before, imgkit::DecodedSum(media.Bytes(), x)) << int(x);
    // Every padding byte decodes to 0xFF, and the changes read back.
    Session_t s(media);
    EXPECT_EQ(Pattern(2990) + Pattern(20 * 512, 3).substr(0, 5000 - 2990), s.Read("A.DAT"));
    const std::string bStored = s.Read("B.DAT");
    EXPECT_EQ("changed", bStored.substr(100, 7));
  }
}

TEST(WriteTest, OnlyReadingWritesNothing) {
  ImageBuilder_t b;
  b.files = {File("A.DAT", Pattern(5000))};
  MemoryMedia_t media(b.Build());
  const std::string before = media.Bytes();
  {
    Session_t s(media, 2);
    s.Read("A.DAT");
    s.Read("A.DAT");
  }
  EXPECT_EQ(0u, media.Writes());
  EXPECT_EQ(before, media.Bytes());
}

TEST(WriteTest, ReadOnlyMediaRefuseTheFirstWrite) {
  ImageBuilder_t b;
  b.files = {File("A.DAT", "abc")};
  MemoryMedia_t media(b.Build(), true);
  {
    Session_t s(media);
    dsk::FileBuffer_t& a = s.Buffer("A.DAT");
    a.Open(dsk::kModeWrite);
    std::uint64_t at = 0;
    EXPECT_THROW(a.Write("x", 1, at), dsk::BadFile_t);
    a.Close();
    EXPECT_THROW(s.P().FormatDefault(), dsk::BadFile_t);
    EXPECT_EQ("abc", s.Read("A.DAT"));
  }
  EXPECT_EQ(0u, media.Writes());
}

TEST(WriteTest, FailedWriteBackKeepsTheBlock) {
  ImageBuilder_t b;
  b.files = {File("A.DAT", Pattern(4 * 512)), File("B.DAT", Pattern(8 * 512, 2))};
  MemoryMedia_t media(b.Build());
  const std::uint8_t before = imgkit::DecodedSum(media.Bytes(), 0);
  {
    Session_t s(media, 2);
    dsk::FileBuffer_t& a = s.Buffer("A.DAT");
    a.Open(dsk::kModeWrite);
    std::uint64_t at = 0;
    a.Write("new", 3, at);
    media.FailWritesAfter(0);
    // Reading on evicts the dirty block: the failure reaches the reader.
    EXPECT_THROW(s.Read("B.DAT"), win::Error_t);
    media.FailWritesAfter(-1);
    EXPECT_EQ(Pattern(8 * 512, 2), s.Read("B.DAT"));
    a.Close();
  }
  Session_t s(media);
  EXPECT_EQ("new", s.Read("A.DAT").substr(0, 3));
  s.Close();
  EXPECT_EQ(before, imgkit::DecodedSum(media.Bytes(), 0));
}

TEST(WriteTest, FullDisk) {
  ImageBuilder_t b;
  b.blockCount = 12;
  b.files = {File("A.DAT", "")};
  MemoryMedia_t media(b.Build());
  Session_t s(media);
  dsk::FileBuffer_t& a = s.Buffer("A.DAT");
  a.Open(dsk::kModeWrite);
  std::uint64_t at = 0;
  const std::string data(20 * 512, 'x');
  EXPECT_THROW(a.Write(data.data(), static_cast<std::uint32_t>(data.size()), at), dsk::DiskFull_t);
  EXPECT_EQ(0u, s.P().GetFreeSpace());
  EXPECT_FALSE(a.Blocks().empty());  // what was taken stays listed
  a.Close();
}

TEST(WriteTest, FailedWriteLeavesThePositionAtTheWantedEnd) {
  ImageBuilder_t b;
  b.blockCount = 12;
  b.files = {File("A.DAT", "")};
  MemoryMedia_t media(b.Build());
  Session_t s(media);
  dsk::FileBuffer_t& a = s.Buffer("A.DAT");
  a.Open(dsk::kModeWrite);
  std::uint64_t at = 100;
  const std::string data(20 * 512, 'x');
  EXPECT_THROW(a.Write(data.data(), static_cast<std::uint32_t>(data.size()), at), dsk::DiskFull_t);
  EXPECT_EQ(100u + data.size(), at);
  at = 0xFFFFFFF0u;
  EXPECT_THROW(a.Write(data.data(), 32, at), dsk::BadFilePosition_t);
  EXPECT_EQ(std::uint64_t(0xFFFFFFF0u) + 32u, at);
  a.Close();
}

// The rewrite of the directory at the last close fails once (the medium is
// read-only by then); the file is no longer taken as modified, so a reader's
// close afterwards does not fail again.
TEST(WriteTest, FailedDirectoryRewriteIsReportedOnce) {
  ImageBuilder_t b;
  b.files = {File("A.DAT", "abc")};
  MemoryMedia_t media(b.Build());
  Session_t s(media, 1);
  dsk::FileBuffer_t& a = s.Buffer("A.DAT");
  a.Open(dsk::kModeWrite);
  std::uint64_t at = 600;
  a.Write("x", 1, at);  // a second block: the directory must be rewritten
  ASSERT_TRUE(a.IsModified());
  media.FailWritesAfter(0);
  EXPECT_THROW(a.Close(), win::Error_t);
  media.FailWritesAfter(-1);
  EXPECT_FALSE(a.IsModified());
  a.Open(dsk::kModeRead);
  EXPECT_NO_THROW(a.Close());
}

// A block the directory lists far past the image's end, beyond the sectors
// the partition table gives the partition: writing it is refused instead of
// growing the image up to it.
TEST(WriteTest, BlockBeyondThePartitionIsNotWritten) {
  ImageBuilder_t b;
  b.trimToData = true;
  auto far = File("FAR.DAT", "far");
  far.blocks = std::vector<std::uint16_t>{250};
  b.files = {File("A.DAT", "abc"), far};
  std::string image = b.Build();
  // The partition holds 32 blocks of the 256 its boot record counts.
  imgkit::PutPartitionEntry(image, 0, 0, 32, b.sectorsPerTrack, b.heads);
  MemoryMedia_t media(image);
  const std::size_t sizeBefore = media.Bytes().size();
  {
    Session_t s(media);
    dsk::FileBuffer_t& f = s.Buffer("FAR.DAT");
    f.Open(dsk::kModeWrite);
    std::uint64_t at = 0;
    EXPECT_THROW(f.Write("x", 1, at), dsk::DiskFull_t);
    f.Close();
    s.Write("A.DAT", 0, "xyz");  // a block within the partition is written
  }
  EXPECT_LE(media.Bytes().size(), std::max<std::size_t>(sizeBefore, 32 * 512));
  Session_t s(media);
  EXPECT_EQ("xyz", s.Read("A.DAT"));
}

// Blocks come from the medium in one positioned read each, without seeking.
TEST(WriteTest, BlocksAreReadWithoutSeeking) {
  ImageBuilder_t b;
  b.files = {File("A.DAT", Pattern(3 * 512))};
  MemoryMedia_t media(b.Build(), true);
  dsk::Disk_t disk(media, 8);
  dsk::Directory_t& root = disk.GetPartition(0).GetRootDirectory();
  const std::uint64_t seeks = media.Seeks();
  const std::uint64_t reads = media.Reads();
  EXPECT_EQ(Pattern(3 * 512), imgkit::ReadWhole(root, "A.DAT"));
  EXPECT_EQ(seeks, media.Seeks());
  EXPECT_EQ(reads + 3, media.Reads());
}

}  // namespace
