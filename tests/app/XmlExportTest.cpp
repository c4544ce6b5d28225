// The XML export of a history: the exact document, escaping, segments, and
// failures that leave no partial file.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "app/XmlExport.h"
#include "tests/app/TrainingTestUtil.h"
#include "tests/common/TestEnv.h"

using namespace trtest;

namespace {

app::RunSet_t SmallHistory() {
  app::RunSet_t runs;
  app::LapSet_t laps;
  laps.insert(app::Lap_t(glo::Time_t(kBase), 33050, geo::Position_t(536870912, -1000, 412.5), {}, 1000.5f, 42,
                         std::uint8_t(150)));
  gdb::Track_t track;
  track.AppendPoint(gdb::TrackPoint_t(geo::Position_t(536870912, -1000), glo::Time_t(kBase)));
  track.AppendPoint(gdb::TrackPoint_t(geo::Position_t(-536870912, INT32_MIN, -12.25), {}, 2.5, 17.0));
  runs.insert(app::Run_t(laps, track, "a&b<c>d'e\"f\r\nline2\rline3\nend\x01\x7F tab\t"));
  runs.insert(MakeRun(kBase + 86400, 1, 60));
  return runs;
}

const char kReference[] =
    "<?xml version=\"1.0\" ?>\r\n"
    "\r\n"
    "<History xmlns=\"http://www.vortan.com/xmlschemas/StridemereLogbook\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xsi:schemaLocation=\"http://www.vortan.com/xmlschemas/StridemereLogbook "
    "http://www.vortan.com/xmlschemas/StridemereLogbookv1.xsd\" version=\"1\">\r\n"
    "    <Run>\r\n"
    "        <Notes>a&amp;b&lt;c&gt;d&apos;e&quot;f\r\nline2\r\nline3\r\nend\x7F tab\t</Notes>\r\n"
    "        <Lap>\r\n"
    "            <StartTime>2005-03-07T10:00:00Z</StartTime>\r\n"
    "            <Duration>PT330.500S</Duration>\r\n"
    "            <BeginPosition>\r\n"
    "                <Latitude>45.00000</Latitude>\r\n"
    "                <Longitude>-0.00008</Longitude>\r\n"
    "                <Altitude>412.500</Altitude>\r\n"
    "            </BeginPosition>\r\n"
    "            <Length>1000.500</Length>\r\n"
    "            <Calories>42</Calories>\r\n"
    "        </Lap>\r\n"
    "        <Track>\r\n"
    "            <Trackpoint>\r\n"
    "                <Position>\r\n"
    "                    <Latitude>45.00000</Latitude>\r\n"
    "                    <Longitude>-0.00008</Longitude>\r\n"
    "                </Position>\r\n"
    "                <Time>2005-03-07T10:00:00Z</Time>\r\n"
    "            </Trackpoint>\r\n"
    "            <Trackpoint>\r\n"
    "                <Position>\r\n"
    "                    <Latitude>-45.00000</Latitude>\r\n"
    "                    <Longitude>-180.00000</Longitude>\r\n"
    "                    <Altitude>-12.250</Altitude>\r\n"
    "                </Position>\r\n"
    "                <Depth>2.500</Depth>\r\n"
    "            </Trackpoint>\r\n"
    "        </Track>\r\n"
    "    </Run>\r\n"
    "    <Run>\r\n"
    "        <Notes></Notes>\r\n"
    "        <Lap>\r\n"
    "            <StartTime>2005-03-08T10:00:00Z</StartTime>\r\n"
    "            <Duration>PT60.000S</Duration>\r\n"
    "            <Length>1000.000</Length>\r\n"
    "            <Calories>40</Calories>\r\n"
    "        </Lap>\r\n"
    "    </Run>\r\n"
    "</History>\r\n";

TEST(XmlExport, SmallHistoryEqualsTheReferenceAndIsWellFormed) {
  const std::string path = test::MakeTempDir("xml") + "/history.xml";
  // An earlier file of that name is replaced.
  test::WriteFile(path, "old contents");
  const app::RunSet_t runs = SmallHistory();
  EXPECT_TRUE(app::CanExportXml(runs));
  EXPECT_FALSE(app::CanExportXml(app::RunSet_t()));
  EXPECT_FALSE(app::ExportHistoryXml(path, runs).IsPresent());
  EXPECT_EQ(test::ReadFile(path), kReference);
  EXPECT_EQ(test::XmlLintErrors(path), "");
}

TEST(XmlExport, EscapingAndLineBreaks) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"&<>'\"", "&amp;&lt;&gt;&apos;&quot;"},
      {"plain text", "plain text"},
      {"&amp;", "&amp;amp;"},
      {"a\r\nb\rc\nd\n\re", "a\nb\nc\nd\n\ne"},
      {std::string("x\0y\x1Fz", 5), "xyz"},
      {"\xEF\xBF\xBE\xEF\xBF\xBF\xC3\xA9", "\xC3\xA9"},  // U+FFFE, U+FFFF dropped, é kept
      {"Caf\xE9", "Caf\xC3\xA9"},                         // Windows-1252
  };
  for (const auto& [text, escaped] : cases) EXPECT_EQ(app::EscapeXmlText(text), escaped) << text;
}

TEST(XmlExport, LaterSegmentsSkipTheirRepeatedFirstPoint) {
  app::RunSet_t runs;
  runs.insert(MakeRun(kBase, 1, 600, 120));  // segments of 100 and 21 (one repeated)
  ASSERT_EQ(runs.begin()->GetTrack()->GetSegments().size(), 2u);
  std::ostringstream out;
  app::WriteHistoryXml(out, runs);
  const std::string xml = out.str();
  std::size_t count = 0;
  for (std::size_t at = xml.find("<Trackpoint>"); at != std::string::npos; at = xml.find("<Trackpoint>", at + 1))
    ++count;
  EXPECT_EQ(count, 120u);
}

TEST(XmlExport, FailuresLeaveNoPartialFile) {
  const std::string folder = test::MakeTempDir("xmlfail");
  const app::RunSet_t runs = SmallHistory();

  const auto missingFolder = app::ExportHistoryXml(folder + "/missing/history.xml", runs);
  ASSERT_TRUE(missingFolder.IsPresent());
  EXPECT_EQ(missingFolder->rfind("The history could not be exported.\n", 0), 0u) << *missingFolder;
  EXPECT_GT(missingFolder->size(), std::string("The history could not be exported.\n").size());

  const std::string path = folder + "/history.xml";
  test::WriteFile(path, "previous export");
  app::RunSet_t big;
  for (int k = 0; k < 20; ++k) big.insert(MakeRun(kBase + k * 86400, 2, 600, 400));
  {
    FileSizeLimit limit(32 * 1024);
    EXPECT_TRUE(app::ExportHistoryXml(path, big).IsPresent());
  }
  EXPECT_EQ(test::ReadFile(path), "previous export");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);
}

TEST(XmlExport, ProposedFileIsTheUsersNameInTheLastOrHomeFolder) {
  const struct {
    const char *user, *last, *expected;
  } cases[] = {
      {"anna", "", "/home/x/anna.xml"},
      {"anna", "/data/exports/", "/data/exports/anna.xml"},
      {"", "", "/home/x/History.xml"},
      {"a/b", "", "/home/x/a_b.xml"},
  };
  for (const auto& c : cases) EXPECT_EQ(app::ProposedExportPath(c.user, c.last, "/home/x/"), c.expected) << c.user;
}

}  // namespace
