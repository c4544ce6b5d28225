#pragma once
// The elevation profile control: elevation over distance for a range of track
// points, with a cursor that reads out the distance and the elevation, zoom
// steps per axis, scroll state per axis, keys and the mouse wheel. What it
// draws is in ProfileDraw.cpp.
#include <functional>
#include <list>
#include <string>
#include <vector>

#include "app/GraphConversion.h"
#include "app/TrackStatistics.h"
#include "afx/AFX_WheelSupportWindow.h"
#include "gdb/GDB_Track.h"
#include "glo/GLO_Optional.h"
#include "map/MAP_LineSegment.h"
#include "plat/PLAT_ScrollBar.h"
#include "plat/PLAT_Window.h"

namespace app {

// Messages sent to the parent after a change of the horizontal and the
// vertical zoom.
enum : unsigned { kMsgProfileZoomX = 0x8006, kMsgProfileZoomY = 0x8007 };
// Scroll messages (code in the low word of wParam, position in the high word),
// those of the window's own bars; left and right name the horizontal bar's ends.
using plat::kWmHScroll;
using plat::kWmVScroll;
using plat::kSbThumbPosition;
using plat::kSbThumbTrack;
enum : unsigned {
  kSbLineLeft = plat::kSbLineUp,
  kSbLineRight = plat::kSbLineDown,
  kSbPageLeft = plat::kSbPageUp,
  kSbPageRight = plat::kSbPageDown,
};

// The track points inside the plot.
class ProfileMarkers_t : public std::vector<plat::POINT> {
 public:
  void AddUnmovedEnds(const map::LineSegment_t& segment, int clipResult);
  void Draw(plat::Dc_t& dc) const;
};

// The visible stretches of the outline.
class ProfilePolylines_t : public std::list<std::vector<plat::POINT>> {
 public:
  void AddClippedSegment(const map::LineSegment_t& clipped, int clipResult);
  void Draw(plat::Dc_t& dc) const;
};

// One run of consecutive points with elevation, closed on the baseline.
class ProfileArea_t {
 public:
  void Begin(const plat::RECT& clip);
  void AddSegment(const plat::POINT& p0, const plat::POINT& p1);
  void End() { m_open = false; }
  std::vector<plat::POINT> GetPointBuffer() const;
  void Draw(plat::Dc_t& dc) const;
  const std::vector<plat::POINT>& Points() const { return m_points; }
  const plat::RECT& Bounds() const { return m_bounds; }
  const plat::RECT& Clip() const { return m_clip; }
  bool IsOpen() const { return m_open; }

 private:
  std::vector<plat::POINT> m_points;
  plat::RECT m_clip{0, 0, 0, 0};
  plat::RECT m_bounds{0, 0, 0, 0};
  bool m_open = false;
};

// The lines in which a text is drawn within 'width' pixels ('measure' gives
// the width of a string) and at most 'maxLines' lines: the text whole on one
// line when it fits, else broken at blanks, each line as full as it can be.
// Where even that does not fit (more lines, or a word wider than a line), the
// last line keeps what fits of the rest and ends with an ellipsis (U+2026);
// it is left out when not even the ellipsis fits. 'whole': nothing was cut.
struct FittedText_t {
  std::vector<std::string> lines;
  bool whole = true;
};
FittedText_t FitTextLines(const std::string& text, int width, int maxLines,
                          const std::function<int(const std::string&)>& measure);

// A scroll bar's state: range, page, position and whether it is enabled.
struct ProfileScrollBar_t {
  int min = 0, max = 0, page = 0, pos = 0;
  bool enabled = false;
};

class TrkProfileGraphCtrl_t : public afx::WheelSupportWindow_t {
 public:
  static constexpr const char* kClassName = "VERT_TRK_PROFILE_WND";

  // The profile of the points [first, last) of the track, which must outlive
  // the control. The axes default to the user's units.
  TrkProfileGraphCtrl_t(const gdb::Track_t& track, const gdb::Track_t::Iterator_t& first,
                        const gdb::Track_t::Iterator_t& last, bool showMarkers,
                        const GraphAxes_t& axes = UserGraphAxes());

  static void RegisterWindowClass();

  // The window style the control is made with: a child with both scroll bars.
  static constexpr std::uint32_t kStyle = plat::kWsChild | plat::kWsVisible | plat::kWsHScroll | plat::kWsVScroll;

  // Plot = client less (30, 31, 12, 30); the readout line above it.
  void Layout();
  void UpdateScrollBars();
  const ProfileScrollBar_t& GetScrollBar(bool vertical) const { return vertical ? m_vbar : m_hbar; }

