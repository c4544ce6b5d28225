#pragma once
// Tide constituents: speeds (degrees per hour), equilibrium arguments V0+u
// (degrees) and node factors f of the constituent numbers 0..200, by
// Schureman's method with yearly arguments or by Foreman's method with monthly
// arguments and satellite constituents weighted by the station's latitude.
#include <cstdint>

namespace mpl {

// Speed, equilibrium argument and node factor of one constituent.
struct TideConstituentValue_t {
  float speed;  // degrees per hour
  float v0u;    // degrees, [0, 360)
  float f;
};

// Argument slots of an epoch.
enum TideArgSlot_t {
  kSlotT = 0,
  kSlotS,
  kSlotH,
  kSlotP,
  kSlotP1,
  kSlotN,  // Foreman: minus N
  kSlotXi,  // Foreman: daily rate of T
  kSlotNu,  // Foreman: daily rate of s
  kSlotNu1,  // Foreman: daily rate of h
  kSlotNu2,  // Foreman: daily rate of p
  kSlotQ,  // Foreman: daily rate of p1
  kSlotR,
  kSlotPMid,  // p at the middle of the year
  kSlotCount
};

// The arguments of one epoch and its eleven main constituents O1, K1, P1, M2,
// S2, N2, L2, K2, Q1, NU2, M3.
struct MDB_tide_astro_type {
  std::uint8_t foreman;  // 0 Schureman, 1 Foreman
  float sinLatitude;     // Foreman only
  TideConstituentValue_t main[11];
  float slots[kSlotCount];
};

// The number of constituent numbers (0..200).
constexpr unsigned kTideConstituentCount = 201;

// The sine of a station latitude (semicircles) for Foreman's satellites; a
// latitude within 5 degrees of the equator counts as 5 degrees (0 as north).
float TideLatitudeSine(std::int32_t latitude);

// Schureman's arguments at 'epoch' (engine seconds, 1 January 00:00 of the
// argument year; negative before 1989-12-31).
void TideSchuremanArguments(std::int64_t epoch, MDB_tide_astro_type& astro);
// Foreman's arguments at the 16th of the month of 'epoch'.
void TideForemanArguments(std::int64_t epoch, MDB_tide_astro_type& astro);
// The arguments of the epoch by the record's method and the main constituents.
bool TideMainConstituents(std::int64_t epoch, MDB_tide_astro_type& astro);
// One constituent number; false for numbers above 200 or when a node factor
// cannot be formed.
bool TideConstituent(const MDB_tide_astro_type& astro, unsigned number, TideConstituentValue_t& out);

}  // namespace mpl
