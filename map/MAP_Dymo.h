#pragma once
// Label placement: the labels of one rendering of the map are collected in a
// grid of cells of about 200 pixels, those that collide with more important
// ones are left out, and the rest are drawn after every map layer.
#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "map/MAP_ImageList.h"
#include "map/MAP_Label.h"
#include "map/MAP_LineSegment.h"
#include "map/MAP_Projector.h"
#include "plat/PLAT_Dc.h"
#include "plat/PLAT_GdiObject.h"

namespace map {

// Priorities of area, line and point types (1 for a type not named).
std::uint32_t AreaLabelPriority(std::uint32_t type);
std::uint32_t LineLabelPriority(std::uint32_t type);
std::uint32_t PointLabelPriority(std::uint32_t type);

// Where the line labels come from: the label of a line with flags.
class LineLabelSource_t : public LabelSource_t {
 public:
  virtual std::string GetLineLabel(std::uint32_t labelId, std::uint32_t flags) = 0;
};

struct LineLabelRecord_t {
  std::uint16_t type = 0;
  std::uint32_t labelId = 0;
};

class DymoCell_t {
 public:
  explicit DymoCell_t(const plat::RECT& rect) : m_rect(rect) {}
  const plat::RECT& Rect() const { return m_rect; }
  const std::list<Label_t>& Labels() const { return m_labels; }

  // Whether the cell lets the label in; never changes the cell.
  bool Accepts(const Label_t& label) const;
  // Removes the labels the new one overlaps (all weaker, as Accepts said).
  void RemoveOverlapped(const Label_t& label);
  // Inserts in descending priority, after labels of equal priority.
  void Insert(const Label_t& label);
  bool HasLabel(std::uint32_t labelId) const;

 private:
  plat::RECT m_rect;
  std::list<Label_t> m_labels;
};

class Dymo_t {
 public:
  // The grid for a client rectangle; shields are drawn from 'shields'.
  Dymo_t(const plat::RECT& clientRect, const ImageList_t* shields);
  // The grid for the projector's client rectangle.
  Dymo_t(const Projector_t& projector, const ImageList_t* shields) : Dymo_t(projector.GetClientRect(), shields) {}
  Dymo_t(const Dymo_t&) = delete;
  Dymo_t& operator=(const Dymo_t&) = delete;

  int Columns() const { return m_columns; }
  int Rows() const { return m_rows; }
  const DymoCell_t& Cell(int row, int column) const { return m_cells[std::size_t(row * m_columns + column)]; }

  // The first cell in row order that holds the point.
  DymoCell_t* FindCell(plat::POINT point);
  // Keeps the label when every cell accepts it, then removes the weaker
  // labels it overlaps and stores it in the target cell. False when dropped.
  bool Place(const Label_t& label, DymoCell_t& target);

  // The label of an area anchored at a screen point (the centre of its box).
  void AddAreaLabel(plat::Dc_t& dc, LabelSource_t& source, const AreaLabelRecord_t& area, plat::POINT anchor,
                    const plat::Region_t* clip);
  // The label of a polyline's drawn copy; 'scale' is the projector's scale.
  void AddLineLabel(plat::Dc_t& dc, LineLabelSource_t& source, const LineLabelRecord_t& line,
                    const std::vector<plat::POINT>& points, double scale, const plat::Region_t* clip);
  // The label of a point at a screen position with its symbol.
  void AddPointLabel(plat::Dc_t& dc, LabelSource_t& source, const PointLabelRecord_t& point, plat::POINT screen,
                     int symbolIndex);

  // The longest segment of the polyline that is visible in the client area.
  std::optional<LineSegment_t> FindLongestVisibleSegment(const plat::POINT* points, int count) const;

  // Draws the labels cell by cell, each cell from its highest priority.
  void Draw(plat::Dc_t& dc) const;

 private:
  plat::RECT m_client;
  int m_columns = 0;
  int m_rows = 0;
  std::vector<DymoCell_t> m_cells;
  const ImageList_t* m_shields;
};

// The centre of two bounds without overflow.
constexpr std::int32_t BoundsCentre(std::int32_t a, std::int32_t b) { return a / 2 + (b - b / 2); }

}  // namespace map
