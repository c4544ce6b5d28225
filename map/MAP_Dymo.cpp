#include "map/MAP_Dymo.h"

#include <algorithm>
#include <charconv>

#include "glo/GLO_Exception.h"
#include "map/MAP_Registry.h"
#include "mpl/MPL_Lbl.h"

namespace map {

namespace {

// The flags of a line's name at coarse scales and of a shield's text.
constexpr std::uint32_t kShownName = mpl::kLabelTitleCase | mpl::kLabelBaseName;

struct Range_t {
  std::uint32_t from, to, priority;
};

std::uint32_t Lookup(const Range_t* table, std::size_t count, std::uint32_t type) {
  for (std::size_t i = 0; i < count; ++i)
    if (type >= table[i].from && type <= table[i].to) return table[i].priority;
  return 1;
}

constexpr Range_t kAreaPriorities[] = {
    {1, 3, 0},    {4, 13, 30},  {19, 19, 30}, {20, 20, 160}, {21, 21, 90},  {22, 22, 70},  {23, 26, 30},
    {30, 30, 90}, {31, 31, 70}, {32, 32, 50}, {40, 40, 180}, {50, 50, 160}, {60, 60, 120}, {61, 61, 100},
    {62, 62, 70}, {63, 63, 50}, {64, 64, 20}, {65, 65, 10},  {66, 66, 180}, {67, 67, 160}, {68, 68, 140},
    {70, 70, 90}, {71, 71, 80}, {72, 72, 70}, {73, 73, 20},  {74, 75, 0},   {76, 76, 10},  {77, 83, 40},
    {134, 135, 0}};

constexpr Range_t kLinePriorities[] = {
    {1, 1, 150},  {2, 2, 100},  {3, 3, 80},   {4, 4, 70},   {5, 5, 60},   {6, 6, 50},   {7, 9, 10},
    {10, 10, 40}, {11, 11, 150}, {12, 12, 50}, {20, 22, 10}, {23, 23, 0},  {24, 24, 10}, {25, 25, 90},
    {26, 26, 40}, {27, 27, 30}, {28, 30, 0},  {31, 31, 55}, {32, 32, 10}, {33, 33, 11}, {34, 34, 12},
    {35, 35, 10}, {36, 36, 50}, {37, 37, 100}, {38, 38, 55}, {39, 39, 60}, {40, 41, 20}, {71, 71, 55}};

constexpr Range_t kPointPriorities[] = {
    {1, 1, 242},  {2, 2, 241},   {3, 3, 230},   {4, 4, 220},   {5, 5, 210},    {6, 6, 200},   {7, 7, 190},
    {8, 8, 180},  {9, 9, 170},   {10, 10, 160}, {11, 11, 150}, {12, 12, 140},  {13, 13, 130}, {20, 20, 250},
    {21, 21, 245}, {30, 30, 240}, {31, 31, 140}, {40, 40, 190}, {64, 66, 10},   {67, 67, 20},  {68, 70, 10},
    {71, 73, 20}, {74, 88, 10},  {89, 89, 175}, {90, 97, 10},  {98, 99, 120},  {100, 102, 20}, {265, 265, 20}};

bool ReadMetres(const std::string& text, double& value) {
  const char* b = text.data();
  const char* e = b + text.size();
  while (b < e && *b == ' ') ++b;
  while (e > b && e[-1] == ' ') --e;
  if (b == e) return false;
  if (*b == '+') ++b;
  const auto [ptr, ec] = std::from_chars(b, e, value);
  return ec == std::errc() && ptr == e;
}

}  // namespace

std::uint32_t AreaLabelPriority(std::uint32_t type) { return Lookup(kAreaPriorities, std::size(kAreaPriorities), type); }
std::uint32_t LineLabelPriority(std::uint32_t type) { return Lookup(kLinePriorities, std::size(kLinePriorities), type); }
std::uint32_t PointLabelPriority(std::uint32_t type) {
  return Lookup(kPointPriorities, std::size(kPointPriorities), type);
}

bool DymoCell_t::Accepts(const Label_t& n) const {
  for (const Label_t& e : m_labels) {
    if (e.labelId == n.labelId && e.kind == n.kind && e.priority == n.priority && n.kind != kPointLabel) {
      const long long dx = e.x - n.x, dy = e.y - n.y;
      if (dx * dx + dy * dy < 40000) return false;  // one name is not repeated within 200 pixels
    }
    if (Label_t::Overlaps(e, n) && n.priority <= e.priority) return false;
  }
  return true;
}

void DymoCell_t::RemoveOverlapped(const Label_t& n) {
  m_labels.remove_if([&](const Label_t& e) { return Label_t::Overlaps(e, n); });
}

void DymoCell_t::Insert(const Label_t& n) {
  auto it = std::find_if(m_labels.begin(), m_labels.end(), [&](const Label_t& e) { return e.priority < n.priority; });
  m_labels.insert(it, n);
}

bool DymoCell_t::HasLabel(std::uint32_t labelId) const {
  return std::any_of(m_labels.begin(), m_labels.end(), [&](const Label_t& e) { return e.labelId == labelId; });
}

Dymo_t::Dymo_t(const plat::RECT& clientRect, const ImageList_t* shields) : m_client(clientRect), m_shields(shields) {
  const int width = clientRect.right - clientRect.left;
  const int height = clientRect.bottom - clientRect.top;
  m_columns = std::max(width, 0) / 200 + 1;
  m_rows = std::max(height, 0) / 200 + 1;
  const int w = width / m_columns, h = height / m_rows;
  m_cells.reserve(std::size_t(m_columns) * std::size_t(m_rows));
  for (int r = 0; r < m_rows; ++r) {
    for (int c = 0; c < m_columns; ++c) {
      const int left = c * (w - 1), top = r * (h - 1);
      m_cells.emplace_back(plat::RECT{left, top, left + w - 1, top + h - 1});
    }
  }
}

DymoCell_t* Dymo_t::FindCell(plat::POINT p) {
  for (DymoCell_t& cell : m_cells) {
    const plat::RECT& r = cell.Rect();
    if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) return &cell;
  }
  return nullptr;
}

