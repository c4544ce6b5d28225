#pragma once
// Integer geometry on 32-bit semicircles (2^31 = 180 degrees): Q31 fractions,
// trigonometry, angles, distances, box tests and segment crossing. Everything
// is integer arithmetic with 64-bit intermediates; nothing throws.
#include <cstddef>
#include <cstdint>

namespace mpl {

// A position: latitude, then longitude.
struct MdbPoint_t {
  std::int32_t lat = 0;
  std::int32_t lon = 0;
};

// A box: north, east, south, west. The longitudes run eastward from west to
// east and may cross the 180-degree meridian.
struct MdbBox_t {
  std::int32_t north = 0;
  std::int32_t east = 0;
  std::int32_t south = 0;
  std::int32_t west = 0;
};

struct MdbSegment_t {
  MdbPoint_t a;
  MdbPoint_t b;
};

// Rounded square root: the bit-pair root, raised by 1 when the remainder exceeds it.
std::uint32_t ISqrt64(std::uint64_t value);

// (a*b) >> 31.
std::int32_t MdbMulQ31(std::int32_t a, std::int32_t b);
// a/b as Q31, saturating to 0x7FFFFFFF or 0x80000000 when abs(a) >= abs(b).
std::int32_t MdbDivQ31(std::int32_t a, std::int32_t b);
// a*b/c rounded (c = 0 gives 0).
std::int32_t MdbMulDivRound(std::int32_t a, std::int32_t b, std::int32_t c);
// isqrt(dy^2 + MulQ31(dx, scale)^2); scale 0x80000000 leaves dx as it is.
std::uint32_t MdbScaledHypot(std::int32_t dx, std::int32_t dy, std::int32_t scale);
// isqrt(a^2 - b^2) (0 when b is the larger).
std::uint32_t MdbLeg(std::int32_t a, std::int32_t b);

// Cosine and sine as Q31 of an angle within +-45 degrees (the series keeps
// going outside it). Within +-45 degrees every product of the series fits in 64
// bits, so the inline forms below give the same bits as the general forms,
// which hold their products in 128 bits and take the other angles.
std::int32_t MdbCosKernelWide(std::int32_t angle);
std::int32_t MdbSinKernelWide(std::int32_t angle);

namespace kernel {

constexpr std::int64_t kOne = 0x7FFFFFFF;

// The rows of the series, multiplier m and extra shift k: the cosine's and
// the sine's.
struct Row_t {
  std::int64_t m;
  unsigned k;
};
inline constexpr Row_t kCosRows[] = {
    {0x7C1F07C2, 6}, {0x5B05B05B, 5}, {0x49249249, 4}, {0x44444444, 3}, {0x55555555, 2}};
inline constexpr Row_t kSinRows[] = {
    {0x69069069, 6}, {0x4A7904A7, 5}, {0x71C71C71, 5}, {0x61861861, 4}, {0x66666666, 3}, {0x55555555, 1}};

// One term of the series: t := 1 - (t*s >> 31)*m >> (32 + k); the two floor
// shifts of the product by m make one.
inline std::int64_t Term(std::int64_t t, std::int64_t s, std::int64_t m, unsigned k) {
  return kOne - ((((t * s) >> 31) * m) >> (32 + k));
}

// The series of the rows at s: t := 1 - (s*m >> (32 + k)) by the first row,
// then a term by each further one.
template <std::size_t N>
inline std::int64_t Series(const Row_t (&rows)[N], std::int64_t s) {
  std::int64_t t = kOne - ((s * rows[0].m) >> (32 + rows[0].k));
#pragma GCC unroll 8
  for (std::size_t i = 1; i < N; ++i) t = Term(t, s, rows[i].m, rows[i].k);
  return t;
}

// The angle as Q31 radians and its square.
inline void Radians(std::int32_t angle, std::int64_t& x, std::int64_t& s) {
  x = (static_cast<std::int64_t>(angle) * 0x6487ED51) >> 29;
  s = (x * x) >> 31;
}

inline bool InRange(std::int32_t angle) { return angle >= -0x20000000 && angle <= 0x20000000; }

}  // namespace kernel

inline std::int32_t MdbCosKernel(std::int32_t angle) {
  if (!kernel::InRange(angle)) return MdbCosKernelWide(angle);
  std::int64_t x, s;
  kernel::Radians(angle, x, s);
  return static_cast<std::int32_t>(kernel::kOne - ((kernel::Series(kernel::kCosRows, s) * s) >> 32));
}

inline std::int32_t MdbSinKernel(std::int32_t angle) {
  if (!kernel::InRange(angle)) return MdbSinKernelWide(angle);
  std::int64_t x, s;
  kernel::Radians(angle, x, s);
  return static_cast<std::int32_t>((kernel::Series(kernel::kSinRows, s) * x) >> 31);
}
// Cosine as Q31 of any angle.
std::int32_t MdbCosAngle(std::int32_t angle);
// 2^32*atan(x / 2^32)/pi.
std::int32_t MdbAtanKernel(std::int32_t x);
// The arctangent in semicircles of a Q31 ratio in [0, 1).
std::int32_t MdbAtanRatio(std::int32_t ratio);
// The angle of the vector (x, y) from the x axis; (0, 0) gives 90 degrees and
// the negative x axis 0x80000001.
std::int32_t MdbAtan2(std::int32_t x, std::int32_t y);
// Direction code from a to b: 1 none, 2 north, 3 north-east ... 9 north-west.
int MdbCompassDirection(const MdbPoint_t& from, const MdbPoint_t& to);
// The latitude factor of a latitude: its Q31 cosine, 0 replaced by 1.
std::int32_t MdbLatitudeFactor(std::int32_t lat);

// Box tests; each sets the flag to 1 or 0.
void MdbPointInBox(const MdbBox_t& box, const MdbPoint_t& point, int& flag);
void MdbBoxContains(const MdbBox_t& outer, const MdbBox_t& inner, int& flag);
void MdbBoxesOverlap(const MdbBox_t& a, const MdbBox_t& b, int& flag);
inline bool MdbPointInBox(const MdbBox_t& box, const MdbPoint_t& point) {
  int f = 0;
  MdbPointInBox(box, point, f);
  return f != 0;
}
inline bool MdbBoxContains(const MdbBox_t& outer, const MdbBox_t& inner) {
  int f = 0;
  MdbBoxContains(outer, inner, f);
  return f != 0;
}
inline bool MdbBoxesOverlap(const MdbBox_t& a, const MdbBox_t& b) {
  int f = 0;
  MdbBoxesOverlap(a, b, f);
  return f != 0;
}

// Distance from p to the nearest point of ab (longitudes scaled by 'factor').
std::uint32_t MdbDistanceToSegment(const MdbPoint_t& a, const MdbPoint_t& b, const MdbPoint_t& p,
                                   MdbPoint_t& nearest, std::int32_t factor);
// Bounding box of the ellipse with foci a and b whose distance sum is 'length'.
void MdbEllipseBox(const MdbPoint_t& a, const MdbPoint_t& b, std::int32_t length, MdbBox_t& box);
// True when the segments cross, with the crossing point (latitude 0xBFFFFFFF
// when none was computed).
bool MdbSegmentsCross(const MdbSegment_t& a, const MdbSegment_t& b, MdbPoint_t& point);

}  // namespace mpl
