#pragma once
// The transverse Mercator series shared by the grids built on it, and the
// 24-letter grid alphabet (no I, no O).
#include <string>

#include "geo/GEO_Grid.h"

namespace geo {

class UtmBase_t {
 public:
  static constexpr char Letters[] = "ABCDEFGHJKLMNPQRSTUVWXYZ";

  // Length of the meridian from the equator to the latitude, metres.
  double MeridianArc(const Ellipsoid_t& ellipsoid, double latitude) const;
  // x (from the central meridian) and y (from the equator) in metres of the
  // latitude and the longitude offset from the central meridian (wrapped).
  void ToGrid(const Ellipsoid_t& ellipsoid, double k0, const RadPosition_t& offsetPosition, double& x,
              double& y) const;
  void ToGridRounded(const Ellipsoid_t& ellipsoid, double k0, const RadPosition_t& offsetPosition, int& x,
                     int& y) const;
  // The latitude and longitude offset of x and y, without altitude. A result
  // that is not finite, lies beyond a pole or more than 90 degrees from the
  // central meridian (an easting or northing far outside any zone) throws
  // glo::OutOfRange_t.
  RadPosition_t FromGrid(const Ellipsoid_t& ellipsoid, double k0, double x, double y) const;
  // The convergence in degrees at a longitude offset and latitude.
  double GetConvergence(double longitudeOffset, double latitude, const Ellipsoid_t& ellipsoid) const;

  // The letter at the 1-based place (glo::OutOfRange_t outside 1 to 24).
  char LetterAt(int index) const;
  // The 0-based place of an upper-case letter; any other character throws
  // glo::InvalidInput_t with string 5306 formatted with the character.
  int LetterIndex(char letter) const;
};

namespace grid {

// Easting and northing in whole metres of a transverse Mercator grid whose
// origin latitude is folded into a northing offset (subtracted from y); a
// negative result throws glo::OutOfRange_t.
void OffsetTransverseMercator(const UtmBase_t& base, const RadPosition_t& position, const Ellipsoid_t& ellipsoid,
                              double meridian, double k0, double falseEasting, double northingOffset, int& easting,
                              int& northing);
// The position of x and y from the central meridian and the equator.
RadPosition_t FromOffsetTransverseMercator(const UtmBase_t& base, const Ellipsoid_t& ellipsoid, double meridian,
                                           double k0, double x, double y);
// Square letters, a space, the easting, a space and the northing, five digits
// each ('SU 04512 68020').
std::string SquareText(const std::string& letters, int easting, int northing);
// The square text of a datum position through the grid's conversion to square
// letters, easting and northing within the square.
template <typename Convert>
GridText_t FormatSquares(const RadPosition_t& position, const Datum_t& datum, Convert convert) {
  std::string letters;
  int easting = 0;
  int northing = 0;
  convert(position, EllipsoidOf(datum), letters, easting, northing);
  return GridText_t(SquareText(letters, easting, northing), position.GetAltitude());
}

}  // namespace grid

}  // namespace geo
