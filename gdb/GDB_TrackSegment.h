#pragma once
// Track points, leg summaries and track segments.
//
// A track keeps its points in segments of at most 100 points; every segment
// keeps a running summary of the legs between its consecutive points (box,
// distance, count, time span, first and last point, signed-area term and
// latitude range), so that totals and range summaries need no walk over every
// point. A segment also caches its drawing as a recorded picture.
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <vector>

#include "geo/GEO_Box.h"
#include "geo/GEO_Position.h"
#include "glo/GLO_AutoPtr.h"
#include "glo/GLO_Optional.h"
#include "glo/GLO_Time.h"
#include "gdi/GDI_MetaFile.h"
#include "map/MAP_Projector.h"
#include "plat/PLAT_Gdi.h"

namespace gdb {

// The drawing states of a track: plain, selected, or the highlighted part of
// the selected track.
enum DrawState_t : int {
  DrawState_Plain = 0,
  DrawState_Selected = 1,
  DrawState_Highlighted = 2,
};

// The line and marker colour of a drawing state; glo::Assert_t for a state
// outside 0 to 2.
plat::COLORREF DrawStateColor(int state);

// A track point: a position (with optional altitude) and optional time, depth
// and temperature. Copies own their optional cells.
//
// Depth and temperature are rare in the tracks of a running watch: they live
// in a cell of their own that exists only while either of them is present.
class TrackPoint_t {
 public:
  // At (0, 0) without any optional field.
  TrackPoint_t() = default;
  explicit TrackPoint_t(const geo::Position_t& position,
                        const glo::Optional_t<glo::Time_t>& time = glo::Optional_t<glo::Time_t>(),
                        const glo::Optional_t<double>& depth = glo::Optional_t<double>(),
                        const glo::Optional_t<double>& temperature = glo::Optional_t<double>())
      : m_position(position), m_time(time) {
    if (depth || temperature) m_extras.reset(new Extras_t{depth, temperature});
  }
  TrackPoint_t(const TrackPoint_t& other)
      : m_position(other.m_position),
        m_time(other.m_time),
        m_extras(other.m_extras ? new Extras_t(*other.m_extras) : nullptr) {}
  TrackPoint_t(TrackPoint_t&& other) noexcept = default;
  TrackPoint_t& operator=(const TrackPoint_t& other) {
    if (this != &other) {
      std::unique_ptr<Extras_t> extras(other.m_extras ? new Extras_t(*other.m_extras) : nullptr);
      m_position = other.m_position;
      m_time = other.m_time;
      m_extras = std::move(extras);
    }
    return *this;
  }
  TrackPoint_t& operator=(TrackPoint_t&& other) noexcept = default;
  ~TrackPoint_t() = default;

  const geo::Position_t& GetPosition() const { return m_position; }
  const glo::Optional_t<glo::Time_t>& GetTime() const { return m_time; }
  const glo::Optional_t<double>& GetDepth() const { return m_extras ? m_extras->depth : Absent(); }
  const glo::Optional_t<double>& GetTemperature() const { return m_extras ? m_extras->temperature : Absent(); }

  void SetPosition(const geo::Position_t& position) { m_position = position; }
  void SetTime(const glo::Optional_t<glo::Time_t>& time) { m_time = time; }
  void SetDepth(const glo::Optional_t<double>& depth) { SetExtras(depth, GetTemperature()); }
  void SetTemperature(const glo::Optional_t<double>& temperature) { SetExtras(GetDepth(), temperature); }

 private:
  struct Extras_t {
    glo::Optional_t<double> depth;
    glo::Optional_t<double> temperature;
  };
  static const glo::Optional_t<double>& Absent() {
    static const glo::Optional_t<double> absent;
    return absent;
  }
  void SetExtras(const glo::Optional_t<double>& depth, const glo::Optional_t<double>& temperature) {
    if (!depth && !temperature) {
      m_extras.reset();
    } else if (m_extras) {
      glo::Optional_t<double> d(depth), t(temperature);  // either may be one of our own
      m_extras->depth = std::move(d);
      m_extras->temperature = std::move(t);
    } else {
      m_extras.reset(new Extras_t{depth, temperature});
    }
  }

  geo::Position_t m_position;
  glo::Optional_t<glo::Time_t> m_time;
  std::unique_ptr<Extras_t> m_extras;
};

// The summary of a run of track points (a leg, a range, a segment or a whole
// track).
class LegSummary_t {
 public:
  static constexpr std::int32_t InitialMinLatitude = 1 << 30;
  static constexpr std::int32_t InitialMaxLatitude = -(1 << 30);

