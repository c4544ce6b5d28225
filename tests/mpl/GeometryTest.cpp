// The engine's fixed-point geometry against tables of known values and against
// floating-point references.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "mpl/MPL_Geometry.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr std::int32_t kMin = INT32_MIN;
std::int32_t S(std::uint32_t v) { return static_cast<std::int32_t>(v); }

TEST(GeometryTest, Q31ArithmeticAndRoots) {
  struct Div_t {
    std::int32_t a, b, q;
  };
  const Div_t divs[] = {
      {1, 1, 0x7FFFFFFF},        {-1, 1, kMin},          {1, 2, 0x40000000},   {-1, 2, -0x40000000},
      {3, -4, -0x60000000},      {0, 0, 0x7FFFFFFF},     {5, 0, 0x7FFFFFFF},   {-5, 0, kMin},
      {kMin, kMin, 0x7FFFFFFF},  {kMin, 0x7FFFFFFF, kMin}, {1, kMin, -1},     {0x7FFFFFFE, 0x7FFFFFFF, 0x7FFFFFFE},
  };
  for (const Div_t& d : divs) EXPECT_EQ(d.q, mpl::MdbDivQ31(d.a, d.b)) << d.a << "/" << d.b;

  EXPECT_EQ(0x20000000, mpl::MdbMulQ31(0x40000000, 0x40000000));
  EXPECT_EQ(-0x20000000, mpl::MdbMulQ31(-0x40000000, 0x40000000));
  EXPECT_EQ(-1, mpl::MdbMulQ31(-1, 1));  // arithmetic shift
  EXPECT_EQ(33, mpl::MdbMulDivRound(10, 10, 3));
  EXPECT_EQ(1, mpl::MdbMulDivRound(1, 1, 2));
  EXPECT_EQ(0, mpl::MdbMulDivRound(-1, 1, 2));
  EXPECT_EQ(-1, mpl::MdbMulDivRound(-3, 1, 2));  // halves round up
  EXPECT_EQ(0, mpl::MdbMulDivRound(5, 3, 0));
  EXPECT_EQ(kMin, mpl::MdbMulDivRound(kMin, kMin, kMin));  // the doubled product needs more than 64 bits

  struct Root_t {
    std::uint64_t v;
    std::uint32_t r;
  };
  const Root_t roots[] = {{0, 0},   {1, 1},   {2, 1},  {3, 2},          {6, 2},
                          {7, 3},   {16, 4},  {20, 4}, {21, 5},         {1000000000000000000ull, 1000000000},
                          {0xFFFFFFFE00000001ull, 0xFFFFFFFF}, {0xFFFFFFFFFFFFFFFFull, 0xFFFFFFFF}};
  for (const Root_t& r : roots) EXPECT_EQ(r.r, mpl::ISqrt64(r.v)) << r.v;

  EXPECT_EQ(5u, mpl::MdbScaledHypot(3, 4, kMin));          // unscaled
  EXPECT_EQ(4u, mpl::MdbScaledHypot(3, 4, 0x7FFFFFFF));    // 3 scales to 2: isqrt(20)
  EXPECT_EQ(4u, mpl::MdbScaledHypot(6, 4, 0));
  EXPECT_EQ(4u, mpl::MdbLeg(5, 3));
  EXPECT_EQ(0u, mpl::MdbLeg(3, 5));
  EXPECT_EQ(0x7FFFFFFFu, mpl::MdbLeg(kMin, 0) - 1);
}

// The rounded root against the bit-pair root it was first written as, around
// squares and their midpoints and at the top of the range.
TEST(GeometryTest, RootGivesTheBitsOfTheBitPairRoot) {
  const auto bitPair = [](std::uint64_t value) {
    std::uint64_t op = value, res = 0, one = 1ull << 62;
    while (one > op) one >>= 2;
    while (one != 0) {
      if (op >= res + one) {
        op -= res + one;
        res = (res >> 1) + one;
      } else {
        res >>= 1;
      }
      one >>= 2;
    }
    if (op > res) ++res;
    return res > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<std::uint32_t>(res);
  };
  std::vector<std::uint64_t> values;
  for (std::uint64_t v = 0; v < 70000; ++v) values.push_back(v);
  for (std::uint64_t r = 1; r < 0x100000000ull; r += r / 3 + 7919) {
    for (const std::uint64_t base : {r * r, r * r + r})
      for (std::uint64_t d = 0; d < 5; ++d) {
        values.push_back(base + d);
        values.push_back(base - d);
      }
  }
  for (std::uint64_t d = 0; d < 70000; ++d) {
    values.push_back(~0ull - d);
    values.push_back(0xFFFFFFFE00000001ull + d - 35000);  // (2^32 - 1)^2
  }
  for (std::uint64_t v = 1; v != 0; v <<= 1) values.push_back(v);
  int mismatches = 0;
  for (const std::uint64_t v : values)
    if (mpl::ISqrt64(v) != bitPair(v) && ++mismatches < 10) ADD_FAILURE() << v;
  EXPECT_EQ(0, mismatches);
}

