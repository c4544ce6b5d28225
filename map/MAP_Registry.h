#pragma once
// The user's unit choices and the map label font, as settings under the
// application's settings key.
#include <string>

#include "mat/MAT_UnitConverterTable.h"
#include "mat/MAT_Units.h"
#include "plat/PLAT_Gdi.h"
#include "win/WIN_RegValue.h"

namespace map {

class DistanceZoomScale_t;

// The map label font, stored as a portable description: the face name (at most
// 31 bytes of UTF-8), the height in logical units (negative: character height),
// the weight (0 to 1000) and the italic flag.
struct MapFont_t {
  std::string face;
  int height = 0;
  int weight = 0;
  bool italic = false;

  bool operator==(const MapFont_t&) const = default;
};

// The setting's text: "<height>;<weight>;<italic 0 or 1>;<face>".
std::string MapFontText(const MapFont_t& font);
// False for a text that is not such a description.
bool ParseMapFontText(const std::string& text, MapFont_t& font);

}  // namespace map

namespace win {

// The map font is stored as REG_SZ holding its description text; any other type,
// or a text that is no description, is win::RegError_t with code 13.
template <>
struct RegValueCodec_t<map::MapFont_t> {
  static map::MapFont_t Read(const RegKey_t& key, const std::string& name);
  static void Write(const RegKey_t& key, const std::string& name, const map::MapFont_t& font);
};

}  // namespace win

namespace map {

// The settings, each written back at construction with its default when it is
// missing or cannot be read (wrong type or size, or a unit the converters do not
// know), and written at once by Set. A value "DistanceUnits" left by older versions
// (the unit system's name) is moved into DistanceUnitsType and deleted.
class Registry_t {
 public:
  explicit Registry_t(const win::RegKey_t& settingsKey);

  win::RegValue_t<MapFont_t> MapFontSetting;                   // "MapFont"
  win::RegValue_t<mat::DistUnitsTypes_t> DistanceUnitsType;    // 0 Statute
  win::RegValue_t<mat::ElevationUnits_t> ElevationUnits;       // 0 feet
  win::RegValue_t<mat::DepthUnits_t> DepthUnits;               // 0 feet
  win::RegValue_t<mat::AreaUnits_t> AreaUnits;                 // 0
  win::RegValue_t<mat::TemperatureUnits_t> TemperatureUnits;  // 1

  // The converter of the current elevation unit.
  const mat::UnitConverter_t& ElevationUnitsEntry() const;
  // The zoom steps of the current distance unit system.
  const DistanceZoomScale_t& DistanceZoomScale() const;
  // The logical font of the map labels: the default GUI font's description with
  // the stored face, height, weight and italic flag; glo::Assert_t when unset.
  plat::LOGFONTA MapFont() const;
};

// The process-wide settings over app::GetSettingsKey(), built on first use; a
// failure leaves none, and the next call tries again.
Registry_t& GetRegistry();

// The converters of the user's current depth unit and distance unit system.
const mat::UnitConverter_t& GetDepthConverter();
const mat::UnitConverter_t& GetDistanceConverter();

}  // namespace map
