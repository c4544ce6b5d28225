#include "iog/IOG_TrackHeader.h"

#include "bin/BIN_record.h"
#include "glo/GLO_Exception.h"
#include "ioa/IOA_Text.h"

namespace iog {

namespace {

bool IsUndefinedCp1252(unsigned char byte) {
  return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

}  // namespace

std::string DecodeDeviceText(const std::string& wire) {
  std::string text;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= wire.size(); ++i) {
    if (i < wire.size() && !IsUndefinedCp1252(static_cast<unsigned char>(wire[i]))) continue;
    text += ioa::Cp1252ToUtf8(wire.substr(start, i - start));
    if (i < wire.size()) text += wire[i];
    start = i + 1;
  }
  return text;
}

// ---- TrackHeader_t ----------------------------------------------------------

void TrackHeader_t::Decode(const iol::Frame_t& frame) {
  if (frame.Id() != Id()) throw glo::Assert_t(GLO_SRC);
  iol::FrameStream_t stream(frame);
  Read(stream);
  if (stream.fail()) throw iol::BadFrame_t(frame, GLO_SRC);
}

iol::Frame_t TrackHeader_t::Encode() const {
  iol::FrameStream_t stream;
  Write(stream);
  if (!stream.good()) throw glo::Assert_t(GLO_SRC);
  return iol::Frame_t(Id(), &stream);
}

// ---- D310TrkHdr_t -----------------------------------------------------------

void D310TrkHdr_t::FromGdb(const gdb::TrackId_t& key, const gdb::Track_t& track) {
  m_displayFlag = track.GetDisplayFlag();
  m_color = Color108_t(static_cast<gdb::Color_t>(track.GetColor()));
  m_identifier = key.Text();
}

void D310TrkHdr_t::ToGdb(gdb::TrackId_t& key, gdb::Track_t& track) const {
  key = gdb::TrackId_t();
  track = gdb::Track_t();
  track.SetDisplayFlag(m_displayFlag);
  track.SetColor(m_color.ToGdb());
  const std::string name = m_identifier.empty() ? std::string("Track") : m_identifier;
  track.SetName(name);
  key = gdb::TrackId_t(gdb::Name_t(name));
}

void D310TrkHdr_t::Read(bin::istream& in) {
  unsigned char flag = 0;
  in.get(flag);
  if (!in.fail()) m_displayFlag = flag;
  m_color.Read(in);
  std::string wire;
  if (in.fail()) return;
  bin::read_string(in, wire);
  if (!in.fail()) m_identifier = DecodeDeviceText(wire);
}

void D310TrkHdr_t::Write(bin::ostream& out) const {
  out.write(reinterpret_cast<const char*>(&m_displayFlag), 1);
  m_color.Write(out);
  bin::write_string(out, ioa::Utf8ToCp1252(m_identifier));
}

// ---- D311TrkHdr_t -----------------------------------------------------------

void D311TrkHdr_t::FromGdb(const gdb::TrackId_t& /*key*/, const gdb::Track_t& /*track*/) {}

void D311TrkHdr_t::ToGdb(gdb::TrackId_t& key, gdb::Track_t& track) const {
  key = gdb::TrackId_t();
  track = gdb::Track_t();
  key = gdb::TrackId_t(gdb::Name_t(std::to_string(m_index)));
}

void D311TrkHdr_t::Read(bin::istream& in) { bin::read_le(in, m_index); }

void D311TrkHdr_t::Write(bin::ostream& out) const { bin::write_le(out, m_index); }

}  // namespace iog