TEST(GeometryTest, CosineAndSine) {
  EXPECT_NEAR(0x7FFFFFFF, mpl::MdbCosAngle(0), 2);
  EXPECT_EQ(0, mpl::MdbCosAngle(0x40000000));
  EXPECT_EQ(0, mpl::MdbCosAngle(-0x40000000));
  EXPECT_NEAR(-0x7FFFFFFF, mpl::MdbCosAngle(kMin), 2);
  EXPECT_NEAR(0x5A82799A, mpl::MdbCosAngle(0x20000000), 4);  // cos 45 degrees
  // The kernels within +-45 degrees and the full-range cosine everywhere.
  long long worst = 0;
  for (std::int64_t a = -0x20000000; a <= 0x20000000; a += 0x00321001) {
    const double rad = static_cast<double>(a) * kPi / 2147483648.0;
    worst = std::max(worst, std::llabs(mpl::MdbCosKernel(static_cast<std::int32_t>(a)) -
                                       std::llround(std::cos(rad) * 2147483648.0)));
    worst = std::max(worst, std::llabs(mpl::MdbSinKernel(static_cast<std::int32_t>(a)) -
                                       std::llround(std::sin(rad) * 2147483648.0)));
  }
  for (std::int64_t a = INT32_MIN; a <= INT32_MAX; a += 0x01234567) {
    const double rad = static_cast<double>(a) * kPi / 2147483648.0;
    const double ref = std::min(std::cos(rad) * 2147483648.0, 2147483647.0);
    worst = std::max(worst, std::llabs(mpl::MdbCosAngle(static_cast<std::int32_t>(a)) - std::llround(ref)));
  }
  EXPECT_LE(worst, 8);
  EXPECT_EQ(1, mpl::MdbLatitudeFactor(0x40000000));
  EXPECT_EQ(mpl::MdbCosAngle(0x123456), mpl::MdbLatitudeFactor(0x123456));
}

// The kernels' series with every product held in 128 bits, as first written:
// the inline 64-bit forms must give the same bits.
namespace wide {

using Wide_t = __int128;

std::int64_t Hi(std::int64_t a, std::int64_t b) { return static_cast<std::int64_t>((static_cast<Wide_t>(a) * b) >> 32); }

struct Row_t {
  std::int64_t m;
  unsigned k;
};

template <std::size_t N>
std::int64_t Series(const Row_t (&rows)[N], std::int64_t s) {
  std::int64_t t = 0x7FFFFFFF - (Hi(s, rows[0].m) >> rows[0].k);
  for (std::size_t i = 1; i < N; ++i) {
    const std::int64_t ts = static_cast<std::int64_t>((static_cast<Wide_t>(t) * s) >> 31);
    t = 0x7FFFFFFF - (Hi(ts, rows[i].m) >> rows[i].k);
  }
  return t;
}

void Radians(std::int32_t angle, std::int64_t& x, std::int64_t& s) {
  x = (static_cast<std::int64_t>(angle) * 0x6487ED51) >> 29;
  s = static_cast<std::int64_t>((static_cast<Wide_t>(x) * x) >> 31);
}

std::int32_t Cos(std::int32_t angle) {
  static constexpr Row_t kRows[] = {{0x7C1F07C2, 6}, {0x5B05B05B, 5}, {0x49249249, 4}, {0x44444444, 3}, {0x55555555, 2}};
  std::int64_t x, s;
  Radians(angle, x, s);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(0x7FFFFFFF - Hi(Series(kRows, s), s)));
}

std::int32_t Sin(std::int32_t angle) {
  static constexpr Row_t kRows[] = {{0x69069069, 6}, {0x4A7904A7, 5}, {0x71C71C71, 5},
                                    {0x61861861, 4}, {0x66666666, 3}, {0x55555555, 1}};
  std::int64_t x, s;
  Radians(angle, x, s);
  return static_cast<std::int32_t>(
      static_cast<std::uint32_t>(static_cast<std::int64_t>((static_cast<Wide_t>(Series(kRows, s)) * x) >> 31)));
}

}  // namespace wide

