// Directories and files of an image: record names, sorting, multi-record
// block lists, name normalisation, reading and positioning, and the damaged
// directories that must be refused.
#include <gtest/gtest.h>

#include "dsk/DSK_Directory.h"
#include "dsk/DSK_Disk.h"
#include "dsk/DSK_Exception.h"
#include "dsk/DSK_File.h"
#include "dsk/DSK_FileBuffer.h"
#include "dsk/DSK_Partition.h"
#include "tests/imgkit/ImageBuilder.h"
#include "tests/imgkit/ImageFiles.h"
#include "tests/imgkit/MemoryMedia.h"

namespace {

using imgkit::Dir;
using imgkit::File;
using imgkit::ImageBuilder_t;
using imgkit::MemoryMedia_t;
using imgkit::Pattern;

// An image opened read-only for one test.
struct Opened_t {
  explicit Opened_t(const ImageBuilder_t& b, unsigned cache = 8) : media(b.Build(), true), disk(media, cache) {}
  dsk::Directory_t& Root() { return disk.GetPartition(0).GetRootDirectory(); }
  std::string Read(dsk::Directory_t& dir, const std::string& name) { return imgkit::ReadWhole(dir, name); }
  MemoryMedia_t media;
  dsk::Disk_t disk;
};

std::vector<std::string> Names(const dsk::Directory_t& dir) {
  std::vector<std::string> names;
  for (auto it = dir.Begin(); it != dir.End(); ++it) names.push_back((*it).GetName());
  return names;
}

TEST(DirectoryTest, NamesAreSortedAndNormalised) {
  ImageBuilder_t b;
  b.files = {File("tre00001.TRE", "t"), File("MAP.img", "m"), File("NOTYPE", "n"), File("A.B", "")};
  Opened_t img(b);
  EXPECT_EQ(std::vector<std::string>({"", "A.B", "MAP.IMG", "NOTYPE", "TRE00001.TRE"}), Names(img.Root()));
  EXPECT_EQ("m", img.Read(img.Root(), "map.img"));
  EXPECT_EQ("t", img.Read(img.Root(), "Tre00001.tre"));
  EXPECT_EQ(nullptr, img.Root().FindFile("MAP.IM"));
  // The root's own entry lists its blocks.
  dsk::FileBuffer_t* self = img.Root().FindFile("");
  ASSERT_NE(nullptr, self);
  EXPECT_TRUE(self->IsDirectory() && self->IsReadOnly());
  EXPECT_EQ(img.disk.GetPrivPartition(0).RootFile().Blocks(), self->Blocks());
}

TEST(DirectoryTest, NormaliseFileName) {
  EXPECT_EQ("MAP.IMG", dsk::NormaliseFileName("map.img"));
  EXPECT_EQ("ABCDEFGH.ABC", dsk::NormaliseFileName("abcdefgh.abc"));
  EXPECT_EQ("X", dsk::NormaliseFileName("x."));
  EXPECT_EQ("", dsk::NormaliseFileName(""));
  for (const char* bad : {"C:X.TRE", "A\\X.TRE", "A/X.TRE", "ABCDEFGHI.TRE", "A.TREX", "C:ABCDEFGHI.TREX"}) {
    try {
      dsk::NormaliseFileName(bad);
      ADD_FAILURE() << bad;
    } catch (const dsk::BadFileName_t& e) {
      EXPECT_EQ(bad, e.Message());
    }
  }
}

TEST(DirectoryTest, FileOfManyRecords) {
  // 241 blocks: two records, the second listing one block and 239 x 0xFFFF.
  ImageBuilder_t b;
  b.blockCount = 300;
  const std::string data = Pattern(240 * 512 + 100);
  b.files = {File("BIG.DAT", data)};
  const std::string image = b.Build();
  ASSERT_EQ(1u, b.placed.size());
  ASSERT_EQ(241u, b.placed[0].blocks.size());
  // Root: own record at sector 2, then BIG.DAT parts 0 and 1.
  const auto* second = reinterpret_cast<const std::uint8_t*>(image.data()) + 4 * 512;
  EXPECT_EQ(1, second[17]);
  EXPECT_EQ(b.placed[0].blocks[240], second[32] | (second[33] << 8));
  for (unsigned i = 1; i < 240; ++i) ASSERT_EQ(0xFFFF, second[32 + 2 * i] | (second[33 + 2 * i] << 8)) << i;

  Opened_t img(b);
  EXPECT_EQ(241u, img.Root().FindFile("BIG.DAT")->Blocks().size());
  EXPECT_EQ(data, img.Read(img.Root(), "BIG.DAT"));
}

TEST(DirectoryTest, DuplicateAndLoneRecords) {
  {  // Two records with the same name and part: the first read stays.
    ImageBuilder_t b;
    b.files = {File("A.B", "first")};
    b.extraRootRecords = {imgkit::MakeRecord("A.B", 6, 0, 0, {0}, 0)};
    Opened_t img(b);
    EXPECT_EQ("first", img.Read(img.Root(), "A.B"));
  }
  {  // A file whose first record is part 1.
    ImageBuilder_t b;
    auto f = File("A.B", "x");
    f.parts = {1};
    b.files = {f};
    MemoryMedia_t media(b.Build(), true);
    dsk::Disk_t disk(media, 8);
    EXPECT_THROW(disk.GetPartition(0), glo::Assert_t);
  }
  {  // A lone part 1 after another file never joins it.
    ImageBuilder_t b;
    auto lone = File("B.B", "y");
    lone.parts = {1};
    b.files = {File("A.B", "x"), lone};
    MemoryMedia_t media(b.Build(), true);
    dsk::Disk_t disk(media, 8);
    EXPECT_THROW(disk.GetPartition(0), glo::Assert_t);
  }
}

TEST(DirectoryTest, SubDirectories) {
  ImageBuilder_t b;
  b.files = {Dir("MAPS", {File("ONE.TRE", "1"), Dir("DEEP", {File("TWO.RGN", Pattern(1500))})}),
             File("TOP.TXT", "top")};
  Opened_t img(b);
  dsk::Directory_t* maps = img.Root().FindDirectory("maps");
  ASSERT_NE(nullptr, maps);
  EXPECT_EQ(std::vector<std::string>({"DEEP", "ONE.TRE"}), Names(*maps));
  dsk::Directory_t* deep = maps->FindDirectory("DEEP");
  ASSERT_NE(nullptr, deep);
  EXPECT_EQ(Pattern(1500), img.Read(*deep, "TWO.RGN"));
  EXPECT_EQ(nullptr, img.Root().FindDirectory("TOP.TXT"));
}

imgkit::FileSpec_t Nest(unsigned depth) {
  return depth == 0 ? File("LEAF.TXT", "leaf") : Dir("D" + std::to_string(depth), {Nest(depth - 1)});
}

TEST(DirectoryTest, DamagedTreesAreRefused) {
  {  // Eight levels below the root are read; nine are not.
    ImageBuilder_t b;
    b.files = {Nest(8)};
    EXPECT_NO_THROW(Opened_t{b});
    b.files = {Nest(9)};
    MemoryMedia_t media(b.Build(), true);
    dsk::Disk_t disk(media, 8);
    EXPECT_THROW(disk.GetPartition(0), dsk::BadStream_t);
  }
  {  // A sub-directory lying on the root's blocks (it would read itself for ever).
    ImageBuilder_t b;
    auto loop = Dir("LOOP", {File("X", "x")});
    loop.blocks = std::vector<std::uint16_t>{0};
    loop.size = 512;
    b.files = {loop};
    MemoryMedia_t media(b.Build(), true);
    dsk::Disk_t disk(media, 8);
    EXPECT_THROW(disk.GetPartition(0), dsk::BadStream_t);
  }
  {  // A sub-directory on its parent's blocks.
    ImageBuilder_t b;
    b.files = {Dir("OUTER", {Dir("INNER", {File("X", "x")})})};
    b.Build();
    const std::vector<std::uint16_t> outerBlocks = b.placed.back().blocks;
    b.files = {Dir("OUTER", {[&] {
                 auto inner = Dir("INNER", {File("X", "x")});
                 inner.blocks = outerBlocks;
                 return inner;
               }()})};
    // The outer directory is placed at the same block in the rebuilt image.
    MemoryMedia_t media(b.Build(), true);
    ASSERT_EQ(outerBlocks, b.placed.back().blocks);
    dsk::Disk_t disk(media, 8);
    EXPECT_THROW(disk.GetPartition(0), dsk::BadStream_t);
  }
  {  // Two sibling directories starting on the same block.
    ImageBuilder_t b;
    b.files = {Dir("ONE", {File("X", "x")}), Dir("TWO", {File("Y", "y")})};
    b.Build();
    auto two = Dir("TWO", {File("Y", "y")});
    two.blocks = b.placed[1].blocks;  // ONE's records
    b.files = {Dir("ONE", {File("X", "x")}), two};
    MemoryMedia_t media(b.Build(), true);
    dsk::Disk_t disk(media, 8);
    EXPECT_THROW(disk.GetPartition(0), dsk::BadStream_t);
  }
  {  // A directory whose size is not whole records.
    ImageBuilder_t b;
    auto odd = Dir("ODD", {File("X", "x")});
    odd.size = 700;
    b.files = {odd};
    MemoryMedia_t media(b.Build(), true);
    dsk::Disk_t disk(media, 8);
    EXPECT_THROW(disk.GetPartition(0), dsk::BadFile_t);
  }
  {  // A root whose own record gives a size below the directory's start: the
     // records are read from the start on, past the end, not taken for none.
    ImageBuilder_t b;
    b.files = {File("X", "x")};
    std::string image = b.Build();
    const std::size_t own = std::size_t(b.directoryStart) * 512;
    ASSERT_EQ(1, image[own]);
    image[own + 12] = 0;
    image[own + 13] = 2;  // 512 bytes
    image[own + 14] = 0;
    image[own + 15] = 0;
    MemoryMedia_t media(image, true);
    dsk::Disk_t disk(media, 8);
    EXPECT_THROW(disk.GetPartition(0), dsk::BadFilePosition_t);
  }
  {  // A block number outside the partition.
    ImageBuilder_t b;
    auto f = File("X", "x");
    f.blocks = std::vector<std::uint16_t>{300};
    b.files = {f};
    MemoryMedia_t media(b.Build(), true);
    dsk::Disk_t disk(media, 8);
    EXPECT_THROW(disk.GetPartition(0), glo::Assert_t);
  }
}

TEST(FileTest, ReadsSkipsAndSeeksAtTheEnd) {
  ImageBuilder_t b;
  b.files = {File("F.DAT", Pattern(1300))};
  Opened_t img(b);
  dsk::File_t file(img.Root().FindFile("F.DAT"));
  file.Open(dsk::kModeRead);
  std::string part(800, '\0');
  file.Read(part.data(), 800);
  EXPECT_EQ(Pattern(1300).substr(0, 800), part);
  file.Skip(500);
  EXPECT_TRUE(file.AtEnd());
  file.Read(part.data(), 0);
  try {
    file.Read(part.data(), 1);
    ADD_FAILURE();
  } catch (const dsk::BadFilePosition_t& e) {
    EXPECT_EQ(1301u, e.Position());
    EXPECT_EQ("F.DAT", e.Message());
  }
  EXPECT_EQ(1301u, file.GetPosition());
  file.Seek(1300);
  EXPECT_TRUE(file.AtEnd());
  EXPECT_THROW(file.Seek(1301), dsk::BadFilePosition_t);
  EXPECT_EQ(1300u, file.GetPosition());
  file.Seek(1000);
  EXPECT_THROW(file.Skip(301), dsk::BadFilePosition_t);
  EXPECT_EQ(1000u, file.GetPosition());
  // A count that would wrap a 32-bit end.
  EXPECT_THROW(file.Read(part.data(), 0xFFFFFFFFu), dsk::BadFilePosition_t);
  EXPECT_THROW(file.Skip(0xFFFFFFFFu), dsk::BadFilePosition_t);
}

TEST(FileTest, ShortBlockListIsABadFile) {
  ImageBuilder_t b;
  auto f = File("F.DAT", Pattern(1024));
  f.size = 5000;  // two blocks listed, ten needed
  b.files = {f};
  Opened_t img(b);
  dsk::File_t file(img.Root().FindFile("F.DAT"));
  file.Open(dsk::kModeRead);
  std::string data(5000, '\0');
  file.Read(data.data(), 1024);
  EXPECT_THROW(file.Read(data.data(), 1), dsk::BadFile_t);
  file.Seek(4000);
  EXPECT_THROW(file.Read(data.data(), 10), dsk::BadFile_t);
}

TEST(FileTest, HandleStatesAndSharing) {
  ImageBuilder_t b;
  b.files = {File("F.DAT", "data"), File("RO.DAT", "ro", dsk::kAttrReadOnly)};
  MemoryMedia_t media(b.Build(), false);
  dsk::Disk_t disk(media, 8);
  dsk::Directory_t& root = disk.GetPartition(0).GetRootDirectory();

  dsk::File_t unbound;
  EXPECT_THROW(unbound.Open(dsk::kModeRead), dsk::BadFile_t);
  EXPECT_THROW(unbound.GetName(), dsk::FileNotOpen_t);
  EXPECT_THROW(unbound.GetSize(), dsk::FileNotOpen_t);

  dsk::File_t bound(root.FindFile("F.DAT"));
  EXPECT_EQ("F.DAT", bound.GetName());
  EXPECT_EQ(4u, bound.GetSize());
  char c;
  EXPECT_THROW(bound.Read(&c, 1), dsk::FileNotOpen_t);
  EXPECT_THROW(bound.AtEnd(), dsk::FileNotOpen_t);
  EXPECT_THROW(bound.GetMode(), dsk::FileNotOpen_t);
  EXPECT_THROW(bound.Seek(0), dsk::FileNotOpen_t);
  EXPECT_THROW(bound.Skip(0), dsk::FileNotOpen_t);

  // Readers share; a writer is alone; copies of an open file are open too.
  dsk::File_t reader = bound;
  reader.Open(dsk::kModeRead);
  dsk::File_t copy = reader;
  EXPECT_EQ(2u, root.FindFile("F.DAT")->OpenCount());
  dsk::File_t writer(root.FindFile("F.DAT"));
  EXPECT_THROW(writer.Open(dsk::kModeWrite), dsk::FileIsOpen_t);
  copy.Close();
  reader.Close();
  EXPECT_EQ(0u, root.FindFile("F.DAT")->OpenCount());
  writer.Open(dsk::kModeAppend);
  EXPECT_EQ(4u, writer.GetPosition());
  EXPECT_THROW(dsk::File_t(root.FindFile("F.DAT")).Open(dsk::kModeRead), dsk::FileIsOpen_t);
  writer.Close();
  EXPECT_THROW(root.FindFile("F.DAT")->Close(), dsk::FileNotOpen_t);

  dsk::File_t ro(root.FindFile("RO.DAT"));
  EXPECT_THROW(ro.Open(dsk::kModeWrite), dsk::BadFile_t);
  EXPECT_NO_THROW(ro.Open(dsk::kModeRead));
}

}  // namespace
