#include "gdb/GDB_Key.h"

#include <utility>

#include "bin/BIN_record.h"
#include "doc/DOC_InfoStream.h"

namespace gdb {

// ---------------------------------------------------------------------------
// Names

void Name_t::Write(doc::InfoStream_t& stream) const { bin::write_string(stream.Out(), m_name); }

void Name_t::Read(doc::InfoStream_t& stream) {
  bin::istream& in = stream.In();
  if (!in.good()) return;
  std::string text;
  bin::read_string(in, text);
  if (in.good()) *this = Name_t(text);
}

// ---------------------------------------------------------------------------
// Track keys

std::string TrackId_t::GetText() const { return "Track: " + Text(); }

// ---------------------------------------------------------------------------
// Route keys

std::string RouteId_t::GetText() const { return "Route: " + m_name.Text(); }

void RouteId_t::Write(doc::InfoStream_t& stream) const {
  m_name.Write(stream);
  bin::write_le(stream.Out(), m_value);
}

void RouteId_t::Read(doc::InfoStream_t& stream) {
  bin::istream& in = stream.In();
  if (!in.good()) return;
  RouteId_t key;
  key.m_name.Read(stream);
  bin::read_le(in, key.m_value);
  if (in.good()) *this = key;
}

// ---------------------------------------------------------------------------
// Waypoint keys

WaypointId_t::WaypointId_t() : m_classBytes(8, 0xFF) {}

WaypointId_t::WaypointId_t(const Name_t& name, Type_t type, const std::string& text, std::int32_t firstValue,
                           std::int32_t secondValue, const std::vector<std::uint8_t>& classBytes,
                           std::int16_t shortValue, std::int32_t thirdValue)
    : m_name(name),
      m_type(type),
      m_text(text),
      m_firstValue(firstValue),
      m_secondValue(secondValue),
      m_classBytes(classBytes),
      m_shortValue(shortValue),
      m_thirdValue(thirdValue) {}

std::string WaypointId_t::GetText() const { return "Waypoint: " + m_name.Text(); }

void WaypointId_t::Write(doc::InfoStream_t& stream) const {
  bin::ostream& out = stream.Out();
  m_name.Write(stream);
  bin::write_le(out, static_cast<std::int32_t>(m_type));
  bin::write_string(out, m_text);
  bin::write_le(out, m_firstValue);
  bin::write_le(out, m_secondValue);
  for (std::uint8_t byte : m_classBytes) bin::write_le(out, byte);
  bin::write_le(out, m_shortValue);
  bin::write_le(out, m_thirdValue);
}

void WaypointId_t::Read(doc::InfoStream_t& stream) {
  bin::istream& in = stream.In();
  if (!in.good()) return;
  const unsigned version = stream.DataVersion();

  WaypointId_t key;
  std::int32_t type = 0;
  key.m_name.Read(stream);
  bin::read_le(in, type);
  bin::read_string(in, key.m_text);
  bin::read_le(in, key.m_firstValue);
  bin::read_le(in, key.m_secondValue);
  std::vector<std::uint8_t> classBytes(key.m_classBytes.size());
  for (std::uint8_t& byte : classBytes) bin::read_le(in, byte);
  if (!in.good()) return;
  key.m_classBytes = std::move(classBytes);

  if (version <= 100) {
    std::uint8_t shortValue = 0;
    bin::read_le(in, shortValue);
    key.m_shortValue = shortValue;
  } else {
    bin::read_le(in, key.m_shortValue);
  }
  if (!in.good()) return;
  if (version >= 103) {
    bin::read_le(in, key.m_thirdValue);
    if (!in.good()) return;
  }
  // Keys of data version 102 carry no third value; for two classes of this
  // key (as it was before the read) the second value took its place.
  if (version == 102 && !m_classBytes.empty() && (m_classBytes[0] == 0x21 || m_classBytes[0] == 0x1F))
    std::swap(key.m_secondValue, key.m_thirdValue);

  if (type < 0 || type >= TypeCount) {
    in.setstate(std::ios_base::failbit);
    return;
  }
  key.m_type = static_cast<Type_t>(type);
  *this = std::move(key);
}

}  // namespace gdb
