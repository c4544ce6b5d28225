// Track points, segments, running summaries and positions in a track.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GdbTestUtil.h"
#include "gdb/GDB_Track.h"
#include "glo/GLO_Exception.h"

namespace {

using gdbtest::MakePoint;
using gdbtest::MakePoints;

bool SamePoint(const gdb::TrackPoint_t& a, const gdb::TrackPoint_t& b) {
  const auto sameOpt = [](const auto& x, const auto& y) { return x.IsPresent() == y.IsPresent() && (!x || *x == *y); };
  return a.GetPosition() == b.GetPosition() && sameOpt(a.GetTime(), b.GetTime()) &&
         sameOpt(a.GetDepth(), b.GetDepth()) && sameOpt(a.GetTemperature(), b.GetTemperature());
}

// The summary checked against a direct computation over points [first, last]
// with the given count.
void ExpectSummary(const gdb::LegSummary_t& s, const std::vector<gdb::TrackPoint_t>& points, std::size_t first,
                   std::size_t last, std::int32_t count) {
  const gdbtest::Direct_t d = gdbtest::Summarise(points, first, last);
  EXPECT_EQ(s.GetCount(), count);
  EXPECT_NEAR(s.GetDistance(), d.distance, 1e-9 * d.distance + 1e-9);
  EXPECT_NEAR(s.GetAreaTerm(), d.areaTerm, 1e-9 * std::fabs(d.areaTerm) + 1e-3);
  ASSERT_EQ(s.GetTimeSpan().IsPresent(), d.hasTime);
  if (d.hasTime) {
    EXPECT_NEAR(*s.GetTimeSpan(), d.timeSpan, 1e-6);
  }
  ASSERT_FALSE(s.GetBox().IsEmpty());
  EXPECT_EQ(s.GetBox().GetNorth(), d.north);
  EXPECT_EQ(s.GetBox().GetSouth(), d.south);
  EXPECT_EQ(s.GetBox().GetEast(), d.east);
  EXPECT_EQ(s.GetBox().GetWest(), d.west);
  EXPECT_EQ(s.GetMaxLatitude(), d.north);
  EXPECT_EQ(s.GetMinLatitude(), d.south);
  ASSERT_TRUE(s.GetFirstPoint().IsPresent());
  ASSERT_TRUE(s.GetLastPoint().IsPresent());
  EXPECT_TRUE(SamePoint(*s.GetFirstPoint(), points[first]));
  EXPECT_TRUE(SamePoint(*s.GetLastPoint(), points[last]));
}

void ExpectEmptySummary(const gdb::LegSummary_t& s) {
  EXPECT_TRUE(s.GetBox().IsEmpty());
  EXPECT_EQ(s.GetDistance(), 0.0);
  EXPECT_EQ(s.GetCount(), 0);
  EXPECT_FALSE(s.GetTimeSpan().IsPresent());
  EXPECT_FALSE(s.GetFirstPoint().IsPresent());
  EXPECT_FALSE(s.GetLastPoint().IsPresent());
  EXPECT_EQ(s.GetAreaTerm(), 0.0);
  EXPECT_EQ(s.GetMinLatitude(), 1 << 30);
  EXPECT_EQ(s.GetMaxLatitude(), -(1 << 30));
}

TEST(TrackTest, PointFieldsAreSetAndCopiedOneByOne) {
  gdb::TrackPoint_t point(geo::Position_t(100, 200, 5.0), glo::Time_t(1000), 2.5);
  EXPECT_EQ(2.5, *point.GetDepth());
  EXPECT_FALSE(point.GetTemperature().IsPresent());
  point.SetTemperature(18.0);
  point.SetDepth(glo::Optional_t<double>());
  EXPECT_FALSE(point.GetDepth().IsPresent());
  EXPECT_EQ(18.0, *point.GetTemperature());

  gdb::TrackPoint_t copy(point);
  copy.SetTemperature(copy.GetTemperature() - glo::Optional_t<double>(1.0));
  copy.SetDepth(copy.GetTemperature());
  EXPECT_EQ(17.0, *copy.GetDepth());
  EXPECT_EQ(17.0, *copy.GetTemperature());
  EXPECT_EQ(18.0, *point.GetTemperature());
  EXPECT_FALSE(point.GetDepth().IsPresent());

  point = copy;
  copy.SetTemperature(glo::Optional_t<double>());
  copy.SetDepth(glo::Optional_t<double>());
  EXPECT_FALSE(copy.GetDepth().IsPresent() || copy.GetTemperature().IsPresent());
  EXPECT_EQ(17.0, *point.GetDepth());
  EXPECT_EQ(5.0, *point.GetPosition().GetAltitude());
  EXPECT_EQ(1000, point.GetTime()->GetValue());
}

TEST(TrackTest, AppendingAfterGivingBackSpareRoomKeepsEveryPoint) {
  gdb::Track_t track = gdbtest::MakeTrack(150);
  gdb::Track_t untouched = gdbtest::MakeTrack(150);
  track.ReleaseSpareRoom();
  const gdb::TrackPoint_t& last = *std::prev(track.end());  // lives in the segment that gets room again
  track.AppendPoint(last);
  untouched.AppendPoint(*std::prev(untouched.end()));
  track.AppendPoint(gdbtest::MakePoint(151));
  untouched.AppendPoint(gdbtest::MakePoint(151));
  EXPECT_EQ(track.GetCount(), 152);
  EXPECT_EQ(track.GetTotals().GetDistance(), untouched.GetTotals().GetDistance());
  EXPECT_EQ(track.GetTotals().GetAreaTerm(), untouched.GetTotals().GetAreaTerm());
  auto other = untouched.begin();
  for (const gdb::TrackPoint_t& point : track) EXPECT_TRUE(SamePoint(point, *other++));
  EXPECT_TRUE(other == untouched.end());
}

TEST(TrackTest, StartsEmpty) {
  const gdb::Track_t track;
  EXPECT_EQ(track.GetDisplayFlag(), 1);
  EXPECT_EQ(track.GetColor(), 0);
  EXPECT_EQ(track.GetName(), "");
  EXPECT_TRUE(track.GetSegments().empty());
  EXPECT_TRUE(track.Begin() == track.End());
  ExpectEmptySummary(track.GetTotals());
  ExpectEmptySummary(track.GetSummary(track.Begin(), track.End()));
}

TEST(TrackTest, OnePoint) {
  gdb::Track_t track;
  const gdb::TrackPoint_t point = MakePoint(0);  // with time and altitude
  EXPECT_EQ(track.AppendPoint(point), 1);
  ASSERT_EQ(track.GetSegments().size(), 1u);
  EXPECT_EQ(track.GetSegments().front().GetPoints().size(), 1u);
  const gdb::LegSummary_t& t = track.GetTotals();
  ExpectSummary(t, {point}, 0, 0, 1);
  EXPECT_EQ(t.GetDistance(), 0.0);
  EXPECT_EQ(*t.GetTimeSpan(), 0.0);
  EXPECT_EQ(t.GetBox().GetNorthEast(), t.GetBox().GetSouthWest());
  EXPECT_TRUE(t.HasAltitude());
}

TEST(TrackTest, KeepsSegmentsOf100PointsWithRunningTotals) {
  const std::vector<gdb::TrackPoint_t> points = MakePoints(250);
  gdb::Track_t track;
  for (int i = 0; i < 250; ++i) {
    EXPECT_EQ(track.AppendPoint(points[i]), i + 1);
    if (i == 99) {
      EXPECT_EQ(track.GetSegments().size(), 1u);
    }
    if (i == 100) {
      EXPECT_EQ(track.GetSegments().size(), 2u);
    }
  }
  // 100 + (1 + 99) + (1 + 50): the 101st and the 200th point open segments.
  std::vector<std::size_t> sizes;
  for (const auto& segment : track.GetSegments()) sizes.push_back(segment.GetPoints().size());
  EXPECT_EQ(sizes, (std::vector<std::size_t>{100, 100, 52}));

  // Every segment after the first begins with the previous one's last point,
  // and each segment's summary matches its points.
  std::size_t first = 0;
  const gdb::TrackSegment_t* previous = nullptr;
  for (const auto& segment : track.GetSegments()) {
    if (previous) {
      EXPECT_TRUE(SamePoint(segment.GetPoints().front(), previous->GetPoints().back()));
    }
    const std::size_t last = first + segment.GetPoints().size() - 1;
    ExpectSummary(segment.GetSummary(), points, first, last, static_cast<std::int32_t>(segment.GetPoints().size()));
    first = last;
    previous = &segment;
  }
  ExpectSummary(track.GetTotals(), points, 0, 249, 250);
  EXPECT_TRUE(track.GetTotals().HasAltitude());
}

TEST(TrackTest, PointsWithoutTimeHaveNoTimeSpan) {
  gdb::Track_t track;
  for (int i = 0; i < 150; ++i) track.AppendPoint(gdb::TrackPoint_t(MakePoint(i).GetPosition()));
  EXPECT_FALSE(track.GetTotals().GetTimeSpan().IsPresent());
  EXPECT_GT(track.GetTotals().GetDistance(), 0.0);
}

TEST(TrackTest, IteratesEveryAppendedPointOnceEachWay) {
  for (int count : {1, 99, 100, 101, 199, 200, 250}) {
    const std::vector<gdb::TrackPoint_t> points = MakePoints(count);
    gdb::Track_t track;
    for (const auto& p : points) track.AppendPoint(p);
    std::size_t n = 0;
    for (const gdb::TrackPoint_t& p : track) {
      ASSERT_LT(n, points.size());
      EXPECT_TRUE(SamePoint(p, points[n])) << count << " points, point " << n;
      ++n;
    }
    EXPECT_EQ(n, points.size());
    gdb::Track_t::Iterator_t it = track.End();
    for (std::size_t k = points.size(); k-- > 0;) {
      --it;
      EXPECT_TRUE(SamePoint(*it, points[k])) << count << " points, back to " << k;
    }
    EXPECT_TRUE(it == track.Begin());
    EXPECT_THROW(--it, glo::Assert_t);
    gdb::Track_t::Iterator_t end = track.End();
    EXPECT_THROW(++end, glo::Assert_t);
    EXPECT_THROW(*end, glo::Assert_t);
  }
}

TEST(TrackTest, RangeSummariesMatchTheirPoints) {
  const std::vector<gdb::TrackPoint_t> points = MakePoints(250);
  gdb::Track_t track;
  for (const auto& p : points) track.AppendPoint(p);
  std::vector<gdb::Track_t::Iterator_t> at;
  for (auto it = track.Begin(); it != track.End(); ++it) at.push_back(it);
  at.push_back(track.End());

  // [i, j): the count is the number of points visited; the distance and time
  // run up to point j (or to the last point when j is the end).
  const struct {
    std::size_t i, j;
  } ranges[] = {{0, 1}, {5, 6}, {10, 60}, {0, 99}, {99, 100}, {0, 100}, {50, 150}, {99, 101},
                {0, 200}, {20, 250}, {100, 250}, {150, 249}, {199, 200}, {120, 180}};
  for (const auto& r : ranges) {
    SCOPED_TRACE(testing::Message() << "[" << r.i << ", " << r.j << ")");
    const gdb::LegSummary_t s = track.GetSummary(at[r.i], at[r.j]);
    const std::size_t last = r.j == 250 ? 249 : r.j;
    ExpectSummary(s, points, r.i, last, static_cast<std::int32_t>(r.j - r.i));
  }
  // The last point alone: counted, but no leg (so no box and no end points).
  const gdb::LegSummary_t lastOnly = track.GetSummary(at[249], at[250]);
  EXPECT_EQ(lastOnly.GetCount(), 1);
  EXPECT_EQ(lastOnly.GetDistance(), 0.0);
  ExpectEmptySummary(track.GetSummary(at[7], at[7]));
  ExpectEmptySummary(track.GetSummary(track.End(), track.End()));
}

TEST(TrackTest, LegAtAPosition) {
  const gdb::Track_t track = gdbtest::MakeTrack(101);
  auto it = track.Begin();
  for (int i = 0; i < 99; ++i) ++it;
  const auto leg = track.GetLegAt(it);  // point 99 to point 100, across segments
  ASSERT_TRUE(leg.IsPresent());
  EXPECT_DOUBLE_EQ(leg->distance, geo::DistanceAndBearing(MakePoint(99).GetPosition(), MakePoint(100).GetPosition()).distance);
  ++it;
  EXPECT_FALSE(track.GetLegAt(it).IsPresent());
  EXPECT_THROW(track.GetLegAt(track.End()), glo::Assert_t);
}

TEST(TrackTest, CopiesAndClears) {
  gdb::Track_t track = gdbtest::MakeTrack(120);
  track.SetName("Run 1");
  track.SetColor(gdb::Color_Red);
  track.SetDisplayFlag(0);

  gdb::Track_t copy(track);
  gdb::Track_t assigned;
  assigned.AppendPoint(MakePoint(3));
  assigned = track;
  assigned = assigned;
  for (const gdb::Track_t* t : {&copy, &assigned}) {
    EXPECT_EQ(t->GetName(), "Run 1");
    EXPECT_EQ(t->GetColor(), gdb::Color_Red);
    EXPECT_EQ(t->GetDisplayFlag(), 0);
    EXPECT_EQ(t->GetSegments().size(), 2u);
    EXPECT_EQ(t->GetTotals().GetCount(), 120);
    EXPECT_EQ(t->GetTotals().GetDistance(), track.GetTotals().GetDistance());
    EXPECT_NE(&t->GetFilter(), &track.GetFilter());
  }

  track.ClearPoints();
  EXPECT_TRUE(track.GetSegments().empty());
  ExpectEmptySummary(track.GetTotals());
  EXPECT_EQ(track.GetName(), "Run 1");
  EXPECT_EQ(track.GetColor(), gdb::Color_Red);
  EXPECT_EQ(track.GetDisplayFlag(), 0);
  EXPECT_EQ(copy.GetTotals().GetCount(), 120);  // the copies are their own
  EXPECT_EQ(track.AppendPoint(MakePoint(0)), 1);
}

// The position of point 'index' of the appended points, or the end.
gdb::Track_t::Iterator_t At(const gdb::Track_t& track, int index) {
  gdb::Track_t::Iterator_t p = track.Begin();
  for (int i = 0; i < index && p != track.End(); ++i) ++p;
  return p;
}

TEST(TrackTest, PartsShareThePointsAndSummariseAsIfAppended) {
  // 250 points in three segments: 0-99, 99-198, 198-249.
  const std::vector<gdb::TrackPoint_t> points = MakePoints(250);
  const gdb::Track_t track = gdbtest::MakeTrack(250);
  struct Case {
    const char* name;
    int first, last;  // last 250: the end
  };
  const Case cases[] = {
      {"whole track", 0, 250},        {"inside one segment", 5, 50},
      {"from a segment's last point", 99, 150}, {"to a segment's last point", 20, 100},
      {"across every segment", 30, 230},        {"one point", 198, 199},
      {"the tail", 150, 250},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const gdb::Track_t part = track.Part(At(track, c.first), At(track, c.last));
    gdb::Track_t appended;
    for (int i = c.first; i < c.last; ++i) appended.AppendPoint(points[static_cast<std::size_t>(i)]);
    ASSERT_EQ(part.GetCount(), c.last - c.first);
    ExpectSummary(part.GetTotals(), points, static_cast<std::size_t>(c.first), static_cast<std::size_t>(c.last - 1),
                  c.last - c.first);
    EXPECT_NEAR(part.GetTotals().GetDistance(), appended.GetTotals().GetDistance(), 1e-9);
    int i = c.first;
    for (gdb::Track_t::Iterator_t p = part.Begin(); p != part.End(); ++p, ++i) {
      EXPECT_EQ(&*p, &*At(track, i)) << i;  // the very points of the track
    }
    EXPECT_EQ(i, c.last);
    // The range summaries of a part are those of its points (up to the
    // leg to the range's end).
    if (c.last - c.first > 3) {
      ExpectSummary(part.GetSummary(At(part, 1), At(part, c.last - c.first - 1)), points,
                    static_cast<std::size_t>(c.first + 1), static_cast<std::size_t>(c.last - 1),
                    c.last - c.first - 2);
    }
  }
  EXPECT_EQ(track.Part(At(track, 7), At(track, 7)).GetCount(), 0);
  EXPECT_THROW(track.Part(At(track, 150), At(track, 20)), glo::Assert_t);
  EXPECT_THROW(track.Part(At(track, 50), At(track, 20)), glo::Assert_t);
  const gdb::Track_t other = gdbtest::MakeTrack(5);
  EXPECT_THROW(track.Part(At(other, 1), At(track, 20)), glo::Assert_t);
}

TEST(TrackTest, AppendingToSharedPointsLeavesTheOtherTrackAlone) {
  gdb::Track_t track = gdbtest::MakeTrack(150);
  gdb::Track_t part = track.Part(At(track, 120), track.End());
  const gdb::Track_t copy(track);
  part.AppendPoint(MakePoint(500));
  track.AppendPoint(MakePoint(600));
  EXPECT_EQ(part.GetCount(), 31);
  EXPECT_EQ(track.GetCount(), 151);
  EXPECT_EQ(copy.GetCount(), 150);
  EXPECT_TRUE(SamePoint(*At(part, 30), MakePoint(500)));
  EXPECT_TRUE(SamePoint(*At(track, 150), MakePoint(600)));
  // The copy still sees its own last points.
  const std::vector<gdb::TrackPoint_t> points = MakePoints(150);
  int i = 0;
  for (const gdb::TrackPoint_t& p : copy) EXPECT_TRUE(SamePoint(p, points[static_cast<std::size_t>(i++)])) << i;
  EXPECT_EQ(i, 150);
}

TEST(TrackTest, NullFilterAppends) {
  gdb::Track_t track;
  EXPECT_FALSE(track.GetFilter().TakePoint(track, MakePoint(0)));
  EXPECT_EQ(track.GetTotals().GetCount(), 1);
  std::unique_ptr<gdb::TrackFilterIntf_t> clone(track.GetFilter().Clone());
  EXPECT_NE(dynamic_cast<gdb::NullFilter_t*>(clone.get()), nullptr);
}

}  // namespace
