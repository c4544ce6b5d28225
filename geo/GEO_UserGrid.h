#pragma once
// A transverse Mercator grid given by its central meridian, scale factor and
// false values, with the plain easting/northing text.
#include "geo/GEO_UtmBase.h"

namespace geo {

class UserGrid_t : public Zoneless_t, public UtmBase_t {
 public:
  // The central meridian in degrees.
  UserGrid_t(int typeId, double centralMeridian, double k0, double falseEasting, double falseNorthing)
      : m_centralMeridian(grid::ToRadians(centralMeridian)),
        m_k0(k0),
        m_falseEasting(falseEasting),
        m_falseNorthing(falseNorthing),
        m_typeId(typeId) {}

  int GetTypeId() const override { return m_typeId; }
  double GetConvergence(const Position_t& position, const Datum_t& datum) const override;
  RadPosition_t GridToLatLon(const Ellipsoid_t& ellipsoid, double easting, double northing) const override;
  void LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t& ellipsoid, int& easting,
                    int& northing) const override;

 private:
  double m_centralMeridian;
  double m_k0;
  double m_falseEasting;
  double m_falseNorthing;
  int m_typeId;
};

}  // namespace geo
