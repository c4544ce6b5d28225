#include "geo/GEO_LambertConical.h"

#include <cmath>

namespace geo {

namespace {

// The radius of the origin parallel on the cone.
double OriginRadius(double phi0, double k0, double a, double e) {
  const double s = std::sin(phi0);
  return k0 * a * std::cos(phi0) / std::sqrt(1.0 - e * e * s * s) / s;
}

}  // namespace

double LambertConical_t::GetConvergence(const Position_t& position, const Datum_t&) const {
  const RadPosition_t p = grid::Radians(position);
  return grid::Wrap(p.GetLongitude() - m_centralMeridian) * std::sin(m_originLatitude) * DegreesPerRadian;
}

void LambertConical_t::LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid, int& easting,
                                    int& northing) const {
  const double e = std::sqrt(grid::EccentricitySquared(ellipsoid));
  const double n = std::sin(m_originLatitude);
  const double rho0 = OriginRadius(m_originLatitude, m_k0, ellipsoid.a, e);
  const double theta = n * (position.GetLongitude() - m_centralMeridian);
  const double m = std::exp(-n * (IsometricLatitude(position.GetLatitude(), e) - IsometricLatitude(m_originLatitude, e)));
  const double x = m * std::sin(theta) * rho0 + m_falseEasting;
  const double y = (1.0 - m * std::cos(theta)) * rho0 + m_falseNorthing;
  if (x < 0.0) throw glo::OutOfRange_t(GLO_SRC);
  if (y < 0.0) throw glo::OutOfRange_t(GLO_SRC);
  easting = grid::Round(x);
  northing = grid::Round(y);
}

RadPosition_t LambertConical_t::GridToLatLon(const Ellipsoid_t& ellipsoid, double easting, double northing) const {
  const double e = std::sqrt(grid::EccentricitySquared(ellipsoid));
  const double n = std::sin(m_originLatitude);
  const double rho0 = OriginRadius(m_originLatitude, m_k0, ellipsoid.a, e);
  const double C = rho0 - (northing - m_falseNorthing);
  const double theta = std::atan((easting - m_falseEasting) / C);
  const double psi = IsometricLatitude(m_originLatitude, e) - (1.0 / n) * std::log(C / (rho0 * std::cos(theta)));
  const double F = std::exp(psi);
  const double lambda = theta / n + m_centralMeridian;
  double phi = 0.0;
  for (int i = 0; i < 10; ++i) {
    const double es = e * std::sin(phi);
    const double next = 2.0 * std::atan(F * std::pow((1.0 + es) / (1.0 - es), e / 2.0)) - HalfPi;
    const double change = next - phi;
    phi = next;
    if (change > -0.5 / ellipsoid.a && change < 0.5 / ellipsoid.a) break;
  }
  return RadPosition_t(phi, lambda);
}

}  // namespace geo
