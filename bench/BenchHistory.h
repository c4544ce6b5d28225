#pragma once
// The synthetic training history the application's benchmarks measure: one run
// a day of 2,000 timed points with altitude in five laps.
#include <chrono>
#include <cstdint>
#include <string>

#include "app/Run.h"

namespace bench {

using Clock = std::chrono::steady_clock;

inline double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

constexpr int kPoints = 2000;
constexpr int kLaps = 5;

// The run of the given day after the first run's start (device-independent
// UTC seconds).
inline app::Run_t MakeRun(std::int64_t firstRun, int day) {
  const std::int64_t start = firstRun + static_cast<std::int64_t>(day) * 86400;
  gdb::Track_t track;
  for (int i = 0; i < kPoints; ++i) {
    const std::int32_t lat = 560742000 + i * 1000 + (i % 3) * 700 + day;
    const std::int32_t lon = 95443700 + i * 1500 - (i % 5) * 900;
    track.AppendPoint(gdb::TrackPoint_t(geo::Position_t(lat, lon, 400.0 + (i % 200) * 0.5),
                                        glo::Time_t(start + i)));
  }
  app::LapSet_t laps;
  const int lapSeconds = kPoints / kLaps;
  for (int k = 0; k < kLaps; ++k)
    laps.insert(app::Lap_t(glo::Time_t(start + k * lapSeconds), static_cast<std::uint32_t>(lapSeconds * 100),
                           geo::Position_t(560742000, 95443700), geo::Position_t(560743000, 95445000), 1000.0f,
                           80, std::uint8_t(140)));
  return app::Run_t(laps, track, "Day " + std::to_string(day));
}

}  // namespace bench
