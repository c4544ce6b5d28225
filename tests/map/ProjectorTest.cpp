// The projector: forward and inverse projection, the stretch limit, clamping,
// zoom bits, and the seam copies of boxes and polylines.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "map/MAP_CosProjector.h"

namespace {

using geo::Position_t;
using map::CosProjector_t;

constexpr double kPerDeg = 11930464.711111112;
std::int32_t Deg(double d) { return static_cast<std::int32_t>(std::lround(d * kPerDeg)); }

const plat::RECT kClient{0, 0, 1000, 500};

CosProjector_t Make(double degPerPixel, const Position_t& center, const plat::RECT& client = kClient) {
  return CosProjector_t(degPerPixel * kPerDeg, center, client, 0);
}

void ExpectPoint(const plat::POINT& p, int x, int y) {
  EXPECT_EQ(p.x, x);
  EXPECT_EQ(p.y, y);
}

TEST(Projector, WorkedExample) {
  const double scale = 2147483648.0 / 180 * 0.01;
  CosProjector_t p(scale, Position_t(0, 0), kClient, 0);
  EXPECT_DOUBLE_EQ(p.GetTransform().ax, 1.0 / scale);
  EXPECT_DOUBLE_EQ(p.GetScale(), scale);
  EXPECT_DOUBLE_EQ(p.GetLongitudeScale(), scale);
  ExpectPoint(p.PositionToScreen(Position_t(0, 0)), 500, 250);
  ExpectPoint(p.GetCenterPoint(), 500, 250);
  ExpectPoint(p.PositionToScreen(Position_t(Deg(1), Deg(1))), 600, 150);
  const Position_t back = p.ScreenToPosition(plat::POINT{600, 150});
  EXPECT_NEAR(back.GetLatitude(), Deg(1), 1);
  EXPECT_NEAR(back.GetLongitude(), Deg(1), 1);
  EXPECT_FALSE(back.GetAltitude().IsPresent());
  const geo::Box_t visible = p.GetVisibleBox();
  EXPECT_NEAR(visible.GetEast(), Deg(5), 1);
  EXPECT_NEAR(visible.GetWest(), Deg(-5), 1);
  EXPECT_NEAR(visible.GetNorth(), Deg(2.5), 1);
  EXPECT_NEAR(visible.GetSouth(), Deg(-2.5), 1);
  const plat::RECT client = p.GetClientRect();
  EXPECT_EQ(client.right, 1000);
  EXPECT_EQ(client.bottom, 500);
  EXPECT_EQ(p.GetSeamLongitude(), INT32_MIN);
}

TEST(Projector, HorizontalStretchIsLimitedToThatOf75Degrees) {
  const double scale = 1000.0;
  const double cos75 = std::cos(75.0 / 57.29577951308239);
  CosProjector_t polar(scale, Position_t(Deg(80), 0), kClient, 0);
  EXPECT_NEAR(polar.GetLongitudeScale(), scale / cos75, 1e-6);
  CosProjector_t mid(scale, Position_t(Deg(60), 0), kClient, 0);
  EXPECT_NEAR(mid.GetLongitudeScale(), scale / std::cos(60.0 / 57.29577951308239), 1e-3);
  EXPECT_NEAR(mid.GetScale(), scale, 1e-9);
}

TEST(Projector, SeamEndsClampingAndInverseLimits) {
  CosProjector_t p = Make(0.1, Position_t(0, 0));
  const auto& t = p.GetTransform();
  EXPECT_DOUBLE_EQ(p.Project(Position_t(0, INT32_MIN)).x, -2147483648.0 * t.ax + t.bx);
  EXPECT_DOUBLE_EQ(p.Project(Position_t(0, INT32_MAX)).x, 2147483647.0 * t.ax + t.bx);
  ExpectPoint(p.PositionToScreen(Position_t(Deg(89), Deg(-170))), -1200, -640);
  CosProjector_t fine = Make(0.0001, Position_t(0, 0));
  ExpectPoint(fine.PositionToScreen(Position_t(Deg(-10), Deg(-10))), -8192, 8191);
  // Far left of the earth: the seam; far above: the pole.
  EXPECT_EQ(p.ScreenToPosition(plat::POINT{-1000000, 250}).GetLongitude(), INT32_MIN);
  EXPECT_EQ(p.ScreenToPosition(plat::POINT{500, -1000000}).GetLatitude(), 1 << 30);
  EXPECT_EQ(p.ScreenToPosition(plat::POINT{500, 1000000}).GetLatitude(), -(1 << 30));
}

TEST(Projector, ScreenToPositionInvertsPositionToScreenWithinAPixel) {
  const double zooms[] = {0.00001, 0.001, 0.1, 1.0};
  const Position_t centers[] = {Position_t(0, 0), Position_t(Deg(47), Deg(8)), Position_t(Deg(-70), Deg(179.9)),
                                Position_t(Deg(85), Deg(-179.99))};
  for (double zoom : zooms) {
    for (const Position_t& c : centers) {
      CosProjector_t p = Make(zoom, c);
      for (int x = 0; x <= 1000; x += 125) {
        for (int y = 0; y <= 500; y += 125) {
          const Position_t q = p.ScreenToPosition(plat::POINT{x, y});
          const plat::POINT s = p.PositionToScreen(q);
          // Beyond one turn of longitude or beyond a pole the inverse clamps.
          if (x < p.GetTransform().xLow || x > p.GetTransform().xHigh) continue;
          if (std::abs(q.GetLatitude()) == (1 << 30)) continue;
          EXPECT_LE(std::abs(s.x - x), 1) << zoom << " " << x << "," << y;
          EXPECT_LE(std::abs(s.y - y), 1) << zoom << " " << x << "," << y;
          const Position_t r = p.ScreenToPosition(s);
          EXPECT_LE(std::abs(double(r.GetLatitude()) - q.GetLatitude()), p.GetScale() + 1);
          EXPECT_LE(std::abs(double(std::int32_t(std::uint32_t(r.GetLongitude()) - std::uint32_t(q.GetLongitude())))),
                    p.GetLongitudeScale() + 1);
        }
      }
    }
  }
}

TEST(Projector, ViewChangedFlag) {
  CosProjector_t p = Make(1, Position_t(0, 0));
  EXPECT_TRUE(p.TakeViewChanged());
  EXPECT_FALSE(p.TakeViewChanged());
  p.SetDetailBias(3);
  EXPECT_FALSE(p.TakeViewChanged());
  EXPECT_EQ(p.GetDetailBias(), 3);
  p.SetScale(2);
  EXPECT_TRUE(p.TakeViewChanged());
  p.SetCenter(Position_t(1, 1));
  EXPECT_TRUE(p.TakeViewChanged());
  p.SetClientRect(plat::RECT{0, 0, 10, 10});
  EXPECT_TRUE(p.TakeViewChanged());
  EXPECT_FALSE(p.TakeViewChanged());
  // A reversed rectangle asserts and leaves the projector as it was.
  EXPECT_THROW(p.SetClientRect(plat::RECT{0, 10, 10, 0}), glo::Assert_t);
  EXPECT_EQ(p.GetClientRect().bottom, 10);
  EXPECT_FALSE(p.TakeViewChanged());
}

TEST(Projector, ZoomAndDetailBitsAndUnits) {
  CosProjector_t p(1.0, Position_t(0, 0), kClient, 0);
  const struct { double scale; int bits; } zooms[] = {{1, 31}, {2147483648.0, 0}, {0.25, 32}, {3, 30}};
  for (const auto& z : zooms) {
    p.SetScale(z.scale);
    EXPECT_EQ(p.GetZoomBits(), z.bits) << z.scale;
  }
  p.SetScale(1 << 20);
  p.SetDetailBias(2);
  EXPECT_EQ(p.GetDetailBits(), 13);
  p.SetScale(256);
  EXPECT_EQ(p.PixelsToUnits(10), 2560);
  p.SetScale(1024);
  EXPECT_EQ(p.PixelsToUnits(-1), -1024);
  const geo::Circle_t area = p.PointToSearchArea(plat::POINT{500, 250}, 3);
  EXPECT_EQ(area.GetRadius(), 3072);
  EXPECT_EQ(area.GetCenter().GetLatitude(), 0);
}

TEST(Projector, AssignAndDrawState) {
  CosProjector_t a = Make(0.5, Position_t(Deg(10), Deg(20)));
  a.SetDetailBias(-1);
  CosProjector_t b = Make(1, Position_t(0, 0), plat::RECT{0, 0, 10, 10});
  EXPECT_NE(a.GetDrawState(), b.GetDrawState());
  b.Assign(a);
  EXPECT_EQ(b.GetDrawState(), a.GetDrawState());
  EXPECT_EQ(b.GetDetailBias(), -1);
  ExpectPoint(b.PositionToScreen(Position_t(Deg(11), Deg(21))), a.PositionToScreen(Position_t(Deg(11), Deg(21))).x,
              a.PositionToScreen(Position_t(Deg(11), Deg(21))).y);
  // Zero scale: everything projects to the origin and back to (0, 0).
  CosProjector_t zero(0.0, Position_t(Deg(10), Deg(20)), kClient, 0);
  ExpectPoint(zero.PositionToScreen(Position_t(Deg(5), Deg(5))), 0, 0);
  EXPECT_EQ(zero.ScreenToPosition(plat::POINT{7, 7}).GetLongitude(), 0);
  EXPECT_EQ(zero.GetScale(), 0.0);
}

TEST(Projector, EarthSizeAndScreenRect) {
  CosProjector_t coarse = Make(1.0, Position_t(0, 0));
  EXPECT_EQ(coarse.GetEarthSize().cx, 360);
  EXPECT_EQ(coarse.GetEarthSize().cy, 180);
  const plat::RECT earth = coarse.GetEarthScreenRect();
  EXPECT_EQ(earth.left, 320);
  EXPECT_EQ(earth.top, 160);
  EXPECT_EQ(earth.right, 680);
  EXPECT_EQ(earth.bottom, 340);
  // At fine scales the 16-bit sizes saturate.
  CosProjector_t fine = Make(0.001, Position_t(0, 0));
  EXPECT_EQ(fine.GetEarthSize().cx, 65535);
  EXPECT_EQ(fine.GetEarthSize().cy, 65535);
  const plat::RECT all = fine.GetEarthScreenRect();
  EXPECT_EQ(all.right, 1000);
  EXPECT_EQ(fine.ExtentToPixels(Position_t::MakeExtent(Deg(1), Deg(2), geo::Altitude_t())).cx, 2000);
}

TEST(Projector, BoxesNearAndFarFromTheSeam) {
  CosProjector_t p = Make(1.0, Position_t(0, 0));
  const auto far = p.BoxToScreenRects(geo::Box_t(Deg(5), 0, Deg(20), Deg(10)));
  ASSERT_EQ(far.size(), 1u);
  EXPECT_EQ(far[0].left, 510);
  EXPECT_EQ(far[0].top, 245);
  EXPECT_EQ(far[0].right, 520);
  EXPECT_EQ(far[0].bottom, 250);
  // Across the seam: the eastern part at the left end of the earth, then the
  // same rectangle one earth width to the right.
  const auto seam = p.BoxToScreenRects(geo::Box_t(Deg(10), Deg(-10), Deg(-170), Deg(170)));
  ASSERT_EQ(seam.size(), 2u);
  EXPECT_EQ(seam[0].left, 310);
  EXPECT_EQ(seam[0].right, 330);
  EXPECT_EQ(seam[0].top, 240);
  EXPECT_EQ(seam[0].bottom, 260);
  EXPECT_EQ(seam[1].left, 670);
  EXPECT_EQ(seam[1].right, 690);
  // Out of the client area: nothing.
  CosProjector_t zoomed = Make(0.01, Position_t(0, 0));
  EXPECT_TRUE(zoomed.BoxToScreenRects(geo::Box_t(Deg(50), Deg(40), Deg(20), Deg(10))).empty());
  try {
    p.BoxToScreenRects(geo::Box_t());
    FAIL();
  } catch (const glo::OutOfRange_t& e) {
    EXPECT_STREQ(e.SourceFile(), "GEO_Box.h");
  }
}

TEST(Projector, PolylineAwayFromTheSeamIsClippedToTheView) {
  CosProjector_t p = Make(0.01, Position_t(0, 0));
  const std::vector<Position_t> track = {Position_t(0, Deg(-10)), Position_t(0, 0), Position_t(Deg(1), Deg(1))};
  map::DoublePolylines_t out;
  p.ClipPolylineToView(track, geo::Box_t(std::make_pair(track[2], track[0])), out);
  ASSERT_EQ(out.size(), 1u);
  ASSERT_EQ(out[0].size(), 3u);
  EXPECT_DOUBLE_EQ(out[0][0].x, 0.0);
  EXPECT_NEAR(out[0][1].x, 500.0, 1e-6);
  EXPECT_NEAR(out[0][2].x, 600.0, 1e-4);
  EXPECT_NEAR(out[0][2].y, 150.0, 1e-4);
}

TEST(Projector, SeamCopiesOfAPolylineAtFineScales) {
  // A thousandth of a degree per pixel: the earth is 360000 pixels wide, far
  // more than 16 bits can hold. A track that runs round the far side of the
  // earth crosses the seam; its only point inside the view is the view centre.
  CosProjector_t p = Make(0.001, Position_t(0, Deg(179.5)));
  const std::vector<Position_t> track = {Position_t(0, Deg(100)), Position_t(0, Deg(179.5)),
                                         Position_t(Deg(1), Deg(-90)), Position_t(Deg(1), Deg(10))};
  const geo::Box_t box(Deg(1), 0, Deg(10), Deg(100));
  ASSERT_TRUE(box.ContainsLongitude(p.GetSeamLongitude()));
  map::DoublePolylines_t out;
  p.ClipPolylineToView(track, box, out);
  bool centre = false;
  for (const auto& piece : out)
    for (const auto& q : piece) {
      if (std::abs(q.x - 500) < 1 && std::abs(q.y - 250) < 1) centre = true;
      // Every point strictly inside the view is the centre; anything else would
      // be a phantom copy of the track.
      if (q.x > 0.5 && q.x < 999.5 && q.y > 0.5 && q.y < 499.5) {
        EXPECT_NEAR(q.x, 500, 1);
        EXPECT_NEAR(q.y, 250, 1);
      }
    }
  EXPECT_TRUE(centre);
  // Boxes take the same true widths.
  const auto rects = p.BoxToScreenRects(box);
  ASSERT_FALSE(rects.empty());
  for (const plat::RECT& r : rects) {
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 1000);
  }
  // A track and a box on the seam, half the earth away from the view: neither
  // copy may land in the view.
  const std::vector<Position_t> far = {Position_t(0, Deg(-1)), Position_t(Deg(0.1), 0)};
  const geo::Box_t farBox(Deg(0.1), 0, 0, Deg(-1));
  ASSERT_TRUE(farBox.ContainsLongitude(p.GetSeamLongitude()));
  map::DoublePolylines_t none;
  p.ClipPolylineToView(far, farBox, none);
  EXPECT_TRUE(none.empty());
  EXPECT_TRUE(p.BoxToScreenRects(farBox).empty());
}

TEST(Projector, SeamCopiesAtCoarseScales) {
  CosProjector_t p = Make(1.0, Position_t(0, 0));
  // From 170 E across the date line to 170 W.
  const std::vector<Position_t> track = {Position_t(0, Deg(170)), Position_t(0, Deg(-170))};
  map::DoublePolylines_t out;
  p.ClipPolylineToView(track, geo::Box_t(std::make_pair(track[0], track[1])), out);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_NEAR(out[0][0].x, 310, 1e-6);  // the copy at the left end of the earth
  EXPECT_NEAR(out[0][1].x, 330, 1e-6);
  EXPECT_NEAR(out[1][0].x, 670, 1e-6);  // and at the right end
  EXPECT_NEAR(out[1][1].x, 690, 1e-6);
}

}  // namespace