  // The empty summary: empty box, distance 0, count 0, no time span, no first
  // or last point, area term 0, latitude bounds +2^30 (minimum) and -2^30
  // (maximum) so that the first real latitude replaces both.
  LegSummary_t() = default;
  // The single leg between two points: count 1, the great-circle distance, the
  // box of both positions, the time span when both carry a time, the area term
  // from.lon * to.lat - to.lon * from.lat and the two latitudes as bounds.
  LegSummary_t(const TrackPoint_t& from, const TrackPoint_t& to);

  // Adds another summary that follows this one.
  LegSummary_t& operator+=(const LegSummary_t& other);

  const geo::Box_t& GetBox() const { return m_box; }
  double GetDistance() const { return m_distance; }  // metres
  std::int32_t GetCount() const { return m_count; }
  const glo::Optional_t<double>& GetTimeSpan() const { return m_timeSpan; }  // seconds
  const glo::Optional_t<TrackPoint_t>& GetFirstPoint() const { return m_first; }
  const glo::Optional_t<TrackPoint_t>& GetLastPoint() const { return m_last; }
  double GetAreaTerm() const { return m_areaTerm; }  // semicircles squared
  std::int32_t GetMinLatitude() const { return m_minLatitude; }
  std::int32_t GetMaxLatitude() const { return m_maxLatitude; }
  // Whether the summarised legs carry altitudes (the box has an altitude range).
  bool HasAltitude() const;

 private:
  friend class TrackSegment_t;
  friend class Track_t;

  // The parts of the summary of a single leg that add up into a longer one
  // (all but its first and last points).
  struct Leg_t {
    geo::Box_t box;
    double distance;
    glo::Optional_t<double> timeSpan;
    double areaTerm;
    std::int32_t minLatitude;
    std::int32_t maxLatitude;
  };
  static Leg_t MakeLeg(const TrackPoint_t& from, const TrackPoint_t& to);
  // Adds the leg from 'from' to 'to' as operator+= adds its single-leg
  // summary, without copying the two points into cells of their own first.
  void AddLeg(const Leg_t& leg, const TrackPoint_t& from, const TrackPoint_t& to);

  geo::Box_t m_box;
  double m_distance = 0.0;
  std::int32_t m_count = 0;
  glo::Optional_t<double> m_timeSpan;
  glo::Optional_t<TrackPoint_t> m_first;
  glo::Optional_t<TrackPoint_t> m_last;
  double m_areaTerm = 0.0;
  std::int32_t m_minLatitude = InitialMinLatitude;
  std::int32_t m_maxLatitude = InitialMaxLatitude;
};

// Up to 100 points with their summary and the cached drawing of the segment.
//
// The points live in a block that copies of the segment share, and that the
// parts of a track taken by another track (Track_t::Part) share as well: a
// segment sees a run of the block's points. Shared points never change; a
// segment that appends to points it shares first takes a copy of its own.
// A segment that owns its block keeps room for all its points from the
// start, so appending never moves the points it holds: positions in it stay
// valid.
class TrackSegment_t {
 public:
  // The points a segment sees, in order.
  class Points_t {
   public:
    using value_type = TrackPoint_t;
    using const_iterator = const TrackPoint_t*;
    using iterator = const_iterator;

    Points_t() = default;
    Points_t(const TrackPoint_t* first, std::size_t count) : m_first(first), m_count(count) {}

    const_iterator begin() const { return m_first; }
    const_iterator end() const { return m_first + m_count; }
    std::size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    const TrackPoint_t& front() const { return m_first[0]; }
    const TrackPoint_t& back() const { return m_first[m_count - 1]; }
    const TrackPoint_t& operator[](std::size_t i) const { return m_first[i]; }

   private:
    const TrackPoint_t* m_first = nullptr;
    std::size_t m_count = 0;
  };
  using PointIter_t = Points_t::const_iterator;

  static constexpr std::size_t MaxPoints = 100;

  TrackSegment_t();
  // A segment holding the given point.
  explicit TrackSegment_t(const TrackPoint_t& first);
  // The copy shares the points and the cached drawing; the summary is copied.
  TrackSegment_t(const TrackSegment_t& other);
  TrackSegment_t& operator=(const TrackSegment_t& other);
  // The points stay where they are (positions in them stay valid).
  TrackSegment_t(TrackSegment_t&& other) noexcept;
  TrackSegment_t& operator=(TrackSegment_t&& other) noexcept;
  ~TrackSegment_t();

  // Adds the leg from the last point (or from the point itself when the
  // segment is empty) to the summary, drops the cached drawing and appends the
  // point. When the points are shared, the segment first takes its own copy
  // of them: positions in it are then no longer valid.
  void AppendPoint(const TrackPoint_t& point);

