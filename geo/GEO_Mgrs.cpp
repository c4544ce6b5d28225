#include "geo/GEO_Mgrs.h"

#include <cctype>
#include <cmath>
#include <iomanip>
#include <locale>
#include <sstream>

#include "glo/GLO_StringResource.h"

namespace geo {

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

}  // namespace

int Mgrs_t::GetRowOffset(const Datum_t& datum, int zone) {
  int offset = zone % 2 == 0 ? 5 : 0;
  const double a = datum.GetA();
  const double f = datum.GetF();
  if ((datum.GetId() >= 69 && datum.GetId() <= 79) || (a == 6378249.145 && f == 0.003407561378699334) ||
      (a == 6377397.155 && f == 0.003342773182174806) || (a == 6377483.865 && f == 0.003342773182174806))
    offset += 10;
  return offset;
}

int Mgrs_t::LowestRow(char band) {
  // Bands C to X without I and O.
  static const int rows[] = {11, 20, 28, 37, 46, 55, 64, 73, 82, 91, 0, 8, 17, 26, 35, 44, 53, 62, 70, 79};
  static const char bands[] = "CDEFGHJKLMNPQRSTUVWX";
  for (int i = 0; i < 20; ++i)
    if (bands[i] == band) return rows[i];
  throw glo::Assert_t(GLO_SRC);
}

double Mgrs_t::ParseDigits(const std::string& digits) {
  double value = 0.0;
  for (char c : digits) {
    if (c < '0' || c > '9') grid::Fail(5277);
    value = value * 10.0 + (c - '0');
  }
  return value * std::pow(10.0, 5 - static_cast<int>(digits.size()));
}

int Mgrs_t::PolarColumnIndex(char letter) {
  for (int i = 0; i < 18; ++i)
    if (PolarColumnLetters[i] == letter) return i;
  throw glo::InvalidInput_t(glo::StringResource_t(5276, GLO_SRC).Format(std::string(1, letter), GLO_SRC), GLO_SRC);
}

GridText_t Mgrs_t::Format(const Position_t& position, const Datum_t& datum) const {
  const RadPosition_t rad = ToDatum(position, datum);
  const double psi = grid::ToDegrees(rad.GetLatitude());
  std::ostringstream text;
  text.imbue(std::locale::classic());
  int easting = 0;
  int northing = 0;
  if (psi > -80.0 && psi < 84.0) {
    char band = 0;
    int zone = 0;
    m_utm.LatLonToGrid(rad, grid::EllipsoidOf(datum), band, zone, easting, northing);
    const char column = LetterAt(easting / 100000 + ((zone - 1) % 3) * 8);
    const char row = LetterAt((GetRowOffset(datum, zone) + northing / 100000) % 20 + 1);
    text << zone << band << column << row;
  } else {
    char letter = 0;
    m_ups.LatLonToGrid(rad, letter, easting, northing);
    const int rowBase = (letter == 'Y' || letter == 'Z') ? 1200000 : 700000;
    const char row = LetterAt((northing - northing % 100000 - rowBase) / 100000);
    int k = easting - easting % 100000 - 2000000;
    if (k < 0) k += 1800000;
    k /= 100000;
    if (k < 0 || k >= 18) throw glo::Assert_t(GLO_SRC);
    text << letter << PolarColumnLetters[k] << row;
  }
  text << std::setfill('0') << std::setw(5) << easting % 100000 << std::setw(5) << northing % 100000;
  return GridText_t(text.str(), rad.GetAltitude());
}

Position_t Mgrs_t::Parse(const GridText_t& text, const Datum_t& datum) const {
  grid::TextReader_t in(text.text);
  in >> std::ws;
  int zone = 0;
  const bool hasZone = std::isdigit(in.peek()) != 0;
  if (hasZone) {
    if (!(in >> zone)) grid::Fail(5268);
    // Zone 0 is how some programs write the polar bands, which have no zone.
    if (zone < 0 || zone > 60) grid::Fail(5269);
  }
  char band = 0;
  if (!(in >> band)) grid::Fail(5270);
  if (!IsLetter(band)) grid::Fail(5271);
  char column = 0;
  char row = 0;
  if (!(in >> column >> row)) grid::Fail(5272);
  if (!IsLetter(column) || !IsLetter(row)) grid::Fail(5273);
  band = Upper(band);
  column = Upper(column);
  row = Upper(row);
  // A UTM band needs its zone.
  const bool utm = band >= 'C' && band <= 'X';
  if (utm && !hasZone) grid::Fail(5268);
  if (utm && zone == 0) grid::Fail(5269);

  std::string digits;
  in >> digits;
  if (in.fail() && !in.eof()) grid::Fail(5274);
  if (digits.size() % 2 != 0) grid::Fail(5275);
  const double eastingDigits = ParseDigits(digits.substr(0, digits.size() / 2));
  const double northingDigits = ParseDigits(digits.substr(digits.size() / 2));
  const Ellipsoid_t ellipsoid = grid::EllipsoidOf(datum);

  if (utm) {
    const double easting = ((LetterIndex(column) % 8) + 1) * 100000.0 + eastingDigits;
    LetterIndex(band);  // I and O are no bands (5306)
    const int lowest = LowestRow(band);
    int u = LetterIndex(row) - GetRowOffset(datum, zone) + (lowest - lowest % 20);
    if (u < lowest) u += ((lowest - u + 19) / 20) * 20;
    const double northing = u * 100000.0 + northingDigits;
    return FromDatum(m_utm.GridToLatLon(ellipsoid, band, zone, easting, northing), text, datum);
  }
  const int g = PolarColumnIndex(column);
  const double easting = (band == 'Z' || band == 'B') ? 2000000.0 + g * 100000.0 + eastingDigits
                                                      : 2000000.0 + (g - 17) * 100000.0 - 100000.0 + eastingDigits;
  const char split = band > 'X' ? 'H' : 'N';
  const double northing = 2000000.0 + (LetterIndex(row) - LetterIndex(split)) * 100000.0 + northingDigits;
  return FromDatum(m_ups.GridToLatLon(band, easting, northing), text, datum);
}

double Mgrs_t::GetConvergence(const Position_t& position, const Datum_t& datum) const {
  const double latitude = position.GetLatitude() / SemicirclesPerDegree;
  if (latitude > -80.0 && latitude < 84.0) return m_utm.GetConvergence(position, datum);
  return m_ups.GetConvergence(position, datum);
}

}  // namespace geo
