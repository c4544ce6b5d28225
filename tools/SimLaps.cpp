#include "tools/SimLaps.h"

#include <cstring>

namespace sim {

namespace {

void PutS32(Bytes& out, std::int32_t value) { PutU32(out, static_cast<std::uint32_t>(value)); }

void PutFloat(Bytes& out, float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  PutU32(out, bits);
}

// Near 51 degrees north, 7 degrees east, in semicircles.
constexpr std::int32_t kBaseLatitude = 608543403;
constexpr std::int32_t kBaseLongitude = 83519319;
constexpr std::int32_t kStep = 1200;  // about 10 m

}  // namespace

Bytes EncodeLap(const SimLap& lap) {
  Bytes data;
  PutU32(data, lap.start);
  PutU32(data, lap.duration);
  PutFloat(data, lap.distance);
  PutS32(data, lap.beginLatitude);
  PutS32(data, lap.beginLongitude);
  PutS32(data, lap.endLatitude);
  PutS32(data, lap.endLongitude);
  PutU16(data, lap.calories);
  PutU8(data, lap.trackIndex);
  PutU8(data, lap.heartRate);
  return data;
}

LapHistory MakeLapHistory(const std::vector<SimRunSpec>& runs) {
  LapHistory history;
  history.log.protocol = TrackProtocol::kA302;
  history.log.headerType = 311;
  history.log.pointType = 302;
  for (const SimRunSpec& run : runs) {
    const std::uint32_t seconds = run.lapSeconds * static_cast<std::uint32_t>(run.lapCount);
    if (run.end == RunEnd::kTrack || run.end == RunEnd::kOpen) {
      SimTrack track;
      track.index = run.trackIndex;
      for (std::uint32_t t = 0; t <= seconds; t += 10) {
        SimTrackPoint point;
        point.latitude = kBaseLatitude + static_cast<std::int32_t>(t / 10) * kStep;
        point.longitude = kBaseLongitude;
        point.time = run.start + t;
        point.altitude = 100.0f + static_cast<float>(t % 50);
        track.points.push_back(point);
      }
      if (run.pauseAtPoint >= 0 && static_cast<std::size_t>(run.pauseAtPoint) < track.points.size())
        track.points[static_cast<std::size_t>(run.pauseAtPoint)].newTrack = 1;
      history.log.tracks.push_back(track);
    }
    for (int i = 0; i < run.lapCount; ++i) {
      SimLap lap;
      lap.start = run.start + run.lapSeconds * static_cast<std::uint32_t>(i);
      lap.duration = run.lapSeconds * 100;
      lap.distance = run.lapMetres;
      lap.beginLatitude = kBaseLatitude + static_cast<std::int32_t>(run.lapSeconds / 10) * i * kStep;
      lap.beginLongitude = kBaseLongitude;
      lap.endLatitude = lap.beginLatitude + static_cast<std::int32_t>(run.lapSeconds / 10) * kStep;
      lap.endLongitude = kBaseLongitude;
      lap.calories = 70;
      lap.heartRate = run.heartRate;
      if (i + 1 == run.lapCount) {
        switch (run.end) {
          case RunEnd::kTrack:
          case RunEnd::kMissingTrack:
            lap.trackIndex = run.trackIndex;
            break;
          case RunEnd::kNoTrack:
            lap.trackIndex = 254;
            break;
          case RunEnd::kOpen:
            break;
        }
      }
      history.laps.push_back(Frame{kLapId, EncodeLap(lap)});
    }
  }
  return history;
}

Profile LapProfile(const LapHistory& history, const LapFaults& faults, Profile base) {
  std::vector<ProtocolEntry> protocols = TrackLogProtocols(history.log);
  if (faults.noLapProtocol) protocols.resize(protocols.size() - 2);  // A906 D906 come last
  base.protocols = protocols;
  base.trackLog = TrackLogFrames(history.log);
  base.laps = history.laps;
  if (faults.shortRecordAt >= 0 && static_cast<std::size_t>(faults.shortRecordAt) < base.laps.size())
    base.laps[static_cast<std::size_t>(faults.shortRecordAt)].data.resize(31);
  base.lapCountDelta = faults.countDelta;
  return base;
}

LapHistory SampleLapHistory() {
  constexpr std::uint32_t kDay = 86400;
  // 2026-06-01 07:00:00 UTC in the unit's time.
  constexpr std::uint32_t kFirst = 1149231600u;
  std::vector<SimRunSpec> runs(4);
  for (std::size_t i = 0; i < runs.size(); ++i) {
    runs[i].start = kFirst + static_cast<std::uint32_t>(i) * kDay;
    runs[i].trackIndex = static_cast<std::uint8_t>(i);
    runs[i].lapCount = 2 + static_cast<int>(i % 2);
    runs[i].heartRate = static_cast<std::uint8_t>(140 + i);
  }
  runs[1].end = RunEnd::kNoTrack;
  runs[3].end = RunEnd::kOpen;
  return MakeLapHistory(runs);
}

}  // namespace sim
