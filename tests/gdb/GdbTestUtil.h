#pragma once
// Helpers shared by the GPS-data tests: reproducible tracks and a direct
// computation of the summary of a run of points to check the running ones.
#include <cmath>
#include <cstdint>
#include <vector>

#include "gdb/GDB_Track.h"
#include "geo/GEO_Position.h"
#include "glo/GLO_Time.h"

namespace gdbtest {

// Point i of a zig-zag walk north-east of (47 N, 8 E): roughly 10 to 20 m
// legs, a time every 5 s except on every seventh point, an altitude on every
// third point, a depth on every fifth and a temperature on every fourth.
inline gdb::TrackPoint_t MakePoint(int i) {
  const std::int32_t lat = 560742000 + i * 1000 + (i % 3) * 700;
  const std::int32_t lon = 95443700 + i * 1500 - (i % 5) * 900;
  geo::Altitude_t altitude;
  if (i % 3 == 0) altitude = 400.0 + i * 0.5;
  glo::Optional_t<glo::Time_t> time;
  if (i % 7 != 3) time = glo::Time_t(1100000000 + 5 * static_cast<std::int64_t>(i));
  glo::Optional_t<double> depth, temperature;
  if (i % 5 == 0) depth = i * 0.25;
  if (i % 4 == 0) temperature = 12.5 + i * 0.01;
  return gdb::TrackPoint_t(geo::Position_t(lat, lon, altitude), time, depth, temperature);
}

inline std::vector<gdb::TrackPoint_t> MakePoints(int count) {
  std::vector<gdb::TrackPoint_t> points;
  for (int i = 0; i < count; ++i) points.push_back(MakePoint(i));
  return points;
}

inline gdb::Track_t MakeTrack(int count) {
  gdb::Track_t track;
  for (int i = 0; i < count; ++i) track.AppendPoint(MakePoint(i));
  return track;
}

// The summary of points [first, last] computed leg by leg from scratch.
struct Direct_t {
  double distance = 0.0;
  bool hasTime = false;
  double timeSpan = 0.0;
  double areaTerm = 0.0;
  std::int32_t north = -(1 << 30), south = 1 << 30, east = INT32_MIN, west = INT32_MAX;
};

inline Direct_t Summarise(const std::vector<gdb::TrackPoint_t>& points, std::size_t first, std::size_t last) {
  Direct_t d;
  // A lone point is a leg to itself: a time gives a span of 0.
  d.hasTime = first == last && points[first].GetTime().IsPresent();
  for (std::size_t k = first; k <= last; ++k) {
    const geo::Position_t& p = points[k].GetPosition();
    d.north = std::max(d.north, p.GetLatitude());
    d.south = std::min(d.south, p.GetLatitude());
    d.east = std::max(d.east, p.GetLongitude());
    d.west = std::min(d.west, p.GetLongitude());
    if (k == last) break;
    const geo::Position_t& q = points[k + 1].GetPosition();
    d.distance += geo::DistanceAndBearing(p, q).distance;
    d.areaTerm += static_cast<double>(p.GetLongitude()) * q.GetLatitude() -
                  static_cast<double>(q.GetLongitude()) * p.GetLatitude();
    if (points[k].GetTime() && points[k + 1].GetTime()) {
      d.hasTime = true;
      d.timeSpan += std::fabs(glo::Difference(*points[k + 1].GetTime(), *points[k].GetTime()).GetSeconds());
    }
  }
  return d;
}

}  // namespace gdbtest

