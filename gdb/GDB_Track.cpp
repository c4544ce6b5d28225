#include "gdb/GDB_Track.h"

#include <algorithm>
#include <utility>

#include "glo/GLO_Exception.h"

namespace gdb {

// ---------------------------------------------------------------------------
// Filters

bool NullFilter_t::TakePoint(Track_t& track, const TrackPoint_t& point) {
  track.AppendPoint(point);
  return false;
}

// ---------------------------------------------------------------------------
// Positions

bool Track_t::Iterator_t::IsEnd() const { return !m_track || m_segment == m_track->m_segments.end(); }

const TrackPoint_t& Track_t::Iterator_t::operator*() const {
  if (IsEnd()) throw glo::Assert_t(GLO_SRC);
  return *m_point;
}

Track_t::Iterator_t& Track_t::Iterator_t::operator++() {
  if (IsEnd()) throw glo::Assert_t(GLO_SRC);
  ++m_point;
  // At a segment's end go on with the next segment's second point: its first
  // repeats the point just left. (A segment of one point holds nothing new.)
  while (m_point == m_segment->GetPoints().end()) {
    ++m_segment;
    if (m_segment == m_track->m_segments.end()) {
      m_point = TrackSegment_t::PointIter_t();
      break;
    }
    m_point = m_segment->GetPoints().begin();
    if (m_point != m_segment->GetPoints().end()) ++m_point;
  }
  return *this;
}

Track_t::Iterator_t& Track_t::Iterator_t::operator--() {
  if (!m_track || m_track->m_segments.empty()) throw glo::Assert_t(GLO_SRC);
  const Segments_t& segments = m_track->m_segments;
  // The first point that belongs to a segment of its own: the first point of
  // the first segment, the second point of every later one.
  const auto ownFirst = [&](Segments_t::const_iterator s) {
    TrackSegment_t::PointIter_t p = s->GetPoints().begin();
    if (s != segments.begin() && p != s->GetPoints().end()) ++p;
    return p;
  };
  if (m_segment != segments.end() && m_point != ownFirst(m_segment)) {
    --m_point;
    return *this;
  }
  // Back to the last point of the closest earlier segment that holds one.
  Segments_t::const_iterator s = m_segment;
  while (s != segments.begin()) {
    --s;
    if (ownFirst(s) != s->GetPoints().end()) {
      m_segment = s;
      m_point = std::prev(s->GetPoints().end());
      return *this;
    }
  }
  throw glo::Assert_t(GLO_SRC);  // stepping back from the first point
}

bool operator==(const Track_t::Iterator_t& a, const Track_t::Iterator_t& b) {
  if (a.m_track != b.m_track) return false;
  if (!a.m_track) return true;
  if (a.m_segment != b.m_segment) return false;
  return a.m_segment == a.m_track->GetSegments().end() || a.m_point == b.m_point;
}

// ---------------------------------------------------------------------------
// Construction

namespace {

// The projector state a new track counts as drawn with.
map::TrackDrawState_t InitialDrawState() {
  return map::TrackDrawState_t(2147483648.0, geo::Position_t(0, 0), plat::RECT{0, 0, 0, 0});
}

}  // namespace

Track_t::Track_t() : m_drawnView(InitialDrawState()) { SetNullFilter(); }

Track_t::Track_t(const Track_t& other)
    : m_displayFlag(other.m_displayFlag),
      m_color(other.m_color),
      m_segments(other.m_segments),
      m_totals(other.m_totals),
      m_filter(other.m_filter->Clone()),
      m_drawnState(other.m_drawnState),
      m_drawnView(other.m_drawnView),
      m_name(other.m_name) {}

Track_t& Track_t::operator=(const Track_t& other) {
  if (this == &other) return *this;
  // Everything is copied before anything changes, so that a failing copy
  // leaves this track as it was.
  glo::AutoPtr_t<TrackFilterIntf_t> filter(other.m_filter->Clone());
  Segments_t segments(other.m_segments);
  LegSummary_t totals(other.m_totals);
  std::string name(other.m_name);
  m_displayFlag = other.m_displayFlag;
  m_color = other.m_color;
  m_drawnState = other.m_drawnState;
  m_drawnView = other.m_drawnView;
  m_segments.swap(segments);
  m_totals = std::move(totals);
  m_name.swap(name);
  m_filter = std::move(filter);
  return *this;
}

Track_t::~Track_t() = default;

void Track_t::Swap(Track_t& other) noexcept {
  std::swap(m_displayFlag, other.m_displayFlag);
  std::swap(m_color, other.m_color);
  m_segments.swap(other.m_segments);
  std::swap(m_totals, other.m_totals);
  TrackFilterIntf_t* filter = m_filter.Release();
  m_filter.Reset(other.m_filter.Release());
  other.m_filter.Reset(filter);
  std::swap(m_drawnState, other.m_drawnState);
  std::swap(m_drawnView, other.m_drawnView);
  m_name.swap(other.m_name);
}

void Track_t::SetNullFilter() {
  TrackFilterIntf_t* filter = new NullFilter_t();
  if (filter != m_filter.Get()) m_filter.Reset(filter);
}

// ---------------------------------------------------------------------------
// Points

void Track_t::AddSegmentTotals(LegSummary_t& totals, const LegSummary_t& added) {
  totals.m_distance += added.m_distance;
  totals.m_box = geo::Union(totals.m_box, added.m_box);
  if (added.m_timeSpan)
    totals.m_timeSpan = totals.m_timeSpan ? *totals.m_timeSpan + *added.m_timeSpan : *added.m_timeSpan;
  totals.m_areaTerm += added.m_areaTerm;
  totals.m_minLatitude = std::min(totals.m_minLatitude, added.m_minLatitude);
  totals.m_maxLatitude = std::max(totals.m_maxLatitude, added.m_maxLatitude);
}

std::int32_t Track_t::AppendPoint(const TrackPoint_t& point) {
  // Everything that can fail (allocations, the summaries of the new leg) is
  // worked out before anything changes, so that a failure leaves the track
  // as it was.
  if (m_segments.empty() || m_segments.back().GetPoints().size() >= MaxSegmentPoints) {
    // A new segment: empty for the first point, else starting with a copy of
    // the last point. Its whole summary adds to the totals.
    TrackSegment_t segment;
    LegSummary_t totals(m_totals);
    if (m_segments.empty())
      totals.m_first = point;
    else
      segment = TrackSegment_t(m_segments.back().GetPoints().back());
    segment.AppendPoint(point);
    AddSegmentTotals(totals, segment.GetSummary());
    totals.m_last = point;
    totals.m_count += 1;
    m_segments.push_back(std::move(segment));
    m_totals = std::move(totals);
    return m_totals.m_count;
  }

  // The last segment takes the point: its present contribution leaves the
  // totals, the leg to the point joins the segment's summary, and the
  // segment's new contribution joins the totals again.
  TrackSegment_t& segment = m_segments.back();
  if (!segment.CanAppendInPlace()) {
    // Making room moves the points, which the new one may be one of.
    const TrackPoint_t copy(point);
    segment.MakeRoom();
    return AppendPoint(copy);
  }
  LegSummary_t& seg = segment.m_summary;
  LegSummary_t& tot = m_totals;
  const TrackPoint_t& previous = segment.GetPoints().back();
  LegSummary_t::Leg_t leg = LegSummary_t::MakeLeg(previous, point);
  geo::Box_t segmentBox = geo::Union(seg.m_box, leg.box);
  geo::Box_t totalsBox = geo::Union(tot.m_box, segmentBox);

  bool segmentHasSpan = seg.m_timeSpan.IsPresent(), totalsHaveSpan = tot.m_timeSpan.IsPresent();
  double segmentSpan = segmentHasSpan ? *seg.m_timeSpan : 0.0, totalsSpan = totalsHaveSpan ? *tot.m_timeSpan : 0.0;
  if (segmentHasSpan && totalsHaveSpan) totalsSpan -= segmentSpan;
  if (leg.timeSpan) {
    segmentSpan = segmentHasSpan ? segmentSpan + *leg.timeSpan : *leg.timeSpan;
    segmentHasSpan = true;
  }
  if (segmentHasSpan) {
    totalsSpan = totalsHaveSpan ? totalsSpan + segmentSpan : segmentSpan;
    totalsHaveSpan = true;
  }
  glo::Optional_t<double> newSegmentSpan, newTotalsSpan;
  if (segmentHasSpan) newSegmentSpan = segmentSpan;
  if (totalsHaveSpan) newTotalsSpan = totalsSpan;
  // The segment and the totals hold their first and last points already, so
  // replacing them copies into the cells they have.
  const bool haveEnds = seg.m_first && seg.m_last && tot.m_last;
  glo::Optional_t<TrackPoint_t> first, segmentLast, last;
  if (!haveEnds) {
    first = previous;
    segmentLast = point;
    last = point;
  }

  segment.PushPoint(point);

  // Nothing below can fail.
  tot.m_distance -= seg.m_distance;
  tot.m_areaTerm -= seg.m_areaTerm;
  seg.m_box = std::move(segmentBox);
  seg.m_distance += leg.distance;
  seg.m_count += 1;
  seg.m_timeSpan = std::move(newSegmentSpan);
  seg.m_areaTerm += leg.areaTerm;
  seg.m_minLatitude = std::min(seg.m_minLatitude, leg.minLatitude);
  seg.m_maxLatitude = std::max(seg.m_maxLatitude, leg.maxLatitude);
  if (haveEnds) {
    seg.m_last = point;
  } else {
    if (!seg.m_first) seg.m_first = std::move(first);
    seg.m_last = std::move(segmentLast);
  }
  segment.m_drawing = nullptr;

  tot.m_distance += seg.m_distance;
  tot.m_box = std::move(totalsBox);
  tot.m_timeSpan = std::move(newTotalsSpan);
  tot.m_areaTerm += seg.m_areaTerm;
  tot.m_minLatitude = std::min(tot.m_minLatitude, seg.m_minLatitude);
  tot.m_maxLatitude = std::max(tot.m_maxLatitude, seg.m_maxLatitude);
  if (haveEnds)
    tot.m_last = point;
  else
    tot.m_last = std::move(last);
  tot.m_count += 1;
  return tot.m_count;
}

Track_t Track_t::Part(const Iterator_t& first, const Iterator_t& last) const {
  Track_t part;
  if (first.GetTrack() != this || last.GetTrack() != this) throw glo::Assert_t(GLO_SRC);
  if (first.IsEnd() || first == last) return part;
  LegSummary_t& totals = part.m_totals;
  for (Segments_t::const_iterator s = first.GetSegment();; ++s) {
    if (s == m_segments.end()) {
      if (!last.IsEnd()) throw glo::Assert_t(GLO_SRC);  // 'last' comes before 'first'
      break;
    }
    const TrackSegment_t::Points_t points = s->GetPoints();
    const bool atLast = s == last.GetSegment();
    const TrackSegment_t::PointIter_t from = s == first.GetSegment() ? first.GetPoint() : points.begin();
    const TrackSegment_t::PointIter_t to = atLast ? last.GetPoint() : points.end();
    if (to < from) throw glo::Assert_t(GLO_SRC);
    // A later segment whose only point repeats the previous one adds nothing.
    if (part.m_segments.empty() ? from != to : to - from > 1) {
      TrackSegment_t view = s->View(from, to);
      const LegSummary_t& added = view.GetSummary();
      AddSegmentTotals(totals, added);
      totals.m_count += part.m_segments.empty() ? added.m_count : added.m_count - 1;
      part.m_segments.push_back(std::move(view));
    }
    if (atLast) break;
  }
  if (!part.m_segments.empty()) {
    totals.m_first = part.m_segments.front().GetPoints().front();
    totals.m_last = part.m_segments.back().GetPoints().back();
  }
  return part;
}

void Track_t::ReleaseSpareRoom() {
  if (!m_segments.empty()) m_segments.back().ReleaseSpareRoom();
}

void Track_t::ClearPoints() {
  m_segments.clear();
  m_totals = LegSummary_t();
}

// ---------------------------------------------------------------------------
// Summaries

Track_t::Iterator_t Track_t::Begin() const {
  if (m_segments.empty()) return End();
  return Iterator_t(this, m_segments.begin(), m_segments.front().GetPoints().begin());
}

Track_t::Iterator_t Track_t::End() const {
  return Iterator_t(this, m_segments.end(), TrackSegment_t::PointIter_t());
}

LegSummary_t Track_t::GetSummary(const Iterator_t& first, const Iterator_t& last) const {
  if (first == End() || first == last) return LegSummary_t();
  if (first == Begin() && last == End()) return m_totals;
  if (first.GetTrack() != this || last.GetTrack() != this) throw glo::Assert_t(GLO_SRC);
  const Segments_t::const_iterator firstSegment = first.GetSegment();
  const Segments_t::const_iterator lastSegment = last.GetSegment();
  if (firstSegment == lastSegment) return firstSegment->GetSummary(first.GetPoint(), last.GetPoint());
  LegSummary_t result = firstSegment->GetSummary(first.GetPoint(), firstSegment->GetPoints().end());
  Segments_t::const_iterator s = firstSegment;
  for (++s; s != m_segments.end() && s != lastSegment; ++s) {
    result += s->GetSummary();
    result.m_count -= 1;  // its first point repeats the previous segment's last
  }
  if (lastSegment != m_segments.end()) {
    result += lastSegment->GetSummary(lastSegment->GetPoints().begin(), last.GetPoint());
    result.m_count -= 1;
  }
  return result;
}

glo::Optional_t<geo::DistanceAndBearing_t> Track_t::GetLegAt(const Iterator_t& position) const {
  if (position.IsEnd()) throw glo::Assert_t(GLO_SRC);
  Iterator_t next(position);
  ++next;
  if (next.IsEnd()) return glo::Optional_t<geo::DistanceAndBearing_t>();
  return geo::DistanceAndBearing(position->GetPosition(), next->GetPosition());
}

// ---------------------------------------------------------------------------
// Drawing

void Track_t::Draw(plat::Dc_t& dc, const map::Projector_t& projector, int state) {
  Draw(dc, projector, state, Iterator_t(), Iterator_t());
}

void Track_t::Draw(plat::Dc_t& dc, const map::Projector_t& projector, int state, const Iterator_t& first,
                   const Iterator_t& last) {
  DrawStateColor(state);  // rejects a state outside 0 to 2 before anything changes
  bool changed = false;
  if (m_drawnState != state) {
    changed = true;
    m_drawnState = static_cast<std::uint8_t>(state);
  }
  const map::TrackDrawState_t view = projector.GetDrawState();
  if (view != m_drawnView) {
    changed = true;
    m_drawnView = view;
  }
  // Every recorded drawing goes before any segment is drawn again, so that a
  // failure half-way cannot leave drawings of the old state to be replayed.
  if (changed)
    for (TrackSegment_t& segment : m_segments) segment.SetCachedDrawing(plat::GdiHandle_t());

  const bool highlight = first.GetTrack() == this && !first.IsEnd();
  const auto indexOf = [](const TrackSegment_t& segment, TrackSegment_t::PointIter_t point) {
    return static_cast<std::size_t>(std::distance(segment.GetPoints().begin(), point));
  };
  bool inside = false;
  for (auto s = m_segments.begin(); s != m_segments.end(); ++s) {
    TrackSegment_t& segment = *s;
    const std::size_t size = segment.GetPoints().size();
    TrackSegment_t::DrawRange_t range;
    if (!highlight) {
      // nothing highlighted
    } else if (s == first.GetSegment()) {
      const std::size_t from = indexOf(segment, first.GetPoint());
      if (last.GetTrack() == this && s == last.GetSegment()) {
        range = TrackSegment_t::SubRange_t{from, indexOf(segment, last.GetPoint())};
      } else {
        range = TrackSegment_t::SubRange_t{from, size};
        inside = true;
      }
    } else if (last.GetTrack() == this && s == last.GetSegment()) {
      range = TrackSegment_t::SubRange_t{0, indexOf(segment, last.GetPoint())};
      inside = false;
    } else if (inside) {
      range = TrackSegment_t::SubRange_t{0, size};
    }
    segment.Draw(dc, projector, state, range);
  }
}

}  // namespace gdb
