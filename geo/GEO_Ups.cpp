#include "geo/GEO_Ups.h"

#include <cctype>
#include <cmath>

namespace geo {

namespace {

constexpr double kFalse = 2000000.0;
constexpr double kFlattening = 0.003367003367003367;  // 1 / 297

bool InPolarArea(double latitudeDegrees) { return latitudeDegrees >= 84.0 || latitudeDegrees <= -80.0; }

}  // namespace

bool Ups_t::IsPolarLetter(char letter) { return letter == 'A' || letter == 'B' || letter == 'Y' || letter == 'Z'; }

GridText_t Ups_t::Format(const Position_t& position, const Datum_t& datum) const {
  const RadPosition_t rad = ToDatum(position, datum);
  if (!InPolarArea(grid::ToDegrees(rad.GetLatitude()))) throw glo::OutOfRange_t(GLO_SRC);
  char letter = 0;
  int easting = 0;
  int northing = 0;
  LatLonToGrid(rad, letter, easting, northing);
  return GridText_t(std::string(1, letter) + ' ' + std::to_string(easting) + ' ' + std::to_string(northing),
                    rad.GetAltitude());
}

Position_t Ups_t::Parse(const GridText_t& text, const Datum_t& datum) const {
  grid::TextReader_t in(text.text);
  const std::string token = grid::ReadToken(in);
  if (token.size() != 1) grid::Fail(5282);
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(token[0])));
  if (!IsPolarLetter(letter)) grid::Fail(5298);
  const double easting = grid::ReadEasting(in);
  const double northing = grid::ReadNorthing(in);
  return FromDatum(GridToLatLon(letter, easting, northing), text, datum);
}

double Ups_t::GetConvergence(const Position_t& position, const Datum_t&) const {
  const double latitude = position.GetLatitude() / SemicirclesPerDegree;
  if (!InPolarArea(latitude)) throw glo::OutOfRange_t(GLO_SRC);
  const double longitude = position.GetLongitude() / SemicirclesPerDegree;
  return latitude >= 0.0 ? longitude : -longitude;
}

void Ups_t::LatLonToGrid(const RadPosition_t& position, char& letter, int& easting, int& northing) const {
  const double phi = position.GetLatitude();
  const double lambda = position.GetLongitude();
  const bool north = phi >= 0.0;
  const double a = north ? HalfPi - phi : phi + HalfPi;
  const double a2 = a * a;
  const double rho =
      a * (6361536.988459 + a2 * (508600.09984 + a2 * (53122.087 + a2 * (5252.83 + a2 * (539.4 + a2 * 54.0)))));
  easting = grid::Round(rho * std::sin(lambda) + kFalse);
  northing = grid::Round(north ? kFalse - rho * std::cos(lambda) : kFalse + rho * std::cos(lambda));
  const bool west = easting < kFalse;
  letter = north ? (west ? 'Y' : 'Z') : (west ? 'A' : 'B');
}

RadPosition_t Ups_t::GridToLatLon(char letter, double easting, double northing) const {
  const bool north = letter > 'X';
  const double e2 = 2.0 * kFlattening - kFlattening * kFlattening;
  const double e4 = e2 * e2;
  const double e6 = e4 * e2;
  const double e8 = e4 * e4;
  const double v = easting - kFalse;
  const double w = north ? -(northing - kFalse) : northing - kFalse;
  const double lambda = (v == 0.0 && w == 0.0) ? 0.0 : std::atan2(v, w);
  const double rho = std::sqrt(v * v + w * w);
  double chi = HalfPi - 2.0 * std::atan(rho * 7.912869807970475e-8);
  // Beyond the equator (a distance from the pole far outside the grid) the
  // hemisphere of the letter would be lost.
  if (!(chi >= 0.0)) throw glo::OutOfRange_t(GLO_SRC);
  if (!north) chi = -chi;
  const double phi = chi + (e2 / 2.0 + 5.0 * e4 / 24.0 + e6 / 12.0 + 13.0 * e8 / 360.0) * std::sin(2.0 * chi) +
                     (7.0 * e4 / 48.0 + 29.0 * e6 / 240.0 + 811.0 * e8 / 11520.0) * std::sin(4.0 * chi);
  return RadPosition_t(phi, lambda);
}

}  // namespace geo
