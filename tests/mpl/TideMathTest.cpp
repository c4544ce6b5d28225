// The tide engine's numeric kernel: fixed-point trigonometry and square roots
// bit for bit, angles, the engine calendar, clock fields and moon phases.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "mpl/tide/MPL_TideKernels.h"
#include "mpl/tide/MPL_TideMath.h"

namespace {

#include "tide_reference/kernels.inc"

std::uint32_t Day(unsigned year, unsigned month, unsigned day) {
  const mpl::TideDate_t date{static_cast<std::uint8_t>(month), static_cast<std::uint8_t>(day),
                             static_cast<std::uint16_t>(year)};
  return static_cast<std::uint32_t>(mpl::DateToEngineSeconds(date));
}

TEST(TideMathTest, FixedPointSineAndCosineMatchTheTableBitForBit) {
  for (const auto& row : kFixedTrig) {
    EXPECT_EQ(mpl::FixedSin(row.angle), row.sine) << std::hex << row.angle;
    EXPECT_EQ(mpl::FixedCos(row.angle), row.cosine) << std::hex << row.angle;
  }
  // And they are sines: within a few units of 2^-31 of the library's.
  for (const auto& row : kFixedTrig) {
    const double radians = static_cast<std::int32_t>(row.angle) * (M_PI / 2147483648.0);
    EXPECT_NEAR(row.sine / 2147483648.0, std::sin(radians), 2e-8) << std::hex << row.angle;
  }
}

// The batch (four at a time where the processor allows) gives FixedCos's bits:
// every quadrant boundary with its neighbours, and a walk over all angles in
// lengths that leave a remainder for the single path.
TEST(TideMathTest, BatchCosinesAreTheSingleOnes) {
  std::vector<std::uint32_t> angles;
  for (std::uint32_t boundary = 0; boundary < 8; ++boundary)
    for (std::uint32_t d = 0; d < 0x800; ++d) {
      angles.push_back(boundary * 0x20000000u + d);
      angles.push_back(boundary * 0x20000000u - d - 1);
    }
  for (std::uint64_t a = 0; a < 0x100000000ull; a += 4093) angles.push_back(static_cast<std::uint32_t>(a));
  angles.push_back(0x7FFFFFFFu);
  for (const unsigned length : {0u, 1u, 3u, 4u, 30u, static_cast<unsigned>(angles.size())}) {
    std::vector<std::int32_t> out(length + 1, 0x5A5A5A5A);
    mpl::FixedCosBatch(angles.data(), out.data(), length);
    int mismatches = 0;
    for (unsigned i = 0; i < length; ++i)
      if (out[i] != mpl::FixedCos(angles[i]) && ++mismatches < 10) ADD_FAILURE() << std::hex << angles[i];
    EXPECT_EQ(0, mismatches) << length;
    EXPECT_EQ(0x5A5A5A5A, out[length]) << length;  // nothing written past the end
  }
}

// The harmonic sums many times at once, where the processor can, are those of
// the scalar sum bit for bit: the degree sum in double, truncated
// to 64 bits and wrapped, through FixedCos, summed in order. Times run from
// far before to far after the epoch, with angles that truncate towards zero
// on both sides.
TEST(TideMathTest, WideHarmonicSumsAreTheScalarOnes) {
  std::vector<float> speeds, arguments, lags, scales;
  for (int i = 0; i < 37; ++i) {
    speeds.push_back(static_cast<float>(0.04106864 + 14.4920521 * i * 0.37 + i * i * 0.9));
    arguments.push_back(static_cast<float>(i * 47.123 - 500.0));
    lags.push_back(static_cast<float>(i * 9.87));
    scales.push_back(static_cast<float>(0.01 + 1.7 / (1 + i)));
  }
  scales[5] = 0.0f;
  std::vector<float> times;
  for (int k = 0; k < 1000; ++k) times.push_back(static_cast<float>(-90000.0 + k * 181.37));
  for (int k = 0; k < 200; ++k) times.push_back(static_cast<float>(k) / 60.0f);
  times.push_back(0.0f);
  times.push_back(-0.0f);
  const auto scalar = [&](float t, unsigned terms) {
    double sum = 1.25f;
    for (unsigned i = 0; i < terms; ++i) {
      const double degrees = static_cast<double>(t) * speeds[i] + arguments[i] - lags[i];
      const auto angle = static_cast<std::uint32_t>(static_cast<std::int64_t>(degrees * 11930464.711111112));
      sum += mpl::FixedCos(angle) * (1.0 / 2147483648.0) * scales[i];
    }
    return sum;
  };
  for (const unsigned terms : {0u, 1u, 30u, 37u}) {
    std::vector<double> out(times.size() + 1, -7.0);
    const unsigned n = static_cast<unsigned>(times.size()) - 3;
    const unsigned done = mpl::FixedHarmonicSumsWide(times.data(), n, speeds.data(), arguments.data(), lags.data(),
                                                     scales.data(), terms, 1.25f, out.data());
    ASSERT_LE(done, n);
    EXPECT_EQ(0u, done % 8);
    int mismatches = 0;
    for (unsigned k = 0; k < done; ++k) {
      const double expected = scalar(times[k], terms);
      if (std::memcmp(&expected, &out[k], sizeof expected) != 0 && ++mismatches < 10) {
        ADD_FAILURE() << terms << " " << times[k] << ": " << expected << " " << out[k];
      }
    }
    EXPECT_EQ(0, mismatches) << terms;
    for (unsigned k = done; k <= times.size(); ++k) EXPECT_EQ(-7.0, out[k]);  // the rest untouched
  }
}

TEST(TideMathTest, IntegerSquareRootRoundsToNearest) {
  for (const auto& row : kISqrt) EXPECT_EQ(mpl::ISqrt64(row.value), row.root) << row.value;
}

TEST(TideMathTest, AnglesWrapAndArctangentCoversFourQuadrants) {
  EXPECT_DOUBLE_EQ(mpl::WrapRadians(0.0), 0.0);
  EXPECT_NEAR(mpl::WrapRadians(3.14159), 3.14159, 1e-12);
  EXPECT_NEAR(mpl::WrapRadians(-3.1415926535897), 3.1415926535897 - 6.28318530717958, 1e-12);
  EXPECT_NEAR(mpl::WrapRadians(-4.0), 2 * M_PI - 4.0, 1e-9);
  EXPECT_NEAR(mpl::WrapRadians(7.0), 7.0 - 2 * M_PI, 1e-12);
  EXPECT_NEAR(mpl::WrapRadiansF(-7.0f), -7.0f + 6.2831855f, 1e-6);
  EXPECT_EQ(mpl::Atan2(0.0f, 0.0f), 0.0f);
  EXPECT_NEAR(mpl::Atan2(1.0f, 0.0f), M_PI / 2, 1e-6);
  EXPECT_NEAR(mpl::Atan2(-1.0f, 0.0f), -M_PI / 2, 1e-6);
  EXPECT_NEAR(mpl::Atan2(0.0f, -1.0f), M_PI, 1e-6);
  EXPECT_NEAR(mpl::Atan2(-1.0f, -1.0f), -3 * M_PI / 4, 1e-6);
  EXPECT_EQ(mpl::DegreesToAngle(90.0), 0x40000000u);
  EXPECT_EQ(mpl::DegreesToAngle(1.0), 11930464u);  // truncated
  EXPECT_EQ(mpl::DegreesToAngle(-1.0), 0u - 11930464u);
  EXPECT_EQ(mpl::DegreesToAngle(540.0), 0x80000000u);  // 180 wraps to -180
}

TEST(TideMathTest, EngineCalendarConvertsBothWays) {
  struct Case_t {
    std::int64_t seconds;
    unsigned year, month, day;
  } cases[] = {
      {0, 1989, 12, 31},        {86400, 1990, 1, 1},          {-364LL * 86400, 1989, 1, 1},
      {-1, 1989, 12, 30},       {789LL * 86400, 1992, 2, 28}, {790LL * 86400, 1992, 2, 29},
      {791LL * 86400, 1992, 3, 1}, {3653LL * 86400, 2000, 1, 1}, {1096LL * 86400, 1992, 12, 31},
  };
  for (const auto& c : cases) {
    const mpl::TideDate_t date = mpl::EngineSecondsToDate(c.seconds);
    EXPECT_EQ(date.year, c.year) << c.seconds;
    EXPECT_EQ(date.month, c.month) << c.seconds;
    EXPECT_EQ(date.day, c.day) << c.seconds;
    EXPECT_EQ(mpl::DateToEngineSeconds(date), c.seconds - ((c.seconds % 86400) + 86400) % 86400);
  }
  // Every day from 1988 to 2040 follows the one before.
  mpl::TideDate_t previous = mpl::EngineSecondsToDate(-800LL * 86400);
  for (std::int64_t d = -799; d < 18300; ++d) {
    const mpl::TideDate_t date = mpl::EngineSecondsToDate(d * 86400 + 43200);
    ASSERT_EQ(mpl::DateToEngineSeconds(date), d * 86400);
    if (date.day != 1) {
      ASSERT_EQ(date.day, previous.day + 1);
      ASSERT_EQ(date.month, previous.month);
    } else {
      ASSERT_EQ(previous.day, mpl::DaysInMonth(previous));
    }
    previous = date;
  }
}

TEST(TideMathTest, GregorianCountsAndClockFields) {
  EXPECT_EQ(mpl::DayOfYear({3, 1, 2000}), 61u);
  EXPECT_EQ(mpl::DayOfYear({3, 1, 2100}), 60u);
  EXPECT_EQ(mpl::DaysInMonth({2, 1, 1992}), 29u);
  EXPECT_EQ(mpl::DaysInMonth({2, 1, 1900}), 28u);
  EXPECT_EQ(mpl::DaysInYear({1, 1, 1900}), 365u);
  EXPECT_EQ(mpl::DaysInYear({1, 1, 2000}), 366u);
  EXPECT_EQ(mpl::AddDays({12, 31, 1999}, 1).year, 2000);

  mpl::TideClock_t clock{};
  EXPECT_TRUE(mpl::SecondsToClock(3 * 86400 + 3723, true, clock));
  EXPECT_EQ(clock.hours, 1);
  EXPECT_EQ(clock.minutes, 2);
  EXPECT_EQ(clock.seconds, 3);
  EXPECT_EQ(mpl::ClockToSeconds(clock), 3723);
  EXPECT_FALSE(mpl::SecondsToClock(120000000, false, clock));
  EXPECT_EQ(clock.hours, 32767);
  EXPECT_EQ(clock.minutes, 59);
}

TEST(TideMathTest, MoonPhasesCountWholeDays) {
  // New moon 2000-01-06 18:14 UT, full moon 2000-01-21 04:41 UT, the new moon
  // before 1999-12-07 22:32 UT.
  const double jde = mpl::MoonPhaseJde(0.0, 2000);
  EXPECT_NEAR(jde, 2451550.2597 - 65.0 / 86400.0, 0.002);
  EXPECT_EQ(mpl::MoonPhaseTime(Day(2000, 1, 6), mpl::kNextNewMoon, 0), 0);
  EXPECT_EQ(mpl::MoonPhaseTime(Day(2000, 1, 5), mpl::kNextNewMoon, 0), 1);
  EXPECT_EQ(mpl::MoonPhaseTime(Day(2000, 1, 6), mpl::kLastNewMoon, 0), 30);
  EXPECT_EQ(mpl::MoonPhaseTime(Day(2000, 1, 7), mpl::kLastNewMoon, 0), 1);
  EXPECT_EQ(mpl::MoonPhaseTime(Day(2000, 1, 6), mpl::kNextFullMoon, 0), 15);
  EXPECT_EQ(mpl::MoonPhaseTime(Day(2000, 1, 22), mpl::kLastFullMoon, 0), 1);
  // Ten hours east of Greenwich the new moon falls on the local 7 January.
  EXPECT_EQ(mpl::MoonPhaseTime(Day(2000, 1, 7), mpl::kNextNewMoon, 600), 0);
  EXPECT_EQ(mpl::MoonPhaseTime(Day(2000, 1, 6), mpl::kNextNewMoon, 600), 1);
  // Seven hours west it is still the 6th.
  EXPECT_EQ(mpl::MoonPhaseTime(Day(2000, 1, 6), mpl::kNextNewMoon, -420), 0);

  double deltaT = 0.0;
  EXPECT_TRUE(mpl::DeltaT(2000, deltaT));
  EXPECT_NEAR(deltaT, 102.0 - 37.0, 1e-9);
  EXPECT_FALSE(mpl::DeltaT(2101, deltaT));
}

}  // namespace
