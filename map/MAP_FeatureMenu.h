#pragma once
// The features near a right click, as the map window's feature menu lists
// them: named points, tide stations, the nearest road junction, nearby lines
// and the areas at and near the click.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "map/MAP_FeatureHit.h"
#include "plat/PLAT_Menu.h"

namespace map {

class Window_t;

// The nearest junction as one menu entry: present when the hit has a text;
// its text is the hit's texts joined by the separator text (string 4441).
struct JunctionMenuEntry_t {
  JunctionMenuEntry_t() = default;
  explicit JunctionMenuEntry_t(const NrstHit_t& junction);

  NrstHit_t hit;
  bool present = false;
  std::string text;
};

// The features near one click. The menu lists them in the order names,
// tides, junction (when present), lines, areas.
struct FeatureMenu_t {
  std::vector<NrstText_t> tides;
  std::vector<NrstText_t> names;
  JunctionMenuEntry_t junction;
  std::vector<NrstResult_t> lines;
  std::vector<NrstLink_t> areas;

  std::size_t GetCount() const {
    return names.size() + tides.size() + (junction.present ? 1 : 0) + lines.size() + areas.size();
  }
};

// Whether a line type is one of the road types (1 to 12) that a listed
// junction stands for.
bool IsJunctionRoadType(std::uint16_t type);
// Whether an area is kept in a menu that lists other features as well: type
// 0x87 or 0x81, each with subtype 4.
bool IsAreaKeptBesideOthers(std::uint16_t type, std::uint8_t subtype);
// With a junction listed, drops the lines of the road types; with anything
// but areas listed, keeps only the areas kept beside others.
void TrimMenuFeatures(FeatureMenu_t& features);
// The zoom step, counted from the coarsest, that centring on a feature of
// 'type' selects; -1 when it only zooms in to step 23 from a coarser view.
int CentringStepForType(std::uint16_t type);

}  // namespace map
