#include "geo/GEO_WestMalaysian.h"

#include <cmath>

namespace geo {

namespace {

constexpr double kOriginLatitude = 4.0;
constexpr double kK0 = 0.99984;
constexpr double kReferenceLongitudeDegrees = 105.236442875;
constexpr double kEastingOffset = 804671.299784;

// A rounded grid value within 0 to 999999.
int GridValue(double value) {
  if (!(value >= 0.0 && value < 999999.5)) throw glo::OutOfRange_t(GLO_SRC);
  return grid::Round(value);
}

// ln((1 + sin phi) / (1 - sin phi)) / 2 - e ln((1 + e sin phi) / (1 - e sin phi)) / 2.
double IsometricTerm(double phi, double e) {
  const double s = std::sin(phi);
  return grid::HalfLogRatio(s) - e * grid::HalfLogRatio(e * s);
}

}  // namespace

double WestMalaysian_t::SphereIsometric(double phi, const GaussSphere_t& sphere, const Ellipsoid_t& ellipsoid) {
  return sphere.B * IsometricTerm(phi, std::sqrt(grid::EccentricitySquared(ellipsoid))) + sphere.C;
}

GridText_t WestMalaysian_t::Format(const Position_t& position, const Datum_t& datum) const {
  const RadPosition_t rad = ToDatum(position, datum);
  std::string letters;
  int easting = 0;
  int northing = 0;
  LatLonToGrid(rad, grid::EllipsoidOf(datum), letters, easting, northing);
  return GridText_t(letters + ' ' + std::to_string(easting) + ' ' + std::to_string(northing), rad.GetAltitude());
}

Position_t WestMalaysian_t::Parse(const GridText_t& text, const Datum_t& datum) const {
  grid::TextReader_t in(text.text);
  grid::ReadSquareLetters(in);  // not used: the full easting and northing say it all
  const double easting = grid::ReadEasting(in);
  if (easting >= 1000000.0) grid::Fail(5308);
  const double northing = grid::ReadNorthing(in);
  if (northing >= 1000000.0) grid::Fail(5309);
  return FromDatum(GridToLatLon(grid::EllipsoidOf(datum), easting, northing), text, datum);
}

double WestMalaysian_t::GetConvergence(const Position_t& position, const Datum_t& datum) const {
  const Ellipsoid_t ellipsoid = grid::EllipsoidOf(datum);
  const GaussSphere_t sphere(ellipsoid, kOriginLatitude, kK0);
  const RadPosition_t p = grid::Radians(position);
  const double Q = SphereIsometric(p.GetLatitude(), sphere, ellipsoid);
  const double L = (grid::ToRadians(kReferenceLongitudeDegrees) - p.GetLongitude()) * sphere.B;
  return (std::atan(-0.75 / (std::cos(L) * std::cosh(Q)) - std::tan(L) * std::tanh(Q)) - std::atan(-0.75)) *
         DegreesPerRadian;
}

void WestMalaysian_t::LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid, std::string& letters,
                                   int& easting, int& northing) const {
  const GaussSphere_t sphere(ellipsoid, kOriginLatitude, kK0);
  const double Q = SphereIsometric(position.GetLatitude(), sphere, ellipsoid);
  const double L = (grid::ToRadians(kReferenceLongitudeDegrees) - position.GetLongitude()) * sphere.B;
  const double u = sphere.Rk0 * std::atan((0.8 * std::sinh(Q) + 0.6 * std::sin(L)) / std::cos(L));
  const double S = (0.6 * std::sinh(Q) - 0.8 * std::sin(L)) / std::cosh(Q);
  const double v = sphere.Rk0 * grid::HalfLogRatio(S);
  easting = GridValue(0.8 * v - 0.6 * u + kEastingOffset);
  northing = GridValue(0.8 * u + 0.6 * v);
  letters = grid::SquareLetters(easting, northing, 0, 0);
}

RadPosition_t WestMalaysian_t::GridToLatLon(const Ellipsoid_t& ellipsoid, double easting, double northing) const {
  const GaussSphere_t sphere(ellipsoid, kOriginLatitude, kK0);
  const double e2 = grid::EccentricitySquared(ellipsoid);
  const double e = std::sqrt(e2);
  const double u = 0.8 * northing - 0.6 * easting + 482802.7798704;
  const double v = 0.8 * easting + 0.6 * northing - 643737.0398272;
  const double U = u / sphere.Rk0;
  const double V = v / sphere.Rk0;
  const double L = std::atan((0.6 * std::sin(U) - 0.8 * std::sinh(V)) / std::cos(U)) / sphere.B;
  const double S = (0.8 * std::sin(U) + 0.6 * std::sinh(V)) / std::cosh(V);
  const double psi = (grid::HalfLogRatio(S) - sphere.C) / sphere.B;
  double phi = psi;
  for (int i = 0; i < 10; ++i) {
    const double s = std::sin(phi);
    const double change = (psi - IsometricTerm(phi, e)) * std::cos(phi) * (1.0 - e2 * s * s) / (1.0 - e2);
    phi += change;
    if (change > -0.5 / ellipsoid.a && change < 0.5 / ellipsoid.a) break;
  }
  return RadPosition_t(phi, grid::ToRadians(kReferenceLongitudeDegrees) - L);
}

}  // namespace geo
