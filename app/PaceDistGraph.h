#pragma once
// The pace/distance graph of the lap and run pages: for each leg of a track
// (the stretch between two consecutive points) its pace (minutes per mile or
// kilometre) or speed (miles or kilometres per hour), drawn as a filled
// trapezoid over the distance covered. The kind follows the user setting
// "GraphType" (0 pace, otherwise speed), which the page's button toggles.
#include <string>
#include <vector>

#include "gdb/GDB_Track.h"
#include "mat/MAT_Units.h"
#include "plat/PLAT_Window.h"

namespace app {

class PaceDistGraphCtrl_t : public plat::Wnd_t {
 public:
  enum GraphType_t : int { Pace = 0, Speed = 1 };

  // The window class under which dialog templates place the graph.
  static constexpr const char* kClassName = "PACE_DIST_GRAPH_WND";

  // The kind from the "GraphType" setting; registers the window class.
  PaceDistGraphCtrl_t();

  // Registers the window class once per process.
  static void RegisterWindowClass();

  // The setting "GraphType" (0 when never stored).
  static GraphType_t StoredGraphType();

  // The track to draw (null or fewer than 3 points: the graph stays empty).
  // The track must outlive the graph or the next call.
  void SetTrack(const gdb::Track_t* track);

  // Switches between pace and speed, stores the choice at once and repaints.
  void ToggleGraphType();
  GraphType_t GetGraphType() const { return m_graphType; }

  // The largest leg value rounded, limited to 32 (pace) or 80 (speed) and
  // raised to the next multiple of 8 above it, at least 8.
  void ComputeYRange();

  // The pixel of a value at a distance (metres from the track's start).
  // glo::Assert_t unless total, x range and y range are above 0.
  plat::POINT PointFromValue(double value, double distance) const;

  // Paints the whole graph into the context (what a paint of the window draws).
  void Paint(plat::Dc_t& dc);
  // One trapezoid per leg down to the plot's bottom, from the end of the
  // previous leg to the end of this one, with the edge pen along its top
  // (except for the first leg). Needs the y range. Legs that start and end in
  // one pixel column are merged into the few vertical lines they leave
  // visible; what lies left of the plot is skipped, as the paint erases it.
  void DrawAreas(plat::Dc_t& dc);

  int GetYRange() const { return m_yRange; }
  int GetTotal() const { return m_total; }
  int GetXRange() const { return m_xRange; }
  int GetXStart() const { return m_xStart; }
  double GetXOffset() const { return m_xOffset; }
  const plat::RECT& GetPlotRect() const { return m_plot; }
  // Of the last paint: where the value labels went, from the lowest up, and
  // the distance labels (those that would have run into another are not
  // drawn), and whether both axis captions fitted their room uncut.
  const std::vector<plat::RECT>& GetValueLabels() const { return m_valueLabels; }
  const std::vector<plat::RECT>& GetDistanceLabels() const { return m_distanceLabels; }
  bool CaptionsFit() const { return m_captionsFit; }

 protected:
  void OnCreate() override;
  void OnSize(int clientWidth, int clientHeight) override;
  bool OnEraseBkgnd(plat::Dc_t& dc) override;
  void OnPaint(plat::Dc_t& dc) override;

 private:
  // Client and plot rectangles and the pixel offset of x start.
  void Layout();
  // A leg: its distance (metres) and time span (seconds), when it has one.
  struct Leg_t {
    double metres;
    double seconds;
    bool timed;
  };
  // The value of a leg; a leg without a time span counts as 0.
  double LegValue(const Leg_t& leg) const;

  GraphType_t m_graphType;
  mat::DistUnitsTypes_t m_units;
  const gdb::Track_t* m_track = nullptr;
  std::vector<Leg_t> m_legs;  // of the track, worked out once
  plat::RECT m_client{0, 0, 0, 0};
  plat::RECT m_plot{0, 0, 0, 0};
  plat::Font_t m_font;
  plat::Font_t m_verticalFont;
  int m_yRange = 0;
  int m_total = 0;
  int m_xRange = 0;
  int m_xStart = 0;
  double m_xOffset = 0.0;
  std::vector<plat::RECT> m_valueLabels;
  std::vector<plat::RECT> m_distanceLabels;
  bool m_captionsFit = true;
};

}  // namespace app
