#include "geo/GEO_UserGrid.h"

namespace geo {

double UserGrid_t::GetConvergence(const Position_t& position, const Datum_t& datum) const {
  const RadPosition_t p = grid::Radians(position);
  return UtmBase_t::GetConvergence(p.GetLongitude() - m_centralMeridian, p.GetLatitude(), grid::EllipsoidOf(datum));
}

RadPosition_t UserGrid_t::GridToLatLon(const Ellipsoid_t& ellipsoid, double easting, double northing) const {
  RadPosition_t p = FromGrid(ellipsoid, m_k0, easting - m_falseEasting, northing - m_falseNorthing);
  p.SetLongitude(grid::Wrap(p.GetLongitude() + m_centralMeridian));
  return p;
}

void UserGrid_t::LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid, int& easting,
                              int& northing) const {
  double x = 0.0;
  double y = 0.0;
  ToGrid(ellipsoid, m_k0,
         RadPosition_t(position.GetLatitude(), grid::Wrap(position.GetLongitude() - m_centralMeridian)), x, y);
  const double e = x + m_falseEasting;
  const double n = y + m_falseNorthing;
  if (e < 0.0 || n < 0.0) throw glo::OutOfRange_t(GLO_SRC);
  easting = grid::Round(e);
  northing = grid::Round(n);
}

}  // namespace geo
