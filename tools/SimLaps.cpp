#include "tools/SimLaps.h"

#include <algorithm>
#include <cmath>
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
constexpr double kPi = 3.14159265358979;
constexpr double kEarthRadius = 6378137.0;                  // metres, as the program measures
constexpr double kSemicirclesPerRadian = 2147483648.0 / kPi;

// A point of the route, 'metres' along it: a loop of 2.4 km through a park
// (the heading turns once around per loop, with a few bends), and gentle hills
// of a few metres.
struct RoutePoint {
  std::int32_t latitude;
  std::int32_t longitude;
  float altitude;
};

// Walks the route forward (going back starts again from its beginning).
class Route {
 public:
  RoutePoint At(double metres) {
    constexpr double kStepMetres = 1.0;
    if (metres < m_done) *this = Route();
    while (m_done < metres) {
      const double step = std::min(kStepMetres, metres - m_done);
      const double mid = m_done + step / 2;
      const double heading = 2 * kPi * mid / kLoop + 0.5 * std::sin(2 * kPi * mid / 600.0);
      m_north += step * std::cos(heading);
      m_east += step * std::sin(heading);
      m_done += step;
    }
    const double cosLatitude = std::cos(kBaseLatitude / kSemicirclesPerRadian);
    RoutePoint p;
    p.latitude = kBaseLatitude + static_cast<std::int32_t>(std::lround(m_north / kEarthRadius * kSemicirclesPerRadian));
    p.longitude = kBaseLongitude + static_cast<std::int32_t>(
                                       std::lround(m_east / (kEarthRadius * cosLatitude) * kSemicirclesPerRadian));
    p.altitude = static_cast<float>(120.0 + 8.0 * std::sin(2 * kPi * metres / kLoop) +
                                    3.0 * std::sin(2 * kPi * metres / 650.0 + 1.0));
    return p;
  }

 private:
  static constexpr double kLoop = 2400.0;
  double m_done = 0.0, m_north = 0.0, m_east = 0.0;
};

// How far into a lap of 'metres' in 'seconds' the runner is after 't' seconds:
// a little slower and faster by turns, the whole lap in the lap's time.
double LapMetresAt(double metres, double seconds, double t) {
  const double u = t / seconds;
  return metres * (u + 0.05 / (4 * kPi) * (1.0 - std::cos(4 * kPi * u)));
}

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
      Route route;
      for (std::uint32_t t = 0; t <= seconds; t += 10) {
        const std::uint32_t lap = std::min<std::uint32_t>(t / run.lapSeconds, static_cast<std::uint32_t>(run.lapCount - 1));
        const double metres = lap * static_cast<double>(run.lapMetres) +
                              LapMetresAt(run.lapMetres, run.lapSeconds, static_cast<double>(t - lap * run.lapSeconds));
        const RoutePoint at = route.At(metres);
        SimTrackPoint point;
        point.latitude = at.latitude;
        point.longitude = at.longitude;
        point.time = run.start + t;
        point.altitude = at.altitude;
        track.points.push_back(point);
      }
      if (run.pauseAtPoint >= 0 && static_cast<std::size_t>(run.pauseAtPoint) < track.points.size())
        track.points[static_cast<std::size_t>(run.pauseAtPoint)].newTrack = 1;
      history.log.tracks.push_back(track);
    }
    Route route;
    for (int i = 0; i < run.lapCount; ++i) {
      SimLap lap;
      lap.start = run.start + run.lapSeconds * static_cast<std::uint32_t>(i);
      lap.duration = run.lapSeconds * 100;
      lap.distance = run.lapMetres;
      const RoutePoint begin = route.At(i * static_cast<double>(run.lapMetres));
      const RoutePoint end = route.At((i + 1) * static_cast<double>(run.lapMetres));
      lap.beginLatitude = begin.latitude;
      lap.beginLongitude = begin.longitude;
      lap.endLatitude = end.latitude;
      lap.endLongitude = end.longitude;
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
