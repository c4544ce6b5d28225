#pragma once
// Positions on the earth: WGS84 latitude and longitude as signed 32-bit
// semicircles (2^31 semicircles = 180 degrees) with an optional altitude in
// metres, their radian form, and the great-circle distance and bearing.
//
// Longitudes wrap modulo 2^32 (+2^31 and -2^31 are the same meridian); every
// int32 is a valid longitude. Latitudes lie in [-2^30, +2^30] whenever a
// position is built by its constructor.
#include <cstdint>
#include <vector>

#include "bin/BIN_stream.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_Optional.h"

namespace geo {

// The angular constants of the whole geodesy library. Pi is deliberately the
// 15-digit literal: every stored semicircle value was computed with it.
constexpr double Pi = 3.14159265358979;
constexpr double HalfPi = 1.570796326794895;
constexpr double TwoPi = 6.28318530717958;
constexpr double InvTwoPi = 0.1591549430918955;
constexpr double SemicirclesPerRadian = 683565275.5764323;  // 2^31 / pi
constexpr double RadiansPerSemicircle = 1.0 / SemicirclesPerRadian;
constexpr double DegreesPerRadian = 57.29577951308239;      // 180 / pi
constexpr double SemicirclesPerDegree = 11930464.711111112;  // 2^31 / 180
constexpr std::int32_t MaxLatitude = 1 << 30;                // +90 degrees
constexpr std::int32_t MinLatitude = -(1 << 30);             // -90 degrees

// Optional altitude in metres.
using Altitude_t = glo::Optional_t<double>;

// Throws glo::OutOfRange_t when the latitude lies outside [-2^30, +2^30].
inline void CheckLatitude(std::int32_t latitude) {
  if (latitude < MinLatitude || latitude > MaxLatitude) throw glo::OutOfRange_t(GLO_SRC);
}

class Position_t {
 public:
  // (0, 0) without altitude.
  Position_t() : m_latitude(0), m_longitude(0) {}
  // Rejects a latitude outside [-2^30, +2^30] with glo::OutOfRange_t; the
  // longitude is never checked.
  Position_t(std::int32_t latitude, std::int32_t longitude, const Altitude_t& altitude = Altitude_t())
      : m_latitude(latitude), m_longitude(longitude), m_altitude(altitude) {
    if (latitude < MinLatitude || latitude > MaxLatitude) throw glo::OutOfRange_t(GLO_SRC);
  }

  // A record of three differences or offsets (an extent) rather than a place:
  // the fields are stored as given, without the latitude check.
  static Position_t MakeExtent(std::int32_t latitude, std::int32_t longitude, const Altitude_t& altitude) {
    Position_t p;
    p.m_latitude = latitude;
    p.m_longitude = longitude;
    p.m_altitude = altitude;
    return p;
  }

  std::int32_t GetLatitude() const { return m_latitude; }
  std::int32_t GetLongitude() const { return m_longitude; }
  const Altitude_t& GetAltitude() const { return m_altitude; }

  // Stores a latitude after the range check (glo::OutOfRange_t, unchanged).
  void SetLatitude(std::int32_t latitude) {
    CheckLatitude(latitude);
    m_latitude = latitude;
  }
  void SetLongitude(std::int32_t longitude) { m_longitude = longitude; }
  void SetAltitude(const Altitude_t& altitude) { m_altitude = altitude; }

  // Set one coordinate from radians: wrapped into [-pi, pi), scaled to
  // semicircles and rounded half away from zero (a longitude that rounds to
  // +2^31 is stored as -2^31). The latitude setter rejects a result outside
  // [-2^30, +2^30]; both reject NaN and infinity. On failure the position is
  // unchanged (glo::OutOfRange_t).
  void SetLatitudeRadians(double radians);
  void SetLongitudeRadians(double radians);

  double GetLatitudeRadians() const { return m_latitude * RadiansPerSemicircle; }
  double GetLongitudeRadians() const { return m_longitude * RadiansPerSemicircle; }

  // Equal coordinates, and altitudes both absent or both present and equal.
  friend bool operator==(const Position_t& a, const Position_t& b);
  friend bool operator!=(const Position_t& a, const Position_t& b) { return !(a == b); }

