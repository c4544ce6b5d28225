// The run database file: its bytes, loading and saving, and what happens to
// files that cannot be read.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <vector>

#include "app/DataFile.h"
#include "app/OptionalFields.h"
#include "app/RunDatabase.h"
#include "bin/BIN_record.h"
#include "tests/app/TrainingTestUtil.h"
#include "tests/common/TestEnv.h"
#include "win/WIN_Exception.h"

using namespace trtest;

namespace {

std::string PositionBytes(std::int32_t lat, std::int32_t lon, glo::Optional_t<double> alt) {
  return Le(lat) + Le(lon) + Le<std::uint8_t>(alt.IsPresent() ? 1 : 0) + Le<double>(alt.IsPresent() ? *alt : 0.0);
}

const std::string kAbsentPosition = std::string(18, '\0');

std::string LapBytes(std::int32_t start, std::uint32_t duration, const std::string& begin, const std::string& end,
                     float length, std::uint16_t calories, int heartRate) {
  return Le(start) + Le(duration) + begin + end + Le(length) + Le(calories) +
         Le<std::uint8_t>(heartRate >= 0 ? 1 : 0) + Le<std::uint8_t>(heartRate >= 0 ? heartRate : 0);
}

// An empty track in the track stream: display flag 1, colour 0, no points, no name.
const std::string kEmptyTrack = Le<std::uint8_t>(1) + Le<std::int32_t>(0) + Le<std::int32_t>(0) + Sz("");

std::string SimpleRunBytes(std::int32_t start, int laps = 1) {
  std::string bytes = Le<std::uint32_t>(static_cast<std::uint32_t>(laps));
  for (int k = 0; k < laps; ++k)
    bytes += LapBytes(start + 100 * k, 6000, kAbsentPosition, kAbsentPosition, 1000.0f, 42, -1);
  return bytes + Sz("") + Le<std::uint8_t>(0) + kEmptyTrack;
}

std::string FileOf(const std::vector<std::string>& runs, std::uint32_t count) {
  std::string bytes = HeaderBytes("DlRf") + Le(count);
  for (const auto& r : runs) bytes += r;
  return bytes;
}

class RunDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override { m_path = test::MakeTempDir("rundb") + "/Runner.bin"; }
  std::string m_path;
};

TEST_F(RunDatabaseTest, FileBytesFollowTheLayout) {
  // One lap with a begin position (with altitude), no end, a heart rate;
  // notes; a track of two timed points, the second with a depth.
  app::LapSet_t laps;
  laps.insert(app::Lap_t(glo::Time_t(kBase), 33050, geo::Position_t(536870912, -1000, 412.5), {}, 1609.25f, 321,
                         std::uint8_t(142)));
  gdb::Track_t track;
  track.AppendPoint(gdb::TrackPoint_t(geo::Position_t(536870912, -1000), glo::Time_t(kBase)));
  track.AppendPoint(gdb::TrackPoint_t(geo::Position_t(536871912, -500, 10.0), glo::Time_t(kBase + 10), 2.5));
  app::RunSet_t runs;
  runs.insert(app::Run_t(laps, track, "a<b & c"));
  app::SaveRunDatabase(m_path, runs);

  const std::string lap =
      LapBytes(static_cast<std::int32_t>(kBase), 33050, Le<std::uint8_t>(1) + PositionBytes(536870912, -1000, 412.5),
               kAbsentPosition, 1609.25f, 321, 142);
  ASSERT_EQ(lap.size(), 52u);
  const std::string noValue = Le<std::uint8_t>(0) + Le<double>(0.0);
  const std::string points =
      PositionBytes(536870912, -1000, {}) + Le<std::uint8_t>(1) + Le<std::int32_t>(kBase) + noValue + noValue +
      PositionBytes(536871912, -500, 10.0) + Le<std::uint8_t>(1) + Le<std::int32_t>(kBase + 10) +
      Le<std::uint8_t>(1) + Le<double>(2.5) + noValue;
  const std::string trackBytes = Le<std::uint8_t>(1) + Le<std::int32_t>(0) + Le<std::int32_t>(2) + points + Sz("");
  const std::string expected =
      HeaderBytes("DlRf") + Le<std::uint32_t>(1) + Le<std::uint32_t>(1) + lap + Sz("a<b & c") + Le<std::uint8_t>(1) + trackBytes;
  EXPECT_EQ(test::ReadFile(m_path), expected);

  app::RunSet_t loaded;
  const app::LoadOutcome_t outcome = app::LoadRunDatabase(m_path, loaded);
  EXPECT_EQ(outcome.status, app::LoadOutcome_t::kLoaded);
  ASSERT_EQ(loaded.size(), 1u);
  const app::Run_t& run = *loaded.begin();
  EXPECT_EQ(run.GetNotes(), "a<b & c");
  ASSERT_TRUE(run.GetTrack().IsPresent());
  EXPECT_EQ(run.GetTrack()->GetCount(), 2);
  const app::Lap_t& back = *run.GetLaps().begin();
  EXPECT_EQ(back.GetStart().GetValue(), kBase);
  EXPECT_EQ(back.GetDuration(), 33050u);
  EXPECT_EQ(*back.GetBegin(), geo::Position_t(536870912, -1000, 412.5));
  EXPECT_FALSE(back.GetEnd().IsPresent());
  EXPECT_EQ(back.GetLength(), 1609.25f);
  EXPECT_EQ(back.GetCalories(), 321);
  EXPECT_EQ(*back.GetHeartRate(), 142);
  // The lap's own track is rebuilt from the run track, not stored.
  ASSERT_TRUE(back.GetTrack().IsPresent());
  EXPECT_EQ(back.GetTrack()->GetCount(), 2);
}

