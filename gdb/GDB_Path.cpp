#include "gdb/GDB_Path.h"

#include <utility>

#include "bin/BIN_record.h"
#include "doc/DOC_InfoStream.h"

namespace gdb {

void Path_t::SetPoints(const std::vector<geo::Position_t>& points) {
  geo::Box_t box;
  for (const geo::Position_t& p : points) box = geo::Union(box, geo::Box_t(p));
  m_points = points;
  m_box = box;
}

void Path_t::Write(doc::InfoStream_t& stream) const {
  bin::ostream& out = stream.Out();
  bin::write_string(out, m_name);
  bin::write_le(out, static_cast<std::int32_t>(m_type));
  bin::write_le(out, m_value1);
  bin::write_le(out, m_value2);
  bin::write_le(out, m_value3);
  bin::write_le(out, static_cast<std::int32_t>(m_direction));
  bin::write_le(out, static_cast<std::uint32_t>(m_points.size()));
  for (const geo::Position_t& p : m_points) geo::WritePosition(out, p);
  geo::WriteBox(out, m_box);
}

void Path_t::Read(doc::InfoStream_t& stream) {
  bin::istream& in = stream.In();
  if (!in.good()) return;
  Path_t path;
  std::int32_t type = 0, direction = 0;
  bin::read_string(in, path.m_name);
  bin::read_le(in, type);
  bin::read_le(in, path.m_value1);
  bin::read_le(in, path.m_value2);
  if (stream.DataVersion() < 101) {
    std::uint8_t value3 = 0;
    bin::read_le(in, value3);
    if (in.good()) path.m_value3 = value3;
  } else {
    bin::read_le(in, path.m_value3);
  }
  bin::read_le(in, direction);
  std::uint32_t count = 0;
  bin::read_le(in, count);
  // No room is reserved from the count: a damaged count only reads on until
  // the data end.
  std::vector<geo::Position_t> points;
  for (std::uint32_t i = 0; i < count && in.good(); ++i) {
    geo::Position_t p;
    geo::ReadPosition(in, p);
    if (in.good()) points.push_back(p);
  }
  if (in.good()) path.m_points = std::move(points);
  geo::ReadBox(in, path.m_box);
  if (!in.good()) return;
  if (type < 0 || type >= TypeCount || direction < 0 || direction >= DirectionCount) {
    in.setstate(std::ios_base::badbit);
    return;
  }
  path.m_type = static_cast<Type_t>(type);
  path.m_direction = static_cast<Direction_t>(direction);
  *this = std::move(path);
}

}  // namespace gdb
