#include "gdb/GDB_TrackSegment.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>
#include <vector>

#include "gdi/GDI_BkModeSaver.h"
#include "gdi/GDI_Clipper.h"
#include "gdi/GDI_SmartBrush.h"
#include "gdi/GDI_SmartPen.h"
#include "gdi/GDI_SmartPointBuffer.h"
#include "glo/GLO_Exception.h"

namespace gdb {

// ---------------------------------------------------------------------------
// Leg summaries

namespace {

// The positions turned into unit vectors last on this thread: a leg of a
// track starts where the one before it ended, so that measuring the legs of
// a track in order turns each position into a unit vector once.
struct UnitVectors_t {
  struct Unit_t {
    std::int32_t latitude;
    std::int32_t longitude;
    geo::UnitVector_t vector;
    bool valid;
  };
  Unit_t units[2];
  int next;

  geo::UnitVector_t Get(const geo::Position_t& p) {
    for (const Unit_t& unit : units)
      if (unit.valid && unit.latitude == p.GetLatitude() && unit.longitude == p.GetLongitude()) return unit.vector;
    Unit_t& unit = units[next];
    next = 1 - next;
    unit = Unit_t{p.GetLatitude(), p.GetLongitude(), geo::ToUnitVector(p), true};
    return unit.vector;
  }
};

double LegDistance(const geo::Position_t& a, const geo::Position_t& b) {
  if (a.GetLatitude() == b.GetLatitude() && a.GetLongitude() == b.GetLongitude()) return 0.0;
  thread_local UnitVectors_t units{};
  const geo::UnitVector_t u = units.Get(a);
  return geo::Distance(u, units.Get(b));
}

}  // namespace

LegSummary_t::Leg_t LegSummary_t::MakeLeg(const TrackPoint_t& from, const TrackPoint_t& to) {
  const geo::Position_t& a = from.GetPosition();
  const geo::Position_t& b = to.GetPosition();
  Leg_t leg{geo::Box_t(std::make_pair(a, b)), LegDistance(a, b), {}, 0.0, 0, 0};
  if (from.GetTime() && to.GetTime())
    leg.timeSpan = std::fabs(glo::Difference(*from.GetTime(), *to.GetTime()).GetSeconds());
  leg.areaTerm = static_cast<double>(a.GetLongitude()) * b.GetLatitude() -
                 static_cast<double>(b.GetLongitude()) * a.GetLatitude();
  leg.minLatitude = std::min(a.GetLatitude(), b.GetLatitude());
  leg.maxLatitude = std::max(a.GetLatitude(), b.GetLatitude());
  return leg;
}

LegSummary_t::LegSummary_t(const TrackPoint_t& from, const TrackPoint_t& to) : m_count(1), m_first(from), m_last(to) {
  Leg_t leg = MakeLeg(from, to);
  m_box = std::move(leg.box);
  m_distance = leg.distance;
  m_timeSpan = std::move(leg.timeSpan);
  m_areaTerm = leg.areaTerm;
  m_minLatitude = leg.minLatitude;
  m_maxLatitude = leg.maxLatitude;
}

void LegSummary_t::AddLeg(const Leg_t& leg, const TrackPoint_t& from, const TrackPoint_t& to) {
  m_box = geo::Union(m_box, leg.box);
  m_distance += leg.distance;
  m_count += 1;
  if (leg.timeSpan) m_timeSpan = m_timeSpan ? *m_timeSpan + *leg.timeSpan : *leg.timeSpan;
  m_areaTerm += leg.areaTerm;
  m_minLatitude = std::min(m_minLatitude, leg.minLatitude);
  m_maxLatitude = std::max(m_maxLatitude, leg.maxLatitude);
  if (!m_first) m_first = from;
  m_last = to;
}

LegSummary_t& LegSummary_t::operator+=(const LegSummary_t& other) {
  m_box = geo::Union(m_box, other.m_box);
  m_distance += other.m_distance;
  m_count += other.m_count;
  if (other.m_timeSpan) m_timeSpan = m_timeSpan ? *m_timeSpan + *other.m_timeSpan : *other.m_timeSpan;
  m_areaTerm += other.m_areaTerm;
  m_minLatitude = std::min(m_minLatitude, other.m_minLatitude);
  m_maxLatitude = std::max(m_maxLatitude, other.m_maxLatitude);
  if (!m_first && other.m_first) m_first = other.m_first;
  if (other.m_last) m_last = other.m_last;
  return *this;
}

bool LegSummary_t::HasAltitude() const {
  return !m_box.IsEmpty() && m_box.GetUpperAltitude().IsPresent();
}

// ---------------------------------------------------------------------------
// Segments

TrackSegment_t::TrackSegment_t() = default;

TrackSegment_t::TrackSegment_t(const TrackPoint_t& first) { AppendPoint(first); }

TrackSegment_t::TrackSegment_t(const TrackSegment_t& other) = default;

TrackSegment_t& TrackSegment_t::operator=(const TrackSegment_t& other) = default;

TrackSegment_t::TrackSegment_t(TrackSegment_t&& other) noexcept
    : m_block(std::move(other.m_block)),
      m_first(std::exchange(other.m_first, 0)),
      m_count(std::exchange(other.m_count, 0)),
      m_summary(std::move(other.m_summary)),
      m_drawing(std::move(other.m_drawing)),
      m_drawnRange(std::move(other.m_drawnRange)) {}

TrackSegment_t& TrackSegment_t::operator=(TrackSegment_t&& other) noexcept {
  if (this != &other) {
    m_block = std::move(other.m_block);
    m_first = std::exchange(other.m_first, 0);
    m_count = std::exchange(other.m_count, 0);
    m_summary = std::move(other.m_summary);
    m_drawing = std::move(other.m_drawing);
    m_drawnRange = std::move(other.m_drawnRange);
  }
  return *this;
}

TrackSegment_t::~TrackSegment_t() = default;

void TrackSegment_t::MakeRoom() {
  if (CanAppendInPlace()) return;
  auto block = std::make_shared<Block_t>();
  block->reserve(std::max(MaxPoints, m_count + 1));
  const Points_t points = GetPoints();
  block->insert(block->end(), points.begin(), points.end());
  m_block = std::move(block);
  m_first = 0;
}

void TrackSegment_t::ReleaseSpareRoom() {
  if (m_block && m_block.use_count() == 1 && m_first == 0 && m_count == m_block->size()) m_block->shrink_to_fit();
}

void TrackSegment_t::AppendPoint(const TrackPoint_t& point) {
  if (!CanAppendInPlace()) {
    // Making room moves the points, which the new one may be one of.
    const TrackPoint_t copy(point);
    MakeRoom();
    AppendPoint(copy);
    return;
  }
  const Points_t points = GetPoints();
  const TrackPoint_t& previous = points.empty() ? point : points.back();
  const LegSummary_t::Leg_t leg = LegSummary_t::MakeLeg(previous, point);
  // Only the first point of a segment can make the summary allocate: then
  // the summary is worked out before the point is kept, as a whole.
  if (!m_summary.m_first || !m_summary.m_last) {
    LegSummary_t summary(m_summary);
    summary.AddLeg(leg, previous, point);
    CommitPoint(point, std::move(summary));
    return;
  }
  PushPoint(point);
  m_summary.AddLeg(leg, previous, point);
  m_drawing = nullptr;
}

void TrackSegment_t::CommitPoint(const TrackPoint_t& point, LegSummary_t&& summary) {
  PushPoint(point);
  m_summary = std::move(summary);
  m_drawing = nullptr;
}

TrackSegment_t TrackSegment_t::View(PointIter_t from, PointIter_t to) const {
  const Points_t points = GetPoints();
  GLO_ASSERT(points.begin() <= from && from <= to && to <= points.end());
  TrackSegment_t view;
  if (from == to) return view;
  view.m_block = m_block;
  view.m_first = m_first + static_cast<std::size_t>(from - points.begin());
  view.m_count = static_cast<std::size_t>(to - from);
  if (from == points.begin() && to == points.end()) {
    view.m_summary = m_summary;
  } else {
    for (PointIter_t p = from, previous = from; p != to; previous = p++)
      view.m_summary.AddLeg(LegSummary_t::MakeLeg(*previous, *p), *previous, *p);
  }
  return view;
}

LegSummary_t TrackSegment_t::GetSummary(PointIter_t from, PointIter_t to) const {
  const Points_t points = GetPoints();
  if (from == points.begin() && to == points.end()) return m_summary;
  LegSummary_t result;
  const PointIter_t last = points.empty() ? points.end() : std::prev(points.end());
  for (PointIter_t p = from; p != to && p != points.end(); ++p) {
    if (p == last) {
      ++result.m_count;
    } else {
      result += LegSummary_t(*p, *std::next(p));
    }
  }
  return result;
}

// ---------------------------------------------------------------------------
// Drawing

namespace {

constexpr plat::COLORREF kWhite = 0xFFFFFF;
constexpr plat::COLORREF kBlack = 0x000000;
// The equatorial circumference of a sphere of radius 6378137 m over 2^32.
constexpr double kMetresPerSemicircle = 0.009330691929342794;

plat::RECT Moved(const plat::RECT& r, const plat::POINT& p) {
  return plat::RECT{r.left + p.x, r.top + p.y, r.right + p.x, r.bottom + p.y};
}

// Whether two rectangles (right and bottom exclusive) share a pixel.
bool Intersect(const plat::RECT& a, const plat::RECT& b) {
  return std::max(a.left, b.left) < std::min(a.right, b.right) && std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

}  // namespace

plat::COLORREF DrawStateColor(int state) {
  switch (state) {
    case DrawState_Plain:
      return 0xFFFFFF;  // white
    case DrawState_Selected:
      return 0x00FFFF;  // yellow
    case DrawState_Highlighted:
      return 0xFFFF00;  // cyan
    default:
      throw glo::Assert_t(GLO_SRC);
  }
}

TrackSegment_t::PointIter_t TrackSegment_t::PointAt(std::size_t index) const {
  const Points_t points = GetPoints();
  if (index >= points.size()) return points.end();
  return points.begin() + index;
}

int TrackSegment_t::GetMarkerSize(const map::Projector_t& projector) {
  const double scale = projector.GetScale();
  const double pixelsPerMetre = scale == 0.0 ? 0.0 : 1.0 / (scale * kMetresPerSemicircle);
  const double per100m = pixelsPerMetre * 100.0;
  const double rounded = per100m < 0.0 ? std::ceil(per100m - 0.5) : std::floor(per100m + 0.5);
  // Compared as unsigned numbers: anything beyond the range counts as large.
  unsigned c = (rounded >= 0.0 && rounded < 6.0) ? static_cast<unsigned>(rounded) : 6u;
  if (c == 0) c = 1;
  c = std::min(c, 5u);
  if (c % 2 == 0) c += 1;
  return static_cast<int>(c);
}

void TrackSegment_t::DrawMarker(const plat::POINT& point, plat::Dc_t& dc, const plat::RECT& inner,
                                const plat::RECT& outer, int state) {
  const plat::COLORREF colour = DrawStateColor(state);
  {
    gdi::SmartPen_t pen(dc, plat::kPsSolid, 1, colour);
    gdi::SmartBrush_t brush(dc, colour);
    const plat::RECT r = Moved(outer, point);
    dc.Ellipse(r.left, r.top, r.right, r.bottom);
  }
  gdi::SmartPen_t pen(dc, plat::kPsSolid, 1, kBlack);
  gdi::SmartBrush_t brush(dc, kBlack);
  const plat::RECT r = Moved(inner, point);
  dc.Ellipse(r.left, r.top, r.right, r.bottom);
}

void TrackSegment_t::DrawMarkerIfApart(const map::Projector_t& projector, PointIter_t& previous, PointIter_t current,
                                       plat::Dc_t& dc, const plat::RECT& inner, const plat::RECT& outer, int state) {
  const plat::POINT a = projector.PositionToScreen(previous->GetPosition());
  const plat::POINT b = projector.PositionToScreen(current->GetPosition());
  if (Intersect(Moved(outer, a), Moved(outer, b))) return;
  DrawMarker(b, dc, inner, outer, state);
  previous = current;
}

void TrackSegment_t::Render(plat::Dc_t& dc, const map::Projector_t& projector, int state, PointIter_t from,
                            PointIter_t to) const {
  if (from == to) return;
  const plat::COLORREF colour = DrawStateColor(state);
  gdi::BkModeSaver_t bkSaver(dc);
  dc.SetBkColor(kWhite);
  dc.SetBkMode(plat::kOpaque);  // the gaps of a dotted line are white

  const int size = GetMarkerSize(projector);
  const bool markers = size > 2;
  const int h = (size + 4) / 2, k = h + (size + 4) % 2;
  const plat::RECT outer{-h, -h, k, k};
  const int m = size / 2, c = m + size % 2;
  const plat::RECT inner{-m, -m, c, c};

  // The points from 'from' to 'to' included (to the end when 'to' is the end).
  const PointIter_t end = GetPoints().end();
  const PointIter_t stop = to == end ? to : std::next(to);
  std::vector<geo::Position_t> positions;
  for (PointIter_t p = from; p != stop && p != end; ++p) positions.push_back(p->GetPosition());
  map::DoublePolylines_t runs;
  projector.ClipPolylineToView(positions, m_summary.GetBox(), runs);

  bool lineDrawn = false;
  for (const map::DoublePolyline_t& run : runs) {
    if (run.size() == 1) {
      DrawMarker(gdi::RoundToPoint(run.front().x, run.front().y), dc, inner, outer, state);
    } else if (run.size() >= 2) {
      gdi::SmartPointBuffer_t buffer(run.size());
      for (std::size_t i = 0; i < run.size(); ++i) buffer[i] = gdi::RoundToPoint(run[i].x, run[i].y);
      const int count = static_cast<int>(buffer.GetCount());
      {
        gdi::SmartPen_t pen(dc, plat::kPsSolid, size + 4, colour);
        dc.Polyline(buffer.GetPoints(), count);
      }
      gdi::SmartPen_t pen(dc, markers ? plat::kPsSolid : plat::kPsDot, 1, kBlack);
      dc.Polyline(buffer.GetPoints(), count);
      lineDrawn = true;
    }
  }

  if (lineDrawn && markers) {
    DrawMarker(projector.PositionToScreen(from->GetPosition()), dc, inner, outer, state);
    PointIter_t previous = from;
    for (PointIter_t p = std::next(from); p != to && p != end; ++p)
      DrawMarkerIfApart(projector, previous, p, dc, inner, outer, state);
  }
}

void TrackSegment_t::Draw(plat::Dc_t& dc, const map::Projector_t& projector, int state, const DrawRange_t& range) {
  // A sub-range runs forward within the points.
  const Points_t points = GetPoints();
  if (range) GLO_ASSERT(range->from <= range->to && range->to <= points.size());
  if (!m_drawing || m_drawnRange != range) {
    // Record a new drawing. The cache and the sub-range it was drawn with are
    // replaced together, only once the recording succeeded: after a failure
    // the segment keeps its previous, consistent pair, and the mismatch makes
    // the next draw record again.
    plat::Dc_t recorder;
    if (!recorder.CreateMetaFile()) throw glo::Assert_t(GLO_SRC);
    if (range) {
      const PointIter_t from = PointAt(range->from), to = PointAt(range->to);
      Render(recorder, projector, DrawState_Selected, points.begin(), from);
      Render(recorder, projector, DrawState_Highlighted, from, to);
      Render(recorder, projector, DrawState_Selected, to, points.end());
    } else {
      Render(recorder, projector, state, points.begin(), points.end());
    }
    const plat::GdiHandle_t metaFile = recorder.CloseMetaFile();
    if (metaFile.IsNull()) throw glo::Assert_t(GLO_SRC);
    SetCachedDrawing(metaFile);
    m_drawnRange = range;
  }
  gdi::Clipper_t clipper(dc, projector.GetEarthScreenRect());
  if (!m_drawing->Play(dc)) throw glo::Assert_t(GLO_SRC);
}

void TrackSegment_t::SetCachedDrawing(const plat::GdiHandle_t& metaFile) {
  if (metaFile.IsNull())
    m_drawing = nullptr;
  else
    m_drawing = new gdi::MetaFile_t(metaFile);
}

}  // namespace gdb
