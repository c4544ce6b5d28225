#include "app/GraphConversion.h"

#include <gtest/gtest.h>

#include <limits>

#include "ProfileTestUtil.h"
#include "glo/GLO_Exception.h"
#include "mat/MAT_UnitConverterTable.h"

namespace {

using proftest::MetricAxes;

app::PixelGraphConvertor_t Make(double lowest, double highest, double first, double last,
                                plat::RECT pixels = {0, 0, 500, 300}) {
  app::PixelGraphConvertor_t c(lowest, highest, first, last, MetricAxes());
  c.SetPixelRect(pixels);
  return c;
}

TEST(GraphConversion, FitToDataPicksTheSmallestCoveringStep) {
  struct Case {
    double lowest, highest, first, last;
    int xIndex, yIndex;
    double xspan, yspan;
  } cases[] = {
      {5, 130, 0, 4900, 17, 12, 5000, 150},         // lowest above 0: y starts at 0
      {-30, 20, 100, 120, 31, 14, 20, 60},          // tiny x span: the smallest step
      {0, 50000, 0, 4.0e6, 0, 0, 3.0e6, 40000},     // beyond the largest steps: index 0
      {-10, std::numeric_limits<double>::min(), 0, 1000, 21, 15, 1000, 40},  // all at or below 0
  };
  for (const Case& c : cases) {
    const app::PixelGraphConvertor_t conv = Make(c.lowest, c.highest, c.first, c.last);
    EXPECT_EQ(c.xIndex, conv.GetXZoomIndex()) << c.last;
    EXPECT_EQ(c.yIndex, conv.GetYZoomIndex()) << c.last;
    EXPECT_NEAR(c.xspan, conv.GetView().xspan, 1e-6) << c.last;
    EXPECT_NEAR(c.yspan, conv.GetView().yspan, 1e-6) << c.last;
    EXPECT_EQ(conv.GetData().xmin, conv.GetView().xmin);
    EXPECT_EQ(std::min(c.lowest, 0.0), conv.GetView().ymin);
    EXPECT_GT(conv.GetData().yspan, 0.0);
  }
}

TEST(GraphConversion, PixelsRoundHalfAwayFromZero) {
  // View x 0..5000 m over 500 pixels, y 0..150 m over 300 pixels.
  const app::PixelGraphConvertor_t c = Make(0, 130, 0, 4900);
  struct Case {
    double x;
    int column;
  } xs[] = {{0, 0}, {25, 3}, {-25, -3}, {24.9, 2}, {5000, 500}};
  for (const Case& k : xs) EXPECT_EQ(k.column, c.XToPixel(k.x)) << k.x;
  struct Row {
    double y;
    int row;
  } ys[] = {{0, 300}, {150, 0}, {75, 150}, {0.25, 300}, {0.75, 299}};
  for (const Row& k : ys) EXPECT_EQ(k.row, c.YToPixel(k.y)) << k.y;
  EXPECT_DOUBLE_EQ(2500.0, c.PixelToX(250));

  const app::PixelGraphConvertor_t shifted = Make(0, 130, 0, 4900, {30, 31, 530, 331});
  EXPECT_EQ(30, shifted.XToPixel(0));
  EXPECT_EQ(331, shifted.YToPixel(0));
  EXPECT_EQ(31, shifted.YToPixel(150));
}

TEST(GraphConversion, NotValidBeforeThePixelRectangle) {
  const app::PixelGraphConvertor_t c(0, 10, 0, 100, MetricAxes());
  EXPECT_THROW(c.XToPixel(0), glo::Assert_t);
  EXPECT_THROW(c.YToPixel(0), glo::Assert_t);
  EXPECT_THROW(c.PixelToX(0), glo::Assert_t);
  EXPECT_THROW(c.GetPixelRect(), glo::Assert_t);
  plat::RECT r;
  EXPECT_THROW(c.GetDataPixelRect(r), glo::Assert_t);
  EXPECT_THROW(c.GetHorzScrollPos(), glo::Assert_t);  // range unset
  EXPECT_THROW(app::PixelGraphConvertor_t::ZoomExtent(*MetricAxes().xSteps, *MetricAxes().xUnit, 32),
               glo::OutOfRange_t);
  EXPECT_THROW(app::PixelGraphConvertor_t::ZoomExtent(*MetricAxes().xSteps, *MetricAxes().xUnit, -1),
               glo::OutOfRange_t);
}

TEST(GraphConversion, ZoomOutAtAnEdgeAndBackInKeepsTheEdge) {
  // Data 0..4900 m; view 0..5000 (index 17). Zoom out to 7000: the left edge stays.
  app::PixelGraphConvertor_t c = Make(0, 130, 0, 4900);
  c.SetZoom(16, c.GetYZoomIndex());
  EXPECT_NEAR(7000.0, c.GetView().xspan, 1e-6);
  EXPECT_DOUBLE_EQ(0.0, c.GetView().xmin);
  // Zooming in from there stays aligned with the data's left edge.
  c.SetZoom(18, c.GetYZoomIndex());
  EXPECT_NEAR(3000.0, c.GetView().xspan, 1e-6);
  EXPECT_NEAR(0.0, c.GetView().xmin, 1e-9);
  // Zooming in once more (view inside the data) keeps the centre.
  c.SetZoom(19, c.GetYZoomIndex());
  EXPECT_NEAR(2000.0, c.GetView().xspan, 1e-6);
  EXPECT_NEAR(1500.0, c.GetView().cx, 1e-6);
  // Vertically: zoom out from 0..150 to 0..250 keeps the bottom on the data's.
  c.SetZoom(c.GetXZoomIndex(), 11);
  EXPECT_NEAR(250.0, c.GetView().yspan, 1e-6);
  EXPECT_NEAR(0.0, c.GetView().ymin, 1e-9);
}

TEST(GraphConversion, ScrollingStopsAtTheDataEdges) {
  // Data 0..10000 m, view 5000 m wide (index 17 after zooming in).
  app::PixelGraphConvertor_t c = Make(0, 130, 0, 10000);
  c.SetZoom(17, c.GetYZoomIndex());
  c.SetHorzRange(50);
  c.SetHorzMin(0);
  c.ScrollX(-1.0e6);
  EXPECT_DOUBLE_EQ(0.0, c.GetView().xmin);
  c.ScrollX(2500);
  EXPECT_DOUBLE_EQ(2500.0, c.GetView().xmin);
  EXPECT_EQ(25, c.GetHorzScrollPos());
  c.ScrollX(1.0e6);
  EXPECT_DOUBLE_EQ(10000.0, c.GetView().xmax);
  EXPECT_EQ(50, c.GetHorzScrollPos());
  c.ScrollXTo(0);
  EXPECT_NEAR(0.0, c.GetView().xmin, 1e-9);
  EXPECT_THROW(c.ScrollXTo(51), glo::Assert_t);

  // Vertically: a positive amount lowers the view; the bar's top is the highest part.
  app::PixelGraphConvertor_t v = Make(0, 1000, 0, 100);  // y data 0..1000, view 0..1000
  v.SetZoom(v.GetXZoomIndex(), 12);                      // view 150 m high, centred
  v.SetVertRange(85);
  v.SetVertMin(0);
  v.ScrollY(1.0e6);
  EXPECT_DOUBLE_EQ(0.0, v.GetView().ymin);
  EXPECT_EQ(85, v.GetVertScrollPos());
  v.ScrollY(-1.0e6);
  EXPECT_DOUBLE_EQ(1000.0, v.GetView().ymax);
  EXPECT_EQ(0, v.GetVertScrollPos());
  v.ScrollYTo(85);
  EXPECT_NEAR(0.0, v.GetView().ymin, 1e-9);
}

TEST(GraphConversion, EqualSpansGiveScrollPositionZero) {
  // Data exactly one step on both axes: 5000 m by 150 m.
  const app::GraphAxes_t axes = MetricAxes();
  const double x = app::PixelGraphConvertor_t::ZoomExtent(*axes.xSteps, *axes.xUnit, 17);
  const double y = app::PixelGraphConvertor_t::ZoomExtent(*axes.ySteps, *axes.yUnit, 12);
  app::PixelGraphConvertor_t c = Make(0, y, 0, x);
  EXPECT_EQ(x, c.GetView().xspan);
  c.SetHorzRange(0);
  c.SetHorzMin(0);
  c.SetVertRange(0);
  c.SetVertMin(0);
  EXPECT_EQ(0, c.GetHorzScrollPos());
  EXPECT_EQ(0, c.GetVertScrollPos());
  c.ScrollXTo(0);
  c.ScrollYTo(0);
  EXPECT_EQ(0.0, c.GetView().xmin);
  EXPECT_EQ(0.0, c.GetView().ymin);
}

TEST(GraphConversion, DataPixelRectangle) {
  app::PixelGraphConvertor_t c = Make(0, 130, 0, 4900, {30, 31, 530, 331});
  plat::RECT r;
  ASSERT_TRUE(c.GetDataPixelRect(r));
  EXPECT_EQ(30, r.left);
  EXPECT_EQ(520, r.right);  // 4900 m at 0.1 px/m
  EXPECT_EQ(71, r.top);     // 130 m at 2 px/m below the top
  EXPECT_EQ(331, r.bottom);
}

}  // namespace
