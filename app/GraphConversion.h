#pragma once
// The value-to-pixel mapping of the elevation profile, with its zoom steps and
// scroll state. x is the distance along the track and y the elevation, both
// in metres. Three rectangles: the data (everything there is), the view (the
// part shown) and the pixel rectangle (the plot area of the window). Each
// axis's view span is one of the zoom steps of the user's unit.
#include "glo/GLO_Optional.h"
#include "map/MAP_UnitsZoomScaleTable.h"
#include "mat/MAT_UnitConverter.h"
#include "plat/PLAT_Gdi.h"

namespace app {

// A rectangle in data units; every pair is (y, x).
struct GraphRect_t {
  double ymin = 0.0, xmin = 0.0;
  double ymax = 0.0, xmax = 0.0;
  double cy = 0.0, cx = 0.0;
  double yspan = 0.0, xspan = 0.0;

  GraphRect_t() = default;
  GraphRect_t(double ymin, double ymax, double xmin, double xmax);
  // Moves the centre there, keeping the spans.
  void SetCentre(double cy, double cx);
  void MoveBy(double dy, double dx) { SetCentre(cy + dy, cx + dx); }
};

// The zoom steps and the unit entry of each axis.
struct GraphAxes_t {
  const map::UnitsZoomScale_t* ySteps;
  const mat::UnitConverter_t* yUnit;
  const map::UnitsZoomScale_t* xSteps;
  const mat::UnitConverter_t* xUnit;
};

// The user's elevation unit for y and distance unit system for x (the unit
// settings); glo::OutOfRange_t for a unit without zoom steps.
GraphAxes_t UserGraphAxes();

class PixelGraphConvertor_t {
 public:
  // Data = (min(lowest, 0), highest, first distance, last distance); the view
  // fitted to it (FitToData); not valid until a pixel rectangle is set.
  PixelGraphConvertor_t(double lowest, double highest, double firstDistance, double lastDistance,
                        const GraphAxes_t& axes = UserGraphAxes());

  // Sets the plot area, makes the convertor valid and recomputes the scales.
  void SetPixelRect(const plat::RECT& rect);
  // glo::Assert_t while not valid.
  const plat::RECT& GetPixelRect() const;
  bool IsValid() const { return m_valid; }

  // Rounded half away from zero; glo::Assert_t while not valid.
  int XToPixel(double x) const;
  int YToPixel(double y) const;
  double PixelToX(int column) const;
  void UpdateScale();

  // 100 x the step of index i (index count - 1 is the smallest step) in
  // metres; glo::OutOfRange_t outside [0, count).
  static double ZoomExtent(const map::UnitsZoomScale_t& steps, const mat::UnitConverter_t& unit, int index);

  // Each axis at the smallest step that covers its data (the largest when
  // none does), the view starting at the data's minimum.
  void FitToData();
  void SetZoom(int xIndex, int yIndex);
  void SetViewSpans(double yspan, double xspan);

  // Moves the view, stopping at the data's edges.
  void ScrollX(double dx);
  // A positive amount lowers the view.
  void ScrollY(double dy);
  void ScrollXTo(double position);
  void ScrollYTo(double position);
  // Scroll-bar positions (0 when the view spans the whole data of the axis).
  int GetHorzScrollPos() const;
  int GetVertScrollPos() const;

  void SetHorzRange(double v) { m_horzRange = v; }
  void SetHorzMin(double v) { m_horzMin = v; }
  void SetVertRange(double v) { m_vertRange = v; }
  void SetVertMin(double v) { m_vertMin = v; }
  // glo::Assert_t when unset.
  double GetHorzRange() const { return m_horzRange.Value(); }
  double GetHorzMin() const { return m_horzMin.Value(); }
  double GetVertRange() const { return m_vertRange.Value(); }
  double GetVertMin() const { return m_vertMin.Value(); }

  // The data rectangle in pixels intersected with the pixel rectangle; false
  // when that is empty.
  bool GetDataPixelRect(plat::RECT& rect) const;

  const GraphRect_t& GetData() const { return m_data; }
  const GraphRect_t& GetView() const { return m_view; }
  int GetXZoomIndex() const { return m_xZoom; }
  int GetYZoomIndex() const { return m_yZoom; }
  int GetXStepCount() const { return m_axes.xSteps->GetCount(); }
  int GetYStepCount() const { return m_axes.ySteps->GetCount(); }
  double GetXScale() const { return m_xScale; }
  double GetYScale() const { return m_yScale; }

 private:
  GraphAxes_t m_axes;
  GraphRect_t m_data;
  GraphRect_t m_view;
  plat::RECT m_pixel{0, 0, 0, 0};
  int m_xZoom = 0;
  int m_yZoom = 0;
  double m_yScale = 0.0;
  double m_xScale = 0.0;
  bool m_valid = false;
  glo::Optional_t<double> m_horzRange, m_horzMin, m_vertRange, m_vertMin;
};

}  // namespace app
