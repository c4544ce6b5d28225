#pragma once
// Datums: an ellipsoid with a translation from the WGS84 frame, and the shift of
// radian positions between a datum and WGS84 (abridged Molodensky).
#include <cstdint>

#include "geo/GEO_Position.h"

namespace geo {

struct Ellipsoid_t {
  double a;  // semi-major axis, metres
  double f;  // flattening (f itself, not 1/f)
};

// The ellipsoids the datum records can name; entry 0 is WGS84.
constexpr int EllipsoidCount = 21;
extern const Ellipsoid_t EllipsoidTable[EllipsoidCount];

class Datum_t {
 public:
  static constexpr std::int32_t Wgs84Id = 124;

  Datum_t(std::int32_t id, double a, double f, double dx, double dy, double dz, bool heightShift)
      : m_id(id), m_a(a), m_f(f), m_dx(dx), m_dy(dy), m_dz(dz), m_heightShift(heightShift) {}

  std::int32_t GetId() const { return m_id; }
  double GetA() const { return m_a; }
  double GetF() const { return m_f; }
  double GetDx() const { return m_dx; }
  double GetDy() const { return m_dy; }
  double GetDz() const { return m_dz; }
  bool GetHeightShift() const { return m_heightShift; }

  // Shift a position given in this datum into WGS84, in place.
  void ToWgs84(RadPosition_t& position) const;
  // Shift a WGS84 position into this datum, in place.
  void FromWgs84(RadPosition_t& position) const;

  // Datums are the same when their ids are.
  friend bool operator==(const Datum_t& a, const Datum_t& b) { return a.m_id == b.m_id; }
  friend bool operator!=(const Datum_t& a, const Datum_t& b) { return a.m_id != b.m_id; }

 private:
  // Shift from the source ellipsoid to the target one by the translation t.
  void Shift(RadPosition_t& position, double aS, double fS, double aT, double fT, double tx, double ty,
             double tz) const;

  std::int32_t m_id;
  double m_a;
  double m_f;
  double m_dx;
  double m_dy;
  double m_dz;
  bool m_heightShift;
};

// The WGS84 datum (id 124), built on the first call and never changed.
const Datum_t& GetWgs84Datum();

}  // namespace geo
