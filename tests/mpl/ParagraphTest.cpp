// Compressed text paragraphs: the prefix decoder on its tables (with and
// without lookup, packed symbols), plain and compressed parts delivered in
// chunks, table ids, and the damaged tables and parts that must end cleanly.
#include <gtest/gtest.h>

#include <memory>

#include "dsk/DSK_Directory.h"
#include "dsk/DSK_Disk.h"
#include "dsk/DSK_File.h"
#include "dsk/DSK_FileBuffer.h"
#include "dsk/DSK_Partition.h"
#include "glo/GLO_AutoPtr.h"
#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Paragraph.h"
#include "tests/imgkit/ImageBuilder.h"
#include "tests/imgkit/MemoryMedia.h"
#include "tests/imgkit/ParagraphBuilder.h"

namespace {

using imgkit::ParagraphFiles_t;
using imgkit::ParagraphPart_t;
using imgkit::PrefixTable_t;

// The LBL and RGN sub-files of the paragraphs, in an image opened read-only.
struct Opened_t {
  explicit Opened_t(const ParagraphFiles_t& files) {
    imgkit::ImageBuilder_t b;
    b.files = {imgkit::File("TEXT.LBL", files.Lbl()), imgkit::File("TEXT.RGN", files.Rgn())};
    media = std::make_unique<imgkit::MemoryMedia_t>(b.Build(), true);
    disk = std::make_unique<dsk::Disk_t>(*media, 8);
    dsk::Directory_t& root = disk->GetPartition(0).GetRootDirectory();
    lbl = dsk::File_t(root.FindFile("TEXT.LBL"));
    rgn = dsk::File_t(root.FindFile("TEXT.RGN"));
    lbl.Open(dsk::kModeRead);
    rgn.Open(dsk::kModeRead);
    EXPECT_EQ(0, mpl::MdbReadParagraphSource(lbl, rgn, source));
  }
  std::unique_ptr<imgkit::MemoryMedia_t> media;
  std::unique_ptr<dsk::Disk_t> disk;
  dsk::File_t lbl, rgn;
  mpl::MdbParagraphSource_t source;
};

// The chunks of a paragraph as the reader hands them out, and its last result.
struct Read_t {
  std::vector<std::string> chunks;
  std::vector<int> headerLows;
  int result = 0;
  std::string Text() const {
    std::string all;
    for (const auto& c : chunks) all += c;
    return all;
  }
};

Read_t ReadParagraph(const Opened_t& img, std::int32_t number, std::uint16_t bufferSize = 64) {
  Read_t read;
  std::vector<char> buffer(bufferSize + 1, 'x');
  mpl::MdbParagraph_t state;
  state.number = number;
  state.buffer = bufferSize ? buffer.data() : nullptr;
  state.bufferSize = bufferSize;
  int rc = mpl::MdbOpenParagraph(img.source, state);
  for (int guard = 0; rc == 0 && guard < 10000; ++guard) {
    if (state.buffer) read.chunks.emplace_back(state.buffer);
    read.headerLows.push_back(state.headerLow);
    rc = mpl::MdbReadParagraph(img.source, state);
  }
  read.result = rc;
  return read;
}

// a = 0, b = 10, c = 11.
PrefixTable_t Abc() {
  PrefixTable_t t;
  t.lengths = {{'a', 1}, {'b', 2}, {'c', 2}};
  return t;
}

// A complete code for the 32 characters of the test texts, of lengths 3 to 7.
PrefixTable_t Letters(unsigned lookupBits = 0, bool packed = false, unsigned symbolBits = 8) {
  PrefixTable_t t;
  t.lookupBits = lookupBits;
  t.packed = packed;
  t.symbolBits = symbolBits;
  const std::string byFrequency = " etaoinshrdlucmfwypvbgkqjxzETA.,";
  const unsigned counts[] = {2, 4, 8, 14, 4};  // of lengths 3, 4, 5, 6 and 7
  std::size_t next = 0;
  for (unsigned i = 0; i < 5; ++i)
    for (unsigned n = 0; n < counts[i]; ++n) t.lengths[static_cast<unsigned char>(byFrequency[next++])] = 3 + i;
  return t;
}

std::string Decode(const std::string& table, const std::string& input, std::int32_t count, int* rc = nullptr) {
  std::string out(count < 0 ? -count : count, '\0');
  std::size_t written = 0;
  const int result = mpl::MdbPrefixDecode(reinterpret_cast<std::uint8_t*>(out.data()), count,
                                          reinterpret_cast<const std::uint8_t*>(table.data()), table.size(),
                                          reinterpret_cast<const std::uint8_t*>(input.data()), input.size(), written);
  if (rc) *rc = result;
  return out.substr(0, written);
}

TEST(ParagraphTest, VarintAndTheSmallestTableAsStored) {
  EXPECT_EQ("\x1D", imgkit::Varint(14));
  EXPECT_EQ(std::string("\x02\x02", 2), imgkit::Varint(128));
  for (std::uint32_t v : {0u, 1u, 127u, 128u, 16383u, 16384u, 2097151u, 2097152u, (1u << 29) - 1}) {
    const std::string bytes = imgkit::Varint(v);
    std::uint32_t value = 0;
    std::size_t used = 0;
    ASSERT_EQ(0, mpl::MdbDecodeVarint(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), value, used));
    EXPECT_EQ(v, value);
    EXPECT_EQ(bytes.size(), used);
    EXPECT_EQ(1, mpl::MdbDecodeVarint(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size() - 1, value,
                                      used));
  }
  // Flags 0, maximum length 2, two entries, 8-bit symbols, symbol count 3; the
  // entries (code 00, length 1, base 0) and (code 10, length 2, base 1); "abc".
  const std::string table = std::string("\x1D\x00\x02\x02\x08\x07\x00\x01\x00\x02\x02\x01", 12) + "abc";
  EXPECT_EQ(table, Abc().Bytes());
  // 0 10 11 0 -> 0101 1000.
  EXPECT_EQ("\x58", Abc().Encode("abca"));
  EXPECT_EQ("abca", Decode(table, "\x58", 4));
  EXPECT_EQ("aaaaaaaa", Decode(table, std::string(1, '\0'), 8));
}

