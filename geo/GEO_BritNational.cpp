#include "geo/GEO_BritNational.h"

namespace geo {

namespace {

constexpr double kMeridian = -0.03490658503988655;  // -2 degrees
constexpr double kK0 = 0.9996012717;
constexpr double kFalseEasting = 400000.0;
constexpr double kNorthingOffset = 5527064.0;

// Positive remainder.
int Mod5(int value) { return ((value % 5) + 5) % 5; }

}  // namespace

GridText_t BritNational_t::Format(const Position_t& position, const Datum_t& datum) const {
  return grid::FormatSquares(ToDatum(position, datum), datum, [this](auto&&... fields) { LatLonToGrid(fields...); });
}

Position_t BritNational_t::Parse(const GridText_t& text, const Datum_t& datum) const {
  grid::TextReader_t in(text.text);
  const std::string letters = grid::ReadSquareLetters(in);
  if (std::string("HJNOST").find(letters[0]) == std::string::npos) grid::Fail(5284);
  const double easting = grid::ReadEasting(in);
  const double northing = grid::ReadNorthing(in);
  return FromDatum(GridToLatLon(grid::EllipsoidOf(datum), letters, easting, northing), text, datum);
}

double BritNational_t::GetConvergence(const Position_t& position, const Datum_t& datum) const {
  const RadPosition_t p = grid::Radians(position);
  return UtmBase_t::GetConvergence(p.GetLongitude() - kMeridian, p.GetLatitude(), grid::EllipsoidOf(datum));
}

void BritNational_t::LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid, std::string& letters,
                                  int& easting, int& northing) const {
  int e = 0;
  int n = 0;
  grid::OffsetTransverseMercator(*this, position, ellipsoid, kMeridian, kK0, kFalseEasting, kNorthingOffset, e, n);
  if (e / 500000 > 1 || n / 500000 > 2) throw glo::OutOfRange_t(GLO_SRC);
  letters = grid::SquareLetters(e, n, 2, 1);
  easting = e % 100000;
  northing = n % 100000;
}

RadPosition_t BritNational_t::GridToLatLon(const Ellipsoid_t& ellipsoid, const std::string& letters, double easting,
                                           double northing) const {
  if (easting >= 100000.0) grid::Fail(5253);
  if (northing >= 100000.0) grid::Fail(5254);
  int r = 0;
  int c = 0;
  if (!grid::FindSquare(letters[0], r, c)) grid::Fail(5255);
  const double e500 = Mod5(c - 2) * 500000.0;
  const double n500 = Mod5(r - 1) * 500000.0;
  int r2 = 0;
  int c2 = 0;
  if (!grid::FindSquare(letters[1], r2, c2)) grid::Fail(5256);
  const double e = e500 + c2 * 100000.0 + easting;
  const double n = n500 + r2 * 100000.0 + northing;
  return grid::FromOffsetTransverseMercator(*this, ellipsoid, kMeridian, kK0, e - kFalseEasting, n + kNorthingOffset);
}

}  // namespace geo
