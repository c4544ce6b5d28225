#include "map/MAP_FeatureHit.h"

#include "glo/GLO_Exception.h"
#include "map/MAP_FeatureHitBuild.h"
#include "map/MAP_NrstFeature.h"
#include "map/MAP_Registry.h"
#include "mat/MAT_UnitConverter.h"
#include "mat/MAT_UnitConverterTable.h"
#include "mpl/MPL_Map.h"

namespace map {

// ---------------------------------------------------------------------------
// Feature references.

FeatureRef_t::FeatureRef_t() = default;

FeatureRef_t::FeatureRef_t(std::int32_t reference, const mpl::Map_t* map, std::uint16_t type, std::uint8_t subtype)
    : reference(reference), type(type), subtype(subtype) {
  if (map != nullptr) m_map = std::make_unique<mpl::Map_t>(*map);
}

FeatureRef_t::FeatureRef_t(const FeatureRef_t& other)
    : reference(other.reference), type(other.type), subtype(other.subtype) {
  if (other.m_map) m_map = std::make_unique<mpl::Map_t>(*other.m_map);
}

FeatureRef_t& FeatureRef_t::operator=(const FeatureRef_t& other) {
  if (this == &other) return *this;
  reference = other.reference;
  type = other.type;
  subtype = other.subtype;
  if (!other.m_map)
    m_map.reset();
  else if (m_map)
    *m_map = *other.m_map;  // closes this engine context, copies the other's
  else
    m_map = std::make_unique<mpl::Map_t>(*other.m_map);
  return *this;
}

FeatureRef_t::~FeatureRef_t() = default;

mpl::Map_t& FeatureRef_t::GetMap() const {
  GLO_ASSERT(m_map != nullptr);
  return *m_map;
}

// ---------------------------------------------------------------------------
// The window's feature.

NrstFeature_t::NrstFeature_t(Window_t* window, int kind, const std::string& text, const FeatureRef_t& ref,
                             const plat::ImageList_t* images, int iconIndex,
                             const glo::Optional_t<geo::Position_t>& position, const glo::Optional_t<double>& value,
                             const std::string& detail)
    : NrstFeature_t(window, kind, std::vector<std::string>{text}, ref, images, iconIndex, position, value, detail) {}

NrstFeature_t::NrstFeature_t(Window_t* window, int kind, const std::vector<std::string>& texts,
                             const FeatureRef_t& ref, const plat::ImageList_t* images, int iconIndex,
                             const glo::Optional_t<geo::Position_t>& position, const glo::Optional_t<double>& value,
                             const std::string& detail)
    : value(value),
      ref(ref),
      iconIndex(iconIndex),
      images(images),
      lines(texts),
      position(position),
      suffix(detail),
      kind(kind),
      window(window) {}

// ---------------------------------------------------------------------------
// Features from hits.

glo::Optional_t<double> ReadValueText(const std::string& text) {
  if (text.empty()) return {};
  try {
    return mat::ParseNumber(text);
  } catch (const glo::Exception_t&) {
    return {};
  }
}

NrstFeature_t MakePointFeature(Window_t* window, const NrstText_t& hit, const plat::ImageList_t* symbols,
                               int iconIndex, bool fromMenu) {
  GLO_ASSERT(hit.ref.HasMap());
  const geo::Position_t at(hit.point.lat, hit.point.lon);
  glo::Optional_t<geo::Position_t> position;
  const plat::ImageList_t* images = nullptr;
  if (fromMenu || iconIndex != 0) {
    images = symbols;
    position = at;
  }
  glo::Optional_t<double> value;
  std::string detail;
  if (!hit.shortText.empty()) {
    value = ReadValueText(hit.shortText);
    // A height: stored in feet, shown in the user's elevation unit. A short
    // text that is no number gets no height rather than failing the hover.
    if (hit.point.type >= 0x64 && hit.point.type <= 0x66 && value) {
      const double metres = mat::ElevationUnitsEntry(mat::ElevationUnits_t::Feet).Convert(hit.shortText);
      detail = " (" + GetRegistry().ElevationUnitsEntry().Format(metres, true, 0) + ")";
    }
  }
  return NrstFeature_t(window, NrstFeature_t::Kind_Point, hit.text, hit.ref, images, iconIndex, position, value,
                       detail);
}

NrstFeature_t MakeJunctionFeature(Window_t* window, const NrstHit_t& hit) {
  return NrstFeature_t(window, NrstFeature_t::Kind_Junction, hit.texts, hit.ref, nullptr, -1, hit.position, {},
                       std::string());
}

NrstFeature_t MakeLineFeature(Window_t* window, const NrstResult_t& hit, bool fromMenu) {
  const int kind = fromMenu && hit.address ? NrstFeature_t::Kind_Address : NrstFeature_t::Kind_Line;
  return NrstFeature_t(window, kind, hit.name, hit.ref, nullptr, -1, hit.position, ReadValueText(hit.valueText),
                       std::string());
}

NrstFeature_t MakeAreaFeature(Window_t* window, const NrstEntry_t& hit) {
  return NrstFeature_t(window, NrstFeature_t::Kind_Area, hit.texts, hit.ref, nullptr, -1, {}, {}, std::string());
}

NrstFeature_t MakeAreaFeature(Window_t* window, const NrstLink_t& hit, const geo::Position_t& clickPosition) {
  return NrstFeature_t(window, NrstFeature_t::Kind_Area, hit.text, hit.ref, nullptr, -1, clickPosition, {},
                       std::string());
}

}  // namespace map
