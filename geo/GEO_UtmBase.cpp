#include "geo/GEO_UtmBase.h"

#include <cmath>
#include <iomanip>
#include <locale>
#include <sstream>

#include "glo/GLO_StringResource.h"

namespace geo {

double UtmBase_t::MeridianArc(const Ellipsoid_t& ellipsoid, double phi) const {
  const double n = ellipsoid.f / (2.0 - ellipsoid.f);
  const double n2 = n * n;
  return ellipsoid.a / (1.0 + n) *
         (phi * (1.0 + n2 / 4.0 + n2 * n2 / 64.0) - 1.5 * n * (1.0 - n2 / 8.0) * std::sin(2.0 * phi) +
          0.9375 * n2 * (1.0 - n2 / 4.0) * std::sin(4.0 * phi));
}

void UtmBase_t::ToGrid(const Ellipsoid_t& ellipsoid, double k0, const RadPosition_t& offsetPosition, double& x,
                       double& y) const {
  const double phi = offsetPosition.GetLatitude();
  const double e2 = grid::EccentricitySquared(ellipsoid);
  const double ep2 = e2 / (1.0 - e2);
  const double s = std::sin(phi);
  const double c = std::cos(phi);
  const double nu = ellipsoid.a / std::sqrt(1.0 - e2 * s * s);
  const double T = (s / c) * (s / c);
  const double C = ep2 * c * c;
  const double S = ep2 * s * s;
  const double A = c * offsetPosition.GetLongitude();
  const double A2 = A * A;
  x = k0 * nu * (A + (1.0 - T + C) * A2 * A / 6.0 + (5.0 - 18.0 * T + T * T + 14.0 * C - 58.0 * S) * A2 * A2 * A / 120.0);
  y = k0 * MeridianArc(ellipsoid, phi) +
      k0 * nu * (s / c) *
          (A2 / 2.0 + (5.0 - T + 9.0 * C + 4.0 * C * C) * A2 * A2 / 24.0 +
           (61.0 - 58.0 * T + T * T + 270.0 * C - 330.0 * S) * A2 * A2 * A2 / 720.0);
}

void UtmBase_t::ToGridRounded(const Ellipsoid_t& ellipsoid, double k0, const RadPosition_t& offsetPosition, int& x,
                              int& y) const {
  double dx = 0.0;
  double dy = 0.0;
  ToGrid(ellipsoid, k0, offsetPosition, dx, dy);
  x = grid::Round(dx);
  y = grid::Round(dy);
}

RadPosition_t UtmBase_t::FromGrid(const Ellipsoid_t& ellipsoid, double k0, double x, double y) const {
  const double e2 = grid::EccentricitySquared(ellipsoid);
  const double ep2 = e2 / (1.0 - e2);
  const double b = ellipsoid.a * (1.0 - ellipsoid.f);
  const double Y = y / k0;
  double phi = Y / b;
  for (int i = 0; i < 10; ++i) {
    const double r = Y - MeridianArc(ellipsoid, phi);
    phi += r / b;
    if (std::fabs(r) < 0.5) break;
  }
  const double s = std::sin(phi);
  const double c = std::cos(phi);
  const double m = s * s;
  const double N1 = ellipsoid.a / std::sqrt(1.0 - e2 * m);
  const double D = x / (k0 * N1);
  const double D2 = D * D;
  const double C1 = ep2 * c * c;
  const double t = s / c;
  const double T1 = t * t;
  const double latitude =
      phi - (1.0 + C1) * t *
                (D2 / 2.0 - (5.0 + 3.0 * T1 + C1 - 4.0 * C1 * C1 - 9.0 * ep2 * m) * D2 * D2 / 24.0 +
                 (61.0 + 90.0 * T1 + 45.0 * T1 * T1 + 46.0 * C1 - 252.0 * ep2 * m - 3.0 * C1 * C1) * D2 * D2 * D2 /
                     720.0);
  const double offset = (1.0 / c) * (D - (1.0 + 2.0 * T1 + C1) * D2 * D / 6.0 +
                                     (5.0 + 28.0 * T1 + 24.0 * T1 * T1 + 6.0 * C1 + 8.0 * ep2 * m) * D2 * D2 * D / 120.0);
  if (!std::isfinite(latitude) || !std::isfinite(offset) || std::fabs(latitude) > HalfPi + 1e-9 ||
      std::fabs(offset) > HalfPi)
    throw glo::OutOfRange_t(GLO_SRC);
  return RadPosition_t(latitude, offset);
}

double UtmBase_t::GetConvergence(double longitudeOffset, double latitude, const Ellipsoid_t&) const {
  const double dl = grid::Wrap(longitudeOffset);
  const double c = std::cos(latitude);
  const double t = std::tan(latitude);
  const double E = dl * dl * c * c;
  return dl * std::sin(latitude) * (1.0 + E / 3.0 + E * E * (2.0 - t * t) / 15.0) * DegreesPerRadian;
}

char UtmBase_t::LetterAt(int index) const {
  if (index < 1 || index > 24) throw glo::OutOfRange_t(GLO_SRC);
  return Letters[index - 1];
}

int UtmBase_t::LetterIndex(char letter) const {
  for (int i = 0; i < 24; ++i)
    if (Letters[i] == letter) return i;
  throw glo::InvalidInput_t(glo::StringResource_t(5306, GLO_SRC).Format(std::string(1, letter), GLO_SRC), GLO_SRC);
}

namespace grid {

void OffsetTransverseMercator(const UtmBase_t& base, const RadPosition_t& position, const Ellipsoid_t& ellipsoid,
                              double meridian, double k0, double falseEasting, double northingOffset, int& easting,
                              int& northing) {
  int x = 0;
  int y = 0;
  base.ToGridRounded(ellipsoid, k0, RadPosition_t(position.GetLatitude(), Wrap(position.GetLongitude() - meridian)),
                     x, y);
  easting = x + static_cast<int>(falseEasting);
  northing = y - static_cast<int>(northingOffset);
  if (easting < 0 || northing < 0) throw glo::OutOfRange_t(GLO_SRC);
}

RadPosition_t FromOffsetTransverseMercator(const UtmBase_t& base, const Ellipsoid_t& ellipsoid, double meridian,
                                           double k0, double x, double y) {
  RadPosition_t p = base.FromGrid(ellipsoid, k0, x, y);
  p.SetLongitude(Wrap(p.GetLongitude() + meridian));
  return p;
}

std::string SquareText(const std::string& letters, int easting, int northing) {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << letters << ' ' << std::setfill('0') << std::setw(5) << easting << ' ' << std::setw(5) << northing;
  return text.str();
}

}  // namespace grid

}  // namespace geo
