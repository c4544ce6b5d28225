#include "map/MAP_FeatureProjection.h"

#include <algorithm>

namespace map {

namespace {

std::int32_t HoldLatitude(std::int32_t latitude) { return std::clamp(latitude, geo::MinLatitude, geo::MaxLatitude); }

}  // namespace

geo::Box_t FeatureBox(const mpl::MdbAreaRecord_t& record) {
  return geo::Box_t(HoldLatitude(record.box.north), HoldLatitude(record.box.south), record.box.east, record.box.west);
}

void FeaturePositions(const mpl::MdbAreaRecord_t& record, std::vector<geo::Position_t>& out) {
  out.clear();
  out.reserve(record.points.size());
  for (const mpl::MdbPoint_t& p : record.points) out.emplace_back(HoldLatitude(p.lat), p.lon);
}

void ProjectFeature(Projector_t& projector, const mpl::MdbAreaRecord_t& record, Polyline_t& out) {
  std::vector<geo::Position_t> positions;
  FeaturePositions(record, positions);
  projector.ProjectFeature(FeatureBox(record), positions, out);
}

}  // namespace map