TEST_F(RunDatabaseTest, RoundTripKeepsRunsAndRunWithoutTrackHasNone) {
  app::RunSet_t runs;
  runs.insert(MakeRun(kBase, 3, 300, 120, "first"));
  runs.insert(MakeRun(kBase + 86400, 1, 600));
  runs.insert(MakeRun(kBase + 2 * 86400, 2, 200, 250, "Caf\xC3\xA9"));
  app::SaveRunDatabase(m_path, runs);
  app::RunSet_t loaded;
  EXPECT_EQ(app::LoadRunDatabase(m_path, loaded).status, app::LoadOutcome_t::kLoaded);
  ASSERT_EQ(loaded.size(), runs.size());
  for (auto a = runs.begin(), b = loaded.begin(); a != runs.end(); ++a, ++b) {
    EXPECT_EQ(a->GetKey(), b->GetKey());
    EXPECT_EQ(a->GetNotes(), b->GetNotes());
    EXPECT_EQ(a->GetLaps().size(), b->GetLaps().size());
    EXPECT_EQ(a->GetTrack().IsPresent(), b->GetTrack().IsPresent());
    if (a->GetTrack().IsPresent()) {
      EXPECT_EQ(a->GetTrack()->GetCount(), b->GetTrack()->GetCount());
    }
    for (auto la = a->GetLaps().begin(), lb = b->GetLaps().begin(); la != a->GetLaps().end(); ++la, ++lb) {
      EXPECT_EQ(la->GetTrack().IsPresent(), lb->GetTrack().IsPresent());
      if (la->GetTrack().IsPresent()) {
        EXPECT_EQ(la->GetTrack()->GetCount(), lb->GetTrack()->GetCount());
      }
    }
  }
  // Saving what was loaded gives the same bytes.
  const std::string first = test::ReadFile(m_path);
  app::SaveRunDatabase(m_path, loaded);
  EXPECT_EQ(test::ReadFile(m_path), first);
}

TEST_F(RunDatabaseTest, MissingFileLoadsNothingAndNotesInWindows1252AreConverted) {
  app::RunSet_t runs;
  EXPECT_EQ(app::LoadRunDatabase(m_path, runs).status, app::LoadOutcome_t::kMissing);
  EXPECT_TRUE(runs.empty());

  std::string run = SimpleRunBytes(kBase);
  run.replace(4 + 52, 1, Sz("Caf\xE9 \x80"));
  test::WriteFile(m_path, FileOf({run}, 1));
  EXPECT_EQ(app::LoadRunDatabase(m_path, runs).status, app::LoadOutcome_t::kLoaded);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs.begin()->GetNotes(), "Caf\xC3\xA9 \xE2\x82\xAC");
}

