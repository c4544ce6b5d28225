// The engine's file layer and the buffered sub-file reader over a file of a
// built image: reads, seeks, block reads, the read-ahead window and its
// refills, and variable-length integers.
#include <gtest/gtest.h>

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Reader.h"
#include "mpl/MPL_Subfile.h"
#include "tests/imgkit/ImageBuilder.h"
#include "tests/imgkit/MapImage.h"

namespace {

// An image with one file "DATA.BIN" of the given bytes, opened.
struct Image_t {
  explicit Image_t(const std::string& data) : bytes(data) {
    source = imgkit::OpenImage(imgkit::MapImage({{"DATA.BIN", data}, {"EMPTY.BIN", ""}}), &media);
    EXPECT_EQ(0, mpl::MdbOpenFile(file, "DATA.BIN", source));
  }
  std::string bytes;
  imgkit::MemoryMedia_t* media = nullptr;
  mpl::ImageSource_t source;
  dsk::File_t file;
};

TEST(ReaderTest, FileLayer) {
  Image_t img(imgkit::Pattern(1000));
  dsk::File_t missing;
  EXPECT_EQ(1, mpl::MdbOpenFile(missing, "NONE.BIN", img.source));
  EXPECT_FALSE(mpl::MdbIsOpen(missing));
  EXPECT_EQ(1, mpl::MdbRead(missing, 0, nullptr, 0));
  EXPECT_EQ(1, mpl::MdbOpenFile(missing, "DATA.BIN", mpl::ImageSource_t()));

  char buf[8];
  ASSERT_EQ(0, mpl::MdbRead(img.file, 100, buf, 4));
  EXPECT_EQ(img.bytes.substr(100, 4), std::string(buf, 4));
  ASSERT_EQ(0, mpl::MdbRead(img.file, mpl::kMdbHere, buf, 4));  // reads on
  EXPECT_EQ(img.bytes.substr(104, 4), std::string(buf, 4));
  EXPECT_EQ(108u, mpl::MdbTell(img.file));
  EXPECT_EQ(1, mpl::MdbRead(img.file, 998, buf, 4));  // past the end
  EXPECT_EQ(1, mpl::MdbRead(img.file, 5000, buf, 1));
  EXPECT_EQ(0, mpl::MdbRead(img.file, 0, buf, 0x10000));  // count modulo 65536

  struct Seek_t {
    std::int64_t offset;
    int mode;
    std::int64_t result;
  };
  ASSERT_EQ(0, mpl::MdbSeek(img.file, 0, 0));
  const Seek_t seeks[] = {{10, 0, 10},  {5, 1, 15},  {-5, 1, 10},  {100, 2, 900}, {0, 2, 1000},
                          {-1, 0, -1},  {-1, 2, -1}, {1, 3, -1},   {1001, 0, -1}, {-2000, 1, -1}};
  for (const Seek_t& s : seeks) EXPECT_EQ(s.result, mpl::MdbSeek(img.file, s.offset, s.mode)) << s.offset;
  EXPECT_EQ(1000u, mpl::MdbTell(img.file));
  EXPECT_EQ(0u, mpl::MdbTell(missing));
  EXPECT_EQ(-1, mpl::MdbSeek(missing, 0, 0));

  EXPECT_EQ(0, mpl::MdbCloseFile(img.file));
  EXPECT_FALSE(mpl::MdbIsOpen(img.file));
}

TEST(ReaderTest, BlockReads) {
  Image_t img(imgkit::Pattern(1000));
  struct Case_t {
    std::uint32_t position, available;
  };
  // From the position to the end of its 512-byte block, or of the file.
  const Case_t cases[] = {{0, 512}, {700, 300}, {300, 212}, {511, 1}, {512, 488}, {900, 100}, {999, 1}, {1000, 0}};
  for (const Case_t& c : cases) {
    ASSERT_EQ(c.position, mpl::MdbSeek(img.file, c.position, 0));
    const std::uint8_t* data = nullptr;
    ASSERT_EQ(c.available, mpl::MdbReadBlock(img.file, data)) << c.position;
    EXPECT_EQ(c.position, mpl::MdbTell(img.file));  // the position stays
    if (c.available != 0) {
      EXPECT_EQ(img.bytes.substr(c.position, c.available),
                std::string(reinterpret_cast<const char*>(data), c.available));
      EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(data - (c.position % 512)) % 4);
    }
  }
  dsk::File_t closed;
  const std::uint8_t* data = nullptr;
  EXPECT_EQ(0u, mpl::MdbReadBlock(closed, data));
}