bool Dymo_t::Place(const Label_t& label, DymoCell_t& target) {
  if (label.text.empty()) return false;
  // Every cell is asked before any is changed, so a refused label leaves
  // the labels already placed alone.
  for (const DymoCell_t& cell : m_cells)
    if (!cell.Accepts(label)) return false;
  for (DymoCell_t& cell : m_cells) cell.RemoveOverlapped(label);
  target.Insert(label);
  return true;
}

std::optional<LineSegment_t> Dymo_t::FindLongestVisibleSegment(const plat::POINT* points, int count) const {
  GLO_ASSERT(count >= 2);
  std::optional<LineSegment_t> best;
  std::uint64_t bestLength = 0;
  for (int i = 0; i + 1 < count; ++i) {
    LineSegment_t segment(points[i].x, points[i].y, points[i + 1].x, points[i + 1].y);
    if (!segment.IsVisible(m_client)) continue;
    const std::int64_t dx = std::int64_t(segment.X1()) - segment.X0();
    const std::int64_t dy = std::int64_t(segment.Y1()) - segment.Y0();
    const std::uint64_t length = std::uint64_t(dx * dx) + std::uint64_t(dy * dy);
    if (!best || length > bestLength) {
      best = segment;
      bestLength = length;
    }
  }
  return best;
}

void Dymo_t::AddAreaLabel(plat::Dc_t& dc, LabelSource_t& source, const AreaLabelRecord_t& area, plat::POINT anchor,
                          const plat::Region_t* clip) {
  if (area.labelId == 0 || area.type == 74 || area.type == 135) return;
  if (clip != nullptr && !clip->PtInRegion(anchor.x, anchor.y)) return;
  DymoCell_t* cell = FindCell(anchor);
  if (cell == nullptr || cell->HasLabel(area.labelId)) return;
  Label_t label;
  label.InitAreaLabel(area, source, dc, anchor, AreaLabelPriority(area.type));
  Place(label, *cell);
}

void Dymo_t::AddLineLabel(plat::Dc_t& dc, LineLabelSource_t& source, const LineLabelRecord_t& line,
                          const std::vector<plat::POINT>& points, double scale, const plat::Region_t* clip) {
  const auto segment = FindLongestVisibleSegment(points.data(), static_cast<int>(points.size()));
  if (!segment) return;
  const plat::POINT mid{(segment->X0() + segment->X1()) / 2, (segment->Y0() + segment->Y1()) / 2};
  if (clip != nullptr && !clip->PtInRegion(mid.x, mid.y)) return;
  DymoCell_t* cell = FindCell(mid);
  if (cell == nullptr) return;
  std::string text;
  if (scale >= 350) {
    text = source.GetLineLabel(line.labelId, kShownName);
  } else {
    text = source.GetLineLabel(line.labelId, mpl::kLabelTitleCase);
    if (IsShieldText(text)) text = source.GetLineLabel(line.labelId, kShownName);
  }
  if (cell->HasLabel(line.labelId)) return;
  // Contour lines carry their value in metres.
  double metres = 0;
  if (line.type >= 32 && line.type <= 34) {
    GLO_ASSERT(GetRegistry().ElevationUnits.IsPresent());
    text = ReadMetres(text, metres)
               ? FormatMetres(metres, static_cast<int>(GetRegistry().ElevationUnits.Value()), 0)
               : std::string();
  } else if (line.type >= 35 && line.type <= 37) {
    GLO_ASSERT(GetRegistry().DepthUnits.IsPresent());
    const int unit = static_cast<int>(GetRegistry().DepthUnits.Value());
    if (unit != 0) text = ReadMetres(text, metres) ? FormatMetres(metres, unit, 1) : std::string();
  }
  Label_t label;
  label.InitLineLabel(dc, line.labelId, plat::POINT{segment->X0(), segment->Y0()},
                      plat::POINT{segment->X1(), segment->Y1()}, LineLabelPriority(line.type), text);
  Place(label, *cell);
}

void Dymo_t::AddPointLabel(plat::Dc_t& dc, LabelSource_t& source, const PointLabelRecord_t& point, plat::POINT screen,
                           int symbolIndex) {
  const std::uint8_t cls = point.symbol.attrClass;
  if (point.labelId == 0 && cls != 2 && cls != 3) return;
  DymoCell_t* cell = FindCell(screen);
  if (cell == nullptr) return;
  Label_t label;
  label.InitPointLabel(point, symbolIndex, source, dc, screen, PointLabelPriority(point.symbol.type));
  Place(label, *cell);
}

void Dymo_t::Draw(plat::Dc_t& dc) const {
  const int mode = dc.SetBkMode(plat::kTransparent);
  for (const DymoCell_t& cell : m_cells)
    for (const Label_t& label : cell.Labels()) label.Draw(dc, m_shields);
  dc.SetBkMode(mode);
}

}  // namespace map
