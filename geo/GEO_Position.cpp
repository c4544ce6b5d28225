#include "geo/GEO_Position.h"

#include <cmath>

namespace geo {

namespace {

// The semi-major axis and flattening of WGS84 (entry 0 of the ellipsoid table).
constexpr double kWgs84A = 6378137.0;
constexpr double kWgs84F = 0.0033528106647474805;
// One millimetre of arc on the equator, in radians (0.001 / 6378137).
constexpr double kMillimetreOfArc = 1.5678559428873979e-10;
// Below this sine of the central angle the flattening correction is left out.
constexpr double kCorrectionThreshold = 0.00290435536;

// The low 32 bits of a 64-bit value, as the signed 32-bit semicircle value.
std::int32_t Low32(std::int64_t value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

std::int32_t WrapAdd(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

std::int32_t WrapSub(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

using Vec3_t = UnitVector_t;

double Dot(const Vec3_t& a, const Vec3_t& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

}  // namespace

UnitVector_t ToUnitVector(const Position_t& p) {
  const double phi = p.GetLatitude() * RadiansPerSemicircle;
  const double lambda = p.GetLongitude() * RadiansPerSemicircle;
  const double cphi = std::cos(phi);
  return UnitVector_t{cphi * std::cos(lambda), cphi * std::sin(lambda), std::sin(phi)};
}

namespace {

// The cross product's length and the central angle between two unit vectors.
struct Arc_t {
  double m;
  double sigma;
};

Arc_t ArcBetween(const Vec3_t& u, const Vec3_t& w) {
  const double dot = u.x * w.x + u.y * w.y + u.z * w.z;
  const Vec3_t c{u.y * w.z - u.z * w.y, u.z * w.x - u.x * w.z, u.x * w.y - u.y * w.x};
  const double m = std::sqrt(c.x * c.x + c.y * c.y + c.z * c.z);
  return Arc_t{m, std::atan2(m, dot)};
}

// The length of the arc on the WGS84 ellipsoid: the sphere's arc with a
// first-order correction for the flattening.
double ArcLength(const Vec3_t& u, const Vec3_t& w, const Arc_t& arc) {
  const double sigma = arc.sigma;
  double correction = 0.0;
  // The cross product's length is the sine of the angle: well below the
  // threshold the sine need not be worked out to know it is below.
  if (arc.m < kCorrectionThreshold / 2.0) return sigma * kWgs84A;
  const double sinSigma = std::sin(sigma);
  if (sinSigma > kCorrectionThreshold) {
    const double s1 = u.z;
    const double s2 = w.z;
    const double cosSigma = std::cos(sigma);
    const double x = (s1 + s2) * (s1 + s2) / (1.0 + cosSigma);
    const double y = (s1 - s2) * (s1 - s2) / (1.0 - cosSigma);
    correction = (kWgs84F / 4.0) * (3.0 * sinSigma * (x - y) - sigma * (x + y));
  }
  return (sigma + correction) * kWgs84A;
}

}  // namespace

double Distance(const UnitVector_t& start, const UnitVector_t& end) {
  return ArcLength(start, end, ArcBetween(start, end));
}

std::int64_t RadiansToSemicircles(double radians) {
  // Converting NaN or infinity to an integer is undefined: refuse them.
  if (!std::isfinite(radians)) throw glo::OutOfRange_t(GLO_SRC);
  const double k = std::floor((radians + Pi) * InvTwoPi);
  const double x = radians - k * TwoPi;
  const double s = x * SemicirclesPerRadian;
  // An angle so large that the wrap loses more than a whole turn has no
  // meaningful value left (and its scaled remainder may not fit an integer).
  if (!(std::fabs(s) < 4294967296.0)) throw glo::OutOfRange_t(GLO_SRC);
  return s >= 0.0 ? static_cast<std::int64_t>(std::trunc(s + 0.5))
                  : static_cast<std::int64_t>(std::trunc(s - 0.5));
}

void Position_t::SetLatitudeRadians(double radians) {
  const std::int64_t s = RadiansToSemicircles(radians);
  if (s < MinLatitude || s > MaxLatitude) throw glo::OutOfRange_t(GLO_SRC);
  m_latitude = static_cast<std::int32_t>(s);
}

void Position_t::SetLongitudeRadians(double radians) { m_longitude = Low32(RadiansToSemicircles(radians)); }

bool operator==(const Position_t& a, const Position_t& b) {
  if (a.m_latitude != b.m_latitude || a.m_longitude != b.m_longitude) return false;
  if (a.m_altitude.IsPresent() != b.m_altitude.IsPresent()) return false;
  return !a.m_altitude.IsPresent() || *a.m_altitude == *b.m_altitude;
}

Position_t PositionFromPoint(const SemicirclePoint_t& point) { return Position_t(point.latitude, point.longitude); }

Position_t PositionDifference(const Position_t& a, const Position_t& b) {
  return Position_t::MakeExtent(WrapSub(a.GetLatitude(), b.GetLatitude()),
                                WrapSub(a.GetLongitude(), b.GetLongitude()),
                                a.GetAltitude() - b.GetAltitude());
}

Position_t ScaleExtent(const Position_t& extent, double divisor) {
  const double factor = 1.0 / divisor;
  auto scale = [factor](std::int32_t v) {
    double r = std::trunc(static_cast<double>(static_cast<std::uint32_t>(v)) * factor);
    // Keep the conversion defined whatever the divisor: reduce modulo 2^32.
    if (!std::isfinite(r)) return std::int32_t(0);
    r = std::fmod(r, 4294967296.0);
    return Low32(static_cast<std::int64_t>(r));
  };
  Altitude_t altitude;
  if (extent.GetAltitude().IsPresent()) altitude = *extent.GetAltitude() / divisor;
  return Position_t::MakeExtent(scale(extent.GetLatitude()), scale(extent.GetLongitude()), altitude);
}

Position_t CombinePositions(const Position_t& position, const Position_t& offset) {
  Altitude_t altitude;
  if (position.GetAltitude().IsPresent() && offset.GetAltitude().IsPresent())
    altitude = *position.GetAltitude() + *offset.GetAltitude();
  return Position_t(WrapAdd(position.GetLatitude(), offset.GetLatitude()),
                    WrapAdd(position.GetLongitude(), offset.GetLongitude()), altitude);
}

Position_t RadPosition_t::ToSemicircles() const {
  Position_t p(0, 0, m_altitude);
  p.SetLatitudeRadians(m_latitude);
  p.SetLongitudeRadians(m_longitude);
  return p;
}

DistanceAndBearing_t DistanceAndBearing(const Position_t& start, const Position_t& end) {
  const Vec3_t u = ToUnitVector(start);
  const Vec3_t w = ToUnitVector(end);
  const Arc_t arc = ArcBetween(u, w);
  const double m = arc.m;
  const double distance = ArcLength(u, w, arc);

  double bearing = 0.0;
  if (m > kMillimetreOfArc) {
    const double rr = 1.0 - u.z * u.z;
    const double r = rr > 0.0 ? std::sqrt(rr) : 0.0;
    Vec3_t east, north;
    if (r <= kMillimetreOfArc) {
      // At a pole every direction is south (or north): measure from (0, u.z, 0).
      east = Vec3_t{1.0, 0.0, 0.0};
      north = Vec3_t{0.0, u.z, 0.0};
    } else {
      east = Vec3_t{-u.y / r, u.x / r, 0.0};
      north = Vec3_t{-u.z * u.x / r, -u.z * u.y / r, r};
    }
    const double e = Dot(w, east);
    const double n = Dot(w, north);
    bearing = std::fmod(std::atan2(e, n) * DegreesPerRadian, 360.0);
    if (bearing < 0.0) bearing += 360.0;
  }
  return DistanceAndBearing_t{start, distance, bearing};
}

void WritePosition(bin::ostream& out, const Position_t& position) {
  bin::write_le(out, position.GetLatitude());
  bin::write_le(out, position.GetLongitude());
  const bool present = position.GetAltitude().IsPresent();
  bin::write_le(out, static_cast<std::uint8_t>(present ? 1 : 0));
  bin::write_le(out, present ? *position.GetAltitude() : 0.0);
}

void ReadPosition(bin::istream& in, Position_t& position) {
  if (!in.good()) return;
  std::int32_t latitude = 0;
  std::int32_t longitude = 0;
  std::uint8_t present = 0;
  double altitude = 0.0;
  bin::read_le(in, latitude);
  bin::read_le(in, longitude);
  bin::read_le(in, present);
  bin::read_le(in, altitude);
  if (!in.good()) return;
  try {
    position = Position_t(latitude, longitude, present != 0 ? Altitude_t(altitude) : Altitude_t());
  } catch (const glo::OutOfRange_t&) {
    in.setstate(std::ios_base::badbit);
  }
}

void WritePositions(bin::ostream& out, const PositionList_t& positions) {
  bin::write_le(out, static_cast<std::uint32_t>(positions.size()));
  for (const Position_t& p : positions) WritePosition(out, p);
}

void ReadPositions(bin::istream& in, PositionList_t& positions) {
  std::uint32_t count = 0;
  bin::read_le(in, count);
  PositionList_t list;
  // The count comes from the file: reserve no more than a modest amount up front.
  list.reserve(count < 4096u ? count : 4096u);
  for (std::uint32_t i = 0; i < count && in.good(); ++i) {
    Position_t p;
    ReadPosition(in, p);
    if (in.good()) list.push_back(p);
  }
  if (in.good()) positions.swap(list);
}

}  // namespace geo
