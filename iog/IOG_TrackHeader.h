#pragma once
// The device's track header records D310 (display flag, colour, identifier) and
// D311 (index), packet 99: each one decodes itself from a frame and converts
// itself to and from a GPS database key and track.
#include <cstdint>
#include <string>

#include "bin/BIN_stream.h"
#include "gdb/GDB_Key.h"
#include "gdb/GDB_Track.h"
#include "iog/IOG_Color108.h"
#include "iol/IOL_Packet.h"

namespace iog {

class TrackHeaderInterface_t {
 public:
  virtual ~TrackHeaderInterface_t() = default;
  virtual void FromGdb(const gdb::TrackId_t& key, const gdb::Track_t& track) = 0;
  // Resets the key to an empty name and the track to a new one, then fills them.
  virtual void ToGdb(gdb::TrackId_t& key, gdb::Track_t& track) const = 0;
  virtual void Read(bin::istream& in) = 0;
  virtual void Write(bin::ostream& out) const = 0;
};

class TrackHeader_t : public TrackHeaderInterface_t, public iol::Packet_t {
 public:
  static constexpr std::uint16_t PacketId = 99;

  std::uint16_t Id() const override { return PacketId; }
  // A frame of another id is glo::Assert_t; data too short for the record (or
  // a colour the device cannot have) is iol::BadFrame_t.
  void Decode(const iol::Frame_t& frame) override;
  iol::Frame_t Encode() const override;
};

// Display flag, colour and identifier (Windows-1252 on the wire, UTF-8 here).
class D310TrkHdr_t : public TrackHeader_t {
 public:
  D310TrkHdr_t() = default;
  void FromGdb(const gdb::TrackId_t& key, const gdb::Track_t& track) override;
  void ToGdb(gdb::TrackId_t& key, gdb::Track_t& track) const override;
  void Read(bin::istream& in) override;
  void Write(bin::ostream& out) const override;

  std::uint8_t GetDisplayFlag() const { return m_displayFlag; }
  const Color108_t& GetColor() const { return m_color; }
  const std::string& GetIdentifier() const { return m_identifier; }

 private:
  std::uint8_t m_displayFlag = 0;
  Color108_t m_color;
  std::string m_identifier;
};

// The index of the track, which names it in decimal.
class D311TrkHdr_t : public TrackHeader_t {
 public:
  D311TrkHdr_t() = default;
  // Leaves the index as it is.
  void FromGdb(const gdb::TrackId_t& key, const gdb::Track_t& track) override;
  void ToGdb(gdb::TrackId_t& key, gdb::Track_t& track) const override;
  void Read(bin::istream& in) override;
  void Write(bin::ostream& out) const override;

  std::uint16_t GetIndex() const { return m_index; }

 private:
  std::uint16_t m_index = 0;
};

// The watch's Windows-1252 text in UTF-8. The five bytes the code page leaves
// undefined stay as they are, so that the text is not valid there and the
// download cuts a name at that point, as it does for any name that is not
// valid text.
std::string DecodeDeviceText(const std::string& wire);

}  // namespace iog
