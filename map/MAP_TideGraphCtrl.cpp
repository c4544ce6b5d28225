#include "map/MAP_TideGraphCtrl.h"

#include <algorithm>
#include <cmath>

#include "gdi/GDI_GraphDraw.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "map/MAP_Registry.h"
#include "mat/MAT_DepthUnits.h"
#include "mat/MAT_UnitConverter.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_MessageBox.h"

namespace map {

namespace {

// The drawing objects of every tide graph.
struct GraphObjects_t {
  GraphObjects_t() {
    GLO_ASSERT(black.CreatePen(plat::kPsSolid, 1, plat::Rgb(0, 0, 0)));
    GLO_ASSERT(bluePen.CreatePen(plat::kPsSolid, 1, kBlue));
    GLO_ASSERT(greenPen.CreatePen(plat::kPsSolid, 1, kGreen));
    GLO_ASSERT(red.CreatePen(plat::kPsSolid, 1, plat::Rgb(255, 0, 0)));
    GLO_ASSERT(white.CreateSolidBrush(plat::Rgb(255, 255, 255)));
    GLO_ASSERT(blueBrush.CreateSolidBrush(kBlue));
    GLO_ASSERT(greenBrush.CreateSolidBrush(kGreen));
  }
  static constexpr plat::COLORREF kBlue = plat::Rgb(0, 0, 170);
  static constexpr plat::COLORREF kGreen = plat::Rgb(0, 127, 0);
  plat::Pen_t black, bluePen, greenPen, red;
  plat::Brush_t white, blueBrush, greenBrush;
};

const GraphObjects_t& Objects() {
  static const GraphObjects_t objects;
  return objects;
}

const mat::UnitConverter_t& DepthUnit() { return GetDepthConverter(); }

double ToDepthUnit(double metres) { return DepthUnit().Conversion().BaseToSmall(metres); }

plat::SIZE TextSize(plat::Dc_t& dc, const std::string& text) {
  plat::SIZE size{0, 0};
  GLO_ASSERT(dc.GetTextExtentPoint32(text, size));
  return size;
}

std::string Fixed(double value, int decimals) { return mat::FormatNumber(value, true, decimals, decimals); }

double RoundTo(double value, double unit) { return std::round(value / unit) * unit; }

// The plot's distance from each side of the client area: room for the height
// labels and title on the left, the cursor text above and the time axis below.
constexpr int kPlotLeft = 61, kPlotTop = 31, kPlotRight = 8, kPlotBottom = 59;

}  // namespace

TideHeightScale_t ScaleTideHeights(double minimum, double maximum, int rows) {
  rows = std::max(1, rows);
  const double raw = (maximum - minimum) / rows;
  TideHeightScale_t s;
  s.step = 0.1;
  for (double decade = 0.1; s.step < raw; decade *= 10.0) {
    for (double m : {2.0, 5.0, 10.0}) {
      s.step = decade * m;
      if (s.step >= raw) break;
    }
  }
  constexpr double kSlack = 1e-9;
  s.top = maximum <= 0.0 ? 0.0 : std::max(1.0, std::ceil(maximum / s.step - kSlack)) * s.step;
  s.bottom = minimum >= 0.0 ? 0.0 : -std::max(1.0, std::ceil(-minimum / s.step - kSlack)) * s.step;
  // Heights that are all zero still get one step of range.
  if (s.top <= s.bottom) s.top = s.bottom + s.step;
  return s;
}

TideGraphCtrl_t::TideGraphCtrl_t() { RegisterWindowClass(); }

TideGraphCtrl_t::~TideGraphCtrl_t() = default;

void TideGraphCtrl_t::RegisterWindowClass() {
  // A template's control of this class is a plain window that the dialog's
  // member takes over.
  static const bool registered = [] {
    if (plat::IsWindowClassRegistered(kClassName)) return true;
    return plat::RegisterWindowClass(kClassName, [] { return std::make_unique<plat::Wnd_t>(); });
  }();
  GLO_ASSERT(registered);
}

void TideGraphCtrl_t::OnCreate() { Initialise(); }

void TideGraphCtrl_t::Initialise() {
  SetPlotRect();
  plat::LOGFONTA lf = GetRegistry().MapFont();
  lf.lfHeight = (m_client.left + kPlotLeft) / 4;  // the same however small the plot
  m_axisFont.DeleteObject();
  m_titleFont.DeleteObject();
  GLO_ASSERT(m_axisFont.CreateFontIndirect(lf));
  lf.lfEscapement = 900;
  lf.lfOrientation = 900;
  GLO_ASSERT(m_titleFont.CreateFontIndirect(lf));
}

void TideGraphCtrl_t::SetPlotRect() {
  m_client = GetClientRect();
  // A client too small for the margins gets a plot of no width or no height
  // inside it rather than one turned inside out, so that no bar leaves the
  // canvas and no curve is drawn upside down. Such a plot still predicts one
  // sample an hour (SetData) and scales heights over one label row.
  const int left = std::min(m_client.left + kPlotLeft, m_client.right);
  const int top = std::min(m_client.top + kPlotTop, m_client.bottom);
  m_plot = plat::RECT{left, top, std::max(m_client.right - kPlotRight, left),
                      std::max(m_client.bottom - kPlotBottom, top)};
}

void TideGraphCtrl_t::SetData(const mpl::TideStation_t* station, const glo::Time_t& start,
                              const glo::Time_t& earliest, const glo::Time_t& latest, int days,
                              const glo::TimeSpan_t& utcOffset, bool useOffset) {
  GLO_ASSERT(days > 0);
  m_weekView = days == 7;
  m_cursorText.clear();
  m_spanHours = days * 24;
  m_tracking = false;
  m_utcOffset = utcOffset;
  m_useOffset = useOffset;
  plat::SCROLLINFO info;
  info.fMask = plat::kSifRange | plat::kSifPos;
  info.nMin = -(m_spanHours / 2);
  info.nMax = m_spanHours / 2;
  info.nPos = 0;
  SetScrollInfo(plat::kSbHorz, info, true);
  SetPlotRect();  // the bar takes its height off the client area once it shows
  m_earliest = earliest;
  m_latest = latest;
  // About one sample a column, and at least one an hour however narrow the plot.
  const int samplesPerHour = std::max(1, (m_plot.right - m_plot.left) / m_spanHours);
  ++m_predictionCount;
  m_stats.Compute(station, start, days, samplesPerHour);
  m_layoutStale = true;
  m_hasData = true;
  Invalidate(false);
}

double TideGraphCtrl_t::RowOf(double value) const { return m_plot.top + (m_topValue - value) * m_rowsPerUnit; }

void TideGraphCtrl_t::ScaleHeightAxis(plat::Dc_t& dc) {
  const int plotHeight = m_plot.bottom - m_plot.top;
  const double rowHeight = 1.5 * std::max(1, TextSize(dc, "0.0").cy);
  const int rows = static_cast<int>(plotHeight / rowHeight);
  double minimum = 0.0, maximum = 0.0;
  for (const mpl::TideEvent_t& e : m_stats.GetEvents()) {
    const double v = ToDepthUnit(e.height);
    minimum = std::min(minimum, v);
    maximum = std::max(maximum, v);
  }
  for (const mpl::TideSample_t& s : m_stats.GetSamples()) {
    const double v = ToDepthUnit(s.height);
    minimum = std::min(minimum, v);
    maximum = std::max(maximum, v);
  }
  const TideHeightScale_t scale = ScaleTideHeights(minimum, maximum, rows);
  m_valueStep = scale.step;
  m_topValue = scale.top;
  m_bottomValue = scale.bottom;
  m_valueRange = m_topValue - m_bottomValue;
  m_rowsPerUnit = plotHeight / m_valueRange;
  m_zeroRow = RoundHalfAway(m_rowsPerUnit * m_topValue + m_plot.top);
}

void TideGraphCtrl_t::BuildBars() {
  m_bars.clear();
  const std::vector<mpl::TideSample_t>& samples = m_stats.GetSamples();
  if (samples.empty()) return;
  const double columnStep = static_cast<double>(m_plot.right - m_plot.left) / static_cast<double>(samples.size());
  double x = m_plot.left;
  int left = m_plot.left;
  m_bars.reserve(samples.size());
  for (const mpl::TideSample_t& s : samples) {
    const int top = RoundHalfAway(RowOf(ToDepthUnit(s.height)));
    x += columnStep;
    const int right = RoundHalfAway(x);
    m_bars.push_back(plat::RECT{left, top, right, m_zeroRow});
    left = right;
  }
}

glo::TimeSpan_t TideGraphCtrl_t::GetFirstTickOffset() const {
  const std::tm fields = DisplayFields(m_useOffset, m_stats.GetSamples().front().time.Time(), m_utcOffset);
  const int intervalHours = static_cast<int>(m_tickInterval.GetSeconds() / 3600.0);
  GLO_ASSERT(intervalHours >= 1);
  int hour = fields.tm_hour;
  int minutesToGo = 0;
  if (fields.tm_min != 0) {
    hour += 1;
    minutesToGo = 60 - fields.tm_min;
  }
  const int target = (hour + intervalHours - 1) / intervalHours * intervalHours;
  return glo::TimeSpan_t(((target - hour) * 60.0 + minutesToGo) * 60.0);
}

void TideGraphCtrl_t::SetTimeTicks() {
  const std::vector<mpl::TideSample_t>& samples = m_stats.GetSamples();
  const int days = m_stats.GetDays();
  m_tickCount = m_weekView ? days * 2 : days * 24;
  m_tickInterval = glo::TimeSpan_t(
      glo::Difference(samples.back().time.Time(), samples.front().time.Time()).GetSeconds() / m_tickCount);
  m_firstTick = samples.front().time.Time() + GetFirstTickOffset();
}

void TideGraphCtrl_t::PrepareLayout(plat::Dc_t& dc) {
  GLO_ASSERT(m_hasData);
  const std::vector<mpl::TideSample_t>& samples = m_stats.GetSamples();
  GLO_ASSERT(!samples.empty());
  ScaleHeightAxis(dc);
  BuildBars();
  m_converter = std::make_unique<PixelTimeCnvrt_t>(samples.front().time.Time(), samples.back().time.Time(),
                                                   m_plot.left, std::max(1, static_cast<int>(m_plot.right - m_plot.left)));
  SetTimeTicks();
  if (m_weekView) {
    m_tickPicture = BuildDayMonthFormat();
  } else {
    const TimeFormatInfo_t info = GetTimeFormatInfo();
    m_tickPicture = info.twelveHour ? "%#I%p" : "%H" + info.separator + "00";
  }
  m_layoutStale = false;
  ++m_layoutCount;
}

void TideGraphCtrl_t::PrepareLayout() {
  plat::Dc_t dc;
  GLO_ASSERT(dc.CreateCompatibleDC(nullptr));
  GLO_ASSERT(!dc.SelectObject(m_axisFont).IsNull());
  PrepareLayout(dc);
}

bool TideGraphCtrl_t::OnEraseBkgnd(plat::Dc_t&) { return true; }

void TideGraphCtrl_t::OnPaint(plat::Dc_t& dc) {
  gdi::PaintBuffered(dc, m_client.right, m_client.bottom, [this](plat::Dc_t& memory) { Paint(memory); });
}

void TideGraphCtrl_t::Paint(plat::Dc_t& dc) {
  GLO_ASSERT(m_hasData);
  const GraphObjects_t& o = Objects();
  dc.SelectObject(m_axisFont);
  if (m_layoutStale) PrepareLayout(dc);
  dc.FillSolidRect(m_client, plat::Rgb(255, 255, 255));
  dc.SelectClipRgn(plat::GdiHandle_t());
  dc.IntersectClipRect(m_client.left, m_client.top, m_client.right, m_client.bottom);
  dc.SelectObject(o.black);
  dc.SelectObject(o.white);
  dc.SetBkMode(plat::kTransparent);
  dc.SetTextColor(plat::Rgb(0, 0, 0));
  plat::LOGFONTA lf{};
  GLO_ASSERT(plat::GetLogFont(m_axisFont.GetSafeHandle(), lf));
  const int h = lf.lfHeight;
  const int textHeight = TextSize(dc, "0.0").cy;

  // Height grid and its labels.
  const int labelRight = m_plot.left - 10 - h / 4;
  dc.SetTextAlign(plat::kTaRight | plat::kTaTop);
  for (double v = m_topValue; v >= m_bottomValue - m_valueStep * 1e-6; v -= m_valueStep) {
    v = RoundTo(v, 0.1);
    const int row = RoundHalfAway(RowOf(v));
    dc.MoveTo(m_plot.left - 10, row);
    dc.LineTo(m_plot.right, row);
    dc.TextOut(labelRight, row - textHeight / 2, Fixed(v, 1));
  }

  // The plot's sides.
  dc.MoveTo(m_plot.left, m_plot.bottom);
  dc.LineTo(m_plot.left, m_plot.top);
  dc.MoveTo(m_plot.right, m_plot.top);
  dc.LineTo(m_plot.right, m_plot.bottom);

  // Time axis: long labelled ticks and short ones in turn.
  m_tickLabels.clear();
  bool labelled = true;
  if (m_weekView) labelled = DisplayFields(m_useOffset, m_firstTick, m_utcOffset).tm_hour != 12;
  dc.SetTextAlign(plat::kTaCenter | plat::kTaTop);
  glo::Time_t t = m_firstTick;
  for (int i = 0; i < m_tickCount; ++i) {
    if (i > 0) t += m_tickInterval;
    const int x = m_converter->TimeToPixel(t);
    if (labelled) {
      const std::string label = FormatTidePicture(m_tickPicture, DisplayFields(m_useOffset, t, m_utcOffset));
      dc.TextOut(x, m_plot.bottom + 14 + h / 3, label);
      m_tickLabels.emplace_back(x, label);
      dc.MoveTo(x, m_plot.bottom);
      dc.LineTo(x, m_plot.bottom + 14);
    } else {
      dc.MoveTo(x, m_plot.bottom);
      dc.LineTo(x, m_plot.bottom + 7);
    }
    labelled = !labelled;
  }

  // The curve.
  GLO_ASSERT(!m_bars.empty());
  for (const plat::RECT& bar : m_bars) {
    const bool below = bar.top > m_zeroRow;
    dc.SelectObject(below ? o.greenPen : o.bluePen);
    dc.SelectObject(below ? o.greenBrush : o.blueBrush);
    dc.Rectangle(bar.left, std::min(bar.top, bar.bottom), bar.right, std::max(bar.top, bar.bottom));
  }

  // The cursor.
  if (!m_cursorText.empty()) {
    const int x = m_converter->TimeToPixel(m_cursorTime);
    dc.SelectObject(o.red);
    dc.MoveTo(x, m_plot.top);
    dc.LineTo(x, m_plot.bottom);
  }
  dc.SelectStockObject(plat::kBlackPen);
  gdi::DrawCentredText(dc, plat::RECT{m_plot.left, m_client.top, m_plot.right, m_plot.top}, m_cursorText);

  // Axis titles.
  static const glo::StringResource_t weekTitle(6129, GLO_SRC), dayTitle(6130, GLO_SRC);
  gdi::DrawCentredText(dc,
                       plat::RECT{m_plot.left, m_plot.bottom + h / 3 + textHeight + 14, m_plot.right, m_client.bottom},
                       m_weekView ? weekTitle.Text() : dayTitle.Text());
  dc.SelectObject(m_titleFont);
  const std::string heightTitle = glo::StringResource_t(6131, GLO_SRC)
                                      .Format(mat::DepthUnitsName(GetRegistry().DepthUnits.Value()), GLO_SRC);
  const int width = TextSize(dc, heightTitle).cx;
  dc.SetTextAlign(plat::kTaLeft | plat::kTaTop);
  dc.TextOut((m_plot.left - m_client.left) / 8, m_plot.top + (m_plot.bottom - m_plot.top + width) / 2, heightTitle);
  dc.SelectObject(m_axisFont);

  if (m_focused) {
    gdi::DrawFocusFrame(dc, plat::RECT{m_client.left + 3, m_client.top + 3, m_client.right - 3, m_client.bottom - 3});
  }
}

bool TideGraphCtrl_t::OnLButtonDown(unsigned, plat::POINT point) {
  m_tracking = true;
  SetCursor(point);
  return true;
}

bool TideGraphCtrl_t::OnMouseMove(unsigned flags, plat::POINT point) {
  if ((flags & plat::kMkLButton) != 0 && m_tracking) SetCursor(point);
  return true;
}

bool TideGraphCtrl_t::OnLButtonUp(unsigned, plat::POINT) {
  m_tracking = false;
  return true;
}

void TideGraphCtrl_t::SetCursor(plat::POINT point) {
  if (point.x < m_plot.left || point.x >= m_plot.right || point.y < m_plot.top || point.y >= m_client.bottom) return;
  GLO_ASSERT(m_hasData);
  // The converter belongs to the data shown: a click before the first paint
  // of new data lays it out first.
  if (m_layoutStale) PrepareLayout();
  GLO_ASSERT(m_converter != nullptr);
  const glo::Time_t time = m_converter->PixelToTime(point.x);
  if (time != m_cursorTime) {
    const int oldX = m_converter->TimeToPixel(m_cursorTime);
    const int newX = m_converter->TimeToPixel(time);
    m_cursorTime = time;
    InvalidateRect(plat::RECT{std::min(oldX, newX), m_plot.top, std::max(oldX, newX) + 1, m_plot.bottom}, false);
  }
  UpdateCursorText();
}

void TideGraphCtrl_t::UpdateCursorText() {
  GLO_ASSERT(m_hasData);
  const std::vector<mpl::TideSample_t>& samples = m_stats.GetSamples();
  const auto at = std::find_if(samples.begin(), samples.end(), [&](const mpl::TideSample_t& s) {
    return s.time.Time().GetValue() >= m_cursorTime.GetValue();
  });
  GLO_ASSERT(at != samples.end());
  const std::string time = FormatTideTime(m_useOffset, at->time.Time(), m_utcOffset);
  const double height = RoundTo(ToDepthUnit(at->height), 0.01);
  static const glo::StringResource_t cursor(6132, GLO_SRC);
  const std::string text = cursor.FormatArgs({time, Fixed(height, 2), DepthUnit().GetSmallUnitName()}, GLO_SRC);
  if (text != m_cursorText) {
    m_cursorText = text;
    InvalidateRect(plat::RECT{m_plot.left, m_client.top, m_plot.right, m_plot.top}, false);
  }
}

void TideGraphCtrl_t::OnHScroll(unsigned code, int position) {
  GLO_ASSERT(m_hasData);
  int hours = 0;
  switch (code) {
    case plat::kSbLineUp: hours = -GetHorzLineSize(); break;
    case plat::kSbLineDown: hours = GetHorzLineSize(); break;
    case plat::kSbPageUp: hours = -m_spanHours; break;
    case plat::kSbPageDown: hours = m_spanHours; break;
    case plat::kSbThumbPosition: hours = position - GetScrollPos(plat::kSbHorz); break;
    default: return;
  }
  ScrollBy(glo::TimeSpan_t(hours * 3600.0));
}

bool TideGraphCtrl_t::OnWheelScroll(int dx, int dy, plat::POINT screenPoint) {
  GLO_ASSERT(dy == 0);
  const plat::POINT p = ScreenToClient(screenPoint);
  if (dx == 0 || p.x < m_client.left || p.x >= m_client.right || p.y < m_client.top || p.y >= m_client.bottom)
    return false;
  ScrollBy(glo::TimeSpan_t(dx * 3600.0));
  return true;
}

void TideGraphCtrl_t::ScrollBy(const glo::TimeSpan_t& span) {
  GLO_ASSERT(m_earliest.IsPresent() && m_latest.IsPresent());
  bool outside = false;
  try {
    const glo::Time_t start = m_stats.GetStart() + span;
    if (start.GetValue() < m_earliest->GetValue() || start.GetValue() > m_latest->GetValue())
      outside = true;
    else
      ShowFrom(start);
  } catch (const glo::OutOfRange_t&) {
    outside = true;
  }
  if (outside) {
    ShowRangeMessage();
    ShowFrom(span.GetSeconds() < 0.0 ? m_earliest.Value() : m_latest.Value());
  }
  Notify();
}

void TideGraphCtrl_t::ShowFrom(const glo::Time_t& time) {
  GLO_ASSERT(m_earliest.IsPresent() && m_latest.IsPresent());
  SetData(m_stats.GetStation(), time, m_earliest.Value(), m_latest.Value(), m_stats.GetDays(), m_utcOffset,
          m_useOffset);
}

void TideGraphCtrl_t::ShowRangeMessage() {
  GLO_ASSERT(m_earliest.IsPresent() && m_latest.IsPresent());
  const std::string text = glo::StringResource_t(6128, GLO_SRC)
                               .FormatArgs({FormatTideTime(m_useOffset, m_earliest.Value(), m_utcOffset),
                                            FormatTideTime(m_useOffset, m_latest.Value(), m_utcOffset)},
                                           GLO_SRC);
  plat::MessageBox(this, text, glo::StringResource_t(190, GLO_SRC).Text(), plat::kMbOk);
}

void TideGraphCtrl_t::Notify() {
  plat::Wnd_t* parent = GetParent();
  GLO_ASSERT(parent != nullptr);
  plat::PostMessage(parent->GetSafeHwnd(), plat::kWmCommand, kTideGraphScrolled, 0);
}

void TideGraphCtrl_t::OnSize(int clientWidth, int clientHeight) {
  afx::WheelSupportWindow_t::OnSize(clientWidth, clientHeight);
  if (m_hasData) {
    SetPlotRect();
    Invalidate(false);
  }
}

void TideGraphCtrl_t::OnSetFocus() {
  m_focused = true;
  Invalidate(true);
}

void TideGraphCtrl_t::OnKillFocus() {
  m_focused = false;
  Invalidate(true);
}

bool TideGraphCtrl_t::OnMessage(unsigned message, plat::WPARAM wParam, plat::LPARAM lParam, plat::LRESULT& result) {
  if (message == plat::kWmHScroll) {
    OnHScroll(static_cast<unsigned>(wParam & 0xFFFF), static_cast<int>(static_cast<std::int16_t>((wParam >> 16) & 0xFFFF)));
    result = 0;
    return true;
  }
  return afx::WheelSupportWindow_t::OnMessage(message, wParam, lParam, result);
}

}  // namespace map