TEST(GeometryTest, KernelsGiveTheBitsOfTheWideForm) {
  std::vector<std::int64_t> angles;
  // Around the ends of the 64-bit range, zero and the ends of all angles.
  for (const std::int64_t centre : {std::int64_t{0}, std::int64_t{0x20000000}, std::int64_t{-0x20000000},
                                    std::int64_t{0x10000000}, std::int64_t{-0x10000000}})
    for (std::int64_t d = -0x2000; d <= 0x2000; ++d) angles.push_back(centre + d);
  for (std::int64_t d = 0; d <= 0x2000; ++d) {
    angles.push_back(INT32_MIN + d);
    angles.push_back(INT32_MAX - d);
  }
  // Every 1009th angle within +-45 degrees, and a coarser walk over the rest.
  for (std::int64_t a = -0x20000000; a <= 0x20000000; a += 1009) angles.push_back(a);
  for (std::int64_t a = INT32_MIN; a <= INT32_MAX; a += 0x10003) angles.push_back(a);
  int mismatches = 0;
  for (const std::int64_t a64 : angles) {
    const std::int32_t a = static_cast<std::int32_t>(a64);
    if (mpl::MdbCosKernel(a) != wide::Cos(a) && ++mismatches < 10) ADD_FAILURE() << "cos " << a;
    if (mpl::MdbSinKernel(a) != wide::Sin(a) && ++mismatches < 10) ADD_FAILURE() << "sin " << a;
  }
  EXPECT_EQ(0, mismatches);
  // The full-range cosine folds onto them.
  for (std::int64_t a = INT32_MIN; a <= INT32_MAX; a += 0x0FFF1) {
    const std::uint32_t u = static_cast<std::uint32_t>(a) + 0x60000000u;
    const std::int32_t r = static_cast<std::int32_t>(u & 0x3FFFFFFFu) - 0x20000000;
    const std::int32_t folded[] = {wide::Sin(r), wide::Cos(r), -wide::Sin(r), -wide::Cos(r)};
    ASSERT_EQ(folded[u >> 30], mpl::MdbCosAngle(static_cast<std::int32_t>(a))) << a;
  }
}

TEST(GeometryTest, Arctangents) {
  EXPECT_EQ(0x12E4051D, mpl::MdbAtanRatio(0x40000000));  // atan 1/2
  EXPECT_EQ(0, mpl::MdbAtanRatio(0));
  struct Angle_t {
    std::int32_t x, y, angle;
  };
  const Angle_t table[] = {
      {1, 0, 0},
      {0, 1, 0x40000000},
      {0, 0, 0x40000000},
      {-5, 0, S(0x80000001)},
      {5, 5, 0x20000000},
      {-5, 5, 0x60000000},
      {-5, -5, -0x60000000},
      {5, -5, -0x20000000},
      {0, -7, -0x40000000},
      {kMin, 0, S(0x80000001)},
      {kMin, kMin, -0x60000000},
  };
  for (const Angle_t& t : table) EXPECT_EQ(t.angle, mpl::MdbAtan2(t.x, t.y)) << t.x << "," << t.y;
  // y = -2^31 is about -90 degrees, like any large negative y.
  EXPECT_NEAR(-0x40000000, mpl::MdbAtan2(1, kMin), 4);
  EXPECT_NEAR(-0x40000000 + 0x28BE60, mpl::MdbAtan2(0x00800000, kMin), 0x2000);

  long long worst = 0;
  std::uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<std::int32_t>(seed);
  };
  for (int i = 0; i < 20000; ++i) {
    const std::int32_t x = next() >> (i % 20), y = next() >> (i % 13);
    const double ref = std::atan2(static_cast<double>(y), static_cast<double>(x)) / kPi * 2147483648.0;
    long long err = std::llabs(mpl::MdbAtan2(x, y) - std::llround(ref));
    if (err > 0x80000000ll) err = 0x100000000ll - err;  // +-180 degrees
    worst = std::max(worst, err);
  }
  EXPECT_LE(worst, 64);
}

