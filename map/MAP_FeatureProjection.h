#pragma once
// The projection of an area or line record of the map reader: its bounding box
// and points as positions, through Projector_t::ProjectFeature.
#include <vector>

#include "geo/GEO_Box.h"
#include "geo/GEO_Position.h"
#include "map/MAP_Polyline.h"
#include "map/MAP_Projector.h"
#include "mpl/MPL_Rgn.h"

namespace map {

// The record's box; latitudes beyond the poles are held at the poles.
geo::Box_t FeatureBox(const mpl::MdbAreaRecord_t& record);
// The record's points as positions (latitudes held at the poles).
void FeaturePositions(const mpl::MdbAreaRecord_t& record, std::vector<geo::Position_t>& out);
// Projects an area or line record into 'out' (one part, or two across the seam).
void ProjectFeature(Projector_t& projector, const mpl::MdbAreaRecord_t& record, Polyline_t& out);

}  // namespace map
