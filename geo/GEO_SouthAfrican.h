#pragma once
// The South African grid: transverse Mercator about odd meridians 15 to 33
// degrees east, westing Y and southing X ('29 Y-012345 X3456789').
#include "geo/GEO_UtmBase.h"

namespace geo {

class SouthAfrican_t : public Grid_t, public UtmBase_t {
 public:
  GridText_t Format(const Position_t& position, const Datum_t& datum) const override;
  Position_t Parse(const GridText_t& text, const Datum_t& datum) const override;
  int GetTypeId() const override { return 32; }
  double GetConvergence(const Position_t& position, const Datum_t& datum) const override;

  // The central meridian in whole degrees of a longitude (glo::OutOfRange_t
  // outside 15 to 33).
  static int CentralMeridian(double longitude);

 private:
  void LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid, int& meridian, int& y,
                    int& x) const;
  RadPosition_t GridToLatLon(const Ellipsoid_t& ellipsoid, int meridian, double y, double x) const;
};

}  // namespace geo
