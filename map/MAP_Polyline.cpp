#include "map/MAP_Polyline.h"

#include <climits>

#include "glo/GLO_Exception.h"
#include "map/MAP_Projector.h"

namespace map {

void Polyline_t::Reset(std::size_t count, std::size_t parts) {
  if (count > static_cast<std::size_t>(INT32_MAX)) throw glo::Assert_t(GLO_SRC);
  m_parts.clear();
  m_count = 0;
  m_parts.reserve(parts);
  for (std::size_t i = 0; i < parts; ++i) m_parts.push_back(std::make_unique<gdi::SmartPointBuffer_t>(count));
  m_count = static_cast<std::int32_t>(count);
}

gdi::SmartPointBuffer_t& Polyline_t::GetPart(std::size_t index) {
  if (index >= m_parts.size()) throw glo::Assert_t(GLO_SRC);
  return *m_parts[index];
}

const gdi::SmartPointBuffer_t& Polyline_t::GetPart(std::size_t index) const {
  if (index >= m_parts.size()) throw glo::Assert_t(GLO_SRC);
  return *m_parts[index];
}

bool Projector_t::TouchesSeam(const geo::Box_t& box) {
  if (box.IsEmpty()) return false;
  const std::uint32_t seam = static_cast<std::uint32_t>(GetSeamLongitude());
  const std::uint32_t west = static_cast<std::uint32_t>(box.GetWest());
  const std::uint32_t east = static_cast<std::uint32_t>(box.GetEast());
  // Both edges count: a box that ends exactly on the seam is drawn twice.
  return seam - west < seam - east || seam == east;
}

void Projector_t::ProjectFeature(const geo::Box_t& box, const std::vector<geo::Position_t>& points,
                                 Polyline_t& out) {
  if (!TouchesSeam(box)) {
    out.Reset(points.size(), 1);
    gdi::SmartPointBuffer_t& part = out.GetPart(0);
    for (std::size_t i = 0; i < points.size(); ++i) part[i] = PositionToScreen(points[i]);
    return;
  }
  // Move the feature next to the view centre, project it there and take it
  // back by the pixel width of the move; the second part is the first one
  // turn of longitude further east.
  const std::int32_t shift = static_cast<std::int32_t>(static_cast<std::uint32_t>(GetCenter().GetLongitude()) -
                                                       static_cast<std::uint32_t>(box.GetCenter().GetLongitude()));
  const plat::SIZE shiftPixels = ExtentToPixels(geo::Position_t::MakeExtent(0, shift, geo::Altitude_t()));
  const plat::SIZE globe = GetGlobeSize();
  out.Reset(points.size(), 2);
  gdi::SmartPointBuffer_t& first = out.GetPart(0);
  gdi::SmartPointBuffer_t& second = out.GetPart(1);
  for (std::size_t i = 0; i < points.size(); ++i) {
    const geo::Position_t& p = points[i];
    const std::int32_t lon =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(p.GetLongitude()) + static_cast<std::uint32_t>(shift));
    plat::POINT q = PositionToScreen(geo::Position_t(p.GetLatitude(), lon));
    q.x -= shiftPixels.cx;
    first[i] = q;
    second[i] = plat::POINT{q.x + globe.cx, q.y};
  }
}

}  // namespace map
