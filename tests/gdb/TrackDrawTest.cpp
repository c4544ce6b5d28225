// Drawing tracks and routes through the projector, checked by pixels, and the
// per-segment cache of recorded drawings.
#include <gtest/gtest.h>

#include <vector>

#include "GdbTestUtil.h"
#include "gdb/GDB_Route.h"
#include "gdb/GDB_Track.h"
#include "glo/GLO_Exception.h"
#include "map/MAP_CosProjector.h"
#include "plat/PLAT_Error.h"
#include "plat/PLAT_Gdi.h"

namespace {

using plat::COLORREF;

constexpr COLORREF kBackground = 0x404040;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kYellow = 0x00FFFF;
constexpr COLORREF kCyan = 0xFFFF00;
constexpr COLORREF kMagenta = 0xFF00FF;
constexpr int kWidth = 240, kHeight = 120;

// A memory context over a dark bitmap of kWidth x kHeight.
class Canvas {
 public:
  Canvas() {
    EXPECT_TRUE(dc.CreateCompatibleDC(nullptr));
    EXPECT_TRUE(bitmap.CreateCompatibleBitmap(dc, kWidth, kHeight));
    original = dc.SelectObject(bitmap);
    Clear();
  }
  ~Canvas() { dc.SelectObject(original); }
  void Clear() { dc.FillSolidRect(plat::RECT{0, 0, kWidth, kHeight}, kBackground); }
  COLORREF At(int x, int y) const { return dc.GetPixel(x, y) & 0xFFFFFF; }
  int Count(COLORREF c, int y, int x0, int x1) const {
    int n = 0;
    for (int x = x0; x < x1; ++x) n += At(x, y) == c;
    return n;
  }

