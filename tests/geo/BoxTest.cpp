// Geographic boxes: longitude ranges across the 180-degree meridian, unions,
// intersections, centres and the box around a circle.
#include <gtest/gtest.h>

#include <cstdint>

#include "geo/GEO_Box.h"
#include "geo/GEO_Circle.h"

namespace {

using geo::Altitude_t;
using geo::Box_t;
using geo::Position_t;

constexpr std::int32_t Deg(double d) { return static_cast<std::int32_t>(d * 11930464.711111112); }
constexpr std::int32_t k2_28 = 1 << 28;

Box_t Lon(double westDeg, double eastDeg, double south = 0, double north = 10) {
  return Box_t(Deg(north), Deg(south), Deg(eastDeg), Deg(westDeg));
}

TEST(GeoBox, LongitudeRangeAcrossTheDateLine) {
  const Box_t box(Deg(10), 0, INT32_MIN + k2_28, INT32_MAX - k2_28 + 1);  // 157.5 E .. 157.5 W
  EXPECT_TRUE(box.ContainsLongitude(INT32_MIN));
  EXPECT_FALSE(box.ContainsLongitude(0));
  EXPECT_EQ(box.GetWidth(), 1u << 29);
  EXPECT_TRUE(box.ContainsLongitude(box.GetWest()));
  EXPECT_TRUE(box.ContainsLongitude(box.GetEast()));
  EXPECT_FALSE(box.ContainsLongitude(box.GetWest() - 1));
  const Box_t full(Deg(10), 0, INT32_MAX, INT32_MIN);
  EXPECT_TRUE(full.ContainsLongitude(INT32_MIN));
  EXPECT_TRUE(full.ContainsLongitude(INT32_MAX));  // one semicircle west of the west edge
  EXPECT_TRUE(full.ContainsLongitude(12345));
  EXPECT_FALSE(Box_t().ContainsLongitude(0));
}

TEST(GeoBox, PairConstructorNormalises) {
  const Box_t box(std::make_pair(Position_t(Deg(10), Deg(170), 5.0), Position_t(Deg(20), Deg(-170), 9.0)));
  EXPECT_EQ(box.GetNorth(), Deg(20));
  EXPECT_EQ(box.GetSouth(), Deg(10));
  EXPECT_EQ(box.GetWest(), Deg(170));
  EXPECT_EQ(box.GetEast(), Deg(-170));
  EXPECT_EQ(box.GetUpperAltitude().Value(), 9.0);
  EXPECT_EQ(box.GetLowerAltitude().Value(), 5.0);
  EXPECT_EQ(box.GetAltitudeSpan().Value(), 4.0);
  // One altitude alone is dropped.
  const Box_t half(std::make_pair(Position_t(0, 0, 5.0), Position_t(1, 1)));
  EXPECT_FALSE(half.GetUpperAltitude().IsPresent());
  EXPECT_FALSE(half.GetLowerAltitude().IsPresent());
  EXPECT_FALSE(half.GetAltitudeSpan().IsPresent());
  // A box of one position covers one meridian.
  const Box_t point(Position_t(Deg(5), Deg(7)));
  EXPECT_EQ(point.GetWidth(), 0u);
  EXPECT_TRUE(point.ContainsLongitude(Deg(7)));
  EXPECT_FALSE(point.ContainsLongitude(Deg(7) + 1));
}

TEST(GeoBox, EmptyBoxAccessorsThrow) {
  const Box_t empty;
  EXPECT_TRUE(empty.IsEmpty());
  try {
    empty.GetNorthEast();
    FAIL();
  } catch (const glo::OutOfRange_t& e) {
    EXPECT_STREQ(e.SourceFile(), "GEO_Box.h");
  }
  EXPECT_THROW(empty.GetCenter(), glo::OutOfRange_t);
  EXPECT_THROW(empty.GetWidth(), glo::OutOfRange_t);
  EXPECT_THROW(empty.GetExtent(), glo::OutOfRange_t);
  EXPECT_THROW(Box_t((1 << 30) + 1, 0, 0, 0), glo::OutOfRange_t);
}

TEST(GeoBox, CenterAndExtent) {
  EXPECT_EQ(Box_t(1, 0, 0, 0).GetCenter().GetLatitude(), 0);  // half of 1 truncates
  const Box_t across(Deg(10), Deg(-10), Deg(-170), Deg(170));
  const Position_t c = across.GetCenter();
  EXPECT_EQ(c.GetLatitude(), 0);
  EXPECT_EQ(c.GetLongitude(), INT32_MIN);  // 180 degrees, the middle of the 20-degree range
  EXPECT_EQ(static_cast<std::uint32_t>(across.GetExtent().GetLongitude()), across.GetWidth());
}

TEST(GeoBox, CircleBoxStopsAtThePole) {
  const Box_t box(geo::Circle_t(Position_t(Deg(89), Deg(10), 3.0), Deg(2)));
  EXPECT_EQ(box.GetNorth(), 1 << 30);
  EXPECT_EQ(box.GetSouth(), Deg(89) - Deg(2));
  EXPECT_EQ(box.GetEast(), Deg(10) + Deg(2));
  EXPECT_EQ(box.GetWest(), Deg(10) - Deg(2));
  EXPECT_EQ(box.GetUpperAltitude().Value(), 3.0);
  EXPECT_EQ(box.GetLowerAltitude().Value(), 3.0);
  // A radius of 2^31 (one pixel at the coarsest map scale) reaches both poles
  // and half way round in each direction.
  const Box_t half(geo::Circle_t(Position_t(0, Deg(10)), INT32_MIN));
  EXPECT_EQ(half.GetNorth(), 1 << 30);
  EXPECT_EQ(half.GetSouth(), -(1 << 30));
  EXPECT_EQ(half.GetEast(), Deg(10) + INT32_MIN);
  EXPECT_EQ(half.GetWest(), Deg(10) + INT32_MIN);
}

TEST(GeoBox, Unions) {
  struct Case {
    Box_t a, b;
    std::int32_t west, east;
  };
  const Case cases[] = {
      {Lon(0, 10), Lon(20, 30), Deg(0), Deg(30)},
      {Lon(0, 10), Lon(-160, -150), Deg(-160), Deg(10)},  // the smaller gap is bridged
      {Lon(0, 10), Lon(5, 30), Deg(0), Deg(30)},            // overlapping
      {Lon(170, -170), Lon(-175, -160), Deg(170), Deg(-160)},
      {Lon(0, 10), Lon(0, 10), Deg(0), Deg(10)},
      {Lon(0, 0), Lon(0, 0), Deg(0), Deg(0)},
      {Lon(0, -160), Lon(-180, 20), INT32_MIN, INT32_MAX},  // together all the way round
  };
  for (const Case& c : cases) {
    const Box_t u = geo::Union(c.a, c.b);
    EXPECT_EQ(u.GetWest(), c.west);
    EXPECT_EQ(u.GetEast(), c.east);
  }
  const Box_t high(Deg(10), 0, 10, 0, 100.0, 50.0);
  const Box_t low(Deg(20), Deg(-5), 10, 0, 40.0, 10.0);
  const Box_t u = geo::Union(high, low);
  EXPECT_EQ(u.GetNorth(), Deg(20));
  EXPECT_EQ(u.GetSouth(), Deg(-5));
  EXPECT_EQ(u.GetUpperAltitude().Value(), 100.0);
  EXPECT_EQ(u.GetLowerAltitude().Value(), 10.0);
  EXPECT_EQ(geo::Union(high, Lon(0, 1)).GetLowerAltitude().Value(), 50.0);
  EXPECT_EQ(geo::Union(Box_t(), high).GetNorth(), high.GetNorth());
  EXPECT_TRUE(geo::Union(Box_t(), Box_t()).IsEmpty());
}

TEST(GeoBox, Intersections) {
  const Box_t i = geo::Intersection(Lon(0, 10), Lon(5, 30, -5, 8));
  EXPECT_EQ(i.GetWest(), Deg(5));
  EXPECT_EQ(i.GetEast(), Deg(10));
  EXPECT_EQ(i.GetNorth(), Deg(8));
  EXPECT_EQ(i.GetSouth(), 0);
  const Box_t across = geo::Intersection(Lon(170, -170), Lon(-175, -160));
  EXPECT_EQ(across.GetWest(), Deg(-175));
  EXPECT_EQ(across.GetEast(), Deg(-170));
  EXPECT_TRUE(geo::Intersection(Lon(0, 10), Lon(20, 30)).IsEmpty());
  EXPECT_TRUE(geo::Intersection(Lon(0, 10), Box_t()).IsEmpty());
  // Touching along a latitude line still intersects.
  EXPECT_FALSE(geo::Intersection(Lon(0, 10, 0, 10), Lon(0, 10, 10, 20)).IsEmpty());
  // Altitude ranges that only touch do not.
  const Box_t a(Deg(10), 0, 10, 0, 50.0, 20.0), b(Deg(10), 0, 10, 0, 20.0, 0.0), c(Deg(10), 0, 10, 0, 30.0, 0.0);
  EXPECT_TRUE(geo::Intersection(a, b).IsEmpty());
  const Box_t ac = geo::Intersection(a, c);
  EXPECT_EQ(ac.GetUpperAltitude().Value(), 30.0);
  EXPECT_EQ(ac.GetLowerAltitude().Value(), 20.0);
  EXPECT_FALSE(geo::Intersection(a, Lon(0, 1)).GetUpperAltitude().IsPresent());
  EXPECT_TRUE(Lon(170, -170).OverlapsLongitude(Lon(-175, -160)));
  EXPECT_FALSE(Lon(170, -170).Intersects(Lon(-175, -160, 20, 30)));
}

TEST(GeoBox, StreamForm) {
  bin::stringstream s;
  geo::WriteBox(s, Box_t());
  EXPECT_EQ(s.str(), std::string(1, '\x01'));
  const Box_t box(Position_t(Deg(20), Deg(-170), 30.0), Position_t(Deg(10), Deg(170)));
  bin::stringstream t;
  geo::WriteBox(t, box);
  EXPECT_EQ(t.str().size(), 35u);
  Box_t back;
  geo::ReadBox(t, back);
  ASSERT_TRUE(t.good());
  EXPECT_EQ(back.GetNorthEast(), box.GetNorthEast());
  EXPECT_EQ(back.GetSouthWest(), box.GetSouthWest());
  // An empty flag reads an empty box whatever follows.
  bin::stringstream u(std::string("\x01") + t.str());
  geo::ReadBox(u, back);
  EXPECT_TRUE(back.IsEmpty());
  // A record cut inside the second corner fails the stream; the corner read
  // in full is kept, the other one keeps its default.
  bin::stringstream v(t.str().substr(0, 20));
  Box_t half(Position_t(1, 2));
  geo::ReadBox(v, half);
  EXPECT_TRUE(v.fail());
  EXPECT_EQ(half.GetNorthEast(), box.GetNorthEast());
  EXPECT_EQ(half.GetSouthWest(), Position_t());
  // Without the flag byte nothing is assigned.
  bin::stringstream w;
  geo::ReadBox(w, half);
  EXPECT_TRUE(w.fail());
  EXPECT_EQ(half.GetNorthEast(), box.GetNorthEast());
}

}  // namespace
