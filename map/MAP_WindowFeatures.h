#pragma once
// Helpers of the map window's feature drawing: the label texts of a map, the
// arc of a light sector, and the graticule's step.
#include <cstdint>
#include <string>

#include "map/MAP_Dymo.h"
#include "mpl/MPL_Map.h"
#include "plat/PLAT_Dc.h"

namespace map {

// The label texts of one map for the label grid. Given a line, its line
// labels are the map's labels of that line record, which name a road through
// its road data; without one a line label is a failed check.
class MapLabelSource_t : public LineLabelSource_t {
 public:
  explicit MapLabelSource_t(mpl::Map_t& map, const mpl::MdbLineRecord_t* line = nullptr) : m_map(map), m_line(line) {}
  std::string GetLabelText(std::uint32_t labelId, std::uint32_t flags) override;
  std::string GetLineLabel(std::uint32_t labelId, std::uint32_t flags) override;

 private:
  mpl::Map_t& m_map;
  const mpl::MdbLineRecord_t* m_line;
};

// An arc of the circle of 'radius' around 'centre', counter-clockwise on the
// screen from the ray through 'from' to the ray through 'to' (the whole circle
// when the rays are the same), drawn with the selected pen.
void DrawArcPolyline(plat::Dc_t& dc, plat::POINT centre, int radius, plat::POINT from, plat::POINT to);

// One sector of a light around its screen position: radius 4 pixels per unit
// of range, held within 20 and 100; colour code 0 draws nothing.
void DrawLightSector(plat::Dc_t& dc, plat::POINT centre, const mpl::MdbLightSector_t& sector);

// The graticule's step for a view 'visibleWidth' semicircles wide: 15 degrees,
// refined to 5, 1 and 0.5 degrees while fewer than four steps fit.
std::uint32_t GraticuleStep(std::uint32_t visibleWidth);

}  // namespace map