  plat::Dc_t dc;
  plat::Bitmap_t bitmap;
  plat::GdiHandle_t original;
};

// At (0, 0) with 'scale' semicircles per pixel: x = lon / scale + 120,
// y = 60 - lat / scale.
map::CosProjector_t Projector(double scale) {
  return map::CosProjector_t(scale, geo::Position_t(0, 0), plat::RECT{0, 0, kWidth, kHeight}, 0);
}

// Points on the line y = 60 at the given x pixels under the scale.
gdb::Track_t LineTrack(const std::vector<int>& xs, double scale) {
  gdb::Track_t track;
  for (int x : xs)
    track.AppendPoint(gdb::TrackPoint_t(geo::Position_t(0, static_cast<std::int32_t>((x - 120) * scale))));
  return track;
}

std::vector<gdb::Track_t::Iterator_t> Positions(const gdb::Track_t& track) {
  std::vector<gdb::Track_t::Iterator_t> at;
  for (auto it = track.Begin(); it != track.End(); ++it) at.push_back(it);
  at.push_back(track.End());
  return at;
}

TEST(TrackDrawTest, MarkerSize) {
  // Pixels per 100 m = 100 / (scale * 0.0093306919...).
  const struct {
    double scale;
    int size;
  } cases[] = {{0.0, 1}, {1e9, 1}, {100.0 / (1.4 * 0.009330691929342794), 1},
               {100.0 / (2 * 0.009330691929342794), 3}, {100.0 / (3.4 * 0.009330691929342794), 3},
               {100.0 / (3.6 * 0.009330691929342794), 5}, {100.0 / (4 * 0.009330691929342794), 5}, {1.0, 5}};
  for (const auto& c : cases) {
    map::CosProjector_t projector = Projector(c.scale);
    EXPECT_EQ(gdb::TrackSegment_t::GetMarkerSize(projector), c.size) << c.scale;
  }
  // An empty client rectangle gives a scale of 0.
  map::CosProjector_t empty(1000.0, geo::Position_t(0, 0), plat::RECT{0, 0, 0, 0}, 0);
  EXPECT_EQ(gdb::TrackSegment_t::GetMarkerSize(empty), 1);
}

TEST(TrackDrawTest, PlainTrackWithMarkers) {
  Canvas canvas;
  const map::CosProjector_t projector = Projector(1000.0);  // marker size 5: line 9 wide
  gdb::Track_t track = LineTrack({40, 80, 120, 160, 200}, 1000.0);
  track.Draw(canvas.dc, projector, gdb::DrawState_Plain);

  EXPECT_EQ(canvas.At(60, 60), kBlack);  // solid centre line
  EXPECT_EQ(canvas.At(60, 57), kWhite);  // wide line
  EXPECT_EQ(canvas.At(60, 59), kWhite);
  EXPECT_EQ(canvas.At(60, 50), kBackground);
  EXPECT_EQ(canvas.At(20, 60), kBackground);
  for (int x : {40, 80, 120, 160, 200}) EXPECT_EQ(canvas.At(x, 59), kBlack) << x;  // inner disc of a marker
}

TEST(TrackDrawTest, HighlightedRange) {
  Canvas canvas;
  const map::CosProjector_t projector = Projector(1000.0);
  gdb::Track_t track = LineTrack({40, 80, 120, 160, 200}, 1000.0);
  const auto at = Positions(track);
  track.Draw(canvas.dc, projector, gdb::DrawState_Plain, at[1], at[3]);
  // A highlighted range draws the rest as selected, whatever the state.
  EXPECT_EQ(canvas.At(60, 57), kYellow);
  EXPECT_EQ(canvas.At(100, 57), kCyan);
  EXPECT_EQ(canvas.At(140, 57), kCyan);
  EXPECT_EQ(canvas.At(180, 57), kYellow);

  // A range that runs backwards inside a segment is a caller's error.
  EXPECT_THROW(track.Draw(canvas.dc, projector, gdb::DrawState_Plain, at[3], at[1]), glo::Assert_t);

  // Positions of another track highlight nothing.
  canvas.Clear();
  const gdb::Track_t other = LineTrack({40, 80}, 1000.0);
  track.Draw(canvas.dc, projector, gdb::DrawState_Selected, other.Begin(), other.End());
  for (int x : {60, 100, 140, 180}) EXPECT_EQ(canvas.At(x, 57), kYellow) << x;
}

TEST(TrackDrawTest, DottedCentreLineWithoutMarkers) {
  Canvas canvas;
  const double scale = 100000.0;  // marker size 1: line 5 wide, dotted middle
  const map::CosProjector_t projector = Projector(scale);
  gdb::Track_t track = LineTrack({40, 80, 120, 160, 200}, scale);
  track.Draw(canvas.dc, projector, gdb::DrawState_Selected);
  EXPECT_GT(canvas.Count(kBlack, 60, 45, 195), 20);
  EXPECT_GT(canvas.Count(kWhite, 60, 45, 195), 20);  // the gaps show the white background colour
  EXPECT_EQ(canvas.At(80, 59), kYellow);             // no marker
  EXPECT_EQ(canvas.At(80, 58), kYellow);
  EXPECT_EQ(canvas.At(80, 56), kBackground);

  // A track of one point is one marker, whatever the scale.
  canvas.Clear();
  gdb::Track_t single = LineTrack({120}, scale);
  single.Draw(canvas.dc, projector, gdb::DrawState_Highlighted);
  EXPECT_EQ(canvas.At(120, 58), kCyan);  // outer disc of 5 pixels
  EXPECT_EQ(canvas.At(118, 60), kCyan);
  EXPECT_EQ(canvas.At(120, 56), kBackground);
  EXPECT_EQ(canvas.At(124, 60), kBackground);
}

TEST(TrackDrawTest, MarkersAreThinned) {
  Canvas canvas;
  const map::CosProjector_t projector = Projector(1000.0);
  // Outer squares of 9 pixels: a point 4 pixels on overlaps, 10 pixels on not.
  gdb::Track_t track = LineTrack({40, 44, 54, 58, 62, 72}, 1000.0);
  track.Draw(canvas.dc, projector, gdb::DrawState_Plain);
  for (int x : {40, 54, 72}) EXPECT_EQ(canvas.At(x, 58), kBlack) << x;
  for (int x : {44, 58, 62}) EXPECT_EQ(canvas.At(x, 58), kWhite) << x;
}

// The segments' drawings, held so that no address is reused while compared.
using Drawings_t = std::vector<glo::SmartPtr_t<gdi::MetaFile_t>>;
Drawings_t Drawings(const gdb::Track_t& track) {
  Drawings_t drawings;
  for (const auto& segment : track.GetSegments()) drawings.push_back(segment.GetCachedDrawing());
  return drawings;
}

// A view on the first point of the tracks below, 20 semicircles a pixel: each
// of their segments takes a while to record, so each test draws a few times only.
map::CosProjector_t CacheProjector() {
  return map::CosProjector_t(20.0, gdbtest::MakePoint(0).GetPosition(), plat::RECT{0, 0, kWidth, kHeight}, 0);
}

TEST(TrackDrawTest, CacheRecordsOnlyWhatChanged) {
  Canvas canvas;
  const map::CosProjector_t projector = CacheProjector();
  gdb::Track_t track = gdbtest::MakeTrack(250);
  track.Draw(canvas.dc, projector, gdb::DrawState_Plain);
  const auto drawn = Drawings(track);
  ASSERT_EQ(drawn.size(), 3u);
  for (const auto& d : drawn) EXPECT_TRUE(d);

  track.Draw(canvas.dc, projector, gdb::DrawState_Plain);  // replayed
  EXPECT_TRUE(Drawings(track) == drawn);

  track.AppendPoint(gdbtest::MakePoint(250));  // only the last segment changes
  EXPECT_FALSE(track.GetSegments().back().GetCachedDrawing());
  track.Draw(canvas.dc, projector, gdb::DrawState_Plain);
  auto now = Drawings(track);
  EXPECT_TRUE(now[0] == drawn[0]);
  EXPECT_TRUE(now[1] == drawn[1]);
  EXPECT_TRUE(now[2]);
  EXPECT_FALSE(now[2] == drawn[2]);

  // Highlighting points 50 to 150 re-records the first two segments with
  // their sub-ranges; the third is drawn as before.
  const auto at = Positions(track);
  const auto before = Drawings(track);
  track.Draw(canvas.dc, projector, gdb::DrawState_Plain, at[50], at[150]);
  now = Drawings(track);
  EXPECT_FALSE(now[0] == before[0]);
  EXPECT_FALSE(now[1] == before[1]);
  EXPECT_TRUE(now[2] == before[2]);
  auto segment = track.GetSegments().begin();
  ASSERT_TRUE(segment->GetDrawnRange().has_value());
  EXPECT_EQ(segment->GetDrawnRange()->from, 50u);
  EXPECT_EQ(segment->GetDrawnRange()->to, 100u);
  ++segment;
  ASSERT_TRUE(segment->GetDrawnRange().has_value());
  EXPECT_EQ(segment->GetDrawnRange()->from, 0u);
  EXPECT_EQ(segment->GetDrawnRange()->to, 51u);
  ++segment;
  EXPECT_FALSE(segment->GetDrawnRange().has_value());
}

// Another state or another view re-records every segment.
TEST(TrackDrawTest, AnotherStateOrViewReRecordsEverySegment) {
  Canvas canvas;
  map::CosProjector_t projector = CacheProjector();
  gdb::Track_t track = gdbtest::MakeTrack(250);
  track.AppendPoint(gdbtest::MakePoint(250));
  track.Draw(canvas.dc, projector, gdb::DrawState_Plain);
  ASSERT_EQ(Drawings(track).size(), 3u);
  for (int round = 0; round < 2; ++round) {
    const auto previous = Drawings(track);
    if (round == 0)
      track.Draw(canvas.dc, projector, gdb::DrawState_Selected);
    else {
      projector.SetScale(25.0);
      track.Draw(canvas.dc, projector, gdb::DrawState_Selected);
    }
    const auto now = Drawings(track);
    for (std::size_t i = 0; i < now.size(); ++i) EXPECT_FALSE(now[i] == previous[i]) << round << " " << i;
  }
  // A copy shares the drawings.
  const gdb::Track_t copy(track);
  EXPECT_TRUE(Drawings(copy) == Drawings(track));
  EXPECT_THROW(track.Draw(canvas.dc, projector, 3), glo::Assert_t);
}

TEST(TrackDrawTest, FailedRecordingDoesNotLeaveAStaleDrawing) {
  Canvas canvas;
  const map::CosProjector_t projector = Projector(1000.0);
  gdb::TrackSegment_t segment;
  for (int x = 20; x <= 200; x += 20)
    segment.AppendPoint(gdb::TrackPoint_t(geo::Position_t(0, (x - 120) * 1000)));
  const gdb::TrackSegment_t::DrawRange_t range = gdb::TrackSegment_t::SubRange_t{2, 5};
  segment.Draw(canvas.dc, projector, gdb::DrawState_Plain, range);
  const glo::SmartPtr_t<gdi::MetaFile_t> highlighted = segment.GetCachedDrawing();

  // Recording without the sub-range fails: the cache and its sub-range stay a pair.
  EXPECT_THROW(segment.Draw(canvas.dc, projector, 9, std::nullopt), glo::Assert_t);
  EXPECT_TRUE(segment.GetCachedDrawing() == highlighted);
  ASSERT_TRUE(segment.GetDrawnRange().has_value());

  // So the next draw without a sub-range records instead of replaying the
  // highlighted drawing.
  canvas.Clear();
  segment.Draw(canvas.dc, projector, gdb::DrawState_Plain, std::nullopt);
  EXPECT_FALSE(segment.GetCachedDrawing() == highlighted);
  EXPECT_FALSE(segment.GetDrawnRange().has_value());
  EXPECT_EQ(canvas.At(110, 57), kWhite);
}

gdb::RouteWaypoint_t Leg(const std::vector<std::pair<int, int>>& pixels, double scale) {
  std::vector<geo::Position_t> points;
  for (const auto& p : pixels)
    points.emplace_back(static_cast<std::int32_t>((60 - p.second) * scale), static_cast<std::int32_t>((p.first - 120) * scale));
  gdb::Path_t path;
  path.SetPoints(points);
  return gdb::RouteWaypoint_t(gdb::WaypointId_t(), path);
}

TEST(RouteDrawTest, DrawsVisiblePiecesWideThenThin) {
  Canvas canvas;
  const map::CosProjector_t projector = Projector(1000.0);
  gdb::Route_t route;
  route.GetWaypoints().push_back(Leg({{-40, 40}, {100, 40}}, 1000.0));               // enters from the left
  route.GetWaypoints().push_back(Leg({{140, 90}, {170, -50}, {200, 90}}, 1000.0));   // leaves and re-enters the top
  route.Draw(canvas.dc, projector, false);
  EXPECT_EQ(canvas.At(2, 37), kMagenta);
  EXPECT_EQ(canvas.At(50, 37), kMagenta);
  EXPECT_EQ(canvas.At(50, 40), kBlack);  // thin pen: entry 0 of the palette
  EXPECT_EQ(canvas.At(50, 47), kBackground);
  EXPECT_EQ(canvas.At(150, 50), kMagenta);
  EXPECT_EQ(canvas.At(190, 50), kMagenta);
  EXPECT_EQ(canvas.At(170, 1), kBackground);  // no line joins the two visible pieces

  canvas.Clear();
  route.Draw(canvas.dc, projector, true);
  EXPECT_EQ(canvas.At(50, 37), kYellow);
  EXPECT_EQ(canvas.At(50, 40), kBlack);
}

TEST(RouteDrawTest, RouteWithoutPointsDrawsNothing) {
  Canvas canvas;
  const map::CosProjector_t projector = Projector(1000.0);
  gdb::Route_t route;
  route.GetWaypoints().push_back(gdb::RouteWaypoint_t());
  route.Draw(canvas.dc, projector, true);
  for (int y = 0; y < kHeight; y += 3) EXPECT_EQ(canvas.Count(kBackground, y, 0, kWidth), kWidth) << y;
}

}  // namespace
