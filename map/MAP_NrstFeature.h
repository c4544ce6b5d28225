#pragma once
// The feature a map window holds for its hover popups: what kind it is, where
// it lies and the text lines that describe it.
#include <string>
#include <vector>

#include "geo/GEO_Position.h"
#include "glo/GLO_Optional.h"
#include "plat/PLAT_ImageList.h"

namespace map {

struct NrstFeature_t {
  enum Kind_t : int { Kind_Point = 0, Kind_Line = 1, Kind_Area = 2, Kind_Junction = 3, Kind_Marked = 4, Kind_None = 8 };

  int kind = Kind_None;
  glo::Optional_t<geo::Position_t> position;
  // One popup per line, the first nearest the anchor; each followed by the suffix.
  std::vector<std::string> lines;
  std::string suffix;
  // The symbol of the feature, when it has one: its pip shows that image.
  const plat::ImageList_t* images = nullptr;
  int iconIndex = 0;

  bool HasPosition() const { return position.IsPresent(); }
};

}  // namespace map
