#pragma once
// The tide engine: for one station and one day, the high and low waters of
// the day and a curve of heights sampled at equal steps. Three kinds of
// station share it: 0 harmonic (yearly arguments), 2 harmonic with the
// station's latitude (monthly arguments and satellites), 1 simplified.
// Engine time is unsigned 32-bit seconds since 1989-12-31 00:00 on the
// station's own clock.
#include <array>
#include <cstdint>
#include <vector>

#include "mpl/tide/MPL_TideRecords.h"
#include "mpl/tide/MPL_TideSimplified.h"

namespace mpl {

struct MdbMap_t;

// The engine's view of a station; the station object owns what it points at.
struct MDB_tide_station_type {
  MdbMap_t* map = nullptr;  // the map whose LBL sub-file holds the tide tables (kind 1)
  int kind = 0;
  const MDB_tide_corrections_type* corrections = nullptr;  // kinds 0 and 2; none: neutral
  const MDB_tide_ref_info_type* refInfo = nullptr;         // kinds 0 and 2
  const MDB_tide_simplified_type* simplified = nullptr;    // kind 1
  std::int32_t latitude = 0;  // semicircles, kind 2
  std::uint16_t count = 0;
  const MDB_tide_constituent_type* constituents = nullptr;
  std::uint8_t interpolate = 0;
};

// Event kinds.
enum : std::uint8_t { kTideLowWater = 0, kTideHighWater = 1, kTideNoEvent = 3 };

struct MDB_tide_event_type {
  std::uint8_t kind;
  std::int32_t time;  // engine seconds
  float height;       // metres
};

// Engine seconds as {argument year, hours since its 1 January 00:00}, where
// 1 January counts as the last day of the previous year.
struct TideYearHours_t {
  std::uint16_t year;
  float hours;
};
TideYearHours_t TideYearHours(std::int64_t seconds);

// Feet to metres for harmonic heights.
constexpr float kTideFeetToMetres = 0.3048037f;

// The most extremes a day's scan keeps.
constexpr int kTideMaxExtremes = 28;

// Predicts the window of 24 hours from station time t0 - offset: up to
// 'eventCapacity' high and low waters strictly after the start and at most 24
// hours after it (in order of height rank, the rest kind 3), and
// 'heightCount' (at least 2) heights from the start to 24 hours later, in
// metres. Event times are written as station time + offset. Either output may
// be null. 1 on success, 0 on failure.
int TidePredict(const MDB_tide_station_type& station, std::uint32_t t0, std::uint32_t offset,
                MDB_tide_event_type* events, int eventCapacity, float* heights, int heightCount);

// The engine's work record of one prediction.
struct MDB_tide_work_type {
  const MDB_tide_station_type* station = nullptr;
  TideSimplifiedWork_t simplified{};
  float z0 = 0.0f;  // feet (harmonic)
  // Per constituent and argument set: speeds (degrees per hour), V0+u
  // (degrees) and amplitude (feet) x node factor; the second set starts at
  // index 'count'.
  std::vector<float> speeds, arguments, scales;
  // Per constituent: phase lag (degrees).
  std::vector<float> lags;
  std::uint8_t count = 0;
  std::uint8_t terms = 0;  // the constituents before an end mark (number 255)
  // Room for the angles and their cosines of one harmonic sum.
  std::array<std::uint32_t, 256> angles{};
  std::array<std::int32_t, 256> cosines{};
  std::uint8_t foreman = 0;
  std::uint8_t boundary = 0;  // 0 one set; 1 second set for the following period; 2 for the preceding one
  float dayStart = 0.0f;
  float secondEpoch = 0.0f;
};

// Fills the speeds, arguments and scaled amplitudes of the work record for the
// argument date (and the second period when the boundary state says so).
bool TideHarmonicSetup(const MDB_tide_station_type& station, MDB_tide_work_type& work, const TideDate_t& date);

// The height at hours t (station units), or with 'slope' its rate of change
// scaled by 65536; 'ok' is cleared on failure.
double TideHeightAt(MDB_tide_work_type& work, bool& ok, double t, bool slope);
// TideHeightAt at n times, bit for bit, many at once where it can; false on
// failure.
bool TideHeightsAt(MDB_tide_work_type& work, const float* times, unsigned n, double* out);

}  // namespace mpl
