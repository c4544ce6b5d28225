#pragma once
// The Dutch grid: two polynomials in the offsets from its origin near
// Amersfoort, on no ellipsoid of its own.
#include "geo/GEO_Grid.h"

namespace geo {

class Dutch_t : public Zoneless_t {
 public:
  int GetTypeId() const override { return 28; }
  double GetConvergence(const Position_t& position, const Datum_t& datum) const override;
  RadPosition_t GridToLatLon(const Ellipsoid_t& ellipsoid, double easting, double northing) const override;
  void LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid, int& easting,
                    int& northing) const override;
};

}  // namespace geo
