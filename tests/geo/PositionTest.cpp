#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <string>

#include "geo/GEO_Datum.h"
#include "geo/GEO_Position.h"

namespace {

constexpr std::int32_t k2p30 = 1 << 30;
constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();

std::int32_t Deg(double degrees) {
  const double s = degrees * geo::SemicirclesPerDegree;
  return static_cast<std::int32_t>(s >= 0 ? std::trunc(s + 0.5) : std::trunc(s - 0.5));
}

template <typename F>
void ExpectOutOfRangeFrom(F f, const char* file) {
  try {
    f();
    ADD_FAILURE() << "no exception";
  } catch (const glo::OutOfRange_t& e) {
    EXPECT_STREQ(e.SourceFile(), file);
  }
}

TEST(Position, LatitudeLimitsOfTheConstructor) {
  EXPECT_EQ(geo::Position_t(k2p30, 0).GetLatitude(), k2p30);
  EXPECT_EQ(geo::Position_t(-k2p30, kMin32).GetLatitude(), -k2p30);
  ExpectOutOfRangeFrom([] { geo::Position_t(k2p30 + 1, 0); }, "GEO_Position.h");
  ExpectOutOfRangeFrom([] { geo::Position_t(-k2p30 - 1, 0); }, "GEO_Position.h");
  ExpectOutOfRangeFrom([] { geo::PositionFromPoint({k2p30 + 1, 5}); }, "GEO_Position.h");
  const geo::Position_t p = geo::PositionFromPoint({7, -9});
  EXPECT_EQ(p, geo::Position_t(7, -9));
  EXPECT_FALSE(p.GetAltitude().IsPresent());
}

TEST(Position, CopiesOwnTheirAltitude) {
  geo::Position_t a(1, 2, 100.5);
  geo::Position_t b = a;
  a.SetAltitude(geo::Altitude_t());
  ASSERT_TRUE(b.GetAltitude().IsPresent());
  EXPECT_EQ(*b.GetAltitude(), 100.5);
  b = a;
  EXPECT_FALSE(b.GetAltitude().IsPresent());
  EXPECT_NE(geo::Position_t(1, 2, 3.0), geo::Position_t(1, 2));
}

TEST(Position, LongitudeFromRadiansWrapsAndRounds) {
  struct Case {
    double radians;
    std::int32_t expected;
  } cases[] = {
      {geo::Pi, kMin32},               // +180 degrees is the same meridian as -180
      {-geo::Pi, kMin32},
      {3 * geo::Pi / 2, -k2p30},       // 270 degrees east is 90 west
      {geo::TwoPi, 0},
      {geo::Pi / 2, k2p30},
      {-geo::Pi / 4, -(1 << 29)},
      {0.0, 0},
      {-0.0, 0},
  };
  for (const Case& c : cases) {
    geo::Position_t p;
    p.SetLongitudeRadians(c.radians);
    EXPECT_EQ(p.GetLongitude(), c.expected) << c.radians;
  }
}

TEST(Position, RadiansRoundHalfAwayFromZero) {
  // Radian values whose product with the scale is exactly n + 0.5.
  int exact = 0;
  for (double half : {1.5, 2.5, 1000.5, 12345.5}) {
    const double x = half / geo::SemicirclesPerRadian;
    if (x * geo::SemicirclesPerRadian != half) continue;  // not exactly representable
    ++exact;
    geo::Position_t p;
    p.SetLongitudeRadians(x);
    EXPECT_EQ(p.GetLongitude(), static_cast<std::int32_t>(half + 0.5)) << half;
    p.SetLongitudeRadians(-x);
    EXPECT_EQ(p.GetLongitude(), -static_cast<std::int32_t>(half + 0.5)) << half;
  }
  EXPECT_GT(exact, 0);
  EXPECT_EQ(geo::RadiansToSemicircles(1.4 / geo::SemicirclesPerRadian), 1);
  EXPECT_EQ(geo::RadiansToSemicircles(-1.4 / geo::SemicirclesPerRadian), -1);
  EXPECT_EQ(geo::RadiansToSemicircles(-1.6 / geo::SemicirclesPerRadian), -2);
}

TEST(Position, LatitudeFromRadiansIsCheckedAfterTheWrap) {
  geo::Position_t p(123, 456, 7.0);
  p.SetLatitudeRadians(geo::TwoPi);
  EXPECT_EQ(p.GetLatitude(), 0);
  p.SetLatitudeRadians(geo::HalfPi);
  EXPECT_EQ(p.GetLatitude(), k2p30);
  p.SetLatitude(99);
  ExpectOutOfRangeFrom([&] { p.SetLatitudeRadians(100.0 / geo::DegreesPerRadian); }, "GEO_Position.cpp");
  EXPECT_EQ(p, geo::Position_t(99, 456, 7.0));
  ExpectOutOfRangeFrom([&] { p.SetLatitude(k2p30 + 1); }, "GEO_Position.h");
  EXPECT_EQ(p.GetLatitude(), 99);
}

TEST(Position, NanInfinityAndHugeAnglesAreRejected) {
  geo::Position_t p(5, 6);
  // 1e17 and 1e20 radians wrap to remainders of many turns; 3e50 to one that no
  // 64-bit integer holds.
  for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity(), 1e17, -1e20, 3e50}) {
    ExpectOutOfRangeFrom([&] { p.SetLongitudeRadians(bad); }, "GEO_Position.cpp");
    ExpectOutOfRangeFrom([&] { p.SetLatitudeRadians(bad); }, "GEO_Position.cpp");
    EXPECT_EQ(p, geo::Position_t(5, 6));
  }
}

