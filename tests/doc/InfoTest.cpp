// The database header: byte layout, reading back, truncation and wrong records.
#include <gtest/gtest.h>

#include <string>

#include "doc/DOC_Info.h"
#include "doc/DOC_InfoStream.h"
#include "doc/DOC_InvalidRecordTypeException.h"

namespace {

using namespace std::string_literals;

doc::Info_t Example(std::uint16_t layout = 101) {
  return doc::Info_t("LnRf", 100, doc::AppBuildInfo_t(205, "abc", "Sep 24 2004", "13:50:34"), std::string("N"),
                     layout);
}

std::string Written(const doc::Info_t& info) {
  bin::stringstream s;
  doc::Info_t::Write(s, info);
  EXPECT_TRUE(s.good());
  return s.str();
}

void ExpectSame(const doc::Info_t& a, const doc::Info_t& b) {
  EXPECT_EQ(a.Tag(), b.Tag());
  EXPECT_EQ(a.DataVersion(), b.DataVersion());
  EXPECT_EQ(a.LayoutVersion(), b.LayoutVersion());
  EXPECT_EQ(a.BuildInfo().Version(), b.BuildInfo().Version());
  EXPECT_EQ(a.BuildInfo().Label(), b.BuildInfo().Label());
  EXPECT_EQ(a.BuildInfo().Date(), b.BuildInfo().Date());
  EXPECT_EQ(a.BuildInfo().Time(), b.BuildInfo().Time());
  ASSERT_EQ(a.AppName().IsPresent(), b.AppName().IsPresent());
  if (a.AppName().IsPresent()) {
    EXPECT_EQ(*a.AppName(), *b.AppName());
  }
}

// A header whose record 'D' is replaced by the given type and payload.
std::string WithRecordD(unsigned char type, const std::string& payload) {
  std::string bytes = "LnRf"s + "\x65\x00"s;
  bytes += static_cast<char>(payload.size());
  bytes += "\0\0\0"s;
  bytes += static_cast<char>(type);
  bytes += payload;
  return bytes + Written(Example()).substr(13);
}

TEST(InfoTest, ExampleHeaderIs47BytesAsDocumented) {
  const std::string bytes = Written(Example());
  const std::string expected = "LnRf"s + "\x65\x00"s +             // tag, layout 101
                               "\x02\x00\x00\x00" "D" "\x64\x00"s +  // data version 100
                               "\x1B\x00\x00\x00" "A" "\xCD\x00"s +  // 2 + 4 + 12 + 9 bytes, 205
                               "abc\0Sep 24 2004\0" "13:50:34\0"s + "N\0"s;
  EXPECT_EQ(bytes.size(), 47u);
  EXPECT_EQ(bytes, expected);

  bin::stringstream s(bytes + "rest"s);
  doc::Info_t read;
  doc::Info_t::Read(s, read);
  ASSERT_TRUE(s.good());
  ExpectSame(read, Example());
  EXPECT_EQ(read.TagText(), "LnRf");
  std::string rest;
  bin::read_string(s, rest);
  EXPECT_EQ(rest, "rest");  // the file's contents follow at once
}

TEST(InfoTest, TagIsTheFirstFourCharacters) {
  doc::Info_t info("DlRfd", 100, doc::AppBuildInfo_t(), std::string("x"), 101);
  EXPECT_EQ(Written(info).substr(0, 4), "\x44\x6C\x52\x66"s);
  EXPECT_EQ(info.Tag(), 0x66526C44u);
  EXPECT_THROW(doc::Info_t("abc", 1, doc::AppBuildInfo_t(), std::string("x"), 101), glo::Assert_t);
}

TEST(InfoTest, OldLayoutHasNoNameAndNewLayoutRequiresOne) {
  doc::Info_t old("DlRf", 100, doc::AppBuildInfo_t(205, "", "", ""), glo::Optional_t<std::string>(), 100);
  bin::stringstream s(Written(old) + "\x7F"s);
  doc::Info_t read;
  doc::Info_t::Read(s, read);
  ASSERT_TRUE(s.good());
  EXPECT_FALSE(read.AppName().IsPresent());
  EXPECT_EQ(read.LayoutVersion(), 100);
  unsigned char next = 0;
  s.get(next);
  EXPECT_EQ(next, 0x7F);  // the stream stands at the first byte after record 'A'

  doc::Info_t nameless("DlRf", 100, doc::AppBuildInfo_t(), glo::Optional_t<std::string>(), 101);
  bin::stringstream out;
  EXPECT_THROW(doc::Info_t::Write(out, nameless), glo::Assert_t);
  EXPECT_EQ(out.str(), "");  // nothing half-written
}

// Every header cut short leaves the stream failed and the target unchanged; a
// cut after a record's length (in its type or payload) is a damaged record.
TEST(InfoTest, TruncatedHeaderLeavesTargetUnchanged) {
  const std::string bytes = Written(Example());
  const doc::Info_t before("GbRc", 106, doc::AppBuildInfo_t(1, "l", "d", "t"), std::string("keep"), 101);
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    bin::stringstream s(bytes.substr(0, cut));
    doc::Info_t target = before;
    doc::Info_t::Read(s, target);
    EXPECT_TRUE(s.fail()) << "cut at " << cut;
    const bool inRecord = (cut >= 10 && cut <= 12) || (cut >= 17 && cut <= 44);
    EXPECT_EQ(s.bad(), inRecord) << "cut at " << cut;
    ExpectSame(target, before);
  }
}

