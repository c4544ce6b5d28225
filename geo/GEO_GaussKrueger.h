#pragma once
// Gauss-Krueger: transverse Mercator zones 3 degrees wide, zone index 0 to 5
// (central meridians 0 to 15 degrees east); text "zone easting northing".
#include "geo/GEO_UtmBase.h"

namespace geo {

class GaussKrueger_t : public Grid_t, public UtmBase_t {
 public:
  GridText_t Format(const Position_t& position, const Datum_t& datum) const override;
  Position_t Parse(const GridText_t& text, const Datum_t& datum) const override;
  int GetTypeId() const override { return 1; }
  double GetConvergence(const Position_t& position, const Datum_t& datum) const override;

  // The zone index of a longitude (glo::OutOfRange_t outside 0 to 5).
  static int ZoneIndex(double longitude);

 private:
  void LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid, int& zone, int& easting,
                    int& northing) const;
  RadPosition_t GridToLatLon(const Ellipsoid_t& ellipsoid, int zone, double easting, double northing) const;
};

}  // namespace geo
