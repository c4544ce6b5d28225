#pragma once
// Universal transverse Mercator: zones 6 degrees wide, latitude bands C to X
// (80 south to 84 north); text "zone band easting northing" ('31 N 166021 0').
#include "geo/GEO_UtmBase.h"

namespace geo {

class Utm_t : public UtmBase_t, public Grid_t {
 public:
  GridText_t Format(const Position_t& position, const Datum_t& datum) const override;
  Position_t Parse(const GridText_t& text, const Datum_t& datum) const override;
  int GetTypeId() const override { return 25; }
  double GetConvergence(const Position_t& position, const Datum_t& datum) const override;

  // The band letter of a latitude (glo::OutOfRange_t at or beyond 84 north and 80
  // south).
  static char GetBandLetter(double latitude);
  // The zone of a longitude in its band, with the exceptions of bands V and X
  // (glo::OutOfRange_t outside 1 to 60).
  static int GetZone(double longitude, char band);

  // Band, zone, easting and northing of a datum position. Southern bands always
  // carry the false northing of 10000000, so that their texts read back in the
  // south even where the northing rounds to 0.
  void LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid, char& band, int& zone, int& easting,
                    int& northing) const;
  RadPosition_t GridToLatLon(const Ellipsoid_t& ellipsoid, char band, int zone, double easting,
                             double northing) const;
};

}  // namespace geo
