// Screen rectangles, Liang-Barsky segment and polyline clipping, and the
// integer outcode clipping of segments.
#include <gtest/gtest.h>

#include "map/MAP_LineSegment.h"
#include "map/MAP_ScrnRect.h"

namespace {

using map::DoublePoint_t;
using map::DoublePolylines_t;
using map::ScrnRect_t;

const ScrnRect_t kView(0, 0, 100, 100);

TEST(ScrnRect, ConstructionIntersectionAndRounding) {
  EXPECT_TRUE(ScrnRect_t().IsEmpty());
  try {
    ScrnRect_t(5, 0, 4, 0);
    FAIL();
  } catch (const glo::Assert_t& e) {
    EXPECT_STREQ(e.SourceFile(), "MAP_ScrnRect.h");
  }
  EXPECT_THROW(ScrnRect_t(DoublePoint_t(0, 5), DoublePoint_t(1, 4)), glo::Assert_t);
  EXPECT_THROW(ScrnRect_t(plat::RECT{0, 5, 1, 4}), glo::Assert_t);
  EXPECT_EQ(ScrnRect_t::Intersect(ScrnRect_t(0, 0, 10, 10), ScrnRect_t(10, 0, 20, 10)), ScrnRect_t(10, 0, 10, 10));
  EXPECT_TRUE(ScrnRect_t::Intersect(ScrnRect_t(0, 0, 10, 10), ScrnRect_t(11, 0, 20, 10)).IsEmpty());
  EXPECT_TRUE(ScrnRect_t::Intersect(ScrnRect_t(), kView).IsEmpty());
  const plat::RECT r = ScrnRect_t(-0.5, 0.49, 2.5, 3.5).ToRect();
  EXPECT_EQ(r.left, -1);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 3);
  EXPECT_EQ(r.bottom, 4);
  const geo::Position_t p = DoublePoint_t(-2.5, 1.5).ToPosition();
  EXPECT_EQ(p.GetLongitude(), -3);
  EXPECT_EQ(p.GetLatitude(), 2);
  EXPECT_THROW(DoublePoint_t(0, 2e9).ToPosition(), glo::OutOfRange_t);
}

TEST(ScrnRect, SegmentClipping) {
  DoublePoint_t in, out;
  // On the left edge: visible and unchanged.
  ASSERT_TRUE(kView.ClipSegment({0, 10}, {0, 90}, in, out));
  EXPECT_EQ(in, DoublePoint_t(0, 10));
  EXPECT_EQ(out, DoublePoint_t(0, 90));
  // Zero length inside and outside.
  ASSERT_TRUE(kView.ClipSegment({5, 5}, {5, 5}, in, out));
  EXPECT_EQ(in, DoublePoint_t(5, 5));
  EXPECT_EQ(out, DoublePoint_t(5, 5));
  in = out = DoublePoint_t(-1, -1);
  EXPECT_FALSE(kView.ClipSegment({-5, 5}, {-5, 5}, in, out));
  EXPECT_EQ(in, DoublePoint_t(-1, -1));
  // Through the rectangle.
  ASSERT_TRUE(kView.ClipSegment({-50, 50}, {150, 50}, in, out));
  EXPECT_EQ(in, DoublePoint_t(0, 50));
  EXPECT_EQ(out, DoublePoint_t(100, 50));
  EXPECT_FALSE(kView.ClipSegment({-50, -1}, {150, -1}, in, out));
  EXPECT_FALSE(kView.ClipSegment({90, -20}, {120, 20}, in, out));
}

