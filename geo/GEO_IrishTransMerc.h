#pragma once
#include <string>

#include "geo/GEO_UtmBase.h"

namespace geo {

// The Irish grid: a transverse Mercator about 8 degrees west, "I" and one
// square letter ('IO 12345 23456').
class IrishTransMerc_t : public Grid_t, public UtmBase_t {
 public:
  GridText_t Format(const Position_t& position, const Datum_t& datum) const override;
  Position_t Parse(const GridText_t& text, const Datum_t& datum) const override;
  int GetTypeId() const override { return 14; }
  double GetConvergence(const Position_t& position, const Datum_t& datum) const override;

 private:
  void LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid, std::string& letters, int& easting,
                    int& northing) const;
  RadPosition_t GridToLatLon(const Ellipsoid_t& ellipsoid, const std::string& letters, double easting,
                             double northing) const;
};

}  // namespace geo
