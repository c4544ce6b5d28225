#pragma once
// The Swiss grid: an oblique Mercator on the Gauss sphere at Bern.
#include "geo/GEO_GaussSphere.h"

namespace geo {

class SwissCH1903_t : public Zoneless_t {
 public:
  int GetTypeId() const override { return 22; }
  double GetConvergence(const Position_t& position, const Datum_t& datum) const override;
  RadPosition_t GridToLatLon(const Ellipsoid_t& ellipsoid, double easting, double northing) const override;
  void LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid, int& easting,
                    int& northing) const override;

  // The latitude on the sphere of a geodetic latitude.
  static double SphereLatitude(double latitude, const GaussSphere_t& sphere, const Ellipsoid_t& ellipsoid);
};

}  // namespace geo
