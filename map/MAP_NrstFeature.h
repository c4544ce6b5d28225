#pragma once
// The feature a map window holds for its hover popups, its feature menu and
// its property dialogs: what kind it is, where it lies, the text lines that
// describe it, its symbol and the map record it came from.
#include <cstdint>
#include <string>
#include <vector>

#include "geo/GEO_Position.h"
#include "glo/GLO_Optional.h"
#include "map/MAP_FeatureHit.h"
#include "map/MAP_ValueSaver.h"
#include "plat/PLAT_ImageList.h"

namespace map {

class Window_t;

struct NrstFeature_t {
  enum Kind_t : int {
    Kind_Point = 3,     // a named point (also a tide station)
    Kind_Junction = 4,  // a road junction
    Kind_Address = 5,   // a line with a house-number address (menu)
    Kind_Line = 6,
    Kind_Area = 7,
    Kind_None = 8,
    // The junction's pip is drawn inverted.
    Kind_Marked = Kind_Junction,
  };

  // The empty feature: kind 8, no window, text, map, position or value.
  NrstFeature_t() = default;
  // One text line.
  NrstFeature_t(Window_t* window, int kind, const std::string& text, const FeatureRef_t& ref,
                const plat::ImageList_t* images, int iconIndex, const glo::Optional_t<geo::Position_t>& position,
                const glo::Optional_t<double>& value, const std::string& detail);
  // Several text lines.
  NrstFeature_t(Window_t* window, int kind, const std::vector<std::string>& texts, const FeatureRef_t& ref,
                const plat::ImageList_t* images, int iconIndex, const glo::Optional_t<geo::Position_t>& position,
                const glo::Optional_t<double>& value, const std::string& detail);

  // A number read from the hit's value text, when it reads as one.
  glo::Optional_t<double> value;
  FeatureRef_t ref;
  // The point's icon in the symbol images: 0 when the point has none, -1 for
  // features that are not points.
  int iconIndex = -1;
  // The window's symbol images when the pip shows the icon (not owned).
  const plat::ImageList_t* images = nullptr;
  // One popup per line, the first nearest the anchor; each followed by the suffix.
  std::vector<std::string> lines;
  glo::Optional_t<geo::Position_t> position;
  // Shown after the first text line, as a height in parentheses.
  std::string suffix;
  int kind = Kind_None;
  Window_t* window = nullptr;

  bool HasPosition() const { return position.IsPresent(); }
  // Whether a marine attribute class has a dialog: 2 and 3 only on a named
  // point, 6 to 12 always, others never (AttributeClassHasProperties).
  bool HasAttributeProperties(std::uint8_t attributeClass) const;
  // Whether the properties command has a description to show (the record is
  // read again from the map; map reader errors pass to the caller).
  bool HasProperties() const;
  // The properties command: shows the feature's description in its dialog,
  // modally, and returns when it is closed; nothing when the feature has no
  // description. Map reader errors pass to the caller.
  void ShowProperties() const;
};

// Puts a feature back as it was when the guard was made.
using NrstFeatureSaver_t = ValueSaver_t<NrstFeature_t>;

}  // namespace map
