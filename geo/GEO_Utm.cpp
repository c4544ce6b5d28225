#include "geo/GEO_Utm.h"

#include <cmath>

namespace geo {

namespace {

constexpr double kK0 = 0.9996;
constexpr double kFalseEasting = 500000.0;
constexpr double kSouthernNorthing = 10000000.0;

double ZoneMeridian(int zone) { return grid::ToRadians(6.0 * zone - 183.0); }

}  // namespace

char Utm_t::GetBandLetter(double latitude) {
  const double psi = grid::ToDegrees(latitude);
  if (!(psi < 84.0 && psi > -80.0)) throw glo::OutOfRange_t(GLO_SRC);
  if (psi >= 80.0) return 'X';
  int c = static_cast<int>(std::trunc(psi / 8.0 + 77.0));
  if (c > 'H') ++c;
  if (c > 'N') ++c;
  if (c < 'C' || c > 'X') throw glo::OutOfRange_t(GLO_SRC);
  return static_cast<char>(c);
}

int Utm_t::GetZone(double longitude, char band) {
  const double mu = grid::ToDegrees(longitude);
  if (!(mu >= -180.0 && mu < 180.0)) throw glo::OutOfRange_t(GLO_SRC);
  int z = static_cast<int>(std::trunc(mu / 6.0 + 31.0));
  if (z < 1 || z > 60) throw glo::OutOfRange_t(GLO_SRC);
  if (band == 'V' && z == 31 && mu >= 3.0) z = 32;
  if (band == 'X') {
    if (z == 32) z = mu < 9.0 ? 31 : 33;
    else if (z == 34) z = mu < 21.0 ? 33 : 35;
    else if (z == 36) z = mu < 33.0 ? 35 : 37;
  }
  return z;
}

GridText_t Utm_t::Format(const Position_t& position, const Datum_t& datum) const {
  const RadPosition_t rad = ToDatum(position, datum);
  char band = 0;
  int zone = 0;
  int easting = 0;
  int northing = 0;
  LatLonToGrid(rad, grid::EllipsoidOf(datum), band, zone, easting, northing);
  return GridText_t(std::to_string(zone) + ' ' + band + ' ' + std::to_string(easting) + ' ' + std::to_string(northing),
                    rad.GetAltitude());
}

Position_t Utm_t::Parse(const GridText_t& text, const Datum_t& datum) const {
  grid::TextReader_t in(text.text);
  int zone = 0;
  if (!(in >> zone)) grid::Fail(5268);
  if (zone < 1 || zone > 60) grid::Fail(5302);
  std::string band;
  if (!(in >> band)) grid::Fail(5270);
  if (band.size() != 1) grid::Fail(5303);
  if (band[0] < 'C' || band[0] > 'X') grid::Fail(5304);
  const double easting = grid::ReadEasting(in);
  const double northing = grid::ReadNorthing(in);
  return FromDatum(GridToLatLon(grid::EllipsoidOf(datum), band[0], zone, easting, northing), text, datum);
}

double Utm_t::GetConvergence(const Position_t& position, const Datum_t& datum) const {
  const RadPosition_t p = grid::Radians(position);
  const int zone = GetZone(p.GetLongitude(), GetBandLetter(p.GetLatitude()));
  return UtmBase_t::GetConvergence(p.GetLongitude() - ZoneMeridian(zone), p.GetLatitude(), grid::EllipsoidOf(datum));
}

void Utm_t::LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid, char& band, int& zone,
                         int& easting, int& northing) const {
  band = GetBandLetter(position.GetLatitude());
  zone = GetZone(position.GetLongitude(), band);
  int x = 0;
  int y = 0;
  ToGridRounded(ellipsoid, kK0,
                RadPosition_t(position.GetLatitude(), grid::Wrap(position.GetLongitude() - ZoneMeridian(zone))), x, y);
  easting = x + static_cast<int>(kFalseEasting);
  if (easting < 0) throw glo::OutOfRange_t(GLO_SRC);
  northing = band <= 'M' ? y + static_cast<int>(kSouthernNorthing) : y;
  if (northing < 0) throw glo::OutOfRange_t(GLO_SRC);
}

RadPosition_t Utm_t::GridToLatLon(const Ellipsoid_t& ellipsoid, char band, int zone, double easting,
                                  double northing) const {
  return grid::FromOffsetTransverseMercator(*this, ellipsoid, ZoneMeridian(zone), kK0, easting - kFalseEasting,
                                            band > 'M' ? northing : northing - kSouthernNorthing);
}

}  // namespace geo
