#pragma once
// The Indonesian grid: a normal Mercator about 110 degrees east.
#include "geo/GEO_Grid.h"

namespace geo {

class IndoEquat_t : public Zoneless_t {
 public:
  int GetTypeId() const override { return 11; }
  double GetConvergence(const Position_t&, const Datum_t&) const override { return 0.0; }
  RadPosition_t GridToLatLon(const Ellipsoid_t& ellipsoid, double easting, double northing) const override;
  void LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid, int& easting,
                    int& northing) const override;
};

}  // namespace geo