TEST(ParagraphTest, DecoderVariants) {
  const std::string text = "the quick brown fox jumps over the lazy dog. ETA, then rest";
  struct Case_t {
    const char* what;
    PrefixTable_t table;
  };
  const Case_t cases[] = {
      {"bisection", Letters()},
      {"lookup of 2 bits", Letters(2)},
      {"lookup of 4 bits", Letters(4)},
      {"lookup wider than short codes", Letters(5)},
      {"packed 7-bit symbols", Letters(0, true, 7)},
      {"packed with lookup", Letters(3, true, 7)},
      {"16-bit symbols", Letters(3, false, 16)},
  };
  for (const Case_t& c : cases) {
    const std::string encoded = c.table.Encode(text);
    std::string decoded;
    if (c.table.symbolBits == 16) {
      const std::string wide = Decode(c.table.Bytes(), encoded, static_cast<std::int32_t>(text.size() * 2));
      for (std::size_t i = 0; i < wide.size(); i += 2) decoded += wide[i];
    } else if (c.table.symbolBits == 7) {
      // Seven bits per symbol, packed into the output least significant bit first.
      const std::string packed = Decode(c.table.Bytes(), encoded, static_cast<std::int32_t>(text.size() * 7 / 8));
      for (std::size_t i = 0; i * 7 + 7 <= packed.size() * 8; ++i) {
        unsigned v = 0;
        for (unsigned b = 0; b < 7; ++b) v |= ((packed[(i * 7 + b) / 8] >> ((i * 7 + b) % 8)) & 1) << b;
        decoded += static_cast<char>(v);
      }
    } else {
      decoded = Decode(c.table.Bytes(), encoded, static_cast<std::int32_t>(text.size()));
    }
    EXPECT_EQ(text.substr(0, decoded.size()), decoded) << c.what;
    EXPECT_GE(decoded.size(), text.size() - 1) << c.what;
  }
  // A negative count stops after the first 0 byte.
  PrefixTable_t withNul = Letters();
  withNul.lengths[0] = withNul.lengths['z'];
  withNul.lengths.erase('z');
  std::vector<std::uint32_t> symbols = {'t', 'h', 'e', 0, 'e', 'n', 'd'};
  EXPECT_EQ(std::string("the\0", 4), Decode(withNul.Bytes(), withNul.Encode(symbols), -20));
  EXPECT_EQ("th", Decode(withNul.Bytes(), withNul.Encode(symbols), -2));
}

