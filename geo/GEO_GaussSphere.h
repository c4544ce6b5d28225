#pragma once
// The Gauss conformal sphere that touches an ellipsoid at a grid's origin
// latitude; the oblique grids project through it.
#include <cmath>

#include "geo/GEO_Grid.h"

namespace geo {

struct GaussSphere_t {
  // The origin latitude in degrees.
  GaussSphere_t(const Ellipsoid_t& ellipsoid, double originLatitude, double k0);

  double originLatitude;  // radians
  double k0;
  double B;    // sphere longitudes per ellipsoid longitude
  double C;    // constant of the isometric latitudes
  double chi0;  // origin latitude on the sphere
  double Rk0;   // sphere radius times the scale factor, metres
};

namespace grid {
// ln((1 + x) / (1 - x)) / 2 - the inverse hyperbolic tangent.
inline double HalfLogRatio(double x) { return 0.5 * std::log((1.0 + x) / (1.0 - x)); }
}  // namespace grid

}  // namespace geo
