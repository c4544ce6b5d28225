#pragma once
// The window's feature made from each kind of search hit, as the hover and
// the feature menu show it.
#include <string>

#include "geo/GEO_Position.h"
#include "glo/GLO_Optional.h"
#include "map/MAP_FeatureHit.h"
#include "map/MAP_NrstFeature.h"
#include "plat/PLAT_ImageList.h"

namespace map {

class Window_t;

// The text read as a decimal number; absent when it is empty or is not one.
glo::Optional_t<double> ReadValueText(const std::string& text);

// A named point, kind 3. 'iconIndex' is the point's icon in 'symbols' (0 when
// it has none). The hover shows the pip with the icon and the point's position
// only when there is an icon; the menu always carries the symbols, the icon
// index and the position. With a short text, the value is that text read as a
// number, and heights (types 0x64-0x66) get the height in the user's elevation
// unit in parentheses as their detail. glo::Assert_t when the hit's reference
// has no map.
NrstFeature_t MakePointFeature(Window_t* window, const NrstText_t& hit, const plat::ImageList_t* symbols,
                               int iconIndex, bool fromMenu);
// A road junction, kind 4: its names as text lines, its position.
NrstFeature_t MakeJunctionFeature(Window_t* window, const NrstHit_t& hit);
// A line, kind 6; in the menu an address is kind 5. The value is the value
// text read as a number.
NrstFeature_t MakeLineFeature(Window_t* window, const NrstResult_t& hit, bool fromMenu);
// An area, kind 7: in the hover without a position.
NrstFeature_t MakeAreaFeature(Window_t* window, const NrstEntry_t& hit);
// An area chosen from the menu, at the position under the click.
NrstFeature_t MakeAreaFeature(Window_t* window, const NrstLink_t& hit, const geo::Position_t& clickPosition);

}  // namespace map