TEST(ReaderTest, WindowRefillsAndReads) {
  Image_t img(imgkit::Pattern(600));
  std::uint8_t window[300];
  mpl::MdbBufReader_t reader;
  ASSERT_EQ(0, mpl::MdbBufOpen(reader, img.file, 0, window, 300));
  EXPECT_EQ(255, reader.count);  // at most 255
  EXPECT_EQ(255, reader.index);  // empty
  EXPECT_EQ(600u, reader.end);

  ASSERT_EQ(0, mpl::MdbBufOpen(reader, img.file, 10, window, 16));
  EXPECT_EQ(16, reader.count);
  std::string got(590, '\0');
  // Reads of several sizes across refills.
  std::size_t at = 0;
  for (std::uint16_t n : {1, 15, 16, 17, 40, 3, 255, 243}) {
    ASSERT_EQ(0, mpl::MdbBufRead(reader, got.data() + at, n)) << at;
    at += n;
    EXPECT_EQ(10 + at, mpl::MdbBufTell(reader));
  }
  ASSERT_EQ(590u, at);
  EXPECT_EQ(img.bytes.substr(10), got);
  // At the very end a refill has nothing to read: the read fails, the window
  // stays empty.
  std::uint8_t b;
  EXPECT_EQ(1, mpl::MdbBufRead(reader, &b, 1));
  EXPECT_EQ(reader.count, reader.index);

  // The last refill takes the bytes that are left, at the window's tail.
  ASSERT_EQ(0, mpl::MdbBufOpen(reader, img.file, 590, window, 16));
  ASSERT_EQ(0, mpl::MdbBufRead(reader, &b, 1));
  EXPECT_EQ(600u, reader.next);
  EXPECT_EQ(7, reader.index);
  char rest[20];
  EXPECT_EQ(1, mpl::MdbBufRead(reader, rest, 10));  // one byte too many
}

TEST(ReaderTest, SeeksInsideAndOutsideTheWindow) {
  Image_t img(imgkit::Pattern(600));
  std::uint8_t window[32];
  mpl::MdbBufReader_t reader;
  ASSERT_EQ(0, mpl::MdbBufOpen(reader, img.file, 100, window, 32));
  char buf[40];
  ASSERT_EQ(0, mpl::MdbBufRead(reader, buf, 20));
  const std::uint32_t next = reader.next;
  EXPECT_EQ(132u, next);

  // Inside the last refill: only the index moves.
  ASSERT_EQ(0, mpl::MdbBufSeek(reader, 105));
  EXPECT_EQ(next, reader.next);
  EXPECT_EQ(5, reader.index);
  ASSERT_EQ(0, mpl::MdbBufRead(reader, buf, 4));
  EXPECT_EQ(img.bytes.substr(105, 4), std::string(buf, 4));
  ASSERT_EQ(0, mpl::MdbBufSeek(reader, 131));
  EXPECT_EQ(31, reader.index);

  // Backwards past the window, or at or past next: emptied, refilled there.
  for (std::uint32_t offset : {99u, 132u, 400u, 10u}) {
    ASSERT_EQ(0, mpl::MdbBufSeek(reader, offset));
    EXPECT_EQ(offset, reader.next);
    EXPECT_EQ(reader.count, reader.index);
    ASSERT_EQ(0, mpl::MdbBufRead(reader, buf, 3));
    EXPECT_EQ(img.bytes.substr(offset, 3), std::string(buf, 3)) << offset;
  }

  // At or past the sub-file's end: refused, the reader untouched.
  const mpl::MdbBufReader_t before = reader;
  for (std::uint32_t offset : {600u, 601u, 0xFFFFFFFFu}) {
    EXPECT_EQ(1, mpl::MdbBufSeek(reader, offset));
    EXPECT_EQ(before.index, reader.index);
    EXPECT_EQ(before.next, reader.next);
  }

  // A seek inside a short last refill (which sits at the window's tail).
  ASSERT_EQ(0, mpl::MdbBufSeek(reader, 590));
  ASSERT_EQ(0, mpl::MdbBufRead(reader, buf, 2));
  ASSERT_EQ(0, mpl::MdbBufSeek(reader, 599));
  ASSERT_EQ(0, mpl::MdbBufRead(reader, buf, 1));
  EXPECT_EQ(img.bytes[599], buf[0]);
  ASSERT_EQ(0, mpl::MdbBufSeek(reader, 590));
  EXPECT_EQ(32 - 10, reader.index);
}

