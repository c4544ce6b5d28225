#include "map/MAP_Registry.h"

#include <cstring>

#include "gdi/GDI_DefaultFont.h"
#include "map/MAP_UnitsZoomScaleTable.h"
#include "mat/MAT_DistUnitsNames.h"
#include "win/WIN_RegSettingsKey.h"

namespace map {

namespace {

constexpr size_t kMaxFaceBytes = sizeof(plat::LOGFONTA{}.lfFaceName) - 1;

MapFont_t DefaultMapFont() {
  const plat::LOGFONTA lf = gdi::GetDefaultGuiLogFont();
  MapFont_t font;
  font.face.assign(lf.lfFaceName, ::strnlen(lf.lfFaceName, sizeof lf.lfFaceName));
  font.height = lf.lfHeight;
  font.weight = lf.lfWeight;
  font.italic = lf.lfItalic != 0;
  return font;
}

// A whole decimal number in [low, high].
bool ParseInt(const std::string& text, int low, int high, int& value) {
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) ++i;
  if (i == text.size() || text.size() - i > 5) return false;
  long v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + (text[i] - '0');
  }
  if (negative) v = -v;
  if (v < low || v > high) return false;
  value = static_cast<int>(v);
  return true;
}

}  // namespace

std::string MapFontText(const MapFont_t& font) {
  return std::to_string(font.height) + ';' + std::to_string(font.weight) + ';' + (font.italic ? '1' : '0') + ';' +
         font.face;
}

bool ParseMapFontText(const std::string& text, MapFont_t& font) {
  const size_t a = text.find(';');
  const size_t b = a == std::string::npos ? a : text.find(';', a + 1);
  const size_t c = b == std::string::npos ? b : text.find(';', b + 1);
  if (c == std::string::npos) return false;
  MapFont_t parsed;
  int italic = 0;
  if (!ParseInt(text.substr(0, a), -10000, 10000, parsed.height) ||
      !ParseInt(text.substr(a + 1, b - a - 1), 0, 1000, parsed.weight) ||
      !ParseInt(text.substr(b + 1, c - b - 1), 0, 1, italic))
    return false;
  parsed.italic = italic != 0;
  parsed.face = text.substr(c + 1);
  if (parsed.face.size() > kMaxFaceBytes || parsed.face.find('\0') != std::string::npos) return false;
  font = parsed;
  return true;
}

Registry_t::Registry_t(const win::RegKey_t& key)
    : MapFontSetting(key, "MapFont", DefaultMapFont()),
      DistanceUnitsType(key, "DistanceUnitsType", mat::DistUnitsTypes_t::Statute),
      ElevationUnits(key, "ElevationUnits", mat::ElevationUnits_t::Feet),
      DepthUnits(key, "DepthUnits", mat::DepthUnits_t::Feet),
      AreaUnits(key, "AreaUnits", static_cast<mat::AreaUnits_t>(0)),
      TemperatureUnits(key, "TemperatureUnits", static_cast<mat::TemperatureUnits_t>(1)) {
  // The unit system's name, as older versions stored it, converted once.
  if (key.ValueExists("DistanceUnits")) {
    mat::DistUnitsTypes_t units = *DistanceUnitsType.Default();
    try {
      units = mat::DistUnitsFromName(key.ReadString("DistanceUnits"));
    } catch (const mat::DistUnitsNameNotFound_t&) {
      // an unknown name: the default
    } catch (const win::RegError_t&) {
      // a value of another type: the default too, so that it cannot block the
      // settings for good
    }
    DistanceUnitsType.Set(units);
    key.DeleteValue("DistanceUnits");
  }
}

const mat::UnitConverter_t& Registry_t::ElevationUnitsEntry() const {
  return mat::ElevationUnitsEntry(ElevationUnits.Value());
}

const DistanceZoomScale_t& Registry_t::DistanceZoomScale() const {
  return GetUnitsZoomScaleTable().FindDistance(DistanceUnitsType.Value());
}

plat::LOGFONTA Registry_t::MapFont() const {
  GLO_ASSERT(MapFontSetting.IsPresent());
  const MapFont_t& font = MapFontSetting.Value();
  plat::LOGFONTA lf = gdi::GetDefaultGuiLogFont();
  lf.lfHeight = font.height;
  lf.lfWeight = font.weight;
  lf.lfItalic = font.italic ? 1 : 0;
  std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
  std::memcpy(lf.lfFaceName, font.face.data(), std::min(font.face.size(), kMaxFaceBytes));
  return lf;
}

Registry_t& GetRegistry() {
  static Registry_t registry(app::GetSettingsKey());
  return registry;
}

const mat::UnitConverter_t& GetDepthConverter() { return mat::GetDepthUnitTable().Find(GetRegistry().DepthUnits.Value()); }

const mat::UnitConverter_t& GetDistanceConverter() {
  return mat::DistanceUnitsEntry(GetRegistry().DistanceUnitsType.Value());
}

}  // namespace map

namespace win {

map::MapFont_t RegValueCodec_t<map::MapFont_t>::Read(const RegKey_t& key, const std::string& name) {
  map::MapFont_t font;
  if (!map::ParseMapFontText(key.ReadString(name), font)) detail::InvalidData(name, GLO_SRC);
  return font;
}

void RegValueCodec_t<map::MapFont_t>::Write(const RegKey_t& key, const std::string& name,
                                              const map::MapFont_t& font) {
  key.WriteString(name, map::MapFontText(font));
}

}  // namespace win
