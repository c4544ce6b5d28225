#include "geo/GEO_Maidenhead.h"

#include <algorithm>
#include <cmath>

namespace geo {

namespace {

// Field letter, square digit and subsquare letter of u (fields from 0 to 18).
// The far edge, 18, belongs to the last subsquare.
void Characters(double u, char& field, char& digit, char& subsquare) {
  const int f = std::min(static_cast<int>(std::trunc(u)), 17);
  const double r = (u - f) * 10.0;
  const int d = std::min(static_cast<int>(std::trunc(r)), 9);
  const int s = std::min(static_cast<int>(std::trunc((r - d) * 24.0)), 23);
  field = static_cast<char>('A' + f);
  digit = static_cast<char>('0' + d);
  subsquare = static_cast<char>('A' + s);
}

bool InRange(char c, char first, char last) { return c >= first && c <= last; }

}  // namespace

GridText_t Maidenhead_t::Format(const Position_t& position, const Datum_t& datum) const {
  const RadPosition_t rad = ToDatum(position, datum);
  char lon[3];
  char lat[3];
  Characters(grid::ToDegrees(rad.GetLongitude()) * 0.05 + 9.0, lon[0], lon[1], lon[2]);
  Characters(grid::ToDegrees(rad.GetLatitude()) * 0.1 + 9.0, lat[0], lat[1], lat[2]);
  const std::string text{lon[0], lat[0], lon[1], lat[1], lon[2], lat[2]};
  return GridText_t(text, rad.GetAltitude());
}

Position_t Maidenhead_t::Parse(const GridText_t& text, const Datum_t& datum) const {
  const std::string& t = text.text;
  if (t.size() < 6) grid::Fail(5291);
  if (!InRange(t[0], 'A', 'R')) grid::Fail(5292);
  if (!InRange(t[1], 'A', 'R')) grid::Fail(5293);
  if (!InRange(t[2], '0', '9')) grid::Fail(5294);
  if (!InRange(t[3], '0', '9')) grid::Fail(5295);
  if (!InRange(t[4], 'A', 'X')) grid::Fail(5296);
  if (!InRange(t[5], 'A', 'X')) grid::Fail(5297);
  const double longitude =
      (((t[4] - 'A') / 24.0 + (t[2] - '0')) * 0.1 + (t[0] - 'A') - 9.0) * 20.0 + 0.041666666666666664;
  const double latitude =
      (((t[5] - 'A') / 24.0 + (t[3] - '0')) * 0.1 + (t[1] - 'A') - 9.0) * 10.0 + 0.020833333333333332;
  return FromDatum(RadPosition_t(grid::ToRadians(latitude), grid::ToRadians(longitude)), text, datum);
}

}  // namespace geo