TEST(ReaderTest, OpenAndFailedRefills) {
  Image_t img(imgkit::Pattern(3000));
  std::uint8_t window[16];
  mpl::MdbBufReader_t reader;
  reader.next = 77;
  dsk::File_t closed;
  EXPECT_EQ(1, mpl::MdbBufOpen(reader, closed, 0, window, 16));
  EXPECT_EQ(1, mpl::MdbBufOpen(reader, img.file, 0, window, 0));
  EXPECT_EQ(77u, reader.next);  // unchanged

  // A refill whose read fails leaves the window empty; the reader then reads
  // again once the medium answers.
  ASSERT_EQ(0, mpl::MdbBufOpen(reader, img.file, 2500, window, 16));
  img.media->FailReadsAfter(0);
  char buf[4];
  EXPECT_EQ(1, mpl::MdbBufRead(reader, buf, 4));
  EXPECT_EQ(reader.count, reader.index);
  EXPECT_EQ(2500u, reader.next);
  img.media->FailReadsAfter(-1);
  ASSERT_EQ(0, mpl::MdbBufRead(reader, buf, 4));
  EXPECT_EQ(img.bytes.substr(2500, 4), std::string(buf, 4));

  // The reader's handle is its own: the sub-file's position does not move.
  ASSERT_EQ(3, mpl::MdbSeek(img.file, 3, 0));
  ASSERT_EQ(0, mpl::MdbBufSeek(reader, 1000));
  ASSERT_EQ(0, mpl::MdbBufRead(reader, buf, 4));
  EXPECT_EQ(3u, mpl::MdbTell(img.file));
}

TEST(ReaderTest, VariableLengthIntegers) {
  struct Case_t {
    std::string bytes;
    std::uint32_t value;
  };
  const Case_t cases[] = {
      {std::string("\x03", 1), 1},
      {std::string("\xFF", 1), 127},
      {std::string("\x02\x01", 2), 64},
      {std::string("\xFE\xFF", 2), 16383},
      {std::string("\x04\x00\x01", 3), 8192},
      {std::string("\xFC\xFF\xFF", 3), 0x1FFFFF},
      {std::string("\x00\x00\x00\x01", 4), 2097152},
      {std::string("\xF8\xFF\xFF\xFF", 4), 0x1FFFFFFF},
  };
  for (const Case_t& c : cases) {
    Image_t img("xx" + c.bytes + "\x03");
    std::uint32_t offset = 2, value = 99;
    ASSERT_EQ(0, mpl::MdbReadVarint(img.file, offset, value));
    EXPECT_EQ(c.value, value);
    EXPECT_EQ(2 + c.bytes.size(), offset);

    std::uint8_t window[8];
    mpl::MdbBufReader_t reader;
    ASSERT_EQ(0, mpl::MdbBufOpen(reader, img.file, 2, window, 2));
    ASSERT_EQ(0, mpl::MdbBufReadVarint(reader, value));
    EXPECT_EQ(c.value, value);
    ASSERT_EQ(0, mpl::MdbBufReadVarint(reader, value));
    EXPECT_EQ(1u, value);
  }
  // Cut short: the read fails with what was assembled so far.
  Image_t cut(std::string("\x04\x05", 2));
  std::uint32_t offset = 0, value = 0;
  EXPECT_EQ(1, mpl::MdbReadVarint(cut.file, offset, value));
  EXPECT_EQ(5u << 5, value);
  EXPECT_EQ(2u, offset);
}

}  // namespace