TEST(GeometryTest, CompassDirections) {
  const mpl::MdbPoint_t o{0x01000000, 0x02000000};
  struct Case_t {
    std::int32_t dLat, dLon;
    int code;
  };
  const Case_t cases[] = {{0, 0, 1},       {100, 0, 2},    {100, 100, 3},   {0, 100, 4},  {-100, 100, 5},
                          {-100, 0, 6},    {-100, -100, 7}, {0, -100, 8},   {100, -100, 9}, {100, 30, 2},
                          {30, 100, 4},    {-100, 40, 6}};
  for (const Case_t& c : cases) {
    const mpl::MdbPoint_t to{o.lat + c.dLat, o.lon + c.dLon};
    EXPECT_EQ(c.code, mpl::MdbCompassDirection(o, to)) << c.dLat << "," << c.dLon;
  }
  // Across the 180-degree meridian the short way round counts.
  EXPECT_EQ(4, mpl::MdbCompassDirection({0, 0x7FFFFF00}, {0, S(0x80000100)}));
}

TEST(GeometryTest, BoxTests) {
  const std::int32_t deg = 0x7FFFFFFF / 180;
  // West edge at 179 east, east edge at 179 west: across the meridian.
  const mpl::MdbBox_t across{10 * deg, -179 * deg, -10 * deg, 179 * deg};
  EXPECT_TRUE(mpl::MdbPointInBox(across, {0, kMin}));
  EXPECT_TRUE(mpl::MdbPointInBox(across, {0, 0x7FFFFFFF}));
  EXPECT_TRUE(mpl::MdbPointInBox(across, {10 * deg, 179 * deg}));  // borders belong
  EXPECT_FALSE(mpl::MdbPointInBox(across, {0, 0}));
  EXPECT_FALSE(mpl::MdbPointInBox(across, {11 * deg, kMin}));
  const mpl::MdbBox_t plain{10, 20, -10, -20};
  EXPECT_TRUE(mpl::MdbPointInBox(plain, {-10, 20}));
  EXPECT_FALSE(mpl::MdbPointInBox(plain, {0, 21}));
  EXPECT_FALSE(mpl::MdbPointInBox(plain, {0, -21}));
  int flag = 7;
  mpl::MdbPointInBox(plain, {0, 0}, flag);
  EXPECT_EQ(1, flag);

  struct Contains_t {
    mpl::MdbBox_t outer, inner;
    bool contains;
  };
  const Contains_t contains[] = {
      {plain, plain, true},
      {plain, {5, 5, -5, -5}, true},
      {plain, {11, 5, -5, -5}, false},
      {plain, {5, 21, -5, -5}, false},
      {plain, {5, 5, -5, -21}, false},
      {plain, {5, -5, -5, 5}, false},  // inner runs the long way round
      {across, {5, kMin + 100, -5, 0x7FFFFF00}, true},
  };
  for (const Contains_t& c : contains) EXPECT_EQ(c.contains, mpl::MdbBoxContains(c.outer, c.inner));

  struct Overlap_t {
    mpl::MdbBox_t a, b;
    bool overlap;
  };
  const Overlap_t overlaps[] = {
      {plain, {5, 5, -5, -5}, true},
      {plain, {30, 5, 11, -5}, false},            // north of it
      {plain, {5, 30, -5, 21}, false},            // east of it
      {plain, {5, 30, -5, 20}, true},             // touching edges
      {across, {5, kMin + 5, -5, 0x7FFFFF00}, true},
      {across, {5, 10, -5, -10}, false},
      {plain, {5, 100, -5, -100}, true},          // the wider one holds it
      {{5, 0x7FFFFFFF, -5, kMin}, plain, true},   // the whole circle
  };
  for (const Overlap_t& o : overlaps) {
    EXPECT_EQ(o.overlap, mpl::MdbBoxesOverlap(o.a, o.b));
    EXPECT_EQ(o.overlap, mpl::MdbBoxesOverlap(o.b, o.a));
  }
}

TEST(GeometryTest, DistanceToSegment) {
  const std::int32_t one = 0x7FFFFFFF;
  const mpl::MdbPoint_t a{0, 0}, b{0, 1000};
  mpl::MdbPoint_t n;
  EXPECT_EQ(300u, mpl::MdbDistanceToSegment(a, b, {300, 500}, n, one));
  EXPECT_EQ(0, n.lat);
  EXPECT_NEAR(500, n.lon, 1);
  // Beyond either end: that end.
  EXPECT_NEAR(500, mpl::MdbDistanceToSegment(a, b, {300, -400}, n, one), 1);
  EXPECT_EQ(0, n.lon);
  EXPECT_NEAR(500, mpl::MdbDistanceToSegment(a, b, {-300, 1400}, n, one), 1);
  EXPECT_EQ(1000, n.lon);
  // A zero-length segment and a point on its start give the start.
  EXPECT_NEAR(5, mpl::MdbDistanceToSegment(a, a, {3, 4}, n, one), 1);
  EXPECT_EQ(0, n.lon);
  EXPECT_EQ(0u, mpl::MdbDistanceToSegment(a, b, a, n, one));
  // Longitudes count half at a factor of 1/2.
  EXPECT_NEAR(250, mpl::MdbDistanceToSegment({0, 0}, {1000, 0}, {500, 500}, n, 0x40000000), 1);
  EXPECT_EQ(500, n.lat);
  EXPECT_EQ(0, n.lon);
}

