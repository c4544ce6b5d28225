#pragma once
// Coordinate grids: a grid turns a WGS84 position into its text under a datum,
// and such a text back into a position. Every grid is an immutable object derived
// from Grid_t; each lives in a file of its own (GEO_LatLon, GEO_Utm, ...), and the
// built-in grid objects are in GEO_Grids.
//
// Texts that do not parse throw glo::InvalidInput_t with the string id of the
// fault (5247 to 5370); positions a grid cannot represent throw glo::OutOfRange_t.
#include <cstdint>
#include <istream>
#include <sstream>
#include <string>

#include "geo/GEO_Datum.h"
#include "geo/GEO_Position.h"

namespace geo {

// The text of a position in a grid, with the altitude in the grid's datum.
struct GridText_t {
  GridText_t() = default;
  explicit GridText_t(const std::string& t, const Altitude_t& alt = Altitude_t()) : text(t), altitude(alt) {}

  std::string text;
  Altitude_t altitude;
};

class Grid_t {
 public:
  virtual ~Grid_t() = default;

  // The grid text of a WGS84 position, its altitude shifted into the datum.
  virtual GridText_t Format(const Position_t& position, const Datum_t& datum) const = 0;
  // The WGS84 position of a grid text in the datum.
  virtual Position_t Parse(const GridText_t& text, const Datum_t& datum) const = 0;
  virtual int GetTypeId() const = 0;
  // The grid convergence at the position, in degrees.
  virtual double GetConvergence(const Position_t& position, const Datum_t& datum) const = 0;

 protected:
  // The position in radians, shifted from WGS84 into the datum.
  static RadPosition_t ToDatum(const Position_t& position, const Datum_t& datum);
  // The grid result read from a text: its latitude must be a finite value within
  // 90 degrees and its longitude finite (glo::OutOfRange_t otherwise, so that an
  // absurd easting or northing - beyond the apex of a cone, or overflowing an
  // exponential - never folds into a plausible place or latitude 0); it takes
  // the text's altitude, is shifted to WGS84 and converted to semicircles.
  static Position_t FromDatum(RadPosition_t position, const GridText_t& text, const Datum_t& datum);
};

// The grids whose text is a plain easting and northing ("4512 68020").
class Zoneless_t : public Grid_t {
 public:
  GridText_t Format(const Position_t& position, const Datum_t& datum) const override;
  Position_t Parse(const GridText_t& text, const Datum_t& datum) const override;

  // Easting and northing in metres to the position in the grid's datum.
  virtual RadPosition_t GridToLatLon(const Ellipsoid_t& ellipsoid, double easting, double northing) const = 0;
  // The datum position to whole metres.
  virtual void LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid, int& easting,
                            int& northing) const = 0;
};

// Shared arithmetic and text reading of the grids.
namespace grid {

constexpr double QuarterPi = 0.7853981633974475;

inline double ToRadians(double degrees) { return degrees / DegreesPerRadian; }
inline double ToDegrees(double radians) { return radians * DegreesPerRadian; }

// The position in radians as it stands (no datum shift).
inline RadPosition_t Radians(const Position_t& position) {
  return RadPosition_t(position.GetLatitude() / SemicirclesPerRadian, position.GetLongitude() / SemicirclesPerRadian);
}

// The longitude brought into [-pi, pi).
double Wrap(double longitude);

// Half away from zero to a 32-bit integer; a value that is not finite or does not
// fit throws glo::OutOfRange_t.
std::int32_t Round(double value);

// The ellipsoid of a datum.
inline Ellipsoid_t EllipsoidOf(const Datum_t& datum) { return Ellipsoid_t{datum.GetA(), datum.GetF()}; }
inline double EccentricitySquared(const Ellipsoid_t& e) { return 2.0 * e.f - e.f * e.f; }

// ln(tan(pi/4 + phi/2) * ((1 - e sin phi) / (1 + e sin phi))^(e/2)).
double IsometricLatitude(double phi, double e);

// A stream over a grid text that reads numbers the same way in every locale.
class TextReader_t : public std::istringstream {
 public:
  explicit TextReader_t(const std::string& text);
};

// Throws glo::InvalidInput_t with the string id at this helper's caller's fault.
[[noreturn]] void Fail(unsigned stringId);

// Reads a number: unreadable fails with 'unreadableId', a negative one with
// 'negativeId'.
double ReadNonNegative(std::istream& in, unsigned unreadableId, unsigned negativeId);
// The easting (5249, 5250) and the northing (5251, 5252).
inline double ReadEasting(std::istream& in) { return ReadNonNegative(in, 5249, 5250); }
inline double ReadNorthing(std::istream& in) { return ReadNonNegative(in, 5251, 5252); }
// A white-space delimited token (5247 when there is none).
std::string ReadToken(std::istream& in);
// A token of two square letters (5247, 5248).
std::string ReadSquareLetters(std::istream& in);

// Square letters of the British, Irish and West Malaysian grids: five rows of
// five, row 0 the southernmost, column 0 the westernmost.
constexpr char SquareTable[] = "VWXYZQRSTULMNOPFGHJKABCDE";
// Row and column of a letter in the table; false when it is not there.
bool FindSquare(char letter, int& row, int& column);
// The two square letters of an easting and northing in metres (below 2500000
// each): the 500 km square (shifted by the given square counts) and the 100 km
// square within it.
std::string SquareLetters(int easting, int northing, int eastShift, int northShift);

}  // namespace grid

}  // namespace geo
