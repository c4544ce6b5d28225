#pragma once
// The simulated watch's training history: runs of laps as the unit keeps them,
// the lap records (packet 149) it sends for the lap command, and the track log
// (A302, tracks named by their index) that the laps of each run refer to.
//
// Every lap but the last of a run is sent with the track index 255 ("more laps
// follow"); the last names its run's track by index, or 254 (or 253) for a run
// without track. The run still under way has no last lap yet: all its laps
// carry 255 and its track is the one track the laps leave unclaimed.
#include <cstdint>
#include <vector>

#include "tools/SimProfile.h"
#include "tools/SimTrackLog.h"

namespace sim {

constexpr std::uint16_t kLapId = 149;
constexpr std::int32_t kNoPosition = 0x7FFFFFFF;

// One lap record (D906), 32 bytes little-endian.
struct SimLap {
  std::uint32_t start = 0;     // seconds since 1989-12-31 00:00:00 UTC
  std::uint32_t duration = 0;  // 1/100 s
  float distance = 0;          // metres
  std::int32_t beginLatitude = kNoPosition;
  std::int32_t beginLongitude = kNoPosition;
  std::int32_t endLatitude = kNoPosition;
  std::int32_t endLongitude = kNoPosition;
  std::uint16_t calories = 0;
  std::uint8_t trackIndex = 255;
  std::uint8_t heartRate = 0;  // 0: none
};

Bytes EncodeLap(const SimLap& lap);

// How the laps of a run end.
enum class RunEnd {
  kTrack,         // the last lap names the run's track, which is sent
  kNoTrack,       // the last lap says 254: no track, none sent
  kMissingTrack,  // the last lap names a track that is not sent
  kOpen,          // no last lap yet (all 255); the run's track is sent
};

struct SimRunSpec {
  std::uint32_t start = 0;  // device time of the first lap's start
  int lapCount = 2;
  std::uint32_t lapSeconds = 300;
  float lapMetres = 1000.0f;
  RunEnd end = RunEnd::kTrack;
  std::uint8_t trackIndex = 0;  // the index of the run's track (below 253)
  // A point of the track (by position) that carries the new-track flag, as
  // the unit writes one after a pause; -1 for none.
  int pauseAtPoint = -1;
  std::uint8_t heartRate = 0;
};

// The unit's data for a list of runs, in the order given.
struct LapHistory {
  TrackLog log;             // A302/D311/D302
  std::vector<Frame> laps;  // packet 149 frames
};

// The track of a run has one point every 10 s from its start to its end, and
// follows its laps: each lap's stretch of the route (a loop of gentle hills)
// in the lap's time, the lap's positions where the track is at its start and end.
LapHistory MakeLapHistory(const std::vector<SimRunSpec>& runs);

// Mischief in the lap transfer.
struct LapFaults {
  int countDelta = 0;        // added to the lap count announced
  int shortRecordAt = -1;    // this lap record goes out with 31 bytes
  bool noLapProtocol = false;  // the protocol array lacks A906/D906
};

// A profile (product data from 'base') serving the history's tracks and laps
// with the faults.
Profile LapProfile(const LapHistory& history, const LapFaults& faults = LapFaults(), Profile base = Profile());

// A small history for trying the program by hand: three finished runs a day
// apart (one without track) and one still under way.
LapHistory SampleLapHistory();

}  // namespace sim