TEST(Position, RadianFormRoundTrips) {
  const geo::Position_t start(Deg(-33.92), Deg(-179.99), -12.25);
  const geo::RadPosition_t rad(start);
  EXPECT_DOUBLE_EQ(rad.GetLatitude(), start.GetLatitude() / geo::SemicirclesPerRadian);
  EXPECT_EQ(rad.ToSemicircles(), start);

  geo::RadPosition_t over(100.0 / geo::DegreesPerRadian, 0.0);
  EXPECT_THROW(over.ToSemicircles(), glo::OutOfRange_t);
  over.SetAltitude(3.0);
  over.SetLatitude(0.5);
  EXPECT_EQ(*over.ToSemicircles().GetAltitude(), 3.0);
}

TEST(Position, ExtentArithmeticWraps) {
  const geo::Position_t ne(k2p30, std::numeric_limits<std::int32_t>::max(), 50.0);
  const geo::Position_t sw(-k2p30, kMin32, 10.0);
  const geo::Position_t extent = geo::PositionDifference(ne, sw);
  EXPECT_EQ(extent.GetLatitude(), kMin32);  // 2^31, wrapped; no latitude check
  EXPECT_EQ(extent.GetLongitude(), -1);     // 2^32 - 1
  EXPECT_EQ(*extent.GetAltitude(), 40.0);
  const geo::Position_t half = geo::ScaleExtent(extent, 2.0);
  EXPECT_EQ(half.GetLatitude(), k2p30);
  EXPECT_EQ(half.GetLongitude(), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(*half.GetAltitude(), 20.0);
  const geo::Position_t centre = geo::CombinePositions(sw, half);
  EXPECT_EQ(centre, geo::Position_t(0, -1, 30.0));
  // Half of a one-semicircle extent truncates to 0.
  EXPECT_EQ(geo::ScaleExtent(geo::PositionDifference(geo::Position_t(1, 0), geo::Position_t(0, 0)), 2.0)
                .GetLatitude(),
            0);
  // Altitudes only combine when both are present; the latitude check applies.
  EXPECT_FALSE(geo::CombinePositions(geo::Position_t(0, 0, 1.0), geo::Position_t(0, 0)).GetAltitude().IsPresent());
  EXPECT_THROW(geo::CombinePositions(geo::Position_t(k2p30, 0), geo::Position_t(1, 0)), glo::OutOfRange_t);
}

TEST(DistanceAndBearing, SpecialLegs) {
  struct Case {
    geo::Position_t from, to;
    double distance, bearing;
  } cases[] = {
      {geo::Position_t(Deg(47), Deg(8), 400.0), geo::Position_t(Deg(47), Deg(8)), 0.0, 0.0},
      // Antipodes on the equator: no flattening correction, bearing 0.
      {geo::Position_t(0, 0), geo::Position_t(0, kMin32), geo::Pi * 6378137.0, 0.0},
      {geo::Position_t(0, 0), geo::Position_t(0, Deg(1)), -1, 90.0},
      {geo::Position_t(0, 0), geo::Position_t(0, Deg(-1)), -1, 270.0},
      {geo::Position_t(Deg(10), Deg(5)), geo::Position_t(Deg(-10), Deg(5)), -1, 180.0},
      {geo::Position_t(Deg(10), Deg(5)), geo::Position_t(Deg(11), Deg(5)), -1, 0.0},
      // From the north pole bearings are measured towards longitude +90.
      {geo::Position_t(k2p30, 0), geo::Position_t(0, Deg(90)), -1, 0.0},
      {geo::Position_t(k2p30, 0), geo::Position_t(0, 0), -1, 90.0},
      {geo::Position_t(k2p30, 0), geo::Position_t(0, Deg(-90)), -1, 180.0},
      {geo::Position_t(-k2p30, Deg(33)), geo::Position_t(0, Deg(90)), -1, 180.0},
  };
  for (const Case& c : cases) {
    const geo::DistanceAndBearing_t leg = geo::DistanceAndBearing(c.from, c.to);
    if (c.distance >= 0) {
      EXPECT_NEAR(leg.distance, c.distance, 1e-6);
    }
    EXPECT_NEAR(leg.bearing, c.bearing, 1e-9) << c.to.GetLatitude() << " " << c.to.GetLongitude();
    EXPECT_GE(leg.bearing, 0.0);
    EXPECT_LT(leg.bearing, 360.0);
    EXPECT_EQ(leg.start, c.from);
  }
}

// The distance from unit vectors is the very value DistanceAndBearing gives,
// on both sides of the flattening correction's threshold (about 18.5 km).
TEST(DistanceAndBearing, DistanceFromUnitVectorsIsTheSame) {
  const geo::Position_t from(Deg(47), Deg(8));
  for (const double km : {0.0, 0.001, 1.0, 9.0, 9.3, 12.0, 18.4, 18.6, 25.0, 5000.0}) {
    const geo::Position_t to(Deg(47 + km / 111.2 * 0.3), Deg(8 + km / 76.0 * 0.9));
    const double expected = geo::DistanceAndBearing(from, to).distance;
    EXPECT_EQ(geo::Distance(geo::ToUnitVector(from), geo::ToUnitVector(to)), expected) << km;
  }
}

// Reference legs: distance and initial azimuth of the ellipsoidal geodesic,
// computed once with an independent geodesic solver from the exact degree
// values of these semicircles. The system corrects the great circle to first
// order in the flattening (legs beyond about 18 km), so long legs agree to a
// few parts in a million; shorter legs are plain great circles on the
// equatorial radius (within half a percent). The bearing is the spherical one,
// within a few tenths of a degree of the geodesic azimuth.
TEST(DistanceAndBearing, AgreesWithTheGeodesicOnLongLegs) {
  struct Ref {
    std::int32_t lat1, lon1, lat2, lon2;
    double metres, azimuth;
  } refs[] = {
      // lat1, lon1, lat2, lon2 (semicircles), metres, degrees
      {484376867, -880468296, 615611979, -5965232, 5551759.405901, 51.198883},
      {626588007, 159927879, -404084840, 1804005569, 16088555.784058, 74.764436},
      {-404681363, 219759160, 425678981, 1666566615, 14729084.243497, 70.438003},
      {0, 0, 0, 1073741824, 10018754.171395, 90.000000},
      {0, 0, 715827883, 0, 6654072.822603, 0.000000},
      {254118898, -1883343159, -439637625, 2084968013, 7049667.070363, 204.379019},  // over 180 degrees
      {626349397, 159868227, 626468702, 159987532, 1303.587685, 31.388081},
      {-653789466, -814850740, 933200950, 186711773, 15760253.759725, 19.264945},
  };
  for (const Ref& r : refs) {
    const geo::DistanceAndBearing_t leg =
        geo::DistanceAndBearing(geo::Position_t(r.lat1, r.lon1), geo::Position_t(r.lat2, r.lon2));
    const double tolerance = r.metres > 20000.0 ? 1e-5 : 5e-3;
    EXPECT_NEAR(leg.distance, r.metres, r.metres * tolerance) << r.lat2 << " " << r.lon2;
    EXPECT_NEAR(leg.bearing, r.azimuth, 0.5) << r.lat2 << " " << r.lon2;
    // The same leg backwards has the same length.
    EXPECT_NEAR(geo::DistanceAndBearing(geo::Position_t(r.lat2, r.lon2), geo::Position_t(r.lat1, r.lon1)).distance,
                leg.distance, 1e-6 * r.metres);
  }
}

TEST(Datum, Wgs84Record) {
  const geo::Datum_t& d = geo::GetWgs84Datum();
  EXPECT_EQ(&d, &geo::GetWgs84Datum());
  EXPECT_EQ(d.GetId(), 124);
  EXPECT_EQ(d.GetA(), 6378137.0);
  EXPECT_EQ(d.GetF(), 0.0033528106647474805);
  EXPECT_EQ(d.GetDx(), 0.0);
  EXPECT_FALSE(d.GetHeightShift());
}

TEST(Datum, Wgs84ShiftsChangeNothing) {
  const double lat = 0.91234567890123, lon = -2.98765432109876;
  geo::RadPosition_t p(lat, lon, 123.456);
  geo::GetWgs84Datum().ToWgs84(p);
  geo::GetWgs84Datum().FromWgs84(p);
  EXPECT_EQ(p.GetLatitude(), lat);
  EXPECT_EQ(p.GetLongitude(), lon);
  EXPECT_EQ(*p.GetAltitude(), 123.456);
  // Another datum with the WGS84 id is the same datum.
  const geo::Datum_t sameId(124, 6378388.0, 1 / 297.0, 100, 100, 100, true);
  sameId.ToWgs84(p);
  EXPECT_EQ(p.GetLatitude(), lat);
}

TEST(Datum, ShiftThereAndBackReturnsNearTheStart) {
  // International 1924 ellipsoid with a European-style translation.
  const geo::Datum_t ed50(1, geo::EllipsoidTable[16].a, geo::EllipsoidTable[16].f, -87, -98, -121, true);
  const double lat = 52.5 / geo::DegreesPerRadian, lon = 13.4 / geo::DegreesPerRadian;
  geo::RadPosition_t p(lat, lon, 50.0);
  ed50.FromWgs84(p);
  // Tens of metres to the north-east... about 1e-5 radians.
  EXPECT_GT(std::fabs(p.GetLatitude() - lat), 1e-6);
  EXPECT_NE(*p.GetAltitude(), 50.0);
  ed50.ToWgs84(p);
  EXPECT_NEAR(p.GetLatitude(), lat, 1e-8);
  EXPECT_NEAR(p.GetLongitude(), lon, 1e-8);
  EXPECT_NEAR(*p.GetAltitude(), 50.0, 0.5);

  geo::RadPosition_t noAltitude(lat, lon);
  ed50.FromWgs84(noAltitude);
  EXPECT_FALSE(noAltitude.GetAltitude().IsPresent());
}

TEST(Datum, ShiftFoldsOverThePoleAndWrapsLongitude) {
  const geo::Datum_t far(2, geo::EllipsoidTable[0].a, geo::EllipsoidTable[0].f, -500, 0, 0, false);
  geo::RadPosition_t p(geo::HalfPi - 1e-6, geo::Pi - 1e-9);
  far.ToWgs84(p);  // pushed north by 500 m, past the pole
  EXPECT_LE(p.GetLatitude(), geo::HalfPi);
  EXPECT_GE(p.GetLongitude(), -geo::Pi);
  EXPECT_LT(p.GetLongitude(), geo::Pi);
  EXPECT_NEAR(p.GetLongitude(), 0.0, 1e-3);  // the other side of the pole
}

}  // namespace

