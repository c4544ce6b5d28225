#include "geo/GEO_GaussSphere.h"

#include <cmath>

namespace geo {

GaussSphere_t::GaussSphere_t(const Ellipsoid_t& ellipsoid, double originLatitudeDegrees, double scale)
    : originLatitude(grid::ToRadians(originLatitudeDegrees)), k0(scale) {
  const double e2 = grid::EccentricitySquared(ellipsoid);
  const double e = std::sqrt(e2);
  const double s = std::sin(originLatitude);
  const double c = std::cos(originLatitude);
  B = std::sqrt(1.0 + e2 / (1.0 - e2) * c * c * c * c);
  const double g = std::sqrt(1.0 - e2 * s * s);
  const double N0 = ellipsoid.a / g;
  const double M0 = (1.0 - e2) * ellipsoid.a / (g * g * g);
  const double A = B * std::sqrt(M0 * N0);
  const double D = A / (c * N0);
  C = std::log(D + std::sqrt(D * D - 1.0)) - B * (grid::HalfLogRatio(s) - e * grid::HalfLogRatio(e * s));
  Rk0 = k0 * A / B;
  chi0 = std::atan((s / B) / std::sqrt(1.0 - (s / B) * (s / B)));
}

}  // namespace geo
