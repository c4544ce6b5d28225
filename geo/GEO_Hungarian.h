#pragma once
// The Hungarian grid: a Lambert conformal conic with two standard parallels.
#include "geo/GEO_Grid.h"

namespace geo {

class Hungarian_t : public Zoneless_t {
 public:
  int GetTypeId() const override { return 33; }
  double GetConvergence(const Position_t& position, const Datum_t& datum) const override;
  RadPosition_t GridToLatLon(const Ellipsoid_t& ellipsoid, double easting, double northing) const override;
  void LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid, int& easting,
                    int& northing) const override;
};

}  // namespace geo
