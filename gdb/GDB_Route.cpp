#include "gdb/GDB_Route.h"

#include <vector>

#include "gdi/GDI_BkModeSaver.h"
#include "gdi/GDI_ObjectSelector.h"
#include "gdi/GDI_SmartPointBuffer.h"
#include "glo/GLO_Exception.h"

namespace gdb {

namespace {

const plat::Pen_t& MakePen(plat::Pen_t& pen, int width, plat::COLORREF colour) {
  GLO_ASSERT(pen.CreatePen(plat::kPsSolid, width, colour));
  return pen;
}

}  // namespace

const plat::Pen_t& RoutePen() {
  static plat::Pen_t pen;
  static const plat::Pen_t& made = MakePen(pen, 1, plat::PaletteIndex(0));
  return made;
}

const plat::Pen_t& RouteWidePen() {
  static plat::Pen_t pen;
  static const plat::Pen_t& made = MakePen(pen, 7, 0xFF00FF);  // magenta
  return made;
}

const plat::Pen_t& RouteHighlightPen() {
  static plat::Pen_t pen;
  static const plat::Pen_t& made = MakePen(pen, 7, 0x00FFFF);  // yellow
  return made;
}

// ---------------------------------------------------------------------------
// Route waypoints

void RouteWaypoint_t::Write(doc::InfoStream_t& stream) const {
  m_waypoint.Write(stream);
  m_path.Write(stream);
}

void RouteWaypoint_t::Read(doc::InfoStream_t& stream) {
  bin::istream& in = stream.In();
  if (!in.good()) return;
  WaypointId_t waypoint;
  Path_t path;
  waypoint.Read(stream);
  if (in.good()) path.Read(stream);
  if (!in.good()) return;
  m_waypoint = waypoint;
  m_path = path;
}

// ---------------------------------------------------------------------------
// Routes

Drawing_t::Drawing_t()
    : m_drawnView(2147483648.0, geo::Position_t(0, 0), plat::RECT{0, 0, 0, 0}) {}

void Route_t::Draw(plat::Dc_t& dc, const map::Projector_t& projector, bool highlighted) {
  gdi::BkModeSaver_t bkSaver(dc);
  dc.SetBkColor(0xFFFFFF);
  dc.SetBkMode(plat::kOpaque);

  std::vector<gdi::SmartPointBuffer_t> buffers;
  for (const RouteWaypoint_t& waypoint : m_waypoints) {
    const Path_t& path = waypoint.GetPath();
    map::DoublePolylines_t runs;
    projector.ClipPolylineToView(path.GetPoints(), path.GetBox(), runs);
    for (const map::DoublePolyline_t& run : runs) {
      gdi::SmartPointBuffer_t buffer(run.size());
      for (std::size_t i = 0; i < run.size(); ++i) buffer[i] = gdi::RoundToPoint(run[i].x, run[i].y);
      buffers.push_back(std::move(buffer));
    }
  }
  if (buffers.empty()) return;

  gdi::ObjectSelector_t selector(dc, highlighted ? RouteHighlightPen() : RouteWidePen());
  for (const auto& buffer : buffers) dc.Polyline(buffer.GetPoints(), static_cast<int>(buffer.GetCount()));
  selector.Select(RoutePen());
  for (const auto& buffer : buffers) dc.Polyline(buffer.GetPoints(), static_cast<int>(buffer.GetCount()));
}

}  // namespace gdb
