#include "geo/GEO_IndoEquat.h"

#include <cmath>

namespace geo {

namespace {

constexpr double kScale = 0.997;
constexpr double kInverseScale = 1.0030090270812437;
constexpr double kMeridianDegrees = 110.0;
constexpr double kFalseEasting = 3900000.0;
constexpr double kFalseNorthing = 900000.0;

}  // namespace

void IndoEquat_t::LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid, int& easting,
                               int& northing) const {
  const double e = std::sqrt(grid::EccentricitySquared(ellipsoid));
  const double x = (position.GetLongitude() - grid::ToRadians(kMeridianDegrees)) * ellipsoid.a * kScale + kFalseEasting;
  const double y = grid::IsometricLatitude(position.GetLatitude(), e) * ellipsoid.a * kScale + kFalseNorthing;
  if (x < 0.0 || y < 0.0) throw glo::OutOfRange_t(GLO_SRC);
  easting = grid::Round(x);
  northing = grid::Round(y);
}

RadPosition_t IndoEquat_t::GridToLatLon(const Ellipsoid_t& ellipsoid, double easting, double northing) const {
  const double e = std::sqrt(grid::EccentricitySquared(ellipsoid));
  const double t = std::exp(-(northing - kFalseNorthing) / (ellipsoid.a * kScale));
  double phi = HalfPi - 2.0 * std::atan(t);
  // At most 10 evaluations, the first included.
  for (int i = 1; i < 10; ++i) {
    const double es = e * std::sin(phi);
    const double next = HalfPi - 2.0 * std::atan(t * std::pow((1.0 - es) / (1.0 + es), e / 2.0));
    const double change = next - phi;
    phi = next;
    if (std::fabs(change) <= 0.5 / ellipsoid.a) break;
  }
  return RadPosition_t(phi, (easting - kFalseEasting) * kInverseScale / ellipsoid.a + grid::ToRadians(kMeridianDegrees));
}

}  // namespace geo
