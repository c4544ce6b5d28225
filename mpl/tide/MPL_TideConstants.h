#pragma once
// The numeric constants of the tide engine, each with the exact value its
// arithmetic uses: the fixed-point unit, pi and its multiples in both
// precisions, and the factors between degrees, radians, semicircles and
// 32-bit angle units (2^32 per turn).

namespace mpl {

// 2^-31: a fixed-point sine or cosine (scaled by 2^31) as a fraction.
inline constexpr double kFixedOne = 1.0 / 2147483648.0;

// Pi to 14 decimals, as the double-precision angle wrapping and the
// interpolated curve use it.
inline constexpr double kPi = 3.14159265358979;
inline constexpr double kTwoPi = 6.28318530717958;
// Pi in single precision, and its multiples rounded to single precision.
inline constexpr float kPiF = 3.1415927f;
inline constexpr float kTwoPiF = 6.2831855f;
inline constexpr float kHalfPiF = 1.5707964f;
inline constexpr float kInverseTwoPiF = 0.15915494f;

// Degrees and radians.
inline constexpr double kRadiansPerDegree = 0.017453292519943295;
inline constexpr double kDegreesPerRadian = 57.29577951308232;

// 2^32 / 360: degrees to 32-bit angle units.
inline constexpr double kAngleUnitsPerDegree = 11930464.711111112;
// 2^31 / pi: radians to 32-bit angle units (and to semicircles).
inline constexpr double kAngleUnitsPerRadian = 683565275.5764323;
// pi / 2^31: semicircles to radians, in double and single precision.
inline constexpr double kRadiansPerSemicircle = 1.4629180792671582e-9;
inline constexpr float kRadiansPerSemicircleF = 1.4629181e-9f;

}  // namespace mpl
