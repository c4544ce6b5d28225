#pragma once
// Heights and slopes of simplified tide stations: four constituents (M2, S2,
// K1, O1) whose node factors and arguments are computed for three days with
// minor constituents folded in, two shallow-water terms, a mean level that
// follows the spring-neap cycle, and monthly corrections.
#include <cstdint>

#include "mpl/tide/MPL_TideMath.h"
#include "mpl/tide/MPL_TideRecords.h"

namespace mpl {

// Work flags.
enum : std::uint8_t {
  kTideHasM2Phase = 0x01,
  kTideHasS2Phase = 0x02,
  kTideHasM2Amplitude = 0x04,
  kTideHasS2Amplitude = 0x08,
  kTideHasMeanLevel = 0x10,
  kTideHasDayLevels = 0x20,
};

// Monthly quantities (rows of TideSimplifiedWork_t::monthly).
enum : unsigned { kMonthM2Phase = 0, kMonthS2Phase, kMonthM2Amplitude, kMonthS2Amplitude, kMonthMeanLevel };

struct TideSimplifiedWork_t {
  // Three days (the date and the two following) of phase A (degrees) and node
  // factor f of M2, S2, K1, O1.
  double phase[3][4];
  double factor[3][4];
  float z0;     // metres
  float h[4];   // amplitudes, metres
  float f4, f6;
  float g[4];   // phases, degrees
  float phase4, phase6;  // shallow-water phases, degrees
  // Monthly values at the start of the requested month and the two after.
  float monthly[5][3];
  // Mean level at noon of yesterday, today, tomorrow and the day after.
  float levels[4];
  TideDate_t date;
  float dayStart;  // hours of the window's day start on the date's scale
  std::uint8_t flags;
};

// The phases and node factors of the four constituents for the date and the
// two following days.
void TideAstroArguments(const TideDate_t& date, double phase[3][4], double factor[3][4]);
// The day of the spring-neap cycle (0 at springs, about 7 at neaps) of the day
// starting at 'dayStart'; 'after' tells whether springs have passed.
unsigned TideSpringNeapDay(std::uint32_t dayStart, const MDB_tide_simplified_type& rec, bool& after);
// Prepares the work record for a date; false when a table cannot be read or no
// amplitude is usable.
bool TideSimplifiedSetup(MdbMap_t& map, const MDB_tide_simplified_type& rec, TideSimplifiedWork_t& work,
                         const TideDate_t& date);
// Height (metres) and its rate of change (metres per hour) at hours since
// 00:00 of the date.
double TideSimplifiedHeight(const TideSimplifiedWork_t& work, double t);
double TideSimplifiedSlope(const TideSimplifiedWork_t& work, double t);

// Interpolates a monthly value between two months; phases (degrees) go along
// the shorter arc.
double TideMonthInterp(double first, double second, double fraction, bool isPhase);

}  // namespace mpl
