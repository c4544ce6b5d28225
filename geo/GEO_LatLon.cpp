#include "geo/GEO_LatLon.h"

#include <cmath>
#include <iomanip>
#include <locale>
#include <sstream>

#include "geo/GEO_CardinalDirections.h"
#include "glo/GLO_StringResource.h"
#include "win/WIN_Locale.h"

namespace geo {

namespace {

std::ostringstream ClassicStream() {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  return text;
}

bool IsSpace(char c) {
  const std::locale& locale = win::SystemLocale();
  return std::isspace(c, locale) || std::isblank(c, locale);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

GridText_t LatLon_t::Format(const Position_t& position, const Datum_t& datum) const {
  const RadPosition_t rad = ToDatum(position, datum);
  const double latitude = grid::ToDegrees(rad.GetLatitude());
  const double longitude = grid::ToDegrees(rad.GetLongitude());
  const int templateId = latitude > 0.0 ? (longitude > 0.0 ? 5314 : 5315) : (longitude > 0.0 ? 5316 : 5317);
  const glo::StringResource_t pattern(templateId, GLO_SRC);
  return GridText_t(pattern.FormatArgs({FormatAngle(latitude), FormatAngle(longitude)}, GLO_SRC), rad.GetAltitude());
}

Position_t LatLon_t::Parse(const GridText_t& text, const Datum_t& datum) const {
  std::string rest = text.text;
  bool firstIsLatitude = false;
  double first = 0.0;
  ParseHemisphereAngle(rest, firstIsLatitude, first);
  if (rest.empty()) throw glo::InvalidInput_t(firstIsLatitude ? 5261 : 5260, GLO_SRC);

  double latitude = firstIsLatitude ? first : 0.0;
  double longitude = firstIsLatitude ? 0.0 : first;
  bool secondIsLatitude = false;
  double second = 0.0;
  ParseHemisphereAngle(rest, secondIsLatitude, second);
  if (!rest.empty()) throw glo::InvalidInput_t(5262, GLO_SRC);
  if (firstIsLatitude && secondIsLatitude) throw glo::InvalidInput_t(5261, GLO_SRC);
  if (!firstIsLatitude && !secondIsLatitude) throw glo::InvalidInput_t(5260, GLO_SRC);
  (secondIsLatitude ? latitude : longitude) = second;

  if (longitude < -180.0 || longitude > 180.0) throw glo::InvalidInput_t(5263, GLO_SRC);
  if (latitude < -90.0 || latitude > 90.0) throw glo::InvalidInput_t(5264, GLO_SRC);
  return FromDatum(RadPosition_t(grid::ToRadians(latitude), grid::ToRadians(longitude)), text, datum);
}

void LatLon_t::ParseHemisphereAngle(std::string& text, bool& isLatitude, double& degrees) {
  std::size_t start = 0;
  while (start < text.size() && IsSpace(text[start])) ++start;
  if (start == text.size()) throw glo::InvalidInput_t(5285, GLO_SRC);

  CardinalDirection_t direction;
  try {
    direction.SetFromAbbreviation(text[start]);
  } catch (const CardinalDirectionsAbbreviationNotFound_t&) {
    throw glo::InvalidInput_t(5285, GLO_SRC);
  }
  const CardinalDirection_t::CardinalDirections_t d = direction.Get();
  isLatitude = d == CardinalDirection_t::North || d == CardinalDirection_t::South;
  const bool positive = d == CardinalDirection_t::North || d == CardinalDirection_t::East;

  std::size_t end = start + 1;
  while (end < text.size() && !IsCardinalAbbreviation(text[end])) ++end;
  const double angle = ParseAngle(text.substr(start + 1, end - start - 1));
  degrees = positive ? angle : -angle;
  text.erase(0, end);
}

double LatLon_t::ParseAngle(const std::string& text) {
  grid::TextReader_t in(text);
  std::string token;
  double result = 0.0;
  double unit = 1.0;
  int components = 0;
  while (components < 3 && in >> token) {
    bool point = false;
    for (char c : token) {
      if (IsDigit(c)) continue;
      if (c != '.' || point) throw glo::InvalidInput_t(5266, GLO_SRC);
      point = true;
    }
    // A point alone (or nothing but points) is no number.
    if (token.find_first_not_of('.') == std::string::npos) throw glo::InvalidInput_t(5266, GLO_SRC);
    grid::TextReader_t number(token);
    double value = 0.0;
    if (!(number >> value)) throw glo::InvalidInput_t(5266, GLO_SRC);
    result += value / unit;
    unit *= 60.0;
    ++components;
    if (point) break;
  }
  if (components == 0) throw glo::InvalidInput_t(5265, GLO_SRC);
  if (in >> token) throw glo::InvalidInput_t(5262, GLO_SRC);
  return result;
}

std::string LatLonDegrees_t::FormatAngle(double degrees) const {
  std::ostringstream text = ClassicStream();
  text << std::fixed << std::setprecision(5) << std::fabs(degrees);
  return text.str();
}

std::string LatLonDegMins_t::FormatAngle(double degrees) const {
  const double scale = 1000.0;
  const double unit = 1.0 / scale;
  const double v = std::fabs(degrees) + unit * 0.008333333333333333;
  const double whole = std::floor(v);
  const double minutes = std::floor((v - whole) * 60.0 * scale) * unit;
  std::ostringstream text = ClassicStream();
  text << std::fixed << std::setprecision(0) << whole << std::setfill('0') << ' ' << std::setprecision(3)
       << std::setw(6) << minutes;
  return text.str();
}

std::string LatLonDMS_t::FormatAngle(double degrees) const {
  const double scale = 10.0;
  const double unit = 0.1;
  const double v = std::fabs(degrees) + unit * 0.0001388888888888889;
  const double whole = std::floor(v);
  const double m = (v - whole) * 60.0;
  const double seconds = std::floor((m - std::floor(m)) * 60.0 * scale) * unit;
  std::ostringstream text = ClassicStream();
  text << std::fixed << std::setprecision(0) << whole << std::setfill('0') << ' ' << std::setw(2) << std::floor(m)
       << ' ' << std::setprecision(1) << std::setw(4) << seconds;
  return text.str();
}

}  // namespace geo