TEST(ParagraphTest, DamagedTablesAndInputEndCleanly) {
  const std::string good = Abc().Bytes();
  const auto patched = [&](std::size_t at, char value) {
    std::string t = good;
    t[at] = value;
    return t;
  };
  struct Case_t {
    const char* what;
    std::string table;
    std::string input;
  };
  const Case_t cases[] = {
      {"code longer than the maximum", patched(10, 3), "\x58"},
      {"code length 0", patched(7, 0), "\x58"},
      {"maximum above 32", patched(2, 33), "\x58"},
      {"maximum 0", patched(2, 0), "\x58"},
      {"no entries", patched(3, 0), "\x58"},
      {"symbol width 0", patched(4, 0), "\x58"},
      {"entries beyond the table", patched(3, 9), "\x58"},
      {"symbol index beyond the symbols", patched(11, 2), "\xFF"},
      {"table cut short", good.substr(0, 6), "\x58"},
      {"empty table", "", "\x58"},
      {"lookup beyond the table", patched(1, 0x04), "\x58"},
      {"input runs out", good, "\x58"},
      {"no input", good, ""},
  };
  for (const Case_t& c : cases) {
    int rc = 0;
    Decode(c.table, c.input, 12, &rc);
    EXPECT_EQ(1, rc) << c.what;
  }
  // A lookup range outside the entries.
  PrefixTable_t lookup = Abc();
  lookup.lookupBits = 1;
  std::string t = lookup.Bytes();
  int rc = 0;
  EXPECT_EQ("abca", Decode(t, "\x58", 4, &rc));
  EXPECT_EQ(0, rc);
  ASSERT_EQ(std::string("\x03" "a" "\x02\x01" "abc", 7), t.substr(t.size() - 7));
  t[t.size() - 3 - 1] = 7;  // the range of index 1 ends at entry 7 of 2
  Decode(t, "\x58", 4, &rc);
  EXPECT_EQ(1, rc);
}

TEST(ParagraphTest, PlainAndCompressedParagraphs) {
  ParagraphFiles_t files;
  files.tables = {Abc(), Letters(3)};
  files.defaultTableId = 1;
  files.offsetShift = 2;
  files.countBytes = 2;
  ParagraphPart_t plain = imgkit::PlainPart("Short text", 0x41);
  ParagraphPart_t compressedDefault = imgkit::CompressedPart("the lazy dog", 1, 0x07);
  ParagraphPart_t compressedFirst = imgkit::CompressedPart("abcab", 0, 0x09, true, 1);
  ParagraphPart_t longPlain = imgkit::PlainPart(std::string(150, 'p') + "end", 0x02);
  files.paragraphs = {{plain}, {compressedDefault, compressedFirst}, {longPlain, compressedDefault}, {}};
  const Opened_t img(files);
  EXPECT_EQ(1, img.source.defaultTableId);
  EXPECT_EQ(2, img.source.offsetShift);

  // A plain part shorter than the buffer comes in one chunk.
  Read_t one = ReadParagraph(img, files.Number(0));
  EXPECT_EQ(std::vector<std::string>{"Short text"}, one.chunks);
  EXPECT_EQ(std::vector<int>{0x41}, one.headerLows);
  EXPECT_EQ(3, one.result);

  // The default table (bit 15 clear) is the LBL header's; table id 0 is the
  // section's first entry.
  Read_t two = ReadParagraph(img, files.Number(1));
  EXPECT_EQ((std::vector<std::string>{"the lazy dog", "abcab"}), two.chunks);
  EXPECT_EQ((std::vector<int>{0x07, 0x09}), two.headerLows);

  // Chunks of the buffer size less one, for plain and compressed parts.
  Read_t three = ReadParagraph(img, files.Number(2), 8);
  EXPECT_EQ(longPlain.text + "the lazy dog", three.Text());
  EXPECT_EQ("ppppppp", three.chunks.front());
  EXPECT_EQ("y dog", three.chunks.back());
  EXPECT_EQ(3, three.result);

  EXPECT_EQ(3, ReadParagraph(img, files.Number(3)).result);

  // Without a buffer that holds a byte and its NUL, every part is skipped.
  for (const std::uint16_t size : {0, 1}) {
    Read_t skipped = ReadParagraph(img, files.Number(2), size);
    EXPECT_EQ(2u, skipped.headerLows.size()) << size;
    EXPECT_EQ(3, skipped.result) << size;
    for (const auto& chunk : skipped.chunks) EXPECT_EQ("", chunk);
  }
}

