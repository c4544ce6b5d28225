// The laps of a transfer grouped into runs with their tracks, against the runs
// the document holds already.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/RunImport.h"
#include "tests/app/TrainingTestUtil.h"
#include "tools/SimLaps.h"

namespace {

// Device time of the first lap; every lap lasts a minute.
constexpr std::uint32_t kDevice = 500000000u;
constexpr std::int64_t kUnix = kDevice + 631065600;

struct LapIn {
  int minute;  // start, minutes after the first
  int index;   // the track index the lap carries
};

struct StoredRun {
  int minute;
  int laps;
  const char* track;  // name of its track, null for none
  const char* notes;
};

struct RunOut {
  int minute;
  std::size_t laps;
  const char* track;  // null: none
  const char* notes;
};

app::LapPacket_t Packet(const LapIn& in) {
  sim::SimLap lap;
  lap.start = kDevice + static_cast<std::uint32_t>(in.minute) * 60;
  lap.duration = 6000;
  lap.distance = 250.0f;
  lap.trackIndex = static_cast<std::uint8_t>(in.index);
  const sim::Bytes bytes = sim::EncodeLap(lap);
  app::LapPacket_t packet;
  packet.Decode(iol::Frame_t(app::LapPacket_t::kId, std::vector<std::uint8_t>(bytes.begin(), bytes.end())));
  return packet;
}

gdb::Track_t NamedTrack(const std::string& name, int minute) {
  gdb::Track_t track = trtest::MakeTrack(kUnix + minute * 60, 6, 10);
  track.SetName(name);
  return track;
}

TEST(RunImport, GroupsLapsIntoRuns) {
  struct Case {
    const char* name;
    std::vector<LapIn> laps;
    std::vector<const char*> tracks;  // downloaded, named by index
    std::vector<StoredRun> stored;
    std::vector<RunOut> runs;
    int replaced;  // minute of the replaced run's key, -1 for none
    std::vector<std::string> left;  // tracks still in the database
  };
  const std::vector<Case> cases = {
      {"two runs, one with its track and one without",
       {{0, 255}, {1, 255}, {2, 3}, {10, 255}, {11, 254}},
       {"3", "5"},
       {},
       {{0, 3, "3", ""}, {10, 2, nullptr, ""}},
       -1,
       {"5"}},
      {"253 also ends a run without track", {{0, 255}, {1, 253}}, {}, {}, {{0, 2, nullptr, ""}}, -1, {}},
      {"an open run takes the one track left", {{0, 255}, {1, 255}}, {"7"}, {}, {{0, 2, "7", ""}}, -1, {"7"}},
      {"an open run replaces the stored run and keeps its notes",
       {{0, 255}, {1, 255}},
       {"7"},
       {{0, 2, "old", "windy"}},
       {{0, 2, "7", "windy"}},
       0,
       {"7"}},
      {"an open run with two tracks left keeps the stored run's track",
       {{0, 255}, {1, 255}},
       {"7", "8"},
       {{0, 1, "old", "windy"}},
       {{0, 2, "old", "windy"}},
       0,
       {"7", "8"}},
      {"an open run with two tracks left and nothing stored has no track",
       {{0, 255}, {1, 255}},
       {"7", "8"},
       {},
       {{0, 2, nullptr, ""}},
       -1,
       {"7", "8"}},
      {"a known run is skipped and its track still taken",
       {{0, 255}, {1, 4}, {10, 6}},
       {"4", "6"},
       {{0, 2, "4", "kept"}},
       {{10, 1, "6", ""}},
       -1,
       {}},
      {"a run open at the last transfer and now complete replaces it",
       {{0, 255}, {1, 255}, {2, 4}},
       {"4"},
       {{0, 2, nullptr, "first half"}},
       {{0, 3, "4", "first half"}},
       0,
       {}},
      {"a lap naming a track not downloaded gives its run none",
       {{0, 255}, {1, 9}, {10, 4}},
       {"4"},
       {},
       {{0, 2, nullptr, ""}, {10, 1, "4", ""}},
       -1,
       {}},
      {"a completed run without its track keeps the replaced run's",
       {{0, 255}, {1, 255}, {2, 9}},
       {},
       {{0, 2, "old", "n"}},
       {{0, 3, "old", "n"}},
       0,
       {}},
      {"no laps", {}, {"4"}, {{0, 2, nullptr, ""}}, {}, -1, {"4"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<app::LapPacket_t> laps;
    for (const LapIn& in : c.laps) laps.push_back(Packet(in));
    gdb::Database_t tracks(gdb::Name_t(), 3);
    int minute = 0;
    for (const char* name : c.tracks) tracks.InsertTrack(gdb::TrackId_t(gdb::Name_t(name)), NamedTrack(name, minute++));
    app::RunSet_t stored;
    for (const StoredRun& s : c.stored) {
      app::LapSet_t set;
      for (int k = 0; k < s.laps; ++k) set.insert(trtest::MakeLap(kUnix + (s.minute + k) * 60));
      glo::Optional_t<gdb::Track_t> track;
      if (s.track) track = NamedTrack(s.track, s.minute);
      stored.insert(app::Run_t(set, track, s.notes));
    }

    const app::ImportedRuns_t result = app::GroupLapsIntoRuns(laps, tracks, stored);

    ASSERT_EQ(result.runs.size(), c.runs.size());
    auto run = result.runs.begin();
    for (const RunOut& expected : c.runs) {
      EXPECT_EQ(run->GetKey().GetValue(), kUnix + expected.minute * 60);
      EXPECT_EQ(run->GetLaps().size(), expected.laps);
      EXPECT_EQ(run->GetTrack().IsPresent(), expected.track != nullptr);
      if (expected.track && run->GetTrack().IsPresent()) {
        EXPECT_EQ(run->GetTrack().Value().GetName(), expected.track);
      }
      EXPECT_EQ(run->GetNotes(), expected.notes);
      ++run;
    }
    EXPECT_EQ(result.replaced.IsPresent(), c.replaced >= 0);
    if (c.replaced >= 0 && result.replaced.IsPresent()) {
      EXPECT_EQ(result.replaced.Value().GetKey().GetValue(), kUnix + c.replaced * 60);
    }
    std::vector<std::string> left;
    for (const auto& entry : tracks.GetTracks()) left.push_back(entry.first.Text());
    EXPECT_EQ(left, c.left);
  }
}

TEST(RunImport, FindTrackIgnoresCaseAndTrailingBlanks) {
  gdb::Database_t tracks(gdb::Name_t(), 3);
  tracks.InsertTrack(gdb::TrackId_t(gdb::Name_t("Run A")), gdb::Track_t());
  tracks.InsertTrack(gdb::TrackId_t(gdb::Name_t("7")), gdb::Track_t());
  EXPECT_EQ(app::FindTrack(tracks, "run a  ")->first.Text(), "Run A");
  EXPECT_EQ(app::FindTrack(tracks, "7 ")->first.Text(), "7");
  EXPECT_EQ(app::FindTrack(tracks, "8"), tracks.GetTracks().end());
}

}  // namespace
