#pragma once
// The map window's projector: plate carree with the horizontal scale stretched
// by 1 / cos(latitude of the centre), the stretch limited to that of latitude
// 75 degrees. The projection is linear in both axes (x grows east, y south);
// longitudes are brought into the one-turn window centred on the view before
// they are projected, and the meridian opposite the centre (the seam) splits
// boxes and polylines that cross it.
#include "map/MAP_Projector.h"

namespace map {

// The linear mapping derived from the view.
struct ViewTransform_t {
  double east = 0.0, north = 0.0, west = 0.0, south = 0.0;  // semicircles shown
  ScrnRect_t screen;                                        // client rectangle at the last recomputation
  double ax = 0.0, bx = 0.0;                                // x = ax * longitude + bx
  double ay = 0.0, by = 0.0;                                // y = ay * latitude + by
  double lonLow = 0.0, lonHigh = 0.0;                       // longitude window [low, high)
  double xLow = 0.0, xHigh = 0.0;                           // pixel range of one turn
};

class CosProjector_t : public AbstProjector_t {
 public:
  CosProjector_t(double scale, const geo::Position_t& center, const plat::RECT& clientRect,
                 std::int32_t detailBias);
  ~CosProjector_t() override = default;

  void SetScale(double scale) override;
  double GetScale() const override;
  double GetLongitudeScale() const override;
  int GetZoomBits() const override;
  int GetDetailBits() const override;
  void SetCenter(const geo::Position_t& center) override;
  geo::Position_t GetCenter() const override { return m_center; }
  geo::Box_t GetVisibleBox() const override;
  plat::POINT GetCenterPoint() const override { return PositionToScreen(m_center); }
  void SetClientRect(const plat::RECT& rect) override;
  plat::RECT GetClientRect() const override { return m_t.screen.ToRect(); }
  plat::SIZE GetEarthSize() const override { return m_earthSize; }
  plat::RECT GetEarthScreenRect() const override;
  std::int32_t PixelsToUnits(std::int32_t pixels) const override;
  geo::Position_t ScreenToPosition(const plat::POINT& point) const override;
  geo::Box_t ScreenRectToBox(const plat::RECT& rect) const override;
  geo::Circle_t PointToSearchArea(const plat::POINT& point, std::int32_t pixels) const override;
  plat::POINT PositionToScreen(const geo::Position_t& position) const override;
  std::vector<plat::RECT> BoxToScreenRects(const geo::Box_t& box) const override;
  void ClipPolylineToView(const std::vector<geo::Position_t>& positions, const geo::Box_t& box,
                          DoublePolylines_t& output) const override;
  plat::SIZE ExtentToPixels(const geo::Position_t& extent) const override;
  void SetDetailBias(std::int32_t bias) override { m_detailBias = bias; }
  std::int32_t GetDetailBias() const override { return m_detailBias; }
  bool TakeViewChanged() override;
  void Assign(const Projector_t& other) override;
  TrackDrawState_t GetDrawState() const override;
  std::int32_t& GetSeamLongitude() override { return m_seamLongitude; }

  const ViewTransform_t& GetTransform() const { return m_t; }

  // The forward projection without rounding or clamping.
  DoublePoint_t Project(const geo::Position_t& position) const {
    return DoublePoint_t(m_t.ax * UnwrapLongitude(position.GetLongitude()) + m_t.bx,
                         m_t.ay * position.GetLatitude() + m_t.by);
  }

 private:
  double UnwrapLongitude(std::int32_t longitude) const {
    double l = longitude;
    if (l >= m_t.lonHigh)
      l -= 4294967296.0;
    else if (l < m_t.lonLow)
      l += 4294967296.0;
    return l;
  }
  // A longitude span in pixels, rounded but not limited to 16 bits: the seam
  // copies need the true widths when the earth is wider than 65535 pixels.
  double SpanToPixels(std::uint32_t longitudeSpan) const;
  geo::Position_t Inverse(double x, double y) const;
  void Recompute();

  ViewTransform_t m_t;
  double m_scale;
  geo::Position_t m_center;
  ScrnRect_t m_clientRect;
  bool m_viewChanged = false;
  std::int32_t m_detailBias;
  std::int32_t m_seamLongitude = 0;
  plat::SIZE m_earthSize{0, 0};
};

}  // namespace map