namespace {

std::string Bytes(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s.push_back(static_cast<char>(b));
  return s;
}

TEST(PositionStream, SeventeenLittleEndianBytes) {
  bin::stringstream out;
  geo::WritePosition(out, geo::Position_t(0x01020304, -2, 1.0));
  geo::WritePosition(out, geo::Position_t(-1, 5));
  ASSERT_TRUE(out.good());
  EXPECT_EQ(out.str(), Bytes({4, 3, 2, 1, 0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F,  //
                              0xFF, 0xFF, 0xFF, 0xFF, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  bin::stringstream in(out.str());
  geo::Position_t a, b;
  geo::ReadPosition(in, a);
  geo::ReadPosition(in, b);
  ASSERT_TRUE(in.good());
  EXPECT_EQ(a, geo::Position_t(0x01020304, -2, 1.0));
  EXPECT_EQ(b, geo::Position_t(-1, 5));
}

TEST(PositionStream, DamagedInputLeavesTheTargetAlone) {
  const geo::Position_t old(11, 22, 33.0);
  {  // flag 0 with a non-zero double: no altitude
    bin::stringstream in(Bytes({1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
    geo::Position_t p = old;
    geo::ReadPosition(in, p);
    EXPECT_TRUE(in.good());
    EXPECT_EQ(p, geo::Position_t(1, 2));
  }
  {  // latitude 2^30 + 1: bad stream, nothing thrown, target unchanged
    bin::stringstream in(Bytes({1, 0, 0, 0x40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    geo::Position_t p = old;
    EXPECT_NO_THROW(geo::ReadPosition(in, p));
    EXPECT_TRUE(in.bad());
    EXPECT_EQ(p, old);
  }
  {  // truncated: fail, unchanged
    bin::stringstream in(Bytes({1, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0}));
    geo::Position_t p = old;
    geo::ReadPosition(in, p);
    EXPECT_TRUE(in.fail());
    EXPECT_EQ(p, old);
  }
  {  // a stream that is not good on entry is not read
    bin::stringstream in(Bytes({1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    in.setstate(std::ios_base::eofbit);
    geo::Position_t p = old;
    geo::ReadPosition(in, p);
    EXPECT_EQ(p, old);
  }
}

TEST(PositionStream, ListsAreAssignedOnlyWhenComplete) {
  const geo::PositionList_t list = {geo::Position_t(1, 2), geo::Position_t(-3, -4, 5.5), geo::Position_t(6, 7)};
  bin::stringstream out;
  geo::WritePositions(out, list);
  const std::string bytes = out.str();
  ASSERT_EQ(bytes.size(), 4u + 3 * 17);

  geo::PositionList_t read = {geo::Position_t(9, 9)};
  bin::stringstream in(bytes);
  geo::ReadPositions(in, read);
  EXPECT_TRUE(in.good());
  EXPECT_EQ(read, list);

  const geo::PositionList_t old = {geo::Position_t(9, 9)};
  for (const std::string& damaged : {bytes.substr(0, bytes.size() - 1), Bytes({0xFF, 0xFF, 0xFF, 0xFF, 1, 0})}) {
    geo::PositionList_t target = old;
    bin::stringstream bad(damaged);
    geo::ReadPositions(bad, target);
    EXPECT_TRUE(bad.fail());
    EXPECT_EQ(target, old);
  }
  geo::PositionList_t empty = old;
  bin::stringstream none(Bytes({0, 0, 0, 0}));
  geo::ReadPositions(none, empty);
  EXPECT_TRUE(empty.empty());
}

}  // namespace
