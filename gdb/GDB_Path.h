#pragma once
// Path_t: the path (link) from one route waypoint to the next: a name, its
// kind, three values the system only keeps, a direction and the points of the
// path with their box.
#include <cstdint>
#include <string>
#include <vector>

#include "geo/GEO_Box.h"
#include "geo/GEO_Position.h"

namespace doc {
class InfoStream_t;
}

namespace gdb {

class Path_t {
 public:
  // The kind of link; valid values 0 to TypeCount - 1.
  enum Type_t : std::int32_t {
    Type_Line = 0,
    Type_Link = 1,
    Type_Net = 2,
    Type_Direct = 3,
  };
  static constexpr int TypeCount = 4;

  // The direction of the link; valid values 0 to DirectionCount - 1.
  enum Direction_t : std::int32_t {
    Direction_None = 0,
    Direction_Forward = 1,
    Direction_Backward = 2,
  };
  static constexpr int DirectionCount = 3;

  // Empty name, type 3 (direct), values 0, direction 0, no points, empty box.
  Path_t() = default;
  Path_t(const Path_t&) = default;
  Path_t& operator=(const Path_t&) = default;

  // Name, type, value 1, value 2, value 3 (u16), direction, point count (u32)
  // and points, then the box.
  void Write(doc::InfoStream_t& stream) const;
  // Reads the layout of the stream's data version (value 3 is one byte below
  // version 101). Never throws: a failed read, a type outside 0 to 3 or a
  // direction outside 0 to 2 leaves the stream bad or failed and this path
  // unchanged.
  void Read(doc::InfoStream_t& stream);

  const std::string& GetName() const { return m_name; }
  void SetName(const std::string& name) { m_name = name; }
  Type_t GetType() const { return m_type; }
  void SetType(Type_t type) { m_type = type; }
  std::int32_t GetValue1() const { return m_value1; }
  std::int32_t GetValue2() const { return m_value2; }
  std::uint16_t GetValue3() const { return m_value3; }
  void SetValues(std::int32_t value1, std::int32_t value2, std::uint16_t value3) {
    m_value1 = value1;
    m_value2 = value2;
    m_value3 = value3;
  }
  Direction_t GetDirection() const { return m_direction; }
  void SetDirection(Direction_t direction) { m_direction = direction; }
  const std::vector<geo::Position_t>& GetPoints() const { return m_points; }
  const geo::Box_t& GetBox() const { return m_box; }
  // Replaces the points; the box becomes the box of the new points.
  void SetPoints(const std::vector<geo::Position_t>& points);

 private:
  std::string m_name;
  Type_t m_type = Type_Direct;
  std::int32_t m_value1 = 0;
  std::int32_t m_value2 = 0;
  std::uint16_t m_value3 = 0;
  Direction_t m_direction = Direction_None;
  std::vector<geo::Position_t> m_points;
  geo::Box_t m_box;
};

}  // namespace gdb
