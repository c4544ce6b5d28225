#pragma once
// The British national grid: a transverse Mercator about 2 degrees west with
// two square letters and five-digit easting and northing ('SU 04512 68020').
#include <string>

#include "geo/GEO_UtmBase.h"

namespace geo {

class BritNational_t : public Grid_t, public UtmBase_t {
 public:
  GridText_t Format(const Position_t& position, const Datum_t& datum) const override;
  Position_t Parse(const GridText_t& text, const Datum_t& datum) const override;
  int GetTypeId() const override { return 0; }
  double GetConvergence(const Position_t& position, const Datum_t& datum) const override;

 private:
  void LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid, std::string& letters, int& easting,
                    int& northing) const;
  RadPosition_t GridToLatLon(const Ellipsoid_t& ellipsoid, const std::string& letters, double easting,
                             double northing) const;
};

}  // namespace geo
