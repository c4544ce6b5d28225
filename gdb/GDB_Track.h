#pragma once
// Track_t: a named, ordered series of track points kept in segments of at most
// 100 points, with the running totals of the whole track.
//
// Every segment but the first begins with a copy of the previous segment's
// last point; iterating a track (Iterator_t) visits every appended point once.
#include <cstdint>
#include <iterator>
#include <list>
#include <string>
#include <vector>

#include "bin/BIN_stream.h"
#include "doc/DOC_Info.h"
#include "doc/DOC_InfoStream.h"
#include "gdb/GDB_Color.h"
#include "gdb/GDB_TrackSegment.h"
#include "glo/GLO_AutoPtr.h"
#include "glo/GLO_Optional.h"

namespace gdb {

class Track_t;

// A point filter owned by a track; copies of a track clone it.
class TrackFilterIntf_t {
 public:
  virtual ~TrackFilterIntf_t() = default;
  virtual bool TakePoint(Track_t& track, const TrackPoint_t& point) = 0;
  virtual TrackFilterIntf_t* Clone() const = 0;
};

class TrackFilter_t : public TrackFilterIntf_t {
 public:
  TrackFilter_t() = default;
  TrackFilter_t(const TrackFilter_t&) = default;
  ~TrackFilter_t() override = default;

 protected:
  std::uint8_t m_flag = 1;
  std::int32_t m_values[6] = {0, 0, 0, 0, 0, 0};
};

// The filter every track starts with: takes every point.
class NullFilter_t : public TrackFilter_t {
 public:
  NullFilter_t() = default;
  NullFilter_t(const NullFilter_t&) = default;
  ~NullFilter_t() override = default;

  // Appends the point to the track; answers false.
  bool TakePoint(Track_t& track, const TrackPoint_t& point) override;
  TrackFilterIntf_t* Clone() const override { return new NullFilter_t(*this); }
};

// A track as its stream stores it: the display flag, colour and name, and
// the points in order. A track is built from it by appending the points.
struct StoredTrack_t {
  std::uint8_t displayFlag = 1;
  std::int32_t color = Color_Default;
  std::vector<TrackPoint_t> points;
  std::string name;
};

class Track_t {
 public:
  using Segments_t = std::list<TrackSegment_t>;
  static constexpr std::size_t MaxSegmentPoints = TrackSegment_t::MaxPoints;

  // A position in a track: the track, a segment and a point of it. The end
  // position is (track, end of segments, no point).
  class Iterator_t {
   public:
    using iterator_category = std::bidirectional_iterator_tag;
    using value_type = TrackPoint_t;
    using difference_type = std::ptrdiff_t;
    using pointer = const TrackPoint_t*;
    using reference = const TrackPoint_t&;

    // Belongs to no track.
    Iterator_t() = default;
    Iterator_t(const Track_t* track, Segments_t::const_iterator segment,
               TrackSegment_t::PointIter_t point)
        : m_track(track), m_segment(segment), m_point(point) {}

    const Track_t* GetTrack() const { return m_track; }
    Segments_t::const_iterator GetSegment() const { return m_segment; }
    TrackSegment_t::PointIter_t GetPoint() const { return m_point; }
    bool IsEnd() const;

    // The point here; glo::Assert_t at the end.
    const TrackPoint_t& operator*() const;
    const TrackPoint_t* operator->() const { return &**this; }

    // The next appended point; at a segment's end, the second point of the
    // next segment. Advancing the end position is glo::Assert_t.
    Iterator_t& operator++();
    Iterator_t operator++(int) {
      Iterator_t old(*this);
      ++*this;
      return old;
    }
    // The reverse of advancing; stepping back from the first point is
    // glo::Assert_t.
    Iterator_t& operator--();
    Iterator_t operator--(int) {
      Iterator_t old(*this);
      --*this;
      return old;
    }

    // Same track, and either no track, or the same segment and (unless that
    // is the end of the segments) the same point.
    friend bool operator==(const Iterator_t& a, const Iterator_t& b);
    friend bool operator!=(const Iterator_t& a, const Iterator_t& b) { return !(a == b); }

   private:
    const Track_t* m_track = nullptr;
    Segments_t::const_iterator m_segment{};
    TrackSegment_t::PointIter_t m_point{};
  };
  using PointIter_t = Iterator_t;

  // Display flag 1, colour 0, no points, empty totals, a NullFilter_t, empty
  // name.
  Track_t();
  // Copies everything (segment points and drawings are shared) and clones the filter;
  // a source without a filter is glo::Assert_t.
  Track_t(const Track_t& other);
  Track_t& operator=(const Track_t& other);
  ~Track_t();

