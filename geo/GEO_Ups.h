#pragma once
// Universal polar stereographic, the polar complement of UTM (north of 84 and
// south of 80 degrees), on its own fixed ellipsoid; text "letter easting
// northing" ('Z 2000000 2000000'). Letters: Y and Z in the north, A and B in the
// south, the first of each pair west of the zero meridian.
#include "geo/GEO_Grid.h"

namespace geo {

class Ups_t : public Grid_t {
 public:
  GridText_t Format(const Position_t& position, const Datum_t& datum) const override;
  // The letter may be given in either case.
  Position_t Parse(const GridText_t& text, const Datum_t& datum) const override;
  int GetTypeId() const override { return 24; }
  double GetConvergence(const Position_t& position, const Datum_t& datum) const override;

  // Letter, easting and northing of a datum position. The letter follows the
  // rounded easting, so a point on the 180-degree meridian gets the letter of
  // the column it is written in.
  void LatLonToGrid(const RadPosition_t& position, char& letter, int& easting, int& northing) const;
  // The position of an upper-case polar letter's easting and northing.
  RadPosition_t GridToLatLon(char letter, double easting, double northing) const;
  // True for A, B, Y and Z.
  static bool IsPolarLetter(char letter);
};

}  // namespace geo