TEST(ScrnRect, PolylineClipping) {
  struct Case {
    std::vector<DoublePoint_t> points;
    std::vector<std::size_t> pieceSizes;
  };
  const Case cases[] = {
      {{}, {}},
      {{{5, 5}}, {1}},
      {{{-5, 5}}, {}},
      {{{10, 10}, {20, 20}, {30, 10}, {40, 40}}, {4}},          // inside: one piece, all points
      {{{-10, -10}, {-20, 50}, {-5, 200}}, {}},                  // outside: nothing
      {{{-50, 50}, {50, 50}, {150, 50}}, {3}},                   // outside, inside, outside
      {{{50, 10}, {50, 150}, {60, 50}}, {2, 2}},                 // inside, outside, inside
      {{{10, 10}, {10, 200}, {20, 200}, {20, 10}, {30, 10}}, {2, 3}},
  };
  for (const Case& c : cases) {
    DoublePolylines_t out;
    kView.ClipPolyline(c.points, out);
    ASSERT_EQ(out.size(), c.pieceSizes.size());
    for (std::size_t i = 0; i < out.size(); ++i) EXPECT_EQ(out[i].size(), c.pieceSizes[i]);
  }
  DoublePolylines_t out;
  kView.ClipPolyline({{-50, 50}, {50, 50}, {150, 50}}, out);
  EXPECT_EQ(out[0][0], DoublePoint_t(0, 50));
  EXPECT_EQ(out[0][1], DoublePoint_t(50, 50));
  EXPECT_EQ(out[0][2], DoublePoint_t(100, 50));
  // Pieces are appended after what the list holds already.
  kView.ClipPolyline({{1, 1}, {2, 2}}, out);
  EXPECT_EQ(out.size(), 2u);
}

TEST(LineSegment, ClipKeepsDirectionAndReportsWhatMoved) {
  const plat::RECT r{0, 0, 100, 100};
  struct Case {
    int x0, y0, x1, y1;
    int code;
    int cx0, cy0, cx1, cy1;
  };
  const Case cases[] = {
      {50, 50, -50, 50, 2, 50, 50, 0, 50},
      {-50, 50, 50, 50, 1, 0, 50, 50, 50},
      {10, 10, 90, 90, 4, 10, 10, 90, 90},
      {50, -20, 50, 60, 1, 50, 0, 50, 60},   // vertical, partly above: clipped at the top
      {50, 60, 50, -20, 2, 50, 60, 50, 0},
      {-10, -10, 110, 110, 3, 0, 0, 100, 100},
      {-10, 50, 50, -10, 3, 0, 40, 40, 0},
      {200, 200, 300, 300, 0, 200, 200, 300, 300},
      {0, 0, 0, 100, 4, 0, 0, 0, 100},       // on the left edge
      {-5, 120, 120, -5, 3, 15, 100, 100, 15},
  };
  for (const Case& c : cases) {
    map::LineSegment_t s(c.x0, c.y0, c.x1, c.y1);
    EXPECT_EQ(s.Clip(r), c.code) << c.x0 << "," << c.y0 << " " << c.x1 << "," << c.y1;
    if (c.code == 0) continue;
    EXPECT_EQ(s.X0(), c.cx0);
    EXPECT_EQ(s.Y0(), c.cy0);
    EXPECT_EQ(s.X1(), c.cx1);
    EXPECT_EQ(s.Y1(), c.cy1);
  }
  // IsVisible leaves the ordered form: vertical segments run from the larger y.
  map::LineSegment_t v(5, 10, 5, 20);
  EXPECT_TRUE(v.IsVisible(r));
  EXPECT_EQ(v.Y0(), 20);
  EXPECT_EQ(v.Y1(), 10);
  // A diagonal that only touches a corner becomes that point twice.
  map::LineSegment_t corner(-10, 10, 10, -10);
  EXPECT_TRUE(corner.IsVisible(r));
  EXPECT_EQ(corner.X0(), 0);
  EXPECT_EQ(corner.Y0(), 0);
  EXPECT_EQ(corner.X1(), 0);
  EXPECT_EQ(corner.Y1(), 0);
  map::LineSegment_t point(5, 5, 5, 5);
  EXPECT_EQ(point.Clip(r), 4);
}

}  // namespace
