// Binary streams: value encodings, record framing, truncated and damaged input.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "bin/BIN_record.h"
#include "tests/common/TestEnv.h"

namespace {

using namespace std::string_literals;

constexpr auto kEof = std::ios_base::eofbit;
constexpr auto kFail = std::ios_base::failbit;
constexpr auto kBad = std::ios_base::badbit;

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

TEST(BinValueTest, U16AndStringsAreStoredAsDocumented) {
  struct Case {
    const char* name;
    void (*write)(bin::ostream&);
    std::string bytes;
  } cases[] = {
      {"u16 0x1234", [](bin::ostream& o) { bin::write_u16(o, 0x1234); }, Bytes({0x34, 0x12})},
      {"empty string", [](bin::ostream& o) { bin::write_string(o, ""); }, Bytes({0})},
      {"text", [](bin::ostream& o) { bin::write_string(o, "Ab"); }, "Ab\0"s},
      {"embedded NUL written whole", [](bin::ostream& o) { bin::write_string(o, "a\0b"s); }, "a\0b\0"s},
      {"u32 little-endian", [](bin::ostream& o) { bin::write_le(o, std::uint32_t{0x01020304}); },
       Bytes({4, 3, 2, 1})},
      {"double", [](bin::ostream& o) { bin::write_le(o, 1.0); }, Bytes({0, 0, 0, 0, 0, 0, 0xF0, 0x3F})},
  };
  for (const Case& c : cases) {
    bin::stringstream s;
    c.write(s);
    EXPECT_TRUE(s.good()) << c.name;
    EXPECT_EQ(s.str(), c.bytes) << c.name;
  }
}

TEST(BinValueTest, ValuesReadBack) {
  bin::stringstream s;
  bin::write_u16(s, 0xBEEF);
  bin::write_string(s, "");
  bin::write_string(s, "a\0b"s);
  bin::write_le(s, -2.5f);
  std::uint16_t u = 0;
  std::string empty = "x", first, rest;
  float f = 0;
  bin::read_u16(s, u);
  bin::read_string(s, empty);
  bin::read_string(s, first);
  bin::read_string(s, rest);  // the bytes after the embedded NUL are the next field
  bin::read_le(s, f);
  EXPECT_TRUE(s.good());
  EXPECT_EQ(u, 0xBEEF);
  EXPECT_EQ(empty, "");
  EXPECT_EQ(first, "a");
  EXPECT_EQ(rest, "b");
  EXPECT_EQ(f, -2.5f);
}

TEST(BinValueTest, StringWithoutNulAtEndKeepsBytesAndFails) {
  bin::stringstream s("abc"s);
  std::string text;
  bin::read_string(s, text);
  EXPECT_EQ(text, "abc");
  EXPECT_EQ(s.rdstate(), kEof | kFail);
}

TEST(BinValueTest, ShortReadIsAllOrNothingAndLaterOperationsDoNothing) {
  bin::stringstream s("\x01\x02\x03"s);
  char dest[4] = {'w', 'x', 'y', 'z'};
  s.read(dest, 4);
  EXPECT_EQ(std::string(dest, 4), "wxyz");
  EXPECT_EQ(s.rdstate(), kEof | kFail);
  // The 3 bytes were consumed: after clearing, nothing is left.
  s.clear();
  unsigned char c = 7;
  s.get(c);
  EXPECT_EQ(c, 7);
  EXPECT_EQ(s.rdstate(), kEof | kFail);
  // Nothing happens on a failed stream: values keep their contents.
  std::uint16_t u = 42;
  bin::read_u16(s, u);
  EXPECT_EQ(u, 42);
  s.write("zz", 2);
  EXPECT_EQ(s.str(), "\x01\x02\x03"s);
}

// Reads longer than one gathering piece: whole when the data are all there,
// nothing at all when they end early.
TEST(BinValueTest, LongReadsAreAllOrNothingToo) {
  std::string data(150001, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i % 253);
  bin::stringstream whole(data);
  std::string dest(data.size(), '-');
  whole.read(dest.data(), static_cast<std::streamsize>(dest.size()));
  EXPECT_TRUE(whole.good());
  EXPECT_EQ(dest, data);

  bin::stringstream cut(data);
  std::string untouched(200000, '-');
  cut.read(untouched.data(), static_cast<std::streamsize>(untouched.size()));
  EXPECT_EQ(cut.rdstate(), kEof | kFail);
  EXPECT_EQ(untouched, std::string(200000, '-'));
}

TEST(BinValueTest, U16CutShortKeepsValue) {
  bin::stringstream s("\x05"s);
  std::uint16_t u = 9;
  bin::read_u16(s, u);
  EXPECT_EQ(u, 9);
  EXPECT_EQ(s.rdstate(), kEof | kFail);
}

TEST(BinValueTest, NullBufferIsBadAndRefusedByteSetsBad) {
  bin::istream in(nullptr);
  EXPECT_TRUE(in.bad());

  // A buffer with no room refuses every byte.
  struct Refusing : std::streambuf {
  } refusing;
  bin::ostream out(&refusing);
  out.put('a');
  EXPECT_TRUE(out.bad());
}

TEST(BinRecordTest, RecordFramingBytes) {
  bin::stringstream s;
  bin::record_t d('D');
  bin::write_u16(d, 100);
  bin::write_record(s, d);
  bin::record_t empty('E');
  bin::write_record(s, empty);
  EXPECT_EQ(s.str(), Bytes({0x02, 0, 0, 0, 0x44, 0x64, 0x00, 0, 0, 0, 0, 0x45}));
}

TEST(BinRecordTest, RecordsReadBackWithStoredType) {
  bin::stringstream s;
  {
    bin::record_t r('A');
    bin::write_string(r, "hello");
    bin::write_u16(r, 7);
    bin::write_record(s, r);
    bin::record_t e('Z');
    bin::write_record(s, e);
  }
  bin::record_t r('x');  // constructed with another type: the stored one wins
  bin::read_record(s, r);
  ASSERT_TRUE(s.good());
  EXPECT_EQ(r.type(), 'A');
  std::string text;
  std::uint16_t u = 0;
  bin::read_string(r, text);
  bin::read_u16(r, u);
  EXPECT_TRUE(r.good());
  EXPECT_EQ(text, "hello");
  EXPECT_EQ(u, 7);

  bin::read_record(s, r);
  ASSERT_TRUE(s.good());
  EXPECT_EQ(r.type(), 'Z');
  EXPECT_EQ(r.str(), "");

  bin::read_record(s, r);  // the orderly end after the last record
  EXPECT_EQ(s.rdstate(), kEof | kFail);
  EXPECT_EQ(r.type(), 'Z');
}

TEST(BinRecordTest, TruncatedAndDamagedRecordsThroughState) {
  const std::string whole = Bytes({0x03, 0, 0, 0, 'D', 1, 2, 3});
  struct Case {
    const char* name;
    std::string input;
    std::ios_base::iostate state;
  } cases[] = {
      {"empty input", "", kEof | kFail},
      {"2 of 4 length bytes", whole.substr(0, 2), kEof | kFail},
      {"cut after the length", whole.substr(0, 4), kEof | kFail | kBad},
      {"cut in the payload", whole.substr(0, 6), kEof | kFail | kBad},
      {"whole", whole, std::ios_base::goodbit},
      // A damaged length of nearly 4 GiB: reported, without reserving that much.
      {"huge length", Bytes({0xF0, 0xFF, 0xFF, 0xFF, 'D', 1, 2}), kEof | kFail | kBad},
  };
  for (const Case& c : cases) {
    bin::stringstream s(c.input);
    bin::record_t r('q');
    bin::read_record(s, r);
    EXPECT_EQ(s.rdstate(), c.state) << c.name;
  }
}

TEST(BinRecordTest, ShortRecordsReadAndReportTruncation) {
  const std::string whole = Bytes({'L', 0x02, 0x00, 0x64, 0x00});
  struct Case {
    const char* name;
    std::string input;
    std::ios_base::iostate state;
  } cases[] = {
      {"empty input", "", kEof | kFail},
      {"cut in the length", whole.substr(0, 2), kEof | kFail | kBad},
      {"cut in the payload", whole.substr(0, 4), kEof | kFail | kBad},
      {"whole", whole, std::ios_base::goodbit},
  };
  for (const Case& c : cases) {
    bin::stringstream s(c.input);
    bin::oldrecord_t r('q');
    bin::read_short_record(s, r);
    EXPECT_EQ(s.rdstate(), c.state) << c.name;
    if (c.state == std::ios_base::goodbit) {
      EXPECT_EQ(r.type(), 'L');
      std::uint16_t u = 0;
      bin::read_u16(r, u);
      EXPECT_EQ(u, 100);
    }
  }
}

// A record object reused for a shorter payload holds exactly the new payload,
// read from its first byte, in both forms.
TEST(BinRecordTest, ReusedRecordObjectKeepsNoStaleBytes) {
  bin::stringstream s;
  bin::record_t longer('L');
  bin::write_string(longer, "a long payload");
  bin::write_record(s, longer);
  bin::record_t shorter('S');
  bin::write_string(shorter, "ab");
  bin::write_record(s, shorter);

  bin::record_t r('?');
  bin::read_record(s, r);
  std::string text;
  bin::read_string(r, text);
  EXPECT_EQ(text, "a long payload");
  bin::read_record(s, r);
  EXPECT_EQ(r.type(), 'S');
  EXPECT_EQ(r.str(), "ab\0"s);
  bin::read_string(r, text);
  EXPECT_EQ(text, "ab");

  bin::stringstream old(Bytes({'A', 4, 0, 'w', 'x', 'y', 0, 'B', 2, 0, 'z', 0}));
  bin::oldrecord_t o('?');
  bin::read_short_record(old, o);
  bin::read_string(o, text);  // partly read, then reused
  bin::read_short_record(old, o);
  EXPECT_EQ(o.type(), 'B');
  EXPECT_EQ(o.str(), "z\0"s);
  bin::read_string(o, text);
  EXPECT_EQ(text, "z");
  EXPECT_TRUE(o.good());
}

TEST(BinFileStreamTest, FileRoundTripAndExceptionMask) {
  const std::string path = test::MakeTempDir("bin") + "/data.bin";
  {
    bin::ofstream out(path, std::ios_base::out | std::ios_base::trunc);
    ASSERT_TRUE(out.good());
    bin::record_t r('D');
    bin::write_u16(r, 100);
    bin::write_record(out, r);
    out.close();
    EXPECT_TRUE(out.good());
  }
  EXPECT_EQ(test::ReadFile(path), Bytes({0x02, 0, 0, 0, 0x44, 0x64, 0x00}));

  bin::ifstream in(path, std::ios_base::in);
  bin::record_t r('?');
  bin::read_record(in, r);
  EXPECT_TRUE(in.good());
  EXPECT_EQ(r.type(), 'D');
  in.exceptions(kFail | kBad);
  EXPECT_THROW(bin::read_record(in, r), std::ios_base::failure);

  bin::ifstream missing(path + ".none", std::ios_base::in);
  EXPECT_TRUE(missing.fail());
  EXPECT_FALSE(missing.bad());
  bin::ofstream nowhere(path + "/not-a-folder/x", std::ios_base::out);
  EXPECT_TRUE(nowhere.fail());
}

TEST(BinFileStreamTest, SeekMovesOnlyItsOwnSide) {
  bin::stringstream s;
  s.write("abcdef", 6);
  s.seekp(2);
  s.put('X');
  unsigned char c = 0;
  s.get(c);
  EXPECT_EQ(c, 'a');
  s.seekg(3);
  s.get(c);
  EXPECT_EQ(c, 'd');
  EXPECT_EQ(s.str(), "abXdef");
}

}  // namespace
