#include "geo/GEO_GaussKrueger.h"

namespace geo {

namespace {

constexpr double kZoneWidth = 0.05235987755982982;  // 3 degrees
constexpr double kFalseEasting = 500000.0;

}  // namespace

int GaussKrueger_t::ZoneIndex(double longitude) {
  const int zone = grid::Round(longitude / kZoneWidth);
  if (zone < 0 || zone > 5) throw glo::OutOfRange_t(GLO_SRC);
  return zone;
}

GridText_t GaussKrueger_t::Format(const Position_t& position, const Datum_t& datum) const {
  const RadPosition_t rad = ToDatum(position, datum);
  int zone = 0;
  int easting = 0;
  int northing = 0;
  LatLonToGrid(rad, grid::EllipsoidOf(datum), zone, easting, northing);
  return GridText_t(std::to_string(zone) + ' ' + std::to_string(easting) + ' ' + std::to_string(northing),
                    rad.GetAltitude());
}

Position_t GaussKrueger_t::Parse(const GridText_t& text, const Datum_t& datum) const {
  grid::TextReader_t in(text.text);
  int zone = 0;
  if (!(in >> zone)) grid::Fail(5247);
  if (zone < 0 || zone > 5) grid::Fail(5257);
  const double easting = grid::ReadEasting(in);
  const double northing = grid::ReadNorthing(in);
  return FromDatum(GridToLatLon(grid::EllipsoidOf(datum), zone, easting, northing), text, datum);
}

double GaussKrueger_t::GetConvergence(const Position_t& position, const Datum_t& datum) const {
  const RadPosition_t p = grid::Radians(position);
  const int zone = ZoneIndex(p.GetLongitude());
  return UtmBase_t::GetConvergence(p.GetLongitude() - zone * kZoneWidth, p.GetLatitude(), grid::EllipsoidOf(datum));
}

void GaussKrueger_t::LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid, int& zone,
                                  int& easting, int& northing) const {
  zone = ZoneIndex(position.GetLongitude());
  grid::OffsetTransverseMercator(*this, position, ellipsoid, zone * kZoneWidth, 1.0, kFalseEasting, 0.0, easting,
                                 northing);
}

RadPosition_t GaussKrueger_t::GridToLatLon(const Ellipsoid_t& ellipsoid, int zone, double easting,
                                           double northing) const {
  if (zone < 0 || zone > 5) throw glo::OutOfRange_t(GLO_SRC);
  return grid::FromOffsetTransverseMercator(*this, ellipsoid, zone * kZoneWidth, 1.0, easting - kFalseEasting,
                                            northing);
}

}  // namespace geo