TEST_F(RunDatabaseTest, DamagedFilesAreMovedAsideKeepingWhatWasRead) {
  const std::string r1 = SimpleRunBytes(kBase), r2 = SimpleRunBytes(kBase + 1000, 2), r3 = SimpleRunBytes(kBase + 2000);
  const std::string good = FileOf({r1, r2, r3}, 3);
  const std::size_t header = HeaderBytes("DlRf").size();
  const std::size_t run3 = good.size() - r3.size();
  auto withLap2Start = [&](std::int32_t start) {
    std::string r = r2;
    r.replace(4, 4, Le(start));
    return FileOf({r1, r, r3}, 3);
  };
  std::string garbageAbsent = r1;  // an absent position's bytes are not looked at
  garbageAbsent.replace(4 + 8 + 1, 4, Le<std::int32_t>(0x7FFFFFFF));
  std::string recordType = good;
  recordType[10] = 'X';
  std::string hugePoints = r3;
  hugePoints.replace(hugePoints.size() - kEmptyTrack.size() + 5, 4, Le<std::int32_t>(0x7FFFFFFF));

  struct Case {
    const char* name;
    std::string bytes;
    app::LoadOutcome_t::Status_t status;
    std::size_t runsKept;
  };
  const std::vector<Case> cases = {
      {"empty file", "", app::LoadOutcome_t::kUnreadable, 0},
      {"cut in the header", good.substr(0, 15), app::LoadOutcome_t::kUnreadable, 0},
      {"cut in the run count", good.substr(0, header + 2), app::LoadOutcome_t::kUnreadable, 0},
      {"cut in a lap", good.substr(0, run3 + 30), app::LoadOutcome_t::kUnreadable, 2},
      {"cut in the notes", good.substr(0, run3 + 56), app::LoadOutcome_t::kUnreadable, 2},
      {"cut before the track flag", good.substr(0, run3 + 57), app::LoadOutcome_t::kUnreadable, 2},
      {"cut in the track", good.substr(0, good.size() - 3), app::LoadOutcome_t::kUnreadable, 2},
      {"wrong tag", "LnRf" + good.substr(4), app::LoadOutcome_t::kUnreadable, 0},
      {"wrong record type", recordType, app::LoadOutcome_t::kUnreadable, 0},
      {"newer layout", HeaderBytes("DlRf", 102, 100) + good.substr(header), app::LoadOutcome_t::kNewer, 0},
      {"newer data", HeaderBytes("DlRf", 101, 101) + good.substr(header), app::LoadOutcome_t::kNewer, 0},
      {"negative lap start", withLap2Start(-5), app::LoadOutcome_t::kUnreadable, 1},
      {"zero laps", FileOf({r1, Le<std::uint32_t>(0) + r2.substr(4 + 2 * 52), r3}, 3),
       app::LoadOutcome_t::kUnreadable, 1},
      {"repeated key: the first is kept, the load goes on", FileOf({r1, r1, r3}, 3), app::LoadOutcome_t::kLoaded, 2},
      {"huge run count", FileOf({r1, r2, r3}, 0xFFFFFFFFu), app::LoadOutcome_t::kUnreadable, 3},
      {"huge lap count", FileOf({r1, Le<std::uint32_t>(0xFFFFFFF0u) + r2.substr(4), r3}, 3),
       app::LoadOutcome_t::kUnreadable, 1},
      {"huge point count", FileOf({r1, r2, hugePoints}, 3), app::LoadOutcome_t::kUnreadable, 2},
      {"garbage in an absent position", FileOf({garbageAbsent}, 1), app::LoadOutcome_t::kLoaded, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string folder = test::MakeTempDir("damaged");
    const std::string path = folder + "/Runner.bin";
    test::WriteFile(path, c.bytes);
    app::RunSet_t runs;
    const app::LoadOutcome_t outcome = app::LoadRunDatabase(path, runs);
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(runs.size(), c.runsKept);
    if (c.status == app::LoadOutcome_t::kLoaded) continue;
    EXPECT_EQ(outcome.messageId, c.status == app::LoadOutcome_t::kNewer ? 178 : 177);
    EXPECT_EQ(outcome.backupPath, path + ".001");
    EXPECT_FALSE(app::FileExists(path));
    EXPECT_EQ(test::ReadFile(path + ".001"), c.bytes);
    // The next save writes a new file under the normal name.
    app::SaveRunDatabase(path, runs);
    app::RunSet_t again;
    EXPECT_EQ(app::LoadRunDatabase(path, again).status, app::LoadOutcome_t::kLoaded);
    EXPECT_EQ(again.size(), c.runsKept);
  }
}

TEST_F(RunDatabaseTest, BackupTakesTheFirstFreeNumber) {
  test::WriteFile(m_path + ".001", "one");
  test::WriteFile(m_path + ".002", "two");
  test::WriteFile(m_path, "bad");
  app::RunSet_t runs;
  EXPECT_EQ(app::LoadRunDatabase(m_path, runs).backupPath, m_path + ".003");
  EXPECT_EQ(test::ReadFile(m_path + ".001"), "one");
  EXPECT_EQ(test::ReadFile(m_path + ".003"), "bad");
}

TEST_F(RunDatabaseTest, UnreadableFileThatCannotBeMovedIsNeverWrittenOver) {
  // A name so long that no backup name fits in the folder.
  const std::string path = test::MakeTempDir("long") + "/" + std::string(248, 'r') + ".bin";
  test::WriteFile(path, "damaged");
  app::RunSet_t runs;
  EXPECT_THROW(app::LoadRunDatabase(path, runs), win::Error_t);
  EXPECT_TRUE(app::IsSaveBarred(path));
  EXPECT_THROW(app::SaveRunDatabase(path, runs), app::SaveRefused_t);
  EXPECT_EQ(test::ReadFile(path), "damaged");
}

TEST_F(RunDatabaseTest, SaveThatFailsHalfWayLeavesThePreviousFile) {
  app::RunSet_t runs;
  runs.insert(MakeRun(kBase, 2, 300, 50));
  app::SaveRunDatabase(m_path, runs);
  const std::string before = test::ReadFile(m_path);
  for (int k = 1; k < 40; ++k) runs.insert(MakeRun(kBase + k * 86400, 3, 300, 400));
  {
    FileSizeLimit limit(64 * 1024);
    EXPECT_THROW(app::SaveRunDatabase(m_path, runs), win::Error_t);
  }
  EXPECT_EQ(test::ReadFile(m_path), before);
  // No temporary file is left behind.
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(m_path.substr(0, m_path.rfind('/')))) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1u);
}

}  // namespace