TEST(InfoTest, WrongRecordTypeThrowsWithDescriptiveMessage) {
  struct Case {
    unsigned char found;
    std::string foundText;
  } cases[] = {{'A', "A"}, {0x05, "Control Character hex value = 5"}, {0x1F, "Control Character hex value = 1f"}};
  for (const Case& c : cases) {
    bin::stringstream s(WithRecordD(c.found, "\x64\x00"s));
    doc::Info_t target;
    try {
      doc::Info_t::Read(s, target);
      FAIL() << "no exception for type " << int(c.found);
    } catch (const doc::InvalidRecordTypeException_t& e) {
      EXPECT_STREQ(e.SourceFile(), "DOC_ApplicationDataVersion.cpp");
      EXPECT_EQ(std::string(e.what()),
                "Encountered an invalid record type. \nEncountered Type: " + c.foundText +
                    "\nExpected Type: D\nDid not read an Application Data Version Record from the Binary Stream.");
    }
  }

  // Record 'A' missing: two 'D' records in a row.
  std::string twoD = Written(Example()).substr(0, 13);
  twoD += twoD.substr(6);
  bin::stringstream s(twoD);
  doc::Info_t target;
  try {
    doc::Info_t::Read(s, target);
    FAIL() << "no exception";
  } catch (const doc::InvalidRecordTypeException_t& e) {
    EXPECT_STREQ(e.SourceFile(), "DOC_AppBuildInfo.cpp");
    EXPECT_NE(std::string(e.what()).find("Encountered Type: D\nExpected Type: A\n"
                                         "Did not read an Application Version Record from the Binary Stream."),
              std::string::npos);
  }
}

TEST(InfoTest, RecordPayloadTooShortIsDamagedLongerIsAccepted) {
  {
    bin::stringstream s(WithRecordD('D', "\x64"s));
    doc::Info_t target = Example(100);
    doc::Info_t::Read(s, target);
    EXPECT_TRUE(s.bad());
    EXPECT_EQ(target.LayoutVersion(), 100);
  }
  {
    bin::stringstream s(WithRecordD('D', "\x69\x00\xAA\xBB\xCC"s));
    doc::Info_t target;
    doc::Info_t::Read(s, target);
    ASSERT_TRUE(s.good());
    EXPECT_EQ(target.DataVersion(), 105);
    EXPECT_EQ(*target.AppName(), "N");
  }
}

TEST(InfoTest, InfoStreamGivesItsSideAndDataVersion) {
  bin::stringstream s;
  doc::InfoStream_t out(static_cast<bin::ostream&>(s), Example());
  EXPECT_FALSE(out.IsInput());
  EXPECT_EQ(out.DataVersion(), 100);
  EXPECT_EQ(&out.Out(), static_cast<bin::ostream*>(&s));
  EXPECT_THROW(out.In(), glo::Assert_t);
  doc::InfoStream_t in(static_cast<bin::istream&>(s), Example());
  EXPECT_TRUE(in.IsInput());
  EXPECT_THROW(in.Out(), glo::Assert_t);
}

}  // namespace
