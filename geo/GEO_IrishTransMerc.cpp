#include "geo/GEO_IrishTransMerc.h"

namespace geo {

namespace {

constexpr double kMeridian = -0.1396263401595462;  // -8 degrees
constexpr double kK0 = 1.000035;
constexpr double kFalseEasting = 200000.0;
constexpr double kNorthingOffset = 5679822.0;

}  // namespace

GridText_t IrishTransMerc_t::Format(const Position_t& position, const Datum_t& datum) const {
  return grid::FormatSquares(ToDatum(position, datum), datum, [this](auto&&... fields) { LatLonToGrid(fields...); });
}

Position_t IrishTransMerc_t::Parse(const GridText_t& text, const Datum_t& datum) const {
  grid::TextReader_t in(text.text);
  const std::string letters = grid::ReadSquareLetters(in);
  if (letters[0] != 'I') grid::Fail(5258);
  const double easting = grid::ReadEasting(in);
  if (easting >= 100000.0) grid::Fail(5253);
  const double northing = grid::ReadNorthing(in);
  if (northing >= 100000.0) grid::Fail(5254);
  return FromDatum(GridToLatLon(grid::EllipsoidOf(datum), letters, easting, northing), text, datum);
}

double IrishTransMerc_t::GetConvergence(const Position_t& position, const Datum_t& datum) const {
  const RadPosition_t p = grid::Radians(position);
  return UtmBase_t::GetConvergence(p.GetLongitude() - kMeridian, p.GetLatitude(), grid::EllipsoidOf(datum));
}

void IrishTransMerc_t::LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid,
                                    std::string& letters, int& easting, int& northing) const {
  int e = 0;
  int n = 0;
  grid::OffsetTransverseMercator(*this, position, ellipsoid, kMeridian, kK0, kFalseEasting, kNorthingOffset, e, n);
  if (e / 100000 > 4 || n / 100000 > 4) throw glo::OutOfRange_t(GLO_SRC);
  letters = std::string("I") + grid::SquareTable[e / 100000 + (n / 100000) * 5];
  easting = e % 100000;
  northing = n % 100000;
}

RadPosition_t IrishTransMerc_t::GridToLatLon(const Ellipsoid_t& ellipsoid, const std::string& letters,
                                             double easting, double northing) const {
  int r = 0;
  int c = 0;
  if (!grid::FindSquare(letters[1], r, c)) grid::Fail(5256);
  return grid::FromOffsetTransverseMercator(*this, ellipsoid, kMeridian, kK0, c * 100000.0 + easting - kFalseEasting,
                                r * 100000.0 + northing + kNorthingOffset);
}

}  // namespace geo
