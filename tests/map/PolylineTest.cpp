// Feature projection: one part away from the seam, two parts one globe width
// apart when the feature's box touches or crosses the seam.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "map/MAP_CosProjector.h"
#include "map/MAP_Polyline.h"

namespace {

using geo::Position_t;

constexpr double kPerDeg = 11930464.711111112;
std::int32_t Deg(double d) { return static_cast<std::int32_t>(std::lround(d * kPerDeg)); }

// The whole earth, 0.4 degrees a pixel, centred on 0/0: 900 pixels a turn.
map::CosProjector_t World(double centerLon = 0.0) {
  return map::CosProjector_t(0.4 * kPerDeg, Position_t(0, Deg(centerLon)), plat::RECT{0, 0, 1000, 500}, 0);
}

geo::Box_t BoxOf(const std::vector<Position_t>& points) {
  std::int32_t n = points[0].GetLatitude(), s = n, e = points[0].GetLongitude(), w = e;
  for (const Position_t& p : points) {
    n = std::max(n, p.GetLatitude());
    s = std::min(s, p.GetLatitude());
    e = std::max(e, p.GetLongitude());
    w = std::min(w, p.GetLongitude());
  }
  return geo::Box_t(n, s, e, w);
}

TEST(FeatureProjection, AwayFromTheSeamOnePartThroughPositionToScreen) {
  map::CosProjector_t p = World();
  const std::vector<Position_t> points{Position_t(Deg(10), Deg(-20)), Position_t(Deg(-5), Deg(30)),
                                       Position_t(0, Deg(100))};
  map::Polyline_t line;
  p.ProjectFeature(BoxOf(points), points, line);
  ASSERT_EQ(line.GetPartCount(), 1u);
  ASSERT_EQ(line.GetCount(), 3);
  for (std::size_t i = 0; i < points.size(); ++i) {
    const plat::POINT q = p.PositionToScreen(points[i]);
    EXPECT_EQ(line.GetPart(0)[i].x, q.x);
    EXPECT_EQ(line.GetPart(0)[i].y, q.y);
  }
  EXPECT_THROW(line.GetPart(1), glo::Assert_t);
  EXPECT_THROW(line.GetPart(0)[3], glo::Assert_t);
}

// Boxes by their west and east edges against the seam at 180 degrees (view
// centre 0): both edges on the seam count, one short of it does not.
TEST(FeatureProjection, SeamTestCountsBothEdges) {
  map::CosProjector_t p = World();
  struct Case {
    std::int32_t west, east;
    bool touches;
  } cases[] = {
      {Deg(170), INT32_MIN, true},         // east edge exactly on the seam
      {INT32_MIN, Deg(-170), true},        // west edge exactly on the seam
      {Deg(170), Deg(-170), true},         // across it
      {Deg(170), INT32_MAX, false},        // one unit short
      {INT32_MIN + 1, Deg(-170), false},   // one unit past
      {Deg(-10), Deg(10), false},          // around the centre
      {Deg(-179), Deg(179), false},        // nearly the whole turn, seam left out
  };
  for (const Case& c : cases)
    EXPECT_EQ(p.TouchesSeam(geo::Box_t(Deg(10), Deg(-10), c.east, c.west)), c.touches)
        << c.west << " " << c.east;
  EXPECT_FALSE(p.TouchesSeam(geo::Box_t()));
}

TEST(FeatureProjection, FeatureEndingOnTheSeamIsDrawnOnBothSides) {
  map::CosProjector_t p = World();
  const std::vector<Position_t> points{Position_t(Deg(10), Deg(170)), Position_t(Deg(-10), INT32_MIN),
                                       Position_t(0, Deg(175))};
  map::Polyline_t line;
  p.ProjectFeature(geo::Box_t(Deg(10), Deg(-10), INT32_MIN, Deg(170)), points, line);
  ASSERT_EQ(line.GetPartCount(), 2u);
  ASSERT_EQ(line.GetCount(), 3);
  const int globe = p.GetGlobeSize().cx;
  EXPECT_EQ(globe, 900);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(line.GetPart(1)[i].x - line.GetPart(0)[i].x, globe);
    EXPECT_EQ(line.GetPart(1)[i].y, line.GetPart(0)[i].y);
  }
  // One copy east of the centre where the feature lies, one a turn west of it.
  EXPECT_NEAR(line.GetPart(1)[0].x, 500 + 170 / 0.4, 1);
  EXPECT_NEAR(line.GetPart(1)[1].x, 500 + 180 / 0.4, 1);
  EXPECT_NEAR(line.GetPart(1)[2].x, 500 + 175 / 0.4, 1);
  EXPECT_NEAR(line.GetPart(0)[1].x, 500 - 180 / 0.4, 1);
  EXPECT_EQ(line.GetPart(0)[0].y, p.PositionToScreen(points[0]).y);
}

TEST(FeatureProjection, FeatureAcrossTheSeamKeepsItsShape) {
  // Centred at 170 east: the seam lies at 10 west. A line from 20 west to 5
  // east crosses it.
  map::CosProjector_t p = World(170.0);
  const std::vector<Position_t> points{Position_t(0, Deg(-20)), Position_t(0, Deg(-10)), Position_t(0, Deg(5))};
  map::Polyline_t line;
  p.ProjectFeature(geo::Box_t(0, 0, Deg(5), Deg(-20)), points, line);
  ASSERT_EQ(line.GetPartCount(), 2u);
  for (std::size_t k = 0; k < 2; ++k) {
    const gdi::SmartPointBuffer_t& part = line.GetPart(k);
    // 15 and 25 degrees between the points, not the long way round.
    EXPECT_NEAR(part[1].x - part[0].x, 10 / 0.4, 1);
    EXPECT_NEAR(part[2].x - part[1].x, 15 / 0.4, 1);
  }
  // The part east of the view centre holds 20 west at 170 + 170 degrees.
  EXPECT_NEAR(line.GetPart(1)[0].x, 500 + 170 / 0.4, 1);
}

TEST(FeatureProjection, EmptyFeatureAndReuse) {
  map::CosProjector_t p = World();
  map::Polyline_t line;
  p.ProjectFeature(geo::Box_t(Deg(10), Deg(-10), INT32_MIN, Deg(170)), {Position_t(0, Deg(175))}, line);
  EXPECT_EQ(line.GetPartCount(), 2u);
  p.ProjectFeature(geo::Box_t(), {}, line);
  EXPECT_EQ(line.GetPartCount(), 1u);
  EXPECT_EQ(line.GetCount(), 0);
}

}  // namespace
