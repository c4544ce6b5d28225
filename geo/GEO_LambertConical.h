#pragma once
// Lambert conformal conic grids with one standard parallel (the Indian and
// Indonesian zones of the built-in grids).
#include "geo/GEO_Grid.h"

namespace geo {

class LambertConical_t : public Zoneless_t {
 public:
  // Angles in degrees.
  LambertConical_t(const int& typeId, const double& originLatitude, const double& centralMeridian,
                   const double& falseEasting, const double& falseNorthing, const double& k0)
      : m_originLatitude(grid::ToRadians(originLatitude)),
        m_centralMeridian(grid::ToRadians(centralMeridian)),
        m_falseEasting(falseEasting),
        m_falseNorthing(falseNorthing),
        m_k0(k0),
        m_typeId(typeId) {}

  int GetTypeId() const override { return m_typeId; }
  double GetConvergence(const Position_t& position, const Datum_t& datum) const override;
  RadPosition_t GridToLatLon(const Ellipsoid_t& ellipsoid, double easting, double northing) const override;
  void LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid, int& easting,
                    int& northing) const override;

  static double IsometricLatitude(double latitude, double eccentricity) {
    return grid::IsometricLatitude(latitude, eccentricity);
  }

 private:
  double m_originLatitude;
  double m_centralMeridian;
  double m_falseEasting;
  double m_falseNorthing;
  double m_k0;
  int m_typeId;
};

}  // namespace geo
