#pragma once
// Helpers of the training-log tests: laps, tracks and runs with known values,
// and byte-string builders for stored forms.
#include <csignal>
#include <cstdint>
#include <cstring>
#include <string>
#include <sys/resource.h>

#include "app/ApplicationInfo.h"
#include "app/Lap.h"
#include "app/Run.h"
#include "app/RunSet.h"
#include "gdb/GDB_Track.h"
#include "glo/GLO_Time.h"

namespace trtest {

// 2005-03-07 10:00:00 UTC.
constexpr std::int64_t kBase = 1110189600;

inline app::Lap_t MakeLap(std::int64_t start, std::uint32_t duration = 6000, float length = 1000.0f,
                          std::uint16_t calories = 42, glo::Optional_t<std::uint8_t> heartRate = {},
                          glo::Optional_t<geo::Position_t> begin = {}, glo::Optional_t<geo::Position_t> end = {}) {
  return app::Lap_t(glo::Time_t(start), duration, begin, end, length, calories, heartRate);
}

inline gdb::TrackPoint_t TimedPoint(std::int64_t time, int i = 0) {
  return gdb::TrackPoint_t(geo::Position_t(536870912 + i * 1000, 95443700 + i * 1500, 400.0 + i),
                           glo::Time_t(time));
}

inline gdb::TrackPoint_t UntimedPoint(int i = 0) {
  return gdb::TrackPoint_t(geo::Position_t(536870912 + i * 1000, 95443700 + i * 1500));
}

// A track of 'count' points, one every 'step' seconds from 'start'.
inline gdb::Track_t MakeTrack(std::int64_t start, int count, int step = 5) {
  gdb::Track_t track;
  for (int i = 0; i < count; ++i) track.AppendPoint(TimedPoint(start + i * step, i));
  return track;
}

// A run of 'laps' laps of 'lapSeconds' each from 'start', with a track
// covering them when 'points' > 0.
inline app::Run_t MakeRun(std::int64_t start, int laps = 2, int lapSeconds = 300, int points = 0,
                          const std::string& notes = std::string()) {
  app::LapSet_t set;
  for (int k = 0; k < laps; ++k)
    set.insert(MakeLap(start + k * lapSeconds, static_cast<std::uint32_t>(lapSeconds * 100),
                       1000.0f + static_cast<float>(k), static_cast<std::uint16_t>(40 + k),
                       k % 2 ? glo::Optional_t<std::uint8_t>(150) : glo::Optional_t<std::uint8_t>()));
  glo::Optional_t<gdb::Track_t> track;
  if (points > 0) track = MakeTrack(start, points, laps * lapSeconds / points);
  return app::Run_t(set, track, notes);
}

// Little-endian byte images for expected file contents.
template <typename V>
std::string Le(V value) {
  std::string bytes(sizeof value, '\0');
  std::memcpy(bytes.data(), &value, sizeof value);
  return bytes;
}

inline std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }

// The header bytes of a data file with that tag, as this build writes it.
inline std::string HeaderBytes(const std::string& tag, std::uint16_t layout = 101, std::uint16_t data = 100) {
  const glo::ApplicationInfo_t& info = app::GetApplicationInfo();
  const std::string build = Sz(info.BuildLabel()) + Sz(info.BuildDate()) + Sz(info.BuildTime());
  return tag + Le<std::uint16_t>(layout) + Le<std::uint32_t>(2) + "D" + Le<std::uint16_t>(data) +
         Le<std::uint32_t>(static_cast<std::uint32_t>(2 + build.size())) + "A" + Le<std::uint16_t>(205) + build +
         Sz(info.Name());
}

// Lowers the largest file this process may write, as a full disk would stop it.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &m_old);
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = m_old;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &m_old);
    std::signal(SIGXFSZ, m_oldHandler);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit m_old;
  void (*m_oldHandler)(int);
};

}  // namespace trtest
