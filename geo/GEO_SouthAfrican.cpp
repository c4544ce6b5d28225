#include "geo/GEO_SouthAfrican.h"

#include <cmath>
#include <iomanip>
#include <locale>
#include <sstream>

namespace geo {

namespace {

// The number after the leading letter of a token, or the failure.
double ReadTagged(std::istream& in, char upper, char lower, unsigned unreadableId, unsigned letterId) {
  std::string token;
  if (!(in >> token)) grid::Fail(unreadableId);
  if (token[0] != upper && token[0] != lower) grid::Fail(letterId);
  grid::TextReader_t number(token.substr(1));
  double value = 0.0;
  if (!(number >> value)) grid::Fail(unreadableId);
  return value;
}

}  // namespace

int SouthAfrican_t::CentralMeridian(double longitude) {
  const double degrees = std::trunc(grid::ToDegrees(longitude));
  if (!(degrees >= 14.0 && degrees <= 33.0)) throw glo::OutOfRange_t(GLO_SRC);
  int meridian = static_cast<int>(degrees);
  if (meridian % 2 == 0) ++meridian;
  if (meridian < 15 || meridian > 33) throw glo::OutOfRange_t(GLO_SRC);
  return meridian;
}

GridText_t SouthAfrican_t::Format(const Position_t& position, const Datum_t& datum) const {
  const RadPosition_t rad = ToDatum(position, datum);
  int meridian = 0;
  int y = 0;
  int x = 0;
  LatLonToGrid(rad, grid::EllipsoidOf(datum), meridian, y, x);
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << meridian << " Y" << std::internal << std::setfill('0') << std::setw(7) << y << " X" << x;
  return GridText_t(text.str(), rad.GetAltitude());
}

Position_t SouthAfrican_t::Parse(const GridText_t& text, const Datum_t& datum) const {
  grid::TextReader_t in(text.text);
  int meridian = 0;
  if (!(in >> meridian)) grid::Fail(5247);
  if (meridian < 15 || meridian > 33) grid::Fail(5366);
  const double y = ReadTagged(in, 'Y', 'y', 5249, 5369);
  if (y < -999999.0 || y > 999999.0) grid::Fail(5367);
  const double x = ReadTagged(in, 'X', 'x', 5251, 5370);
  if (x < 0.0) grid::Fail(5252);
  if (x > 9999999.0) grid::Fail(5368);
  return FromDatum(GridToLatLon(grid::EllipsoidOf(datum), meridian, y, x), text, datum);
}

double SouthAfrican_t::GetConvergence(const Position_t& position, const Datum_t& datum) const {
  const RadPosition_t p = grid::Radians(position);
  const int meridian = CentralMeridian(p.GetLongitude());
  return UtmBase_t::GetConvergence(p.GetLongitude() - grid::ToRadians(meridian), p.GetLatitude(),
                                   grid::EllipsoidOf(datum));
}

void SouthAfrican_t::LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid, int& meridian,
                                  int& y, int& x) const {
  meridian = CentralMeridian(position.GetLongitude());
  int east = 0;
  int north = 0;
  ToGridRounded(ellipsoid, 1.0,
                RadPosition_t(position.GetLatitude(), grid::Wrap(position.GetLongitude() - grid::ToRadians(meridian))),
                east, north);
  y = -east;
  x = -north;
  if (x < 0) throw glo::OutOfRange_t(GLO_SRC);
}

RadPosition_t SouthAfrican_t::GridToLatLon(const Ellipsoid_t& ellipsoid, int meridian, double y, double x) const {
  if (meridian < 15 || meridian > 33) throw glo::OutOfRange_t(GLO_SRC);
  return grid::FromOffsetTransverseMercator(*this, ellipsoid, grid::ToRadians(meridian), 1.0, -y, -x);
}

}  // namespace geo
