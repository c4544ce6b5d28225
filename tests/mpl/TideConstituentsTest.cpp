// Constituent speeds, equilibrium arguments and node factors of every
// constituent number by both methods, against reference tables computed once
// in double precision from the textbook formulas.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "mpl/tide/MPL_TideConstituents.h"
#include "mpl/tide/MPL_TideMath.h"

namespace {

#include "tide_reference/constituents.inc"

double AngleDifference(double a, double b) {
  const double d = std::fmod(std::fabs(a - b), 360.0);
  return d > 180.0 ? 360.0 - d : d;
}

TEST(TideConstituentsTest, EveryNumberMatchesTheReferenceByBothMethods) {
  mpl::MDB_tide_astro_type astro{};
  int lastKey = -1;
  unsigned rows = 0;
  for (const auto& ref : kConstituentReference) {
    const int key = ref.year * 10000 + ref.month * 100 + ref.day + ref.foreman * 100000000;
    if (key != lastKey) {
      astro = {};
      astro.foreman = static_cast<std::uint8_t>(ref.foreman);
      astro.sinLatitude = mpl::TideLatitudeSine(ref.latitude);
      const mpl::TideDate_t date{static_cast<std::uint8_t>(ref.month), static_cast<std::uint8_t>(ref.day),
                                 static_cast<std::uint16_t>(ref.year)};
      ASSERT_TRUE(mpl::TideMainConstituents(mpl::DateToEngineSeconds(date), astro)) << key;
      lastKey = key;
    }
    mpl::TideConstituentValue_t value{};
    ASSERT_TRUE(mpl::TideConstituent(astro, ref.number, value)) << key << " #" << ref.number;
    EXPECT_NEAR(value.speed, ref.speed, 2e-5) << key << " #" << ref.number;
    EXPECT_LE(AngleDifference(value.v0u, ref.v0u), 0.01) << key << " #" << ref.number << " " << value.v0u;
    EXPECT_NEAR(value.f, ref.f, 2e-5) << key << " #" << ref.number;
    EXPECT_GE(value.v0u, 0.0f);
    EXPECT_LT(value.v0u, 360.0f);
    ++rows;
  }
  EXPECT_EQ(rows, 12u * mpl::kTideConstituentCount);
}

TEST(TideConstituentsTest, MainSpeedsAndRejectedNumbers) {
  mpl::MDB_tide_astro_type astro{};
  ASSERT_TRUE(mpl::TideMainConstituents(mpl::DateToEngineSeconds({1, 1, 2000}), astro));
  static constexpr double kSpeeds[11] = {13.9430356, 15.0410686, 14.9589314, 28.9841042, 30.0, 28.4397295,
                                         29.5284789, 30.0821373, 13.3986609, 28.5125831, 43.4761563};
  for (int i = 0; i < 11; ++i) EXPECT_NEAR(astro.main[i].speed, kSpeeds[i], 2e-6) << i;
  mpl::TideConstituentValue_t value{};
  EXPECT_FALSE(mpl::TideConstituent(astro, 201, value));
  EXPECT_FALSE(mpl::TideConstituent(astro, 255, value));
}

// Constituent 175 is three and a half times M2: its argument comes from M2's
// slot coefficients times 3.5 (7T - 7s + 7h + 7xi - 7nu), which is known modulo
// 360 degrees, not from 3.5 times M2's reduced argument, which is not.
TEST(TideConstituentsTest, HalfOrderM2TakesItsArgumentFromTheSlots) {
  mpl::MDB_tide_astro_type astro{};
  ASSERT_TRUE(mpl::TideMainConstituents(mpl::DateToEngineSeconds({1, 1, 2013}), astro));
  const float* a = astro.slots;
  const double expected = mpl::Normalize360(7.0 * a[mpl::kSlotT] - 7.0 * a[mpl::kSlotS] + 7.0 * a[mpl::kSlotH] +
                                            7.0 * a[mpl::kSlotXi] - 7.0 * a[mpl::kSlotNu]);
  mpl::TideConstituentValue_t value{};
  ASSERT_TRUE(mpl::TideConstituent(astro, 175, value));
  EXPECT_LE(AngleDifference(value.v0u, expected), 0.01);
  // Here the reduced M2 argument times 3.5 lands half a turn away.
  const double naive = mpl::Normalize360(3.5 * astro.main[3].v0u);
  EXPECT_GT(AngleDifference(naive, expected), 170.0);
}

TEST(TideConstituentsTest, LatitudeNearTheEquatorCountsAsFiveDegrees) {
  EXPECT_NEAR(mpl::TideLatitudeSine(0), std::sin(5.0 * M_PI / 180.0), 1e-7);
  EXPECT_NEAR(mpl::TideLatitudeSine(-1000), -std::sin(5.0 * M_PI / 180.0), 1e-7);
  EXPECT_NEAR(mpl::TideLatitudeSine(0x20000000), std::sin(M_PI / 4.0), 1e-7);
}

}  // namespace
