#include "iol/IOL_Frame.h"

#include <cctype>
#include <cstdio>
#include <sstream>

namespace iol {

Frame_t::Frame_t() : Frame_t(0) {}

Frame_t::Frame_t(std::uint16_t id) : m_id(id), m_data(new Data_t) {}

Frame_t::Frame_t(std::uint16_t id, bin::istream* stream) : Frame_t(id) {
  if (!stream) return;
  unsigned char c = 0;
  while (stream->get(c).good()) m_data->bytes.push_back(c);
}

Frame_t::Frame_t(std::uint16_t id, const std::vector<std::uint8_t>& bytes) : Frame_t(id) {
  m_data->bytes = bytes;
}

Frame_t::Frame_t(std::uint16_t id, const std::uint8_t* bytes, std::size_t count) : Frame_t(id) {
  if (count) m_data->bytes.assign(bytes, bytes + count);
}

void Frame_t::Dump(std::ostream& out) const {
  out << "Frame: (ID,DATA)\n"
      << "ID: " << m_id << "\n";
  HexDump(out, m_data->bytes.data(), m_data->bytes.size());
}

std::string Frame_t::DumpText() const {
  std::ostringstream out;
  Dump(out);
  return out.str();
}

void HexDump(std::ostream& out, const std::uint8_t* bytes, std::size_t count) {
  std::string column;
  char buf[8];
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint16_t index = static_cast<std::uint16_t>(i);
    if (index % 16 == 0) {
      std::snprintf(buf, sizeof buf, "%04x: ", static_cast<unsigned>(index));
      out << buf;
    }
    std::snprintf(buf, sizeof buf, "%02x ", static_cast<unsigned>(bytes[i]));
    out << buf;
    column += std::isprint(static_cast<unsigned char>(bytes[i])) ? static_cast<char>(bytes[i]) : '.';
    if (index % 16 == 15) {
      out << "  " << column << "\n";
      column.clear();
    }
  }
  if (count % 16 != 0) {
    out << std::string(3 * (16 - count % 16), ' ') << "  " << column << "\n";
  }
}

FrameStream_t::FrameStream_t() {}

FrameStream_t::FrameStream_t(const Frame_t& frame)
    : bin::stringstream(std::string(frame.Data().begin(), frame.Data().end())) {}

}  // namespace iol
