#include "mpl/tide/MPL_TideConstituents.h"

#include <cmath>

#include "mpl/tide/MPL_TideConstants.h"
#include "mpl/tide/MPL_TideMath.h"

namespace mpl {

namespace {

enum DefinitionKind_t : std::uint8_t { kBasic, kCombination, kHalfOrderM2 };

// A basic definition (coefficients of the twelve argument slots, the sixth
// being the constant C in units of 3.6 degrees, and a node-factor code) or a
// combination of the eleven main constituents.
struct Definition_t {
  DefinitionKind_t kind;
  std::int8_t coef[12];
  std::uint8_t code;
};

struct Satellite_t {
  std::int8_t p;
  std::int8_t n;
  std::int8_t p1;
  std::uint8_t phase;   // hundredths of a cycle
  std::uint16_t ratio;  // units of 0.0001
  std::uint8_t type;    // amplitude type 0, 1 or 2
};

struct SatelliteList_t {
  std::uint16_t first;
  std::uint16_t count;
};

#include "mpl/tide/MPL_TideTables.inc"

constexpr unsigned kMainM2 = 3;

// The satellite list's hash: slot = H[n mod 32] xor ((n div 8) mod 32).
constexpr std::uint8_t kSatelliteHash[32] = {28, 10, 0,  19, 28, 9,  10, 22, 19, 12, 0,  26, 10, 16, 22, 36,
                                             0,  0,  36, 38, 41, 46, 2,  33, 19, 34, 33, 24, 21, 25, 0,  42};

// Reduced into [0, 360): the integer part modulo 360 with the fraction added
// back; a negative value is 360 minus the reduced magnitude.
double Reduce(double degrees) {
  const double magnitude = std::fabs(degrees);
  const double whole = std::floor(magnitude);
  const double r = std::fmod(whole, 360.0) + (magnitude - whole);
  return degrees < 0.0 ? 360.0 - r : r;
}

double AtanDeg(double y, double x) {
  return Atan2(static_cast<float>(y), static_cast<float>(x)) * kDegreesPerRadian;
}

// cos I and sin I of the inclination of the moon's orbit to the equator.
void Inclination(double n, float& cosI, float& sinI) {
  cosI = static_cast<float>(0.91369784 - 0.035689585 * FixedCosDeg(n));
  sinI = std::sqrt(1.0f - cosI * cosI);
}

bool NodeFactor(const MDB_tide_astro_type& astro, unsigned code, double& f) {
  float cosI, sinI;
  Inclination(astro.slots[kSlotN], cosI, sinI);
  const double u = (1.0 + cosI) / 2.0;
  const double v = (1.0 - cosI) / 2.0;
  const double cosP = FixedCosDeg(Reduce(static_cast<double>(astro.slots[kSlotPMid]) - astro.slots[kSlotXi]));
  const double cos2P = 2.0 * cosP * cosP - 1.0;
  switch (code) {
    case 0:
      f = 1.0;
      return true;
    case 1:
      f = (0.6666667 - sinI * sinI) * 1.9916352;
      return true;
    case 2:
      f = sinI * sinI * 6.3371353;
      return true;
    case 3:
      f = sinI * u * 2.631579;
      return true;
    case 4:
      f = sinI * cosI * 2.772387;
      return true;
    case 5:
      f = sinI * v * 60.97561;
      return true;
    case 6:
      f = u * u * 1.0924186;
      return true;
    case 7:
      f = sinI * sinI * 6.3897767;
      return true;
    case 9:
      f = u * u * u * 1.1418132;
      return true;
    case 10:
      f = sinI * u * std::sqrt(1.435 * cos2P + 2.31) / 0.38;
      return true;
    case 11: {
      const double k = v / u;
      const double e = 1.0 / std::sqrt(1.0 - 12.0 * k * cos2P + 36.0 * k * k);
      f = u * u / (0.9154 * e);
      return true;
    }
    case 12: {
      const double a = 2.0 * sinI * cosI;
      f = std::sqrt(a * (0.6001 * FixedCosDeg(astro.slots[kSlotNu]) + 0.8965 * a) + 0.1006);
      return true;
    }
    case 13: {
      const double a = static_cast<double>(sinI) * sinI;
      f = std::sqrt(a * (2.7702 * FixedCosDeg(2.0 * astro.slots[kSlotNu]) + 19.0444 * a) + 0.0981);
      return true;
    }
    default:
      return false;
  }
}

// Speed of a basic definition.
double Speed(const MDB_tide_astro_type& astro, const Definition_t& def) {
  if (astro.foreman) {
    double sum = 0.0;
    for (int i = 0; i < 5; ++i) sum += def.coef[i] * static_cast<double>(astro.slots[kSlotXi + i]);
    return sum / 24.0;
  }
  static constexpr double kRates[5] = {15.0, 0.5490165320556696, 0.04106863906000456, 0.004641834360027379,
                                       1.9609856262833678e-06};
  double sum = 0.0;
  for (int i = 0; i < 5; ++i) sum += def.coef[i] * kRates[i];
  return sum + def.coef[kSlotQ] * static_cast<double>(0.004641834f);
}

// The argument of a basic definition, unreduced (Foreman: without the
// auxiliary angles).
double RawArgument(const MDB_tide_astro_type& astro, const Definition_t& def) {
  const int slots = astro.foreman ? 6 : 12;
  double sum = 0.0;
  for (int i = 0; i < slots; ++i) {
    sum += (i == kSlotN) ? def.coef[i] * 3.6 : def.coef[i] * static_cast<double>(astro.slots[i]);
  }
  return sum;
}

// Foreman: the node factor and the phase correction u (degrees) of the
// satellites of a constituent number.
bool Satellites(const MDB_tide_astro_type& astro, unsigned number, double& f, double& u) {
  f = 1.0;
  u = 0.0;
  const unsigned slot = kSatelliteHash[number % 32] ^ ((number / 8) % 32);
  if (slot >= 44) return true;  // numbers 21, 121, 122 and 119 have none
  const SatelliteList_t& list = kSatelliteLists[slot];
  if (list.count == 0) return true;
  const double sinLat = astro.sinLatitude;
  double x = 1.0, y = 0.0;
  for (unsigned i = 0; i < list.count; ++i) {
    const Satellite_t& sat = kSatellites[list.first + i];
    const double angle = sat.p * static_cast<double>(astro.slots[kSlotP]) +
                         sat.n * static_cast<double>(astro.slots[kSlotN]) +
                         sat.p1 * static_cast<double>(astro.slots[kSlotP1]) + sat.phase * 3.6;
    double r = sat.ratio * 0.0001;
    if (sat.type == 1) {
      if (sinLat == 0.0) return false;
      r *= 0.36309 * (1.0 - 5.0 * sinLat * sinLat) / sinLat;
    } else if (sat.type == 2) {
      r *= 2.59808 * sinLat;
    } else if (sat.type != 0) {
      return false;
    }
    x += r * FixedCosDeg(angle);
    y += r * FixedSinDeg(angle);
  }
  f = std::sqrt(x * x + y * y);
  u = AtanDeg(y, x);
  return true;
}

bool EvaluateBasic(const MDB_tide_astro_type& astro, const Definition_t& def, unsigned number,
                   TideConstituentValue_t& out) {
  double f = 1.0;
  double u = 0.0;
  if (astro.foreman) {
    if (!Satellites(astro, number, f, u)) return false;
  } else if (!NodeFactor(astro, def.code, f)) {
    return false;
  }
  out.speed = static_cast<float>(Speed(astro, def));
  out.v0u = static_cast<float>(Normalize360(Normalize360(RawArgument(astro, def)) + u));
  out.f = static_cast<float>(f);
  return true;
}

}  // namespace

float TideLatitudeSine(std::int32_t latitude) {
  constexpr std::int32_t kFiveDegrees = 59652324;
  if (latitude > -kFiveDegrees && latitude < kFiveDegrees) latitude = latitude < 0 ? -kFiveDegrees : kFiveDegrees;
  return static_cast<float>(FixedSin(static_cast<std::uint32_t>(latitude)) * kFixedOne);
}

void TideSchuremanArguments(std::int64_t epoch, MDB_tide_astro_type& astro) {
  const std::int64_t y2000 = DateToEngineSeconds({1, 1, 2000});
  const double tc = static_cast<double>(epoch - y2000) * 3.168808781402895e-10;
  const double h = Reduce(279.973 + 36000.769 * tc);
  const double s = Reduce(211.744 + 481267.892 * tc);
  const double p = Reduce(83.294 + 4069.032 * tc);
  const double p1 = Reduce(282.94 + 1.719 * tc);

  TideDate_t next = EngineSecondsToDate(epoch);
  ++next.year;
  const double tm = tc + static_cast<double>(DateToEngineSeconds(next) - epoch) * 1.5844043907014476e-10;
  const double n = Reduce(125.069 - 1934.142 * tm);
  const double pMid = Reduce(83.294 + 4069.032 * tm);

  float cosI, sinI;
  Inclination(n, cosI, sinI);
  const double sinN = FixedSinDeg(n);
  const double cosN = FixedCosDeg(n);
  const float sinNu = static_cast<float>(0.0896766 * sinN / sinI);
  const float cosNu = std::sqrt(1.0f - sinNu * sinNu);
  const double nu = AtanDeg(sinNu, cosNu);
  const double xi = Reduce(n - AtanDeg(0.397981 * sinN / sinI, cosN * cosNu + 0.917394 * sinN * sinNu));
  const double d = 1.004521 * sinI * cosI;
  const double nu1 = AtanDeg(d * sinNu, d * cosNu + 0.16809220337711397);
  const double g = 0.5022605076428357 * sinI * sinI;
  const double nu2 = AtanDeg(g * FixedSinDeg(2.0 * nu), g * FixedCosDeg(2.0 * nu) + 0.03646061695524931);
  const double bigP = Reduce(pMid - xi);
  double q = Reduce(AtanDeg(0.483 * FixedSinDeg(bigP), FixedCosDeg(bigP)));
  if ((bigP >= 90.0 && bigP <= 180.0 && !(q > 89.9 && q < 180.1)) ||
      (bigP >= 180.0 && bigP <= 270.0 && !(q > 179.9 && q < 270.1))) {
    q += 180.0;
  }
  const double r = Reduce(AtanDeg(FixedSinDeg(2.0 * bigP),
                                  (1.0 + cosI) / (1.0 - cosI) / 6.0 - FixedCosDeg(2.0 * bigP)));

  astro.slots[kSlotT] = 180.0f;
  astro.slots[kSlotS] = static_cast<float>(s);
  astro.slots[kSlotH] = static_cast<float>(h);
  astro.slots[kSlotP] = static_cast<float>(p);
  astro.slots[kSlotP1] = static_cast<float>(p1);
  astro.slots[kSlotN] = static_cast<float>(n);
  astro.slots[kSlotXi] = static_cast<float>(xi);
  astro.slots[kSlotNu] = static_cast<float>(nu);
  astro.slots[kSlotNu1] = static_cast<float>(nu1);
  astro.slots[kSlotNu2] = static_cast<float>(nu2);
  astro.slots[kSlotQ] = static_cast<float>(q);
  astro.slots[kSlotR] = static_cast<float>(r);
  astro.slots[kSlotPMid] = static_cast<float>(pMid);
}

void TideForemanArguments(std::int64_t epoch, MDB_tide_astro_type& astro) {
  TideDate_t date = EngineSecondsToDate(epoch);
  date.day = 16;
  double d = -0.5 + DayOfYear(date);
  for (unsigned y = 1900; y < date.year; ++y) d += IsGregorianLeap(y) ? 366.0 : 365.0;
  const double big = d / 10000.0;
  const double big2 = big * big;
  const double big3 = big2 * big;
  astro.slots[kSlotT] = 180.0f;
  astro.slots[kSlotS] =
      static_cast<float>(Reduce(270.434164 + 13.1763965268 * d - 0.000085 * big2 + 3.9e-8 * big3));
  astro.slots[kSlotH] = static_cast<float>(Reduce(279.696678 + 0.9856473354 * d + 0.00002267 * big2));
  astro.slots[kSlotP] =
      static_cast<float>(Reduce(334.329556 + 0.1114040803 * d - 0.0007739 * big2 - 2.6e-7 * big3));
  astro.slots[kSlotN] =
      static_cast<float>(Reduce(-259.183275 + 0.0529539222 * d - 0.0001557 * big2 - 5e-8 * big3));
  astro.slots[kSlotP1] =
      static_cast<float>(Reduce(281.220833 + 0.0000470684 * d + 0.0000339 * big2 + 7e-8 * big3));
  astro.slots[kSlotXi] = 360.0f;
  astro.slots[kSlotNu] = static_cast<float>(13.1763965268 - 1.7e-12 * d + 1.17e-19 * d * d);
  astro.slots[kSlotNu1] = static_cast<float>(0.9856473354 + 4.534e-13 * d);
  astro.slots[kSlotNu2] = static_cast<float>(0.1114040803 - 1.5478e-11 * d - 7.8e-19 * d * d);
  astro.slots[kSlotQ] = static_cast<float>(0.0000470684 + 6.78e-13 * d + 2.1e-19 * d * d);
  astro.slots[kSlotR] = 0.0f;
  astro.slots[kSlotPMid] = 0.0f;
}

bool TideMainConstituents(std::int64_t epoch, MDB_tide_astro_type& astro) {
  static constexpr unsigned kMainNumbers[11] = {5, 3, 29, 0, 1, 2, 32, 34, 25, 10, 31};
  if (astro.foreman) {
    TideForemanArguments(epoch, astro);
  } else {
    TideSchuremanArguments(epoch, astro);
  }
  for (unsigned i = 0; i < 11; ++i) {
    if (!EvaluateBasic(astro, kMainDefinitions[i], kMainNumbers[i], astro.main[i])) return false;
  }
  return true;
}

bool TideConstituent(const MDB_tide_astro_type& astro, unsigned number, TideConstituentValue_t& out) {
  if (number >= kTideConstituentCount) return false;
  const Definition_t& def = kDefinitions[number];
  switch (def.kind) {
    case kHalfOrderM2: {
      // 3.5 times M2 on M2's own slot coefficients doubled (7T - 7s + 7h ...),
      // so that the argument is known modulo 360 degrees.
      const TideConstituentValue_t& m2 = astro.main[kMainM2];
      const double raw = RawArgument(astro, kMainDefinitions[kMainM2]);
      double u = 0.0;
      if (astro.foreman) u = Normalize180(m2.v0u - raw);
      out.speed = 3.5f * m2.speed;
      out.v0u = static_cast<float>(Normalize360(7.0 * raw / 2.0 + 3.5 * u));
      out.f = static_cast<float>(std::pow(static_cast<double>(m2.f), 3.5));
      return true;
    }
    case kCombination: {
      double speed = 0.0, v0u = 0.0, f = 1.0;
      for (unsigned i = 0; i < 11; ++i) {
        const int k = def.coef[i];
        if (k == 0) continue;
        const TideConstituentValue_t& m = astro.main[i];
        speed += k * static_cast<double>(m.speed);
        v0u += k * static_cast<double>(m.v0u);
        for (int j = 0; j < (k < 0 ? -k : k); ++j) f *= m.f;
      }
      out.speed = static_cast<float>(speed);
      out.v0u = static_cast<float>(Normalize360(v0u));
      out.f = static_cast<float>(f);
      return true;
    }
    default:
      return EvaluateBasic(astro, def, number, out);
  }
}

}  // namespace mpl