  // A segment that sees the points from 'from' up to 'to' (not included) of
  // this one, sharing them, with the summary a segment appended with just
  // those points would have, and no cached drawing.
  TrackSegment_t View(PointIter_t from, PointIter_t to) const;

  // The summary of the points from 'from' up to 'to' (not included); a range
  // that ends before the segment's end includes the leg to 'to'.
  LegSummary_t GetSummary(PointIter_t from, PointIter_t to) const;

  Points_t GetPoints() const { return Points_t(m_block ? m_block->data() + m_first : nullptr, m_count); }
  const LegSummary_t& GetSummary() const { return m_summary; }

  // A highlighted sub-range of the points, as indexes into the point list:
  // from 'from' up to 'to', where 'to' may be the number of points (the end).
  struct SubRange_t {
    std::size_t from;
    std::size_t to;
    friend bool operator==(const SubRange_t& a, const SubRange_t& b) { return a.from == b.from && a.to == b.to; }
  };
  using DrawRange_t = std::optional<SubRange_t>;

  // Draws the segment from its cached drawing, recording it first when there
  // is none or when it was recorded with another highlighted sub-range. With
  // a sub-range, the points before and after it are drawn selected and the
  // sub-range highlighted, whatever the state; without, all in the state.
  // The replay is clipped to the part of the window the earth covers.
  void Draw(plat::Dc_t& dc, const map::Projector_t& projector, int state, const DrawRange_t& range);

  // Renders the points from 'from' up to and including 'to' (up to the end
  // when 'to' is the end) in one state: a wide line in the state's colour
  // with a thin black line along its middle and, from a marker size of 3, a
  // marker at each point that does not crowd the previous one.
  void Render(plat::Dc_t& dc, const map::Projector_t& projector, int state, PointIter_t from, PointIter_t to) const;

  // One marker: the outer square as a disc in the state's colour, the inner
  // square as a black disc, both moved to the point.
  static void DrawMarker(const plat::POINT& point, plat::Dc_t& dc, const plat::RECT& inner, const plat::RECT& outer,
                         int state);
  // Draws a marker at 'current' unless its outer square meets the one of
  // 'previous'; a drawn marker makes 'current' the previous one.
  static void DrawMarkerIfApart(const map::Projector_t& projector, PointIter_t& previous, PointIter_t current,
                                plat::Dc_t& dc, const plat::RECT& inner, const plat::RECT& outer, int state);
  // 1, 3 or 5 by the pixels per 100 m of the projector's scale: 1 below 1.5,
  // 3 below 3.5, 5 from there on.
  static int GetMarkerSize(const map::Projector_t& projector);

  // Keeps a recorded drawing as the segment's cached drawing; a null handle
  // drops the cache.
  void SetCachedDrawing(const plat::GdiHandle_t& metaFile);
  bool HasCachedDrawing() const { return static_cast<bool>(m_drawing); }
  const glo::SmartPtr_t<gdi::MetaFile_t>& GetCachedDrawing() const { return m_drawing; }
  // The sub-range the cached drawing was recorded with (none: no highlight).
  const DrawRange_t& GetDrawnRange() const { return m_drawnRange; }

 private:
  friend class Track_t;

  using Block_t = std::vector<TrackPoint_t>;

  PointIter_t PointAt(std::size_t index) const;

  // Whether a point can be appended in place: the segment owns its block,
  // sees its points up to the block's end, and the block has room for all
  // the points a segment can hold.
  bool CanAppendInPlace() const {
    return m_block && m_block.use_count() == 1 && m_first + m_count == m_block->size() &&
           m_block->capacity() >= MaxPoints;
  }
  // Makes appending in place possible: a block of its own with room for all
  // the points a segment can hold, holding the points the segment sees. The
  // points move when they were shared or their spare room was given back.
  void MakeRoom();
  // Gives back the room kept for points still to come, when the block is the
  // segment's own.
  void ReleaseSpareRoom();
  // Appends a point in place (CanAppendInPlace() holds).
  void PushPoint(const TrackPoint_t& point) {
    m_block->push_back(point);
    ++m_count;
  }

  // Appends a point whose new summary the caller has worked out already.
  void CommitPoint(const TrackPoint_t& point, LegSummary_t&& summary);

  std::shared_ptr<Block_t> m_block;  // null while there are no points
  std::size_t m_first = 0;           // where the segment's points begin in the block
  std::size_t m_count = 0;
  LegSummary_t m_summary;
  glo::SmartPtr_t<gdi::MetaFile_t> m_drawing;  // shared by copies
  DrawRange_t m_drawnRange;
};

}  // namespace gdb
