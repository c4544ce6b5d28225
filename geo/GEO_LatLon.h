#pragma once
// Latitude/longitude grids: decimal degrees, degrees and minutes, degrees,
// minutes and seconds. The text is a quadrant template of the language module
// (hemisphere letters and separators) filled with the two unsigned angles.
#include <string>

#include "geo/GEO_Grid.h"

namespace geo {

class LatLon_t : public Grid_t {
 public:
  GridText_t Format(const Position_t& position, const Datum_t& datum) const override;
  // Two hemisphere letters, each followed by its angle ("N38 30.5 W122 15"), in
  // either order.
  Position_t Parse(const GridText_t& text, const Datum_t& datum) const override;
  double GetConvergence(const Position_t&, const Datum_t&) const override { return 0.0; }

  // The text of the absolute value of an angle in degrees.
  virtual std::string FormatAngle(double degrees) const = 0;

  // Takes the first hemisphere letter and its angle off the front of the text.
  static void ParseHemisphereAngle(std::string& text, bool& isLatitude, double& degrees);
  // Degrees from up to three unsigned components: degrees, minutes, seconds.
  static double ParseAngle(const std::string& text);
};

// '38.50000'
class LatLonDegrees_t : public LatLon_t {
 public:
  int GetTypeId() const override { return 15; }
  std::string FormatAngle(double degrees) const override;
};

// '38 05.123'
class LatLonDegMins_t : public LatLon_t {
 public:
  int GetTypeId() const override { return 16; }
  std::string FormatAngle(double degrees) const override;
};

// '38 05 07.3'
class LatLonDMS_t : public LatLon_t {
 public:
  int GetTypeId() const override { return 17; }
  std::string FormatAngle(double degrees) const override;
};

}  // namespace geo
