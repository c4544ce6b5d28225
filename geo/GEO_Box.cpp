#include "geo/GEO_Box.h"

#include <algorithm>
#include <cmath>

#include "glo/GLO_Exception.h"

namespace geo {

namespace {

// The eastward distance from y to x.
std::uint32_t LonDiff(std::int32_t x, std::int32_t y) {
  return static_cast<std::uint32_t>(x) - static_cast<std::uint32_t>(y);
}

std::int32_t LonAdd(std::int32_t x, std::int32_t d) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(x) + static_cast<std::uint32_t>(d));
}

// x - d with 32-bit wrap (d may be INT32_MIN, which has no negation).
std::int32_t LonSub(std::int32_t x, std::int32_t d) { return static_cast<std::int32_t>(LonDiff(x, d)); }

// Maximum and minimum of optional altitudes (absent below every value); both
// return the first on a tie.
const Altitude_t& MaxAlt(const Altitude_t& a, const Altitude_t& b) { return a < b ? b : a; }
const Altitude_t& MinAlt(const Altitude_t& a, const Altitude_t& b) { return b < a ? b : a; }

bool HasSpan(const Box_t& b) { return b.GetUpperAltitude().IsPresent() && b.GetLowerAltitude().IsPresent(); }

}  // namespace

Box_t::Box_t(const Position_t& northEast, const Position_t& southWest)
    : m_empty(false), m_northEast(northEast), m_southWest(southWest) {}

Box_t::Box_t(std::int32_t north, std::int32_t south, std::int32_t east, std::int32_t west,
             const Altitude_t& upperAltitude, const Altitude_t& lowerAltitude)
    : m_empty(false), m_northEast(north, east, upperAltitude), m_southWest(south, west, lowerAltitude) {}

Box_t::Box_t(const std::pair<Position_t, Position_t>& corners)
    : m_empty(false), m_northEast(corners.first), m_southWest(corners.second) {
  Normalise();
}

Box_t::Box_t(const Circle_t& circle) : m_empty(false) {
  const Position_t& c = circle.GetCenter();
  const double u = static_cast<double>(static_cast<std::uint32_t>(circle.GetRadius()));
  const double lat = c.GetLatitude();
  const auto north = static_cast<std::int32_t>(std::min(lat + u, double(MaxLatitude)));
  const auto south = static_cast<std::int32_t>(std::max(lat - u, double(MinLatitude)));
  m_northEast = Position_t(north, LonAdd(c.GetLongitude(), circle.GetRadius()), c.GetAltitude());
  m_southWest = Position_t(south, LonSub(c.GetLongitude(), circle.GetRadius()), c.GetAltitude());
}

void Box_t::SetNorth(std::int32_t north) { m_northEast.SetLatitude(north); }
void Box_t::SetSouth(std::int32_t south) { m_southWest.SetLatitude(south); }

void Box_t::Normalise() {
  const std::int32_t north = m_northEast.GetLatitude();
  const std::int32_t south = m_southWest.GetLatitude();
  if (north < south) {
    SetNorth(south);
    SetSouth(north);
  }
  const std::int32_t east = m_northEast.GetLongitude();
  const std::int32_t west = m_southWest.GetLongitude();
  if (LonDiff(west, east) < LonDiff(east, west)) {
    m_northEast.SetLongitude(west);
    m_southWest.SetLongitude(east);
  }
  const Altitude_t upper = m_northEast.GetAltitude();
  const Altitude_t lower = m_southWest.GetAltitude();
  if (!upper.IsPresent() && lower.IsPresent()) {
    m_southWest.SetAltitude(Altitude_t());
  } else if (upper.IsPresent() && !lower.IsPresent()) {
    m_northEast.SetAltitude(Altitude_t());
  } else if (upper.IsPresent() && lower.IsPresent() && upper.Value() < lower.Value()) {
    m_northEast.SetAltitude(lower);
    m_southWest.SetAltitude(upper);
  }
}

bool Box_t::ContainsLongitude(std::int32_t x) const {
  if (m_empty) return false;
  const std::int32_t east = m_northEast.GetLongitude();
  return LonDiff(x, m_southWest.GetLongitude()) < LonDiff(x, east) || x == east;
}

bool Box_t::OverlapsLongitude(const Box_t& other) const {
  if (m_empty || other.m_empty) return false;
  return ContainsLongitude(other.GetEast()) || ContainsLongitude(other.GetWest()) ||
         other.ContainsLongitude(GetEast()) || other.ContainsLongitude(GetWest());
}

