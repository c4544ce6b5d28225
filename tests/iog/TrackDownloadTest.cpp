// The track download over a pseudo-terminal with the simulated watch at its far
// end: every protocol, the naming of the tracks, the progress, a stop request,
// and the faults of a unit, each compared field by field with what the watch
// served.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <thread>
#include <typeinfo>
#include <vector>

#include "gdb/GDB_Database.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_Time.h"
#include "ioa/IOA_Channel.h"
#include "ioa/IOA_DeviceValue.h"
#include "iog/IOG_Channel.h"
#include "ios/IOS_SerialLink.h"
#include "thr/THR_Event.h"
#include "thr/THR_Progress.h"
#include "tests/common/TestEnv.h"
#include "tools/SimTrackLog.h"

namespace {

using namespace std::chrono_literals;
using Progress = thr::PhasedProgress_t<ioa::Phase_t>;

// A point of the watch's log, with every field the type can carry set on some
// points and absent on others.
sim::SimTrackPoint MakePoint(int i, std::uint8_t flag = 0) {
  sim::SimTrackPoint p;
  p.latitude = 500000000 + i * 1017;
  p.longitude = -20000000 - i * 733;
  p.time = 1000000000u + static_cast<std::uint32_t>(i) * 5u;
  if (i % 7 == 3) p.time = 0;  // no time
  if (i % 5 != 2) p.altitude = 100.25f + static_cast<float>(i);
  if (i % 3 != 1) p.depth = 0.5f * static_cast<float>(i);
  if (i % 4 != 0) p.temperature = 20.0f - 0.125f * static_cast<float>(i);
  p.newTrack = flag;
  return p;
}

std::vector<sim::SimTrackPoint> MakePoints(int first, int count) {
  std::vector<sim::SimTrackPoint> points;
  for (int i = 0; i < count; ++i) points.push_back(MakePoint(first + i));
  return points;
}

sim::SimTrack MakeTrack(const std::string& name, int first, int count, std::uint8_t color = 255) {
  sim::SimTrack t;
  t.name = name;
  t.color = color;
  t.points = MakePoints(first, count);
  return t;
}

// What the program must hold for a point of the given data type.
void ExpectPoint(const gdb::TrackPoint_t& got, const sim::SimTrackPoint& sent, std::uint16_t type,
                 const std::string& where) {
  SCOPED_TRACE(where);
  EXPECT_EQ(got.GetPosition().GetLatitude(), sent.latitude);
  EXPECT_EQ(got.GetPosition().GetLongitude(), sent.longitude);
  const auto expectFloat = [](const glo::Optional_t<double>& value, const std::optional<float>& sentValue,
                              bool carried, const char* field) {
    if (!carried || !sentValue) {
      EXPECT_FALSE(value.IsPresent()) << field;
    } else {
      ASSERT_TRUE(value.IsPresent()) << field;
      EXPECT_EQ(*value, static_cast<double>(*sentValue)) << field;
    }
  };
  expectFloat(got.GetPosition().GetAltitude(), sent.altitude, type >= 301, "altitude");
  expectFloat(got.GetDepth(), sent.depth, type >= 301, "depth");
  expectFloat(got.GetTemperature(), sent.temperature, type == 302, "temperature");
  const glo::Optional_t<glo::Time_t> time = ioa::DeviceTimeToTime(sent.time);
  ASSERT_EQ(got.GetTime().IsPresent(), time.IsPresent());
  if (time.IsPresent()) {
    EXPECT_EQ(got.GetTime()->GetValue(), time->GetValue());
  }
}

struct ExpectedTrack {
  std::string name;
  std::vector<sim::SimTrackPoint> points;
  std::uint8_t display = 1;
  int color = gdb::Color_Default;
};

void ExpectTracks(const gdb::Database_t& db, const std::vector<ExpectedTrack>& expected, std::uint16_t type) {
  ASSERT_EQ(db.GetTracks().size(), expected.size());
  for (const ExpectedTrack& e : expected) {
    const auto it = db.GetTracks().find(gdb::TrackId_t(gdb::Name_t(e.name)));
    ASSERT_NE(it, db.GetTracks().end()) << "no track " << e.name;
    EXPECT_EQ(it->first.Text(), e.name);
    const gdb::Track_t& track = it->second;
    ASSERT_EQ(track.GetCount(), static_cast<std::int32_t>(e.points.size())) << e.name;
    EXPECT_EQ(track.GetDisplayFlag(), e.display) << e.name;
    EXPECT_EQ(track.GetColor(), e.color) << e.name;
    std::size_t i = 0;
    for (const gdb::TrackPoint_t& point : track) {
      ExpectPoint(point, e.points[i], type, e.name + " point " + std::to_string(i));
      ++i;
    }
  }
}

std::vector<sim::SimTrackPoint> Slice(const std::vector<sim::SimTrackPoint>& points, std::size_t from, std::size_t to) {
  return std::vector<sim::SimTrackPoint>(points.begin() + static_cast<std::ptrdiff_t>(from),
                                         points.begin() + static_cast<std::ptrdiff_t>(to));
}

class TrackDownload : public ::testing::Test {
 protected:
  // Starts a watch serving the log.
  sim::TrackLogWatch_t& Serve(const sim::TrackLog& log, const sim::TrackLogFaults& faults = sim::TrackLogFaults()) {
    m_watch = std::make_unique<sim::TrackLogWatch_t>(log);
    m_watch->SetFaults(faults);
    return *m_watch;
  }