  // Scroll-bar actions (kSb*); codes above 5 change nothing.
  void OnHScroll(unsigned code, int position);
  void OnVScroll(unsigned code, int position);
  // Wheel amounts (metres) at a screen point; false when nothing scrolled.
  bool OnWheelScroll(int dx, int dy, plat::POINT screenPoint) override;
  // A key with kMkShift / kMkControl flags; false when not handled.
  bool HandleKey(unsigned virtualKey, unsigned flags);

  void ZoomX(int delta);
  void ZoomY(int delta);

  void TrackPoint(plat::POINT point);
  void SetCursorDistance(double x);
  void ClearCursor();
  glo::Optional_t<double> GetElevationAt(double x) const;
  double NextPointDistance(double x) const;
  double PrevPointDistance(double x) const;

  // Line and page sizes of the wheel and the bars: 5 % of the view's span
  // and the span, in metres.
  int GetHorzLineSize() override;
  int GetVertLineSize() override;
  int GetHorzPageSize() override;
  int GetVertPageSize() override;

  // Rebuilds the geometry when dirty; then paints the whole control.
  void UpdateGeometry();
  void BuildGeometry(std::size_t first, std::size_t last);
  void Paint(plat::Dc_t& dc);
  // The text above the plot: the cursor's distance and, where its column or
  // its row lies in the plot, its elevation; a hint without a cursor. It is
  // drawn in the readout rectangle as FitTextLines lays it out, in as many
  // lines of the font as the rectangle is high.
  std::string ReadoutText() const;
  void SetDirty() { m_dirty = true; }

  const TrkStatsTable_t& GetStatistics() const { return m_stats; }
  // Whether the last paint drew the readout text uncut and the axis captions
  // fitted.
  bool TextsFit() const { return m_textsFit; }
  PixelGraphConvertor_t& GetConvertor() { return m_conv; }
  const PixelGraphConvertor_t& GetConvertor() const { return m_conv; }
  const glo::Optional_t<double>& GetCursorDistance() const { return m_cursorDistance; }
  const glo::Optional_t<double>& GetCursorElevation() const { return m_cursorElevation; }
  const plat::RECT& GetReadoutRect() const { return m_readout; }
  const ProfileMarkers_t& GetMarkers() const { return m_markers; }
  const ProfilePolylines_t& GetPolylines() const { return m_polylines; }
  const std::vector<ProfileArea_t>& GetAreas() const { return m_areas; }
  bool IsTracking() const { return m_tracking; }
  bool IsDirty() const { return m_dirty; }

 protected:
  void OnCreate() override;
  void OnSize(int clientWidth, int clientHeight) override;
  bool OnEraseBkgnd(plat::Dc_t& dc) override;
  void OnPaint(plat::Dc_t& dc) override;
  bool OnLButtonDown(unsigned flags, plat::POINT point) override;
  bool OnMouseMove(unsigned flags, plat::POINT point) override;
  bool OnLButtonUp(unsigned flags, plat::POINT point) override;
  bool OnKeyDown(unsigned virtualKey, unsigned repeat, unsigned flags) override;
  void OnSetFocus() override;
  void OnKillFocus() override;
  bool OnMessage(unsigned message, plat::WPARAM wParam, plat::LPARAM lParam, plat::LRESULT& result) override;

 private:
  // After a vertical zoom step in: a view that leaves out some of the
  // profile's heights is centred on them.
  void KeepProfileInView(const GraphRect_t& before);
  void OnScroll(bool vertical, unsigned code, int position);
  void UpdateBarPosition(bool vertical);
  bool XScrollable() const;
  bool YScrollable() const;
  void ResetAfterZoom();
  void InvalidatePlot(bool erase);
  int CursorColumn() const;

  GraphAxes_t m_axes;
  bool m_showMarkers;
  plat::RECT m_client{0, 0, 0, 0};
  plat::RECT m_readout{0, 0, 0, 0};
  plat::Font_t m_font;
  plat::Font_t m_verticalFont;
  bool m_dirty = true;
  bool m_tracking = false;
  glo::Optional_t<double> m_cursorDistance;
  glo::Optional_t<double> m_cursorElevation;
  ProfileMarkers_t m_markers;
  ProfilePolylines_t m_polylines;
  std::vector<ProfileArea_t> m_areas;
  bool m_textsFit = true;
  TrkStatsTable_t m_stats;
  PixelGraphConvertor_t m_conv;
  std::size_t m_geometryStart = 0;
  int m_elevationSteps;
  int m_distanceSteps;
  bool m_focused = false;
  plat::Wnd_t* m_parent = nullptr;
  ProfileScrollBar_t m_hbar;
  ProfileScrollBar_t m_vbar;
};

}  // namespace app
