#include "geo/GEO_Hungarian.h"

#include <cmath>

namespace geo {

namespace {

constexpr double kPhi0 = 0.8228248942705366;
constexpr double kLambda0 = 0.33246029536347654;
constexpr double kPhi1 = 0.8345990536542304;
constexpr double kPhi2 = 0.8110493415905012;
constexpr double kFalseEasting = 650084.9;
constexpr double kFalseNorthing = 200029.8;

// The cone of the grid on an ellipsoid.
struct Cone_t {
  Cone_t(const Ellipsoid_t& ellipsoid) : a(ellipsoid.a), e(std::sqrt(grid::EccentricitySquared(ellipsoid))) {
    n = (std::log(M(kPhi1)) - std::log(M(kPhi2))) / (std::log(T(kPhi1)) - std::log(T(kPhi2)));
    F = M(kPhi1) / (n * std::pow(T(kPhi1), n));
    rho0 = Rho(kPhi0);
  }
  double M(double phi) const {
    const double s = std::sin(phi);
    return std::cos(phi) / std::sqrt(1.0 - e * e * s * s);
  }
  double T(double phi) const {
    const double es = e * std::sin(phi);
    return std::tan(grid::QuarterPi - phi / 2.0) / std::pow((1.0 - es) / (1.0 + es), e / 2.0);
  }
  double Rho(double phi) const { return a * F * std::pow(T(phi), n); }

  double a;
  double e;
  double n = 0.0;
  double F = 0.0;
  double rho0 = 0.0;
};

// A grid value: -0.5 or below, or 999999.5 or more, is outside the grid; a
// value just below 0 is 0.
std::int32_t GridValue(double value) {
  if (!(value > -0.5 && value < 999999.5)) throw glo::OutOfRange_t(GLO_SRC);
  return value < 0.0 ? 0 : grid::Round(value);
}

}  // namespace

double Hungarian_t::GetConvergence(const Position_t& position, const Datum_t&) const {
  const RadPosition_t p = grid::Radians(position);
  return grid::Wrap(p.GetLongitude() - kLambda0) * std::sin(kPhi0) * DegreesPerRadian;
}

void Hungarian_t::LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid, int& easting,
                               int& northing) const {
  const Cone_t cone(ellipsoid);
  const double theta = cone.n * (position.GetLongitude() - kLambda0);
  const double rho = cone.Rho(position.GetLatitude());
  const double x = rho * std::sin(theta) + kFalseEasting;
  const double y = cone.rho0 - rho * std::cos(theta) + kFalseNorthing;
  easting = GridValue(x);
  northing = GridValue(y);
}

RadPosition_t Hungarian_t::GridToLatLon(const Ellipsoid_t& ellipsoid, double easting, double northing) const {
  const Cone_t cone(ellipsoid);
  const double dx = easting - kFalseEasting;
  const double dy = cone.rho0 - (northing - kFalseNorthing);
  const double theta = std::atan(dx / dy);
  const double rho = std::sqrt(dx * dx + dy * dy);
  const double t = std::pow(rho / (cone.a * cone.F), 1.0 / cone.n);
  const double e = cone.e;
  double phi = HalfPi - 2.0 * std::atan(t);
  for (int i = 0; i < 10; ++i) {
    const double es = e * std::sin(phi);
    const double next = HalfPi - 2.0 * std::atan(t * std::pow((1.0 - es) / (1.0 + es), e / 2.0));
    const double change = next - phi;
    phi = next;
    if (std::fabs(change) <= 0.5 / cone.a) break;
  }
  return RadPosition_t(phi, theta / cone.n + kLambda0);
}

}  // namespace geo