  // Negotiates and downloads into db; rethrows what the download threw.
  void Download() {
    ios::SerialLink_t link(stop, m_watch->PortPath(), 9600);
    iog::Channel_t channel(link);
    channel.EnableA302();
    channel.DownloadTracks(*db, progress);
  }

  thr::Event_t stop{nullptr, true, false, nullptr};
  std::unique_ptr<gdb::Database_t> db = std::make_unique<gdb::Database_t>();
  Progress progress{0, ioa::kPhaseStarted, 0};

 private:
  std::unique_ptr<sim::TrackLogWatch_t> m_watch;
};

TEST_F(TrackDownload, A300SplitsTheLogAtNewTrackFlags) {
  // 200 points, flagged at points 1, 50 and 120.
  sim::TrackLog log;
  log.protocol = sim::TrackProtocol::kA300;
  log.pointType = 301;
  sim::SimTrack all;
  all.points = MakePoints(0, 200);
  all.points[0].newTrack = 1;
  all.points[49].newTrack = 1;
  all.points[119].newTrack = 0xFF;
  log.tracks.push_back(all);
  Serve(log);

  Download();
  ExpectTracks(*db,
               {{"Track 001", Slice(all.points, 0, 49)},
                {"Track 002", Slice(all.points, 49, 119)},
                {"Track 003", Slice(all.points, 119, 200)}},
               301);
  EXPECT_EQ(progress.GetPhase(), ioa::kPhaseTracks);
  EXPECT_EQ(progress.GetRange(), 200u);
  EXPECT_EQ(progress.GetPos(), 200u);
}

TEST_F(TrackDownload, A300EmptyLog) {
  sim::TrackLog log;
  log.protocol = sim::TrackProtocol::kA300;
  log.pointType = 300;
  Serve(log);
  Download();
  EXPECT_TRUE(db->GetTracks().empty());
  EXPECT_EQ(progress.GetPhase(), ioa::kPhaseTracks);
  EXPECT_EQ(progress.GetRange(), 0u);
}

TEST_F(TrackDownload, A301NamesTracksUniquely) {
  sim::TrackLog log;
  log.protocol = sim::TrackProtocol::kA301;
  log.headerType = 310;
  log.pointType = 301;
  log.tracks = {MakeTrack("RUN", 0, 3, 0), MakeTrack("", 10, 2, 9), MakeTrack("RUN", 20, 2),
                MakeTrack("Nothing", 30, 0), MakeTrack("RUN", 40, 4, 16)};
  log.tracks[1].display = 0;
  log.tracks[4].points[2].newTrack = 1;  // a flag in the middle splits the track
  log.tracks[2].points[0].newTrack = 1;  // a flag right after a header begins nothing new
  Serve(log);

  Download();
  const auto& t = log.tracks;
  ExpectTracks(*db,
               {{"RUN", t[0].points, 1, gdb::Color_Black},
                {"Track", t[1].points, 0, gdb::Color_Red},
                {"RUN 001", t[2].points},
                {"RUN 002", Slice(t[4].points, 0, 2), 1, gdb::Color_Transparent},
                {"RUN 003", Slice(t[4].points, 2, 4), 1, gdb::Color_Transparent}},
               301);
  EXPECT_EQ(progress.GetPos(), 16u);  // 5 headers and 11 points
  EXPECT_EQ(progress.GetRange(), 16u);
  // Each track keeps the unit's identifier as its own name.
  const struct {
    const char* key;
    const char* name;
  } names[] = {{"RUN", "RUN"}, {"Track", "Track"}, {"RUN 001", "RUN"}, {"RUN 002", "RUN"}, {"RUN 003", "RUN"}};
  for (const auto& n : names) EXPECT_EQ(n.name, db->GetTracks().at(gdb::TrackId_t(gdb::Name_t(n.key))).GetName());
}

TEST_F(TrackDownload, A302KeepsATrackWholeAcrossANewTrackFlag) {
  sim::TrackLog log;
  log.protocol = sim::TrackProtocol::kA302;
  log.headerType = 311;
  log.pointType = 302;
  log.tracks = {MakeTrack("", 0, 3), MakeTrack("", 10, 5), MakeTrack("", 20, 2)};
  log.tracks[0].index = 0;
  log.tracks[1].index = 5;
  log.tracks[2].index = 1;
  log.tracks[1].points[2].newTrack = 1;
  Serve(log);

  Download();
  const auto& t = log.tracks;
  // The run whose laps name index 5 gets all five points.
  ExpectTracks(*db, {{"0", t[0].points}, {"5", t[1].points}, {"1", t[2].points}}, 302);
}

TEST_F(TrackDownload, NamesThatAreNotValidTextAreCutAndStoredLast) {
  for (const sim::TrackProtocol protocol : {sim::TrackProtocol::kA301, sim::TrackProtocol::kA302}) {
    SCOPED_TRACE(protocol == sim::TrackProtocol::kA301 ? "A301" : "A302");
    db = std::make_unique<gdb::Database_t>();
    sim::TrackLog log;
    log.protocol = protocol;
    log.headerType = 310;
    log.pointType = 300;
    // 0x81 is no character of the watch's code page.
    log.tracks = {MakeTrack("x", 0, 2), MakeTrack("Easy", 10, 3), MakeTrack("Hill", 20, 2)};
    log.tracks[0].rawName = sim::Bytes{'E', 'a', 's', 'y', ' ', 0x81, 'Z'};
    log.tracks[2].rawName = sim::Bytes{'H', 'i', 'l', 'l', 0xE9};  // e-acute: valid text
    Serve(log);

    Download();
    const auto& t = log.tracks;
    ExpectTracks(*db,
                 {{"Easy", t[1].points}, {"Hill\xC3\xA9", t[2].points}, {"Easy 001", t[0].points}}, 300);
    if (protocol == sim::TrackProtocol::kA301) {
      EXPECT_EQ("Easy ", db->GetTracks().at(gdb::TrackId_t(gdb::Name_t("Easy 001"))).GetName());
    }
  }
}

// A process started with no locale, or the "C" locale, in its environment still
// keeps a name with a character beyond ASCII whole.
TEST_F(TrackDownload, NamesStayWholeWhateverTheProcessLocale) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (const char* lang : {static_cast<const char*>(nullptr), "C"}) {
    SCOPED_TRACE(lang ? lang : "(unset)");
    const test::EnvOverride all("LC_ALL", nullptr);
    const test::EnvOverride ctype("LC_CTYPE", nullptr);
    const test::EnvOverride language("LANG", lang);
    // The child starts like any test process, from this environment.
    EXPECT_EXIT(
        {
          sim::TrackLog log;
          log.protocol = sim::TrackProtocol::kA301;
          log.headerType = 310;
          log.pointType = 301;
          log.tracks = {MakeTrack("Caf\xC3\xA9", 0, 2)};
          Serve(log);
          Download();
          const auto found = db->GetTracks().find(gdb::TrackId_t(gdb::Name_t("Caf\xC3\xA9")));
          const bool whole = db->GetTracks().size() == 1 && found != db->GetTracks().end() &&
                             found->second.GetName() == "Caf\xC3\xA9";
          if (!whole) std::fprintf(stderr, "name not kept whole\n");
          std::fflush(stderr);
          std::_Exit(whole ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
  }
}

TEST_F(TrackDownload, StopRequestEndsTheDownload) {
  sim::TrackLog log;
  log.protocol = sim::TrackProtocol::kA300;
  log.pointType = 300;
  sim::SimTrack all;
  all.points = MakePoints(0, 400);
  log.tracks.push_back(all);
  sim::TrackLogWatch_t& watch = Serve(log);
  watch.SetThrottle(960);

  std::thread stopper([&] {
    watch.WaitRecordsSent(10, 20s);
    stop.Set();
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(Download(), glo::Terminate_t);
  stopper.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
  EXPECT_TRUE(db->GetTracks().empty());
  EXPECT_GE(progress.GetPos(), 10u);
  EXPECT_LT(progress.GetPos(), 400u);
}

TEST_F(TrackDownload, LongLogsCountPastTheSignedLimit) {
  // 33,000 points: the count goes out as 33000 in 16 bits, which is negative
  // read as signed.
  sim::TrackLog log;
  log.protocol = sim::TrackProtocol::kA300;
  log.pointType = 300;
  sim::SimTrack all;
  for (int i = 0; i < 33000; ++i) {
    sim::SimTrackPoint p;
    p.latitude = i;
    p.longitude = -i;
    p.time = 100000u + static_cast<std::uint32_t>(i);
    all.points.push_back(p);
  }
  all.points[0].newTrack = 1;
  all.points[32900].newTrack = 1;
  log.tracks.push_back(all);
  Serve(log);

  Download();
  ASSERT_EQ(db->GetTracks().size(), 2u);
  EXPECT_EQ(db->GetTracks().find(gdb::TrackId_t(gdb::Name_t("Track 001")))->second.GetCount(), 32900);
  const gdb::Track_t& second = db->GetTracks().find(gdb::TrackId_t(gdb::Name_t("Track 002")))->second;
  ASSERT_EQ(second.GetCount(), 100);
  EXPECT_EQ(second.GetTotals().GetLastPoint()->GetPosition().GetLatitude(), 32999);
  EXPECT_EQ(progress.GetRange(), 33000u);
  EXPECT_EQ(progress.GetPos(), 33000u);
  EXPECT_EQ(progress.Percent(), 100);
}

// A unit's faults: each ends the download with its error, and the tracks
// stored before it stay whole.
TEST_F(TrackDownload, FaultsOfTheUnit) {
  const std::vector<sim::SimTrackPoint> p = MakePoints(0, 12);
  auto flagged = [&](std::vector<sim::SimTrackPoint> points, std::size_t at) {
    points[at].newTrack = 1;
    return points;
  };
  sim::TrackLog a300;
  a300.protocol = sim::TrackProtocol::kA300;
  a300.pointType = 301;
  a300.tracks.push_back(sim::SimTrack());
  a300.tracks[0].points = flagged(p, 5);

  sim::TrackLog a302;
  a302.protocol = sim::TrackProtocol::kA302;
  a302.headerType = 311;
  a302.pointType = 302;
  a302.tracks = {MakeTrack("", 0, 4), MakeTrack("", 10, 4), MakeTrack("", 20, 4)};
  for (std::uint16_t i = 0; i < 3; ++i) a302.tracks[i].index = static_cast<std::uint16_t>(i + 1);

  struct Case {
    const char* name;
    sim::TrackLog log;
    sim::TrackLogFaults faults;
    std::vector<ExpectedTrack> stored;
  };
  std::vector<Case> cases;
  {
    Case c{"record of a wrong type", a300, {}, {{"Track 001", Slice(p, 0, 5)}}};
    c.faults.extraFrameAt = 8;
    c.faults.extraFrame = sim::Frame{35, sim::Bytes(13, 0)};
    cases.push_back(c);
  }
  {
    Case c{"one record more than announced", a300, {}, {{"Track 001", Slice(p, 0, 5)}, {"Track 002", Slice(p, 5, 12)}}};
    c.faults.countDelta = -1;
    cases.push_back(c);
  }
  {
    Case c{"one record less than announced", a302, {},
           {{"1", a302.tracks[0].points}, {"2", a302.tracks[1].points}, {"3", a302.tracks[2].points}}};
    c.faults.countDelta = 1;
    cases.push_back(c);
  }
  {
    Case c{"completion of another command", a302, {}, {{"1", a302.tracks[0].points}, {"2", a302.tracks[1].points}}};
    c.faults.completeValue = 117;
    cases.push_back(c);
  }
  {
    Case c{"a point before any header", a302, {}, {}};
    c.faults.extraFrameAt = 0;
    c.faults.extraFrame = sim::Frame{34, sim::EncodePoint(302, p[0])};
    cases.push_back(c);
  }
  {
    Case c{"a time past the 32-bit limit", a302, {}, {{"1", a302.tracks[0].points}}};
    c.log.tracks[1].points[2].time = 0xF0000000u;  // after 2038
    cases.push_back(c);
  }

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    db = std::make_unique<gdb::Database_t>();
    Serve(c.log, c.faults);
    const std::uint16_t type = c.log.pointType;
    if (std::string(c.name) == "a time past the 32-bit limit") {
      EXPECT_THROW(Download(), glo::OutOfRange_t);
    } else {
      try {
        Download();
        ADD_FAILURE() << "no error";
      } catch (const ioa::Exception_t& e) {
        EXPECT_STREQ(e.SourceFile(), "IOG_Channel.cpp");
        EXPECT_EQ(e.Message(), "");
      }
    }
    ExpectTracks(*db, c.stored, type);
  }
}

TEST_F(TrackDownload, A302OnlyWhenEnabled) {
  sim::TrackLog log;
  log.protocol = sim::TrackProtocol::kA302;
  log.tracks = {MakeTrack("", 0, 2)};
  sim::TrackLogWatch_t& watch = Serve(log);
  {
    ios::SerialLink_t link(stop, watch.PortPath(), 9600);
    iog::Channel_t channel(link);
    // Without A302 enabled the unit's A302 log is not asked for.
    channel.DownloadTracks(*db, progress);
    EXPECT_EQ(progress.GetPhase(), ioa::kPhaseStarted);
    channel.EnableA302();
    channel.DownloadTracks(*db, progress);
    EXPECT_EQ(db->GetTracks().size(), 1u);
  }
  EXPECT_TRUE(watch.WaitTransfersCompleted(1, 5s));
  EXPECT_EQ(watch.TransfersCompleted(), 1);
}

}  // namespace

namespace {

// Protocol lists that name no usable track protocol: the download fails (or
// does nothing) before the track command is sent.
TEST_F(TrackDownload, ProtocolListsWithoutUsableTrackTypes) {
  enum Outcome { kNothing, kProtocolError, kUnknownType, kInternal };
  struct Case {
    const char* protocols;
    Outcome outcome;
  } cases[] = {
      {"L001 A010 A906 D906", kNothing},
      {"L001 A300 D300", kProtocolError},  // no device commands
      // The channel appends A001 to a unit's list, so the entry after a
      // protocol at the end of it is no data type.
      {"L001 A010 A300", kInternal},
      {"L001 A010 A301 D310", kInternal},
      {"L001 A010 A300 D999", kUnknownType},
      {"L001 A010 A301 D301 D301", kUnknownType},  // D301 is no header type
      {"L001 A010 A300 A906 D906", kInternal},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.protocols);
    sim::TrackLog log;
    log.protocol = sim::TrackProtocol::kA300;
    log.tracks = {MakeTrack("", 0, 2)};
    std::vector<sim::ProtocolEntry> list;
    ASSERT_TRUE(sim::ParseProtocols(c.protocols, list));
    log.protocols = list;
    sim::TrackLogWatch_t& watch = Serve(log);
    progress.SetPhase(ioa::kPhaseStarted, 0);
    switch (c.outcome) {
      case kNothing:
        EXPECT_NO_THROW(Download());
        break;
      case kProtocolError:
        try {
          Download();
          ADD_FAILURE() << "no error";
        } catch (const ioa::Channel_t::DataTypeNotFound_t&) {
          ADD_FAILURE() << "wrong error";
        } catch (const ioa::Exception_t& e) {
          EXPECT_EQ(e.Message(), "");
        } catch (const std::exception& e) {
          ADD_FAILURE() << "wrong error " << typeid(e).name();
        }
        break;
      case kUnknownType:
        EXPECT_THROW(Download(), ioa::Channel_t::DataTypeNotFound_t);
        break;
      case kInternal:
        EXPECT_THROW(Download(), glo::Assert_t);
        break;
    }
    EXPECT_TRUE(db->GetTracks().empty());
    EXPECT_EQ(progress.GetPhase(), ioa::kPhaseStarted);
    for (const sim::Frame& f : watch.GetWatch().HostFrames()) EXPECT_NE(f.id, 10) << "a command was sent";
  }
}

}  // namespace