  // Exchanges the contents of two tracks.
  void Swap(Track_t& other) noexcept;

  // Appends a point, opening a new segment (which starts with a copy of the
  // previous last point) when the last one holds 100 points; keeps the totals.
  // Returns the new number of points.
  std::int32_t AppendPoint(const TrackPoint_t& point);

  // A new track (display flag 1, colour 0, no name) of the points from
  // 'first' up to 'last' (not included), sharing them with this track: its
  // segments see the points of this track's segments, its summaries are
  // those of a track appended with just those points. Positions of another
  // track, or a range that runs backwards, are glo::Assert_t.
  Track_t Part(const Iterator_t& first, const Iterator_t& last) const;

  // Removes every point; name, display flag and colour stay.
  void ClearPoints();

  // Gives back the room the last segment keeps for points still to come (for
  // a track that is complete). A later append makes room again, which moves
  // the points of that segment: positions in it are then no longer valid.
  void ReleaseSpareRoom();

  // The summary of the points from first up to last (not included).
  LegSummary_t GetSummary(const Iterator_t& first, const Iterator_t& last) const;

  // The leg from the point at 'position' to the next point; absent at the
  // track's last point; glo::Assert_t at the end position.
  glo::Optional_t<geo::DistanceAndBearing_t> GetLegAt(const Iterator_t& position) const;

  Iterator_t Begin() const;
  Iterator_t End() const;
  Iterator_t begin() const { return Begin(); }
  Iterator_t end() const { return End(); }

  // Replaces the point filter by a new NullFilter_t.
  void SetNullFilter();
  TrackFilterIntf_t& GetFilter() const { return *m_filter; }

  // The track stream under the data version of the version context: display
  // flag, colour, point count, every appended point and (from data version
  // 106) the name. Failures are left in the stream's state.
  void Write(doc::InfoStream_t& stream) const;
  void Write(const doc::Info_t& version, bin::ostream& out) const;
  // Reads a track written that way; this track changes only when the whole
  // track was read. Never throws for damaged data: the stream is left failed
  // (or bad) and the track unchanged.
  void Read(doc::InfoStream_t& stream);
  void Read(const doc::Info_t& version, bin::istream& in);
  // Reads a track written that way as it is stored, without building its
  // segments and summaries; 'stored' changes only when the whole track was
  // read. Fails the stream as Read does.
  static void ReadStored(const doc::Info_t& version, bin::istream& in, StoredTrack_t& stored);
  // Makes this track the one stored: its display flag, colour and name, and
  // its points appended in order. A failure leaves the track as it was.
  void Assign(const StoredTrack_t& stored);

  // Draws every segment through the projector in the state (0 plain, 1
  // selected, 2 highlighted; glo::Assert_t otherwise), the points in
  // [first, last) highlighted when first is a position of this track.
  // Segments keep recorded drawings, replayed while the state, the
  // projector's draw state and their highlighted sub-range stay the same.
  void Draw(plat::Dc_t& dc, const map::Projector_t& projector, int state, const Iterator_t& first,
            const Iterator_t& last);
  // The same without a highlighted range.
  void Draw(plat::Dc_t& dc, const map::Projector_t& projector, int state);

  const LegSummary_t& GetTotals() const { return m_totals; }
  const Segments_t& GetSegments() const { return m_segments; }
  std::int32_t GetCount() const { return m_totals.GetCount(); }
  bool IsEmpty() const { return m_segments.empty(); }

  const std::string& GetName() const { return m_name; }
  void SetName(const std::string& name) { m_name = name; }
  std::uint8_t GetDisplayFlag() const { return m_displayFlag; }
  void SetDisplayFlag(std::uint8_t flag) { m_displayFlag = flag; }
  std::int32_t GetColor() const { return m_color; }
  void SetColor(std::int32_t color) { m_color = color; }

 private:
  // Adds a new segment's summary to the totals: all but the count and the
  // first and last points.
  static void AddSegmentTotals(LegSummary_t& totals, const LegSummary_t& added);

  std::uint8_t m_displayFlag = 1;
  std::int32_t m_color = Color_Default;
  Segments_t m_segments;
  LegSummary_t m_totals;
  glo::AutoPtr_t<TrackFilterIntf_t> m_filter;
  std::uint8_t m_drawnState = 0;     // the state the segment drawings were recorded in
  map::TrackDrawState_t m_drawnView;  // and the projector state
  std::string m_name;
};

// The version context of the GPS data: tag "GbRc", data version 106, under
// which the run records write and read their tracks. It is never written.
const doc::Info_t& GetTrackDataVersion();

}  // namespace gdb
