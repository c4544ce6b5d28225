// The map window's drawing passes over the basemap and the detail tiles.
#include "map/MAP_Window.h"

namespace map {

bool Window_t::UsesAlternateColors(const mpl::Map_t&) const { return false; }

}  // namespace map
