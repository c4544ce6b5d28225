#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <locale>
#include <memory>
#include <sstream>
#include <streambuf>
#include <string>

#include "glo/GLO_Exception.h"
#include "glo/GLO_XmlStream.h"
#include "tests/common/TestEnv.h"

namespace {

const std::string kHistoryStart =
    "<?xml version=\"1.0\" ?>\n"
    "\n"
    "<History xmlns=\"http://www.vortan.com/xmlschemas/StridemereLogbook\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xsi:schemaLocation=\"http://www.vortan.com/xmlschemas/StridemereLogbook "
    "http://www.vortan.com/xmlschemas/StridemereLogbookv1.xsd\" version=\"1\">\n";

// What the XML parser says of the text; empty when it is well-formed.
std::string XmlLintErrors(const std::string& xml) {
  const std::string path = test::MakeTempDir("xml") + "/doc.xml";
  test::WriteFile(path, xml);
  return test::XmlLintErrors(path);
}

TEST(XmlStream, HistoryDocumentIsByteExactAndWellFormed) {
  std::ostringstream out;
  glo::XmlStream_t xml(out);
  {
    glo::XmlTopTag_t root(xml, "History", "StridemereLogbook", "1");
    glo::XmlComplexTag_t run(xml, "Run");
    glo::XmlSimpleTag_t notes(xml, "Notes");
    out << "abc";
  }
  EXPECT_EQ(out.str(), kHistoryStart +
                           "    <Run>\n"
                           "        <Notes>abc</Notes>\n"
                           "    </Run>\n"
                           "</History>\n");
  EXPECT_EQ(xml.depth, 0);
  EXPECT_EQ(XmlLintErrors(out.str()), "");
}

TEST(XmlStream, ValueElementsAndDeepNestingAreWellFormed) {
  std::ostringstream out;
  glo::XmlStream_t xml(out);
  {
    glo::XmlTopTag_t root(xml, "History", "StridemereLogbook", "1");
    glo::XmlComplexTag_t run(xml, "Run");
    glo::XmlComplexTag_t lap(xml, "Lap");
    glo::WriteXmlTime(xml, "StartTime", glo::Time_t(2004, 9, 24, 13, 50, 34));
    glo::WriteXmlDuration(xml, "Duration", glo::TimeSpan_t(1234.5));
    {
      glo::XmlComplexTag_t pos(xml, "BeginPosition");
      glo::WriteXmlCoordinate(xml, "Latitude", 1 << 30);
      glo::WriteXmlCoordinate(xml, "Longitude", -1460966292);
    }
    { glo::XmlSimpleTag_t empty(xml, "Notes"); }
  }
  EXPECT_EQ(out.str(), kHistoryStart +
                           "    <Run>\n"
                           "        <Lap>\n"
                           "            <StartTime>2004-09-24T13:50:34Z</StartTime>\n"
                           "            <Duration>PT1234.500S</Duration>\n"
                           "            <BeginPosition>\n"
                           "                <Latitude>90.00000</Latitude>\n"
                           "                <Longitude>-122.45678</Longitude>\n"
                           "            </BeginPosition>\n"
                           "            <Notes></Notes>\n"
                           "        </Lap>\n"
                           "    </Run>\n"
                           "</History>\n");
  EXPECT_EQ(XmlLintErrors(out.str()), "");
}

TEST(XmlStream, TextIsWrittenUnchanged) {
  std::ostringstream out;
  glo::XmlStream_t xml(out);
  xml.depth = 2;
  {
    glo::XmlSimpleTag_t tag(xml, "Notes");
    out << "a<b & c";
  }
  EXPECT_EQ(out.str(), "        <Notes>a<b & c</Notes>\n");
  EXPECT_EQ(xml.depth, 2);
}

std::string Value(void (*write)(glo::XmlStream_t&)) {
  std::ostringstream out;
  glo::XmlStream_t xml(out);
  write(xml);
  return out.str();
}

std::string DurationText(double seconds) {
  std::ostringstream out;
  glo::XmlStream_t xml(out);
  glo::WriteXmlDuration(xml, "D", glo::TimeSpan_t(seconds));
  return out.str();
}

TEST(XmlStream, ValueForms) {
  struct Case {
    void (*write)(glo::XmlStream_t&);
    const char* expected;
  } cases[] = {
      {[](glo::XmlStream_t& x) { glo::WriteXmlTime(x, "T", glo::Time_t(0)); }, "<T>1970-01-01T00:00:00Z</T>\n"},
      {[](glo::XmlStream_t& x) { glo::WriteXmlTime(x, "T", glo::Time_t(2147483647)); },
       "<T>2038-01-19T03:14:07Z</T>\n"},
      {[](glo::XmlStream_t& x) { glo::WriteXmlTime(x, "T", glo::Time_t(2005, 3, 7, 6, 5, 9)); },
       "<T>2005-03-07T06:05:09Z</T>\n"},
      {[](glo::XmlStream_t& x) { glo::WriteXmlDuration(x, "D", glo::TimeSpan_t(-90.25)); }, "<D>-PT90.250S</D>\n"},
      {[](glo::XmlStream_t& x) { glo::WriteXmlDuration(x, "D", glo::TimeSpan_t(0.0)); }, "<D>PT0.000S</D>\n"},
      {[](glo::XmlStream_t& x) { glo::WriteXmlDuration(x, "D", glo::TimeSpan_t(0.0005)); }, "<D>PT0.001S</D>\n"},
      {[](glo::XmlStream_t& x) { glo::WriteXmlCoordinate(x, "C", 1 << 30); }, "<C>90.00000</C>\n"},
      {[](glo::XmlStream_t& x) { glo::WriteXmlCoordinate(x, "C", INT32_MIN); }, "<C>-180.00000</C>\n"},
      {[](glo::XmlStream_t& x) { glo::WriteXmlCoordinate(x, "C", 0); }, "<C>0.00000</C>\n"},
      {[](glo::XmlStream_t& x) { glo::WriteXmlCoordinate(x, "C", 596523235); }, "<C>50.00000</C>\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(Value(c.write), c.expected);
}

TEST(XmlStream, NumbersRoundAsFixedNotationDoes) {
  for (const double seconds : {1e300, -2.0005, 0.0015, 86399.9995, 123456789.125}) {
    char expected[400];
    std::snprintf(expected, sizeof expected, "<D>%sPT%.3fS</D>\n", seconds < 0 ? "-" : "", seconds < 0 ? -seconds : seconds);
    EXPECT_EQ(DurationText(seconds), expected);
  }
}

TEST(XmlStream, DeepElementsAreIndentedFourSpacesPerLevel) {
  std::ostringstream out;
  glo::XmlStream_t xml(out);
  xml.depth = 21;
  { glo::XmlSimpleTag_t tag(xml, "S"); }
  EXPECT_EQ(out.str(), std::string(84, ' ') + "<S></S>\n");
}

TEST(XmlStream, ValueFormatStaysOnTheStream) {
  std::ostringstream out;
  glo::XmlStream_t xml(out);
  glo::WriteXmlCoordinate(xml, "C", 0);
  out << 1.5 << '|';
  glo::WriteXmlDuration(xml, "D", glo::TimeSpan_t(1.0));
  out << 2.25 << '|';
  glo::WriteXmlTime(xml, "T", glo::Time_t(0));
  out << std::setw(3) << 7;
  EXPECT_EQ(out.str(), "<C>0.00000</C>\n1.50000|<D>PT1.000S</D>\n2.250|<T>1970-01-01T00:00:00Z</T>\n007");
}

// A locale that writes numbers the continental way, with digit grouping.
struct CommaPunct : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

TEST(XmlStream, NumbersIgnoreTheStreamLocale) {
  std::ostringstream out;
  out.imbue(std::locale(std::locale::classic(), new CommaPunct));
  glo::XmlStream_t xml(out);
  glo::WriteXmlTime(xml, "T", glo::Time_t(2004, 9, 24, 13, 50, 34));
  glo::WriteXmlDuration(xml, "D", glo::TimeSpan_t(-1234.5));
  glo::WriteXmlCoordinate(xml, "C", -1460966292);
  EXPECT_EQ(out.str(), "<T>2004-09-24T13:50:34Z</T>\n<D>-PT1234.500S</D>\n<C>-122.45678</C>\n");
}

TEST(XmlStream, RootInsideAnotherElementIsRefusedAndWritesNothing) {
  std::ostringstream out;
  glo::XmlStream_t xml(out);
  xml.depth = 1;
  EXPECT_THROW(glo::XmlTopTag_t(xml, "History", "StridemereLogbook", "1"), glo::Assert_t);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(xml.depth, 1);
}

TEST(XmlStream, RootEndedWhileElementsAreOpenLosesItsEndTagOnly) {
  std::ostringstream out;
  glo::XmlStream_t xml(out);
  auto root = std::make_unique<glo::XmlTopTag_t>(xml, "R", "S", "2");
  auto child = std::make_unique<glo::XmlComplexTag_t>(xml, "C");
  out.str("");
  EXPECT_NO_THROW(root.reset());
  EXPECT_EQ(out.str(), "");
  child.reset();
  EXPECT_EQ(out.str(), "</C>\n");
}

// A buffer that refuses every byte once it is told to fail.
struct FailingBuf : std::stringbuf {
  bool failing = false;
  int_type overflow(int_type c) override { return failing ? traits_type::eof() : std::stringbuf::overflow(c); }
  std::streamsize xsputn(const char* s, std::streamsize n) override { return failing ? 0 : std::stringbuf::xsputn(s, n); }
};

TEST(XmlStream, StreamFailuresNeverEscapeAnEndTag) {
  FailingBuf buf;
  std::ostream out(&buf);
  glo::XmlStream_t xml(out);
  EXPECT_NO_THROW({
    glo::XmlTopTag_t root(xml, "R", "S", "1");
    glo::XmlComplexTag_t complex(xml, "C");
    glo::XmlSimpleTag_t simple(xml, "S");
    buf.failing = true;
    out.exceptions(std::ios::badbit);
  });
  EXPECT_TRUE(out.bad());
  EXPECT_EQ(xml.depth, 0);
}

}  // namespace
