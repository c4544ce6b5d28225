#pragma once
// Routes: a drawable record made of route waypoints, each a waypoint key with
// the path that leads from it to the next one.
#include <cstdint>
#include <list>
#include <string>

#include "doc/DOC_InfoStream.h"
#include "gdb/GDB_Key.h"
#include "gdb/GDB_Path.h"
#include "gdi/GDI_MetaFile.h"
#include "geo/GEO_Box.h"
#include "glo/GLO_AutoPtr.h"
#include "map/MAP_Projector.h"
#include "plat/PLAT_Gdi.h"

namespace gdb {

class RouteWaypoint_t {
 public:
  RouteWaypoint_t() = default;
  RouteWaypoint_t(const WaypointId_t& waypoint, const Path_t& path) : m_waypoint(waypoint), m_path(path) {}
  RouteWaypoint_t(const RouteWaypoint_t&) = default;
  RouteWaypoint_t& operator=(const RouteWaypoint_t&) = default;
  virtual ~RouteWaypoint_t() = default;

  // The waypoint key, then the path.
  virtual void Write(doc::InfoStream_t& stream) const;
  // Reads key and path into a default route waypoint and takes both only when
  // both were read. Never throws.
  virtual void Read(doc::InfoStream_t& stream);

  const WaypointId_t& GetWaypoint() const { return m_waypoint; }
  const Path_t& GetPath() const { return m_path; }

 private:
  WaypointId_t m_waypoint;
  Path_t m_path;
};

// Base of the records that draw themselves. The cached-drawing fields mirror
// a track's drawing cache and are copied with the record; the route drawing
// does not use them.
class Drawing_t {
 public:
  Drawing_t();
  Drawing_t(const Drawing_t&) = default;
  Drawing_t& operator=(const Drawing_t&) = default;
  virtual ~Drawing_t() = default;

  virtual void Draw(plat::Dc_t& dc, const map::Projector_t& projector, bool highlighted) = 0;

 protected:
  std::uint8_t m_drawnState = 0;
  map::TrackDrawState_t m_drawnView;
  glo::SmartPtr_t<gdi::MetaFile_t> m_drawing;
};

class Route_t : public Drawing_t {
 public:
  using Waypoints_t = std::list<RouteWaypoint_t>;

  Route_t() = default;
  Route_t(const Route_t&) = default;
  Route_t& operator=(const Route_t&) = default;
  ~Route_t() override = default;

  // Draws every path's visible pieces: all of them with a wide pen (yellow
  // when highlighted, magenta otherwise), then all again with the thin pen.
  void Draw(plat::Dc_t& dc, const map::Projector_t& projector, bool highlighted) override;

  Waypoints_t& GetWaypoints() { return m_waypoints; }
  const Waypoints_t& GetWaypoints() const { return m_waypoints; }
  const geo::Box_t& GetBox() const { return m_box; }
  void SetBox(const geo::Box_t& box) { m_box = box; }
  const std::string& GetText() const { return m_text; }
  void SetText(const std::string& text) { m_text = text; }

 private:
  Waypoints_t m_waypoints;
  geo::Box_t m_box;
  std::string m_text;
};

// The process-wide pens of the route drawing: the thin pen (solid, one pixel,
// entry 0 of the selected palette) and the wide pens (solid, 7 pixels,
// magenta, or yellow for a highlighted route). Built on first use.
const plat::Pen_t& RoutePen();
const plat::Pen_t& RouteWidePen();
const plat::Pen_t& RouteHighlightPen();

}  // namespace gdb
