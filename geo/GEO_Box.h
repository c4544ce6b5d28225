#pragma once
// A latitude/longitude box: empty, or spanning from a south-west to a north-east
// corner. The longitude range runs eastward from the west edge to the east edge
// and may cross the 180-degree meridian, so longitude tests work on unsigned
// 32-bit differences. The corners also carry an optional altitude range (upper
// bound in the north-east corner, lower bound in the south-west corner).
#include <cstdint>
#include <utility>

#include "bin/BIN_stream.h"
#include "geo/GEO_Circle.h"
#include "geo/GEO_Position.h"
#include "glo/GLO_Exception.h"

namespace geo {

class Box_t {
 public:
  // Empty.
  Box_t() : m_empty(true) {}
  // The two corners as they are (not normalised).
  Box_t(const Position_t& northEast, const Position_t& southWest);
  // From the edges in semicircles and the altitude bounds; each corner goes
  // through the position constructor (a latitude out of range throws). Not
  // normalised.
  Box_t(std::int32_t north, std::int32_t south, std::int32_t east, std::int32_t west,
        const Altitude_t& upperAltitude = Altitude_t(), const Altitude_t& lowerAltitude = Altitude_t());
  // The box of a leg between two positions: first taken as north-east, second as
  // south-west, then normalised (north >= south, the shorter way round in
  // longitude, altitudes both present with upper >= lower or both absent).
  explicit Box_t(const std::pair<Position_t, Position_t>& corners);
  // A box of one position: both corners that position.
  explicit Box_t(const Position_t& position) : Box_t(position, position) {}
  // The box around a circle.
  explicit Box_t(const Circle_t& circle);

  bool IsEmpty() const { return m_empty; }

  // Every accessor throws glo::OutOfRange_t on an empty box.
  const Position_t& GetNorthEast() const {
    if (m_empty) throw glo::OutOfRange_t(GLO_SRC);
    return m_northEast;
  }
  const Position_t& GetSouthWest() const {
    if (m_empty) throw glo::OutOfRange_t(GLO_SRC);
    return m_southWest;
  }
  std::int32_t GetNorth() const {
    if (m_empty) throw glo::OutOfRange_t(GLO_SRC);
    return m_northEast.GetLatitude();
  }
  std::int32_t GetSouth() const {
    if (m_empty) throw glo::OutOfRange_t(GLO_SRC);
    return m_southWest.GetLatitude();
  }
  std::int32_t GetEast() const {
    if (m_empty) throw glo::OutOfRange_t(GLO_SRC);
    return m_northEast.GetLongitude();
  }
  std::int32_t GetWest() const {
    if (m_empty) throw glo::OutOfRange_t(GLO_SRC);
    return m_southWest.GetLongitude();
  }
  const Altitude_t& GetUpperAltitude() const {
    if (m_empty) throw glo::OutOfRange_t(GLO_SRC);
    return m_northEast.GetAltitude();
  }
  const Altitude_t& GetLowerAltitude() const {
    if (m_empty) throw glo::OutOfRange_t(GLO_SRC);
    return m_southWest.GetAltitude();
  }
  // east - west as an unsigned 32-bit value.
  std::uint32_t GetWidth() const {
    if (m_empty) throw glo::OutOfRange_t(GLO_SRC);
    return static_cast<std::uint32_t>(m_northEast.GetLongitude()) -
           static_cast<std::uint32_t>(m_southWest.GetLongitude());
  }
  // upper - lower, present only when both are.
  Altitude_t GetAltitudeSpan() const {
    if (m_empty) throw glo::OutOfRange_t(GLO_SRC);
    const Altitude_t& upper = m_northEast.GetAltitude();
    const Altitude_t& lower = m_southWest.GetAltitude();
    if (upper.IsPresent() && lower.IsPresent()) return Altitude_t(upper.Value() - lower.Value());
    return Altitude_t();
  }
  // The corner difference north-east - south-west (an extent, not a place).
  Position_t GetExtent() const {
    if (m_empty) throw glo::OutOfRange_t(GLO_SRC);
    return PositionDifference(m_northEast, m_southWest);
  }
  // South-west corner plus half the extent.
  Position_t GetCenter() const {
    if (m_empty) throw glo::OutOfRange_t(GLO_SRC);
    return CombinePositions(m_southWest, ScaleExtent(PositionDifference(m_northEast, m_southWest), 2.0));
  }

  // Store a latitude after the position's latitude check.
  void SetNorth(std::int32_t north);
  void SetSouth(std::int32_t south);

  // True when x lies on the eastward path from west to east, both ends
  // included; false for an empty box.
  bool ContainsLongitude(std::int32_t longitude) const;
  // This box contains the other's east or west, or the other contains this one's.
  bool OverlapsLongitude(const Box_t& other) const;
  // The latitude ranges meet and the longitude ranges overlap.
  bool Intersects(const Box_t& other) const;

 private:
  void Normalise();

  bool m_empty;
  Position_t m_northEast;
  Position_t m_southWest;
};

// Binary form: u8 empty flag (1 empty, 0 not), then, when not empty, the
// north-east and the south-west corner in the 17-byte position form.
void WriteBox(bin::ostream& out, const Box_t& box);
// Does nothing when the flag byte cannot be read. A non-zero flag reads an
// empty box; otherwise two positions, taken as they are (not normalised) and
// assigned even when the stream failed while they were read: the caller tests
// the stream state after the record.
void ReadBox(bin::istream& in, Box_t& box);

// The smallest box holding both (the shorter gap is bridged when they are
// disjoint in longitude).
Box_t Union(const Box_t& a, const Box_t& b);
// The common part; empty when they do not intersect, or when both have altitude
// ranges and those do not overlap strictly.
Box_t Intersection(const Box_t& a, const Box_t& b);

}  // namespace geo
