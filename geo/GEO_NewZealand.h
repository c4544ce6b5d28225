#pragma once
// The New Zealand map grid: a complex-polynomial projection on its own fixed
// ellipsoid.
#include "geo/GEO_UtmBase.h"

namespace geo {

class NewZealand_t : public Zoneless_t {
 public:
  int GetTypeId() const override { return 20; }
  double GetConvergence(const Position_t& position, const Datum_t& datum) const override;
  RadPosition_t GridToLatLon(const Ellipsoid_t& ellipsoid, double easting, double northing) const override;
  void LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid, int& easting,
                    int& northing) const override;
};

}  // namespace geo