TEST(ParagraphTest, DamagedParts) {
  ParagraphFiles_t files;
  files.tables = {Letters()};
  ParagraphPart_t huge = imgkit::CompressedPart("the", 0);
  huge.storedLength = mpl::kMaxParagraphWorkArea + 1;
  huge.lengthBytes = 3;
  ParagraphPart_t empty = imgkit::CompressedPart("the", 0);
  empty.storedLength = 0;
  ParagraphPart_t shortData = imgkit::CompressedPart("the lazy dog", 0);
  shortData.data = std::string("\x12", 1);
  ParagraphPart_t noData = imgkit::CompressedPart("", 0);
  noData.storedLength = 5;
  files.paragraphs = {{huge}, {empty}, {shortData}, {noData}};
  struct Case_t {
    const char* what;
    std::size_t paragraph;
    int result;
  };
  const Opened_t img(files);
  for (const Case_t& c : {Case_t{"work area too large", 0, 2}, Case_t{"unpacked length 0", 1, 2},
                          Case_t{"data runs out", 2, 1}, Case_t{"no data", 3, 2}}) {
    EXPECT_EQ(c.result, ReadParagraph(img, files.Number(c.paragraph)).result) << c.what;
  }
  // A table id beyond the section, and a paragraph beyond the LBL sub-file.
  ParagraphFiles_t other = files;
  other.tables.clear();
  other.paragraphs = {{imgkit::CompressedPart("abc", 4, 0, true)}};
  const Opened_t noTables(other);
  EXPECT_EQ(3, ReadParagraph(noTables, other.Number(0)).result);
  EXPECT_EQ(1, ReadParagraph(noTables, 1 << 20).result);
}

// A long compressed part read in small chunks is unpacked once: after its
// first chunk the medium is not read again, and the chunks make up the text.
// When its data end early, the chunks that their symbols cover still come,
// then the read fails.
TEST(ParagraphTest, LongCompressedPartIsUnpackedOnce) {
  ParagraphFiles_t files;
  files.tables = {imgkit::WordTable()};
  const ParagraphPart_t whole = imgkit::WordPart(65536, 0);  // 256 KiB from 8 KiB
  ParagraphPart_t cut = whole;
  cut.data = whole.data->substr(0, 1000);  // 8000 words, 32000 bytes
  files.paragraphs = {{whole, imgkit::PlainPart("end")}, {cut}};
  const Opened_t img(files);
  for (const bool damaged : {false, true}) {
    std::vector<char> buffer(151);
    mpl::MdbParagraph_t state;
    state.number = files.Number(damaged ? 1 : 0);
    state.buffer = buffer.data();
    state.bufferSize = static_cast<std::uint16_t>(buffer.size());
    ASSERT_EQ(0, mpl::MdbOpenParagraph(img.source, state));
    const std::uint64_t reads = img.media->Reads();
    std::string text = buffer.data();
    int rc = 0;
    while (state.morePending && (rc = mpl::MdbReadParagraph(img.source, state)) == 0) text += buffer.data();
    EXPECT_EQ(reads, img.media->Reads()) << damaged;
    if (damaged) {
      EXPECT_EQ(1, rc);
      EXPECT_EQ(whole.text.substr(0, 32000 / 150 * 150), text);
    } else {
      EXPECT_EQ(0, rc);
      EXPECT_EQ(whole.text, text);
      ASSERT_EQ(0, mpl::MdbReadParagraph(img.source, state));
      EXPECT_STREQ("end", buffer.data());
    }
  }
}

TEST(ParagraphTest, ThroughTheMapsOwnSubfiles) {
  ParagraphFiles_t files;
  files.tables = {Abc(), Letters(2)};
  files.defaultTableId = 1;
  files.offsetShift = 0;
  files.paragraphs = {{imgkit::PlainPart("x")},
                      {imgkit::CompressedPart("the end", 1), imgkit::CompressedPart("cab", 0, 0, true)}};
  imgkit::ImageBuilder_t b;
  b.files = {imgkit::File("TEXT.LBL", files.Lbl()), imgkit::File("TEXT.RGN", files.Rgn())};
  auto* media = new imgkit::MemoryMedia_t(b.Build(), true);
  mpl::MdbMap_t map;
  map.mapName = "TEXT";
  map.source = mpl::ImageSource_t(*media, glo::SmartPtr_t<glo::RefCounter_t>(media), 8);
  ASSERT_EQ(0, mpl::MdbReadLblHeader(map));
  ASSERT_EQ(0, mpl::MdbReadRgnHeader(map));
  char buffer[32];
  mpl::MdbParagraph_t state;
  state.number = files.Number(1);
  state.buffer = buffer;
  state.bufferSize = sizeof buffer;
  ASSERT_EQ(0, mpl::MdbOpenParagraph(map, state));
  EXPECT_STREQ("the end", buffer);
  ASSERT_EQ(0, mpl::MdbReadParagraph(map, state));
  EXPECT_STREQ("cab", buffer);
  EXPECT_EQ(3, mpl::MdbReadParagraph(map, state));
}

}  // namespace
