#include "geo/GEO_Datum.h"

#include <algorithm>
#include <cmath>

namespace geo {

const Ellipsoid_t EllipsoidTable[EllipsoidCount] = {
    {6378137.0, 1.0 / 298.257223563}, {6377563.396, 1.0 / 299.3249646}, {6377340.189, 1.0 / 299.3249646},
    {6378160.0, 1.0 / 298.25},        {6377397.155, 1.0 / 299.1528128}, {6377483.865, 1.0 / 299.1528128},
    {6378206.4, 1.0 / 294.9786982},   {6378249.145, 1.0 / 293.465},     {6377104.0, 1.0 / 300.0},
    {6377276.345, 1.0 / 300.8017},    {6377304.063, 1.0 / 300.8017},    {6378155.0, 1.0 / 298.3},
    {6378160.0, 1.0 / 298.2472},      {6378137.0, 1.0 / 298.257222101}, {6378200.0, 1.0 / 298.3},
    {6378270.0, 1.0 / 297.0},         {6378388.0, 1.0 / 297.0},         {6378245.0, 1.0 / 298.3},
    {6378160.0, 1.0 / 298.25},        {6378135.0, 1.0 / 298.26},        {6378155.0, 1.0 / 298.25},
};

const Datum_t& GetWgs84Datum() {
  static const Datum_t wgs84(Datum_t::Wgs84Id, EllipsoidTable[0].a, EllipsoidTable[0].f, 0.0, 0.0, 0.0, false);
  return wgs84;
}

void Datum_t::ToWgs84(RadPosition_t& position) const {
  if (m_id == Wgs84Id) return;
  const Datum_t& wgs84 = GetWgs84Datum();
  Shift(position, m_a, m_f, wgs84.m_a, wgs84.m_f, -m_dx, -m_dy, -m_dz);
}

void Datum_t::FromWgs84(RadPosition_t& position) const {
  if (m_id == Wgs84Id) return;
  const Datum_t& wgs84 = GetWgs84Datum();
  Shift(position, wgs84.m_a, wgs84.m_f, m_a, m_f, m_dx, m_dy, m_dz);
}

void Datum_t::Shift(RadPosition_t& position, double aS, double fS, double aT, double fT, double tx, double ty,
                    double tz) const {
  const double da = aT - aS;
  const double df = fT - fS;
  double phi = position.GetLatitude();
  double lambda = position.GetLongitude();

  const double sp = std::sin(phi);
  const double cp = std::max(std::cos(phi), 1.5678559428873979e-10);
  const double sl = std::sin(lambda);
  const double cl = std::cos(lambda);

  // East and north components of the translation.
  const double te = -sl * tx + cl * ty;
  const double tn = -sp * cl * tx - sp * sl * ty + cp * tz;
  const double t = aS * df + fS * da;
  const double tn2 = tn + 2.0 * sp * cp * t;

  const double e2 = 2.0 * fS - fS * fS;
  const double w = 1.0 / (1.0 - e2 * sp * sp);
  const double rm = aS * (1.0 - e2) * w * std::sqrt(w);
  const double rn = aS * std::sqrt(w);

  phi += tn2 / rm;
  lambda += te / (rn * cp);

  if (position.GetAltitude().IsPresent()) {
    const double dh = m_heightShift ? -(da + t * sp * sp) : 0.0;
    position.SetAltitude(*position.GetAltitude() + dh);
  }

  // Fold a latitude carried over a pole back onto the other meridian.
  if (phi > HalfPi) {
    phi = Pi - phi;
    lambda += Pi;
  } else if (phi < -HalfPi) {
    phi = -Pi - phi;
    lambda += Pi;
  }
  lambda -= std::floor((lambda + Pi) * InvTwoPi) * TwoPi;

  position.SetLatitude(phi);
  position.SetLongitude(lambda);
}

}  // namespace geo