TEST(GeometryTest, EllipseBoxes) {
  mpl::MdbBox_t box;
  const mpl::MdbPoint_t a{100, -1000000}, b{-100, 1000000};
  // No length, or one the segment already exceeds: the segment's box.
  for (std::int32_t length : {0, -5, 1000000}) {
    mpl::MdbEllipseBox(a, b, length, box);
    EXPECT_EQ(100, box.north);
    EXPECT_EQ(-100, box.south);
    EXPECT_EQ(1000000, box.east);
    EXPECT_EQ(-1000000, box.west);
  }
  mpl::MdbEllipseBox(b, a, 0, box);
  EXPECT_EQ(1000000, box.east);
  // Foci 2,000,000 apart, distance sum 3,000,000: half axes 1,500,000 and
  // sqrt(1.5^2 - 1) million.
  mpl::MdbEllipseBox({0, -1000000}, {0, 1000000}, 3000000, box);
  EXPECT_NEAR(1118034, box.north, 4);
  EXPECT_NEAR(-1118034, box.south, 4);
  EXPECT_NEAR(1500000, box.east, 4);
  EXPECT_NEAR(-1500000, box.west, 4);
  // Vertical foci.
  mpl::MdbEllipseBox({-1000000, 0}, {1000000, 0}, 3000000, box);
  EXPECT_NEAR(1500000, box.north, 4);
  EXPECT_NEAR(1118034, box.east, 4);
  // Foci closer than 256: a circle of half the length.
  mpl::MdbEllipseBox({0, 0}, {0, 100}, 1000, box);
  EXPECT_EQ(500, box.north);
  EXPECT_EQ(-500, box.south);
  EXPECT_NEAR(550, box.east, 1);
  EXPECT_NEAR(-450, box.west, 1);
}

TEST(GeometryTest, SegmentCrossings) {
  const std::int32_t u = 0x10000;
  mpl::MdbPoint_t p;
  // An X through the origin.
  EXPECT_TRUE(mpl::MdbSegmentsCross({{-u, -u}, {u, u}}, {{-u, u}, {u, -u}}, p));
  EXPECT_EQ(0, p.lat);
  EXPECT_EQ(0, p.lon);
  // Off-centre: the crossing rounded to a multiple of 256.
  EXPECT_TRUE(mpl::MdbSegmentsCross({{0, 0}, {4 * u, 4 * u}}, {{0, 2 * u}, {2 * u, 0}}, p));
  EXPECT_EQ(u, p.lat);
  EXPECT_EQ(u, p.lon);
  // Parallel, apart, or not reaching each other.
  EXPECT_FALSE(mpl::MdbSegmentsCross({{0, 0}, {u, u}}, {{0, 100}, {u, u + 100}}, p));
  EXPECT_EQ(S(0xBFFFFFFF), p.lat);
  EXPECT_FALSE(mpl::MdbSegmentsCross({{0, 0}, {u, u}}, {{2 * u, 2 * u}, {3 * u, 0}}, p));
  EXPECT_FALSE(mpl::MdbSegmentsCross({{0, 0}, {u, u}}, {{0, 3 * u}, {3 * u, 2 * u}}, p));
  // Touching at the second end of both is a crossing there; at the first end
  // of both, or end to start, it is not.
  EXPECT_TRUE(mpl::MdbSegmentsCross({{0, 0}, {u, u}}, {{2 * u, 0}, {u, u}}, p));
  EXPECT_EQ(u, p.lat);
  EXPECT_EQ(u, p.lon);
  EXPECT_FALSE(mpl::MdbSegmentsCross({{u, u}, {0, 0}}, {{u, u}, {2 * u, 0}}, p));
  EXPECT_FALSE(mpl::MdbSegmentsCross({{0, 0}, {u, u}}, {{u, u}, {2 * u, 0}}, p));
  // Bit 0 of the latitudes is ignored: these still share their first point.
  EXPECT_FALSE(mpl::MdbSegmentsCross({{u + 1, u}, {0, 0}}, {{u, u}, {2 * u, 0}}, p));
}

}  // namespace