 private:
  std::int32_t m_latitude;
  std::int32_t m_longitude;
  Altitude_t m_altitude;
};

// A position from a point of two semicircle values (latitude first), without
// altitude; the latitude is checked as by the constructor.
struct SemicirclePoint_t {
  std::int32_t latitude;
  std::int32_t longitude;
};
Position_t PositionFromPoint(const SemicirclePoint_t& point);

// Radians to semicircles as the setters above do it, without storing: the value
// wrapped into [-pi, pi), scaled and rounded half away from zero, as a 64-bit
// integer in [-2^31, 2^31]. NaN, infinity and angles too large for the wrap to
// keep their value throw glo::OutOfRange_t.
std::int64_t RadiansToSemicircles(double radians);

// The extent helpers of boxes and of the map window.
// a - b field by field (32-bit wrap); altitude a - b when both are present.
Position_t PositionDifference(const Position_t& a, const Position_t& b);
// Each component read as unsigned 32-bit, times 1 / divisor, truncated; the
// altitude divided when present.
Position_t ScaleExtent(const Position_t& extent, double divisor);
// Position plus offset (32-bit wrap), altitudes added when both are present.
// The result goes through the constructor, so its latitude is checked.
Position_t CombinePositions(const Position_t& position, const Position_t& offset);

// A position in radians: the working form of grid and datum arithmetic.
class RadPosition_t {
 public:
  RadPosition_t() : m_latitude(0.0), m_longitude(0.0) {}
  RadPosition_t(double latitude, double longitude, const Altitude_t& altitude = Altitude_t())
      : m_latitude(latitude), m_longitude(longitude), m_altitude(altitude) {}
  explicit RadPosition_t(const Position_t& position)
      : m_latitude(position.GetLatitude() * RadiansPerSemicircle),
        m_longitude(position.GetLongitude() * RadiansPerSemicircle),
        m_altitude(position.GetAltitude()) {}

  double GetLatitude() const { return m_latitude; }
  double GetLongitude() const { return m_longitude; }
  const Altitude_t& GetAltitude() const { return m_altitude; }
  void SetLatitude(double latitude) { m_latitude = latitude; }
  void SetLongitude(double longitude) { m_longitude = longitude; }
  void SetAltitude(const Altitude_t& altitude) { m_altitude = altitude; }

  // The semicircle position: starts as (0, 0, altitude), then the two radian
  // setters (glo::OutOfRange_t for a latitude beyond 90 degrees).
  Position_t ToSemicircles() const;

 private:
  double m_latitude;
  double m_longitude;
  Altitude_t m_altitude;
};

// The leg from a start position: its start (with altitude), the great-circle
// distance in metres corrected for the WGS84 flattening, and the initial
// bearing in degrees in [0, 360).
struct DistanceAndBearing_t {
  Position_t start;
  double distance;
  double bearing;
};
DistanceAndBearing_t DistanceAndBearing(const Position_t& start, const Position_t& end);

// A position as a unit vector from the centre of the earth, so that the legs
// of a track, which share their ends, turn each position into one once.
struct UnitVector_t {
  double x, y, z;
};
UnitVector_t ToUnitVector(const Position_t& position);
// The distance in metres between two positions given as unit vectors; the
// same value as the distance of DistanceAndBearing().
double Distance(const UnitVector_t& start, const UnitVector_t& end);

// Binary form, 17 bytes little-endian: i32 latitude, i32 longitude, u8 altitude
// flag (1 present, 0 absent), f64 altitude (0.0 when absent).
void WritePosition(bin::ostream& out, const Position_t& position);
// Does nothing unless the stream is good. Always reads all 17 bytes; assigns the
// position only when the stream is still good afterwards. A latitude outside
// [-2^30, +2^30] sets the stream bad and leaves the target unchanged.
void ReadPosition(bin::istream& in, Position_t& position);

// A list of positions: u32 count, then the positions. The reader assigns the
// list only when every position was read.
using PositionList_t = std::vector<Position_t>;
void WritePositions(bin::ostream& out, const PositionList_t& positions);
void ReadPositions(bin::istream& in, PositionList_t& positions);

}  // namespace geo
