#pragma once
// The tide graph: the predicted height at one station over one or more days,
// drawn as one-column bars standing on the zero line (blue above it, green
// below) over a grid of height values, with a time axis below the plot. A click
// or drag in the plot puts a red cursor line on a time and shows the time and
// the height there above the plot. The horizontal scroll bar and the wheel move
// the shown period within the limits the owner sets; after every move the graph
// posts WM_COMMAND kTideGraphScrolled to its parent.
//
// Heights are shown in the user's depth unit, times by MAP_TideSettings.h.
// Scales, bars, converter and ticks are computed on the first paint after new
// data, not on every paint.
#include <memory>
#include <string>
#include <vector>

#include "afx/AFX_WheelSupportWindow.h"
#include "glo/GLO_Optional.h"
#include "glo/GLO_Time.h"
#include "map/MAP_TideResults.h"
#include "map/MAP_TideSettings.h"
#include "plat/PLAT_Gdi.h"
#include "plat/PLAT_ScrollBar.h"

namespace map {

// The command the graph posts to its parent after every scroll.
enum : unsigned { kTideGraphScrolled = 0x8008 };

// The height axis: step, top and bottom value of a range of heights (in the
// depth unit) over a number of label rows. At least one row counts, and a range
// without extent (all heights zero) still spans one step.
struct TideHeightScale_t {
  double step = 0.1;
  double top = 0.0;
  double bottom = 0.0;
};
TideHeightScale_t ScaleTideHeights(double minimum, double maximum, int rows);

class TideGraphCtrl_t : public afx::WheelSupportWindow_t {
 public:
  static constexpr const char* kClassName = "TIDE_GRAPH_WND";
  // The style of a graph made by Create: a child with the horizontal bar.
  static constexpr std::uint32_t kStyle = plat::kWsChild | plat::kWsVisible | plat::kWsHScroll | plat::kWsTabStop;

  // Registers the window class when it is not yet registered.
  TideGraphCtrl_t();
  ~TideGraphCtrl_t() override;
  static void RegisterWindowClass();

  // Reads the client rectangle, sets the plot and makes the fonts. Runs when
  // the window is made; a dialog calls it after taking a template control over.
  void Initialise();

  // Shows 'days' days from 'start' (1 or 7 from the tide dialog); the start may
  // later be moved between the earliest and the latest start. Times are shown
  // with (useOffset, utcOffset) and the tide settings. Predicts at once.
  void SetData(const mpl::TideStation_t* station, const glo::Time_t& start, const glo::Time_t& earliest,
               const glo::Time_t& latest, int days, const glo::TimeSpan_t& utcOffset, bool useOffset);

  // Moves the shown period; outside the limits tells the user (string 6128)
  // and shows the period from the nearer limit. Then notifies the parent.
  void ScrollBy(const glo::TimeSpan_t& span);
  void ShowFrom(const glo::Time_t& time);
  void ShowRangeMessage();

  // Scroll-bar actions (kSb*); thumb tracking and the others do nothing.
  void OnHScroll(unsigned code, int position);

  int GetHorzLineSize() override { return m_spanHours / 20; }
  int GetHorzPageSize() override { return m_spanHours; }
  bool OnWheelScroll(int dx, int dy, plat::POINT screenPoint) override;

  // Draws the whole graph (the layout first when stale) into the context.
  void Paint(plat::Dc_t& dc);

  const TideStats_t& GetStats() const { return m_stats; }
  const std::string& GetCursorText() const { return m_cursorText; }
  const glo::Time_t& GetCursorTime() const { return m_cursorTime; }
  const plat::RECT& GetPlotRect() const { return m_plot; }
  const std::vector<plat::RECT>& GetBars() const { return m_bars; }
  double GetTopValue() const { return m_topValue; }
  double GetBottomValue() const { return m_bottomValue; }
  double GetValueStep() const { return m_valueStep; }
  int GetZeroRow() const { return m_zeroRow; }
  int GetTickCount() const { return m_tickCount; }
  const glo::TimeSpan_t& GetTickInterval() const { return m_tickInterval; }
  const glo::Time_t& GetFirstTick() const { return m_firstTick; }
  const std::string& GetTickPicture() const { return m_tickPicture; }
  const PixelTimeCnvrt_t* GetConverter() const { return m_converter.get(); }
  bool IsWeekView() const { return m_weekView; }
  bool IsTracking() const { return m_tracking; }
  bool IsLayoutStale() const { return m_layoutStale; }
  bool HasData() const { return m_hasData; }
  // How many layouts and predictions the graph has made.
  unsigned GetLayoutCount() const { return m_layoutCount; }
  unsigned GetPredictionCount() const { return m_predictionCount; }
  // The tick labels and their columns of the last paint.
  const std::vector<std::pair<int, std::string>>& GetTickLabels() const { return m_tickLabels; }

 protected:
  void OnCreate() override;
  void OnSize(int clientWidth, int clientHeight) override;
  bool OnEraseBkgnd(plat::Dc_t& dc) override;
  void OnPaint(plat::Dc_t& dc) override;
  bool OnLButtonDown(unsigned flags, plat::POINT point) override;
  bool OnMouseMove(unsigned flags, plat::POINT point) override;
  bool OnLButtonUp(unsigned flags, plat::POINT point) override;
  void OnSetFocus() override;
  void OnKillFocus() override;
  bool OnMessage(unsigned message, plat::WPARAM wParam, plat::LPARAM lParam, plat::LRESULT& result) override;

 private:
  void SetPlotRect();
  void PrepareLayout(plat::Dc_t& dc);
  void PrepareLayout();
  void ScaleHeightAxis(plat::Dc_t& dc);
  void BuildBars();
  void SetTimeTicks();
  glo::TimeSpan_t GetFirstTickOffset() const;
  double RowOf(double value) const;
  void SetCursor(plat::POINT point);
  void UpdateCursorText();
  void Notify();

  TideStats_t m_stats;
  bool m_weekView = false;
  std::string m_cursorText;
  bool m_tracking = false;
  glo::Time_t m_cursorTime;
  bool m_layoutStale = true;
  double m_topValue = 0.0, m_bottomValue = 0.0;
  glo::Optional_t<glo::Time_t> m_earliest, m_latest;
  glo::TimeSpan_t m_utcOffset;
  bool m_useOffset = false;
  double m_valueRange = 0.0;
  plat::RECT m_plot{0, 0, 0, 0};
  plat::RECT m_client{0, 0, 0, 0};
  int m_zeroRow = 0;
  std::vector<plat::RECT> m_bars;
  double m_rowsPerUnit = 0.0;
  double m_valueStep = 0.1;
  std::unique_ptr<PixelTimeCnvrt_t> m_converter;
  int m_tickCount = 0;
  glo::TimeSpan_t m_tickInterval;
  glo::Time_t m_firstTick;
  std::string m_tickPicture;
  plat::Font_t m_axisFont, m_titleFont;
  bool m_hasData = false;
  int m_spanHours = 0;
  bool m_focused = false;
  unsigned m_layoutCount = 0;
  unsigned m_predictionCount = 0;
  std::vector<std::pair<int, std::string>> m_tickLabels;
};

}  // namespace map
