#pragma once
// The West Malaysian grid: a rectified skew orthomorphic projection through the
// Gauss sphere at 4 degrees north. Text: two square letters and the full easting
// and northing ('KN 412345 612345'); the letters are not read back.
#include <string>

#include "geo/GEO_GaussSphere.h"

namespace geo {

class WestMalaysian_t : public Grid_t {
 public:
  GridText_t Format(const Position_t& position, const Datum_t& datum) const override;
  Position_t Parse(const GridText_t& text, const Datum_t& datum) const override;
  int GetTypeId() const override { return 26; }
  double GetConvergence(const Position_t& position, const Datum_t& datum) const override;

  virtual RadPosition_t GridToLatLon(const Ellipsoid_t& ellipsoid, double easting, double northing) const;
  // Easting and northing must round into 0 to 999999 (glo::OutOfRange_t).
  virtual void LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid, std::string& letters,
                            int& easting, int& northing) const;

  // The isometric latitude on the sphere of a geodetic latitude.
  static double SphereIsometric(double latitude, const GaussSphere_t& sphere, const Ellipsoid_t& ellipsoid);
};

}  // namespace geo
