#pragma once
// The conversion between positions and the pixels of a window's client area,
// and the view state of a map window (scale, centre, client rectangle). Every
// position reaches the screen through a projector.
#include <cstdint>
#include <vector>

#include "geo/GEO_Box.h"
#include "geo/GEO_Circle.h"
#include "geo/GEO_Position.h"
#include "map/MAP_ScrnRect.h"
#include "plat/PLAT_Gdi.h"

namespace map {

class Polyline_t;

// The projector state with which a cached drawing was made.
class TrackDrawState_t {
 public:
  TrackDrawState_t() : m_scale(0.0) {}
  // The rectangle goes through ScrnRect_t (left <= right, top <= bottom asserted).
  TrackDrawState_t(double scale, const geo::Position_t& center, const plat::RECT& clientRect)
      : m_scale(scale), m_center(center), m_clientRect(clientRect) {}

  double GetScale() const { return m_scale; }
  const geo::Position_t& GetCenter() const { return m_center; }
  const ScrnRect_t& GetClientRect() const { return m_clientRect; }

  friend bool operator==(const TrackDrawState_t& a, const TrackDrawState_t& b) {
    return a.m_scale == b.m_scale && a.m_center == b.m_center && a.m_clientRect == b.m_clientRect;
  }
  friend bool operator!=(const TrackDrawState_t& a, const TrackDrawState_t& b) { return !(a == b); }

 private:
  double m_scale;
  geo::Position_t m_center;
  ScrnRect_t m_clientRect;
};

class Projector_t {
 public:
  virtual ~Projector_t() = default;

  // Semicircles of latitude per pixel (the vertical scale).
  virtual void SetScale(double scale) = 0;
  virtual double GetScale() const = 0;
  // Semicircles of longitude per pixel (the horizontal scale).
  virtual double GetLongitudeScale() const = 0;
  virtual int GetZoomBits() const = 0;
  virtual int GetDetailBits() const = 0;
  virtual void SetCenter(const geo::Position_t& center) = 0;
  virtual geo::Position_t GetCenter() const = 0;
  // May cross the 180-degree meridian (west > east).
  virtual geo::Box_t GetVisibleBox() const = 0;
  virtual plat::POINT GetCenterPoint() const = 0;
  virtual void SetClientRect(const plat::RECT& rect) = 0;
  virtual plat::RECT GetClientRect() const = 0;
  // Pixel width and height of the whole earth (each at most 65535).
  virtual plat::SIZE GetEarthSize() const = 0;
  // The part of the client area the earth covers.
  virtual plat::RECT GetEarthScreenRect() const = 0;
  virtual std::int32_t PixelsToUnits(std::int32_t pixels) const = 0;
  virtual geo::Position_t ScreenToPosition(const plat::POINT& point) const = 0;
  virtual geo::Box_t ScreenRectToBox(const plat::RECT& rect) const = 0;
  virtual geo::Circle_t PointToSearchArea(const plat::POINT& point, std::int32_t pixels) const = 0;
  // Clamped to [-8192, 8191].
  virtual plat::POINT PositionToScreen(const geo::Position_t& position) const = 0;
  virtual std::vector<plat::RECT> BoxToScreenRects(const geo::Box_t& box) const = 0;
  // Appends the visible pieces of the projected polyline (pixels as doubles).
  virtual void ClipPolylineToView(const std::vector<geo::Position_t>& positions, const geo::Box_t& box,
                                  DoublePolylines_t& output) const = 0;
  // An extent (latitude span, longitude span, both read unsigned) in pixels,
  // each at most 65535.
  virtual plat::SIZE ExtentToPixels(const geo::Position_t& extent) const = 0;
  virtual void SetDetailBias(std::int32_t bias) = 0;
  virtual std::int32_t GetDetailBias() const = 0;
  // The view-changed flag, cleared by the call.
  virtual bool TakeViewChanged() = 0;
  virtual void Assign(const Projector_t& other) = 0;
  virtual TrackDrawState_t GetDrawState() const = 0;
  // The meridian opposite the centre.
  virtual std::int32_t& GetSeamLongitude() = 0;

  // Other names the map window uses for the same values. GetScaleY is the
  // vertical scale, the same as GetScale; the horizontal scale, which grows
  // with the latitude of the centre, is GetLongitudeScale.
  plat::SIZE GetGlobeSize() const { return GetEarthSize(); }
  plat::RECT GetGlobeRect() const { return GetEarthScreenRect(); }
  double GetScaleY() const { return GetScale(); }

  // Feature projection (map/MAP_Polyline.cpp). Whether a box touches or
  // crosses the seam (both edges count; an empty box never does).
  bool TouchesSeam(const geo::Box_t& box);
  // Projects a feature, given by its bounding box and its points, into one
  // part; or, when its box touches the seam, into two parts one turn of
  // longitude apart, so that it is drawn on both sides of the seam.
  void ProjectFeature(const geo::Box_t& box, const std::vector<geo::Position_t>& points, Polyline_t& out);
};

class AbstProjector_t : public Projector_t {};

}  // namespace map
