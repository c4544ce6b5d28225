#include "geo/GEO_SwissCH1903.h"

#include <cmath>

namespace geo {

namespace {

constexpr double kOriginLatitude = 46.95240556;
constexpr double kMeridianDegrees = 7.43958333;
constexpr double kFalseEasting = 600000.0;
constexpr double kFalseNorthing = 200000.0;

}  // namespace

double SwissCH1903_t::SphereLatitude(double phi, const GaussSphere_t& sphere, const Ellipsoid_t& ellipsoid) {
  const double e = std::sqrt(grid::EccentricitySquared(ellipsoid));
  const double es = e * std::sin(phi);
  return 2.0 * std::atan(std::exp(sphere.B * std::log(std::tan(grid::QuarterPi + phi / 2.0)) + sphere.C -
                                  sphere.B * (e / 2.0) * std::log((1.0 + es) / (1.0 - es)))) -
         2.0 * grid::QuarterPi;
}

double SwissCH1903_t::GetConvergence(const Position_t& position, const Datum_t& datum) const {
  const Ellipsoid_t ellipsoid = grid::EllipsoidOf(datum);
  const GaussSphere_t sphere(ellipsoid, kOriginLatitude, 1.0);
  const RadPosition_t p = grid::Radians(position);
  const double phi = p.GetLatitude();
  const double L = sphere.B * (p.GetLongitude() - grid::ToRadians(kMeridianDegrees));
  return std::atan(std::sin(L) / (std::cos(phi) / std::tan(sphere.chi0) + std::sin(phi) * std::cos(L))) *
         DegreesPerRadian;
}

void SwissCH1903_t::LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid, int& easting,
                                 int& northing) const {
  const GaussSphere_t sphere(ellipsoid, kOriginLatitude, 1.0);
  const double chi = SphereLatitude(position.GetLatitude(), sphere, ellipsoid);
  const double L = sphere.B * (position.GetLongitude() - grid::ToRadians(kMeridianDegrees));
  const double c = std::cos(chi) * std::cos(L);
  const double p = std::sin(chi) * std::sin(sphere.chi0) + std::cos(sphere.chi0) * c;
  const double q = std::cos(chi) * std::sin(L);
  const double b = std::sin(std::atan((std::sin(chi) * std::cos(sphere.chi0) - c * std::sin(sphere.chi0)) /
                                      std::sqrt(p * p + q * q)));
  const double obliqueLongitude = std::atan(q / p);
  const double x = obliqueLongitude * sphere.Rk0 + kFalseEasting;
  const double y = sphere.Rk0 * grid::HalfLogRatio(b) + kFalseNorthing;
  if (x < 0.0) throw glo::OutOfRange_t(GLO_SRC);
  if (y < 0.0) throw glo::OutOfRange_t(GLO_SRC);
  easting = grid::Round(x);
  northing = grid::Round(y);
}

RadPosition_t SwissCH1903_t::GridToLatLon(const Ellipsoid_t& ellipsoid, double easting, double northing) const {
  const GaussSphere_t sphere(ellipsoid, kOriginLatitude, 1.0);
  const double e = std::sqrt(grid::EccentricitySquared(ellipsoid));
  const double w = std::exp(2.0 * (northing - kFalseNorthing) / sphere.Rk0);
  const double S = (w - 1.0) / (w + 1.0);
  const double chiPrime = std::atan(S / std::sqrt(1.0 - S * S));
  const double lPrime = (easting - kFalseEasting) / sphere.Rk0;
  // The grid writes oblique longitudes within a quarter turn; an easting beyond
  // that would wrap around the cylinder to a place it never names.
  if (!(std::fabs(lPrime) < HalfPi)) throw glo::OutOfRange_t(GLO_SRC);
  const double h = std::cos(chiPrime);
  const double l = h * std::sin(lPrime);
  const double m = h * std::cos(sphere.chi0) * std::cos(lPrime) - std::sin(sphere.chi0) * std::sin(chiPrime);
  const double L = std::atan(l / m);
  const double chi = std::atan((h * std::cos(lPrime) * std::sin(sphere.chi0) + std::cos(sphere.chi0) * std::sin(chiPrime)) /
                               std::sqrt(m * m + l * l));
  const double psi = (std::log(std::tan(grid::QuarterPi + chi / 2.0)) - sphere.C) / sphere.B;
  double phi = chi;
  for (int i = 0; i < 10; ++i) {
    const double es = e * std::sin(phi);
    const double next = 2.0 * std::atan(std::exp((e / 2.0) * std::log((1.0 + es) / (1.0 - es)) + psi)) - HalfPi;
    const double change = next - phi;
    phi = next;
    if (change > -0.5 / ellipsoid.a && change < 0.5 / ellipsoid.a) break;
  }
  const double lambda = grid::ToRadians(kMeridianDegrees) + L / sphere.B;
  return RadPosition_t(phi, lambda);
}

}  // namespace geo
