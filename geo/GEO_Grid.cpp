#include "geo/GEO_Grid.h"

#include <cmath>
#include <limits>
#include <locale>
#include <sstream>

#include "glo/GLO_Exception.h"

namespace geo {

RadPosition_t Grid_t::ToDatum(const Position_t& position, const Datum_t& datum) {
  RadPosition_t rad = grid::Radians(position);
  rad.SetAltitude(position.GetAltitude());
  datum.FromWgs84(rad);
  return rad;
}

Position_t Grid_t::FromDatum(RadPosition_t position, const GridText_t& text, const Datum_t& datum) {
  // The half-pi literal lies a little below the true value; the semicircle
  // conversion checks the exact bound.
  const double phi = position.GetLatitude();
  if (!std::isfinite(phi) || std::fabs(phi) > HalfPi + 1e-9 || !std::isfinite(position.GetLongitude()))
    throw glo::OutOfRange_t(GLO_SRC);
  position.SetAltitude(text.altitude);
  datum.ToWgs84(position);
  return position.ToSemicircles();
}

GridText_t Zoneless_t::Format(const Position_t& position, const Datum_t& datum) const {
  const RadPosition_t rad = ToDatum(position, datum);
  int easting = 0;
  int northing = 0;
  LatLonToGrid(rad, grid::EllipsoidOf(datum), easting, northing);
  return GridText_t(std::to_string(easting) + ' ' + std::to_string(northing), rad.GetAltitude());
}

Position_t Zoneless_t::Parse(const GridText_t& text, const Datum_t& datum) const {
  grid::TextReader_t in(text.text);
  const double easting = grid::ReadEasting(in);
  const double northing = grid::ReadNorthing(in);
  return FromDatum(GridToLatLon(grid::EllipsoidOf(datum), easting, northing), text, datum);
}

namespace grid {

double Wrap(double longitude) { return longitude - std::floor((longitude + Pi) * InvTwoPi) * TwoPi; }

std::int32_t Round(double value) {
  if (!std::isfinite(value)) throw glo::OutOfRange_t(GLO_SRC);
  const double r = value >= 0.0 ? std::trunc(value + 0.5) : std::trunc(value - 0.5);
  if (r < std::numeric_limits<std::int32_t>::min() || r > std::numeric_limits<std::int32_t>::max())
    throw glo::OutOfRange_t(GLO_SRC);
  return static_cast<std::int32_t>(r);
}

double IsometricLatitude(double phi, double e) {
  const double es = e * std::sin(phi);
  return std::log(std::tan(QuarterPi + phi / 2.0) * std::pow((1.0 - es) / (1.0 + es), e / 2.0));
}

TextReader_t::TextReader_t(const std::string& text) : std::istringstream(text) { imbue(std::locale::classic()); }

void Fail(unsigned stringId) { throw glo::InvalidInput_t(stringId, GLO_SRC); }

double ReadNonNegative(std::istream& in, unsigned unreadableId, unsigned negativeId) {
  double value = 0.0;
  if (!(in >> value)) Fail(unreadableId);
  if (value < 0.0) Fail(negativeId);
  return value;
}

std::string ReadToken(std::istream& in) {
  std::string token;
  if (!(in >> token)) Fail(5247);
  return token;
}

std::string ReadSquareLetters(std::istream& in) {
  std::string letters = ReadToken(in);
  if (letters.size() != 2) Fail(5248);
  return letters;
}

bool FindSquare(char letter, int& row, int& column) {
  for (int i = 0; i < 25; ++i) {
    if (SquareTable[i] == letter) {
      row = i / 5;
      column = i % 5;
      return true;
    }
  }
  return false;
}

std::string SquareLetters(int easting, int northing, int eastShift, int northShift) {
  std::string letters;
  letters += SquareTable[((northing / 500000 + northShift) % 5) * 5 + (easting / 500000 + eastShift) % 5];
  letters += SquareTable[(easting % 500000) / 100000 + ((northing % 500000) / 100000) * 5];
  return letters;
}

}  // namespace grid

}  // namespace geo