bool Box_t::Intersects(const Box_t& other) const {
  if (m_empty || other.m_empty) return false;
  return GetNorth() >= other.GetSouth() && other.GetNorth() >= GetSouth() && OverlapsLongitude(other);
}

namespace {
bool ContainsBothEnds(const Box_t& a, const Box_t& b) {
  return a.ContainsLongitude(b.GetWest()) && a.ContainsLongitude(b.GetEast()) &&
         b.ContainsLongitude(a.GetWest()) && b.ContainsLongitude(a.GetEast());
}
}  // namespace

void WriteBox(bin::ostream& out, const Box_t& box) {
  const std::uint8_t empty = box.IsEmpty() ? 1 : 0;
  bin::write_le(out, empty);
  if (box.IsEmpty()) return;
  WritePosition(out, box.GetNorthEast());
  WritePosition(out, box.GetSouthWest());
}

void ReadBox(bin::istream& in, Box_t& box) {
  std::uint8_t empty = 0;
  bin::read_le(in, empty);
  if (!in.good()) return;
  if (empty != 0) {
    box = Box_t();
    return;
  }
  // Each corner keeps its default when its own read fails; the caller judges
  // the whole record by the stream state.
  Position_t northEast, southWest;
  ReadPosition(in, northEast);
  ReadPosition(in, southWest);
  box = Box_t(northEast, southWest);
}

Box_t Union(const Box_t& a, const Box_t& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  const std::int32_t north = std::max(a.GetNorth(), b.GetNorth());
  const std::int32_t south = std::min(a.GetSouth(), b.GetSouth());
  std::int32_t west, east;
  if (ContainsBothEnds(a, b)) {
    if (a.GetWest() == b.GetWest() && a.GetEast() == b.GetEast()) {
      // One meridian, or the same range.
      west = a.GetWest();
      east = a.GetEast();
    } else {
      west = INT32_MIN;
      east = INT32_MAX;
    }
  } else if (a.OverlapsLongitude(b)) {
    west = a.GetWidth() < LonDiff(a.GetEast(), b.GetWest()) ? b.GetWest() : a.GetWest();
    east = a.GetWidth() < LonDiff(b.GetEast(), a.GetWest()) ? b.GetEast() : a.GetEast();
  } else if (LonDiff(b.GetWest(), a.GetEast()) < LonDiff(a.GetWest(), b.GetEast())) {
    west = a.GetWest();
    east = b.GetEast();
  } else {
    west = b.GetWest();
    east = a.GetEast();
  }
  Altitude_t upper, lower;
  if (HasSpan(a) && HasSpan(b)) {
    upper = MaxAlt(a.GetUpperAltitude(), b.GetUpperAltitude());
    lower = MinAlt(a.GetLowerAltitude(), b.GetLowerAltitude());
  } else if (HasSpan(a)) {
    upper = a.GetUpperAltitude();
    lower = a.GetLowerAltitude();
  } else if (HasSpan(b)) {
    upper = b.GetUpperAltitude();
    lower = b.GetLowerAltitude();
  }
  return Box_t(north, south, east, west, upper, lower);
}

Box_t Intersection(const Box_t& a, const Box_t& b) {
  if (a.IsEmpty() || b.IsEmpty() || !a.Intersects(b)) return Box_t();
  const std::int32_t north = std::min(a.GetNorth(), b.GetNorth());
  const std::int32_t south = std::max(a.GetSouth(), b.GetSouth());
  std::int32_t west, east;
  if (ContainsBothEnds(a, b)) {
    west = a.GetWest();
    east = a.GetEast();
  } else {
    west = a.GetWidth() < LonDiff(a.GetEast(), b.GetWest()) ? a.GetWest() : b.GetWest();
    east = a.GetWidth() < LonDiff(b.GetEast(), a.GetWest()) ? a.GetEast() : b.GetEast();
  }
  Altitude_t upper, lower;
  if (HasSpan(a) && HasSpan(b)) {
    upper = MinAlt(a.GetUpperAltitude(), b.GetUpperAltitude());
    lower = MaxAlt(a.GetLowerAltitude(), b.GetLowerAltitude());
    if (!(lower.Value() < upper.Value())) return Box_t();
  }
  return Box_t(north, south, east, west, upper, lower);
}

}  // namespace geo
