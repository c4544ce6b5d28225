#pragma once
// The subdivisions of TRE: loading one (its box, RGN data range, object kinds
// and children), its extended pointers, and the walk over the subdivisions of
// a level that meet the search rectangle.
#include <cstdint>

#include "mpl/MPL_Engine.h"

namespace mpl {

// Reads subdivision n into map.subdiv; with 'withExt' also its extended
// pointers (else they are cleared). 1 for a number outside the map's levels.
int MdbLoadSubdivision(MdbMap_t& map, unsigned n, bool withExt);
// Reads the extended pointers of subdivision n into map.extPointers.
int MdbLoadExtPointers(MdbMap_t& map, unsigned n);
// The box of subdivision n (loaded unless it is current).
int MdbGetSubdivisionBox(MdbMap_t& map, MdbBox_t& box, unsigned n);
// The next subdivision of 'level' that meets the search rectangle, outside the
// exclusion box and, with an extended-kinds mask, with a wanted kind: 0 with
// it current, 3 at the end of the walk, 1 for bad data.
int MdbNextSubdivision(MdbMap_t& map, unsigned level);
// Clears the walk (every level) and the three walk states.
void MdbResetWalk(MdbMap_t& map);

}  // namespace mpl
