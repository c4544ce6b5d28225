#pragma once
// The device's track point records D300, D301 and D302 (packet 34): each one
// decodes itself from a frame and converts itself to and from the program's
// gdb::TrackPoint_t with its new-track flag.
//
// Absent float values travel as the bits 0x69045951 (1.0e25); device times 0,
// 0x7FFFFFFF and 0xFFFFFFFF carry no time.
#include <cstdint>

#include "bin/BIN_stream.h"
#include "gdb/GDB_TrackSegment.h"
#include "iol/IOL_Packet.h"

namespace iog {

// The bits of a float field that carries no value.
constexpr std::uint32_t NoFloatBits = 0x69045951u;

class TrackPointInterface_t {
 public:
  virtual ~TrackPointInterface_t() = default;
  // Takes the point's values and the new-track flag.
  virtual void FromGdb(const gdb::TrackPoint_t& point, const bool newTrack) = 0;
  // Gives the point and whether it begins a new track.
  virtual void ToGdb(gdb::TrackPoint_t& point, bool& newTrack) const = 0;
  // The wire fields in order; failures are left in the stream's state.
  virtual void Read(bin::istream& in) = 0;
  virtual void Write(bin::ostream& out) const = 0;
};

class TrackPoint_t : public TrackPointInterface_t, public iol::Packet_t {
 public:
  static constexpr std::uint16_t PacketId = 34;

  std::uint16_t Id() const override { return PacketId; }
  // A frame of another id is glo::Assert_t; data too short for the record is
  // iol::BadFrame_t. Bytes after the record are ignored.
  void Decode(const iol::Frame_t& frame) override;
  iol::Frame_t Encode() const override;
};

// Latitude, longitude and time, shared by the three point records; the derived
// records handle these fields through the base first.
class D300Base_t : public TrackPoint_t {
 public:
  void FromGdb(const gdb::TrackPoint_t& point, const bool newTrack) override;
  void ToGdb(gdb::TrackPoint_t& point, bool& newTrack) const override;
  void Read(bin::istream& in) override;
  void Write(bin::ostream& out) const override;

  std::int32_t GetLatitude() const { return m_latitude; }
  std::int32_t GetLongitude() const { return m_longitude; }
  std::uint32_t GetTime() const { return m_time; }

 protected:
  D300Base_t() = default;

 private:
  std::int32_t m_latitude = 0;   // semicircles
  std::int32_t m_longitude = 0;  // semicircles
  std::uint32_t m_time = 0;      // device time
};

// 13 bytes: latitude, longitude, time, new-track flag.
class D300TrkPt_t : public D300Base_t {
 public:
  D300TrkPt_t() = default;
  void FromGdb(const gdb::TrackPoint_t& point, const bool newTrack) override;
  void ToGdb(gdb::TrackPoint_t& point, bool& newTrack) const override;
  void Read(bin::istream& in) override;
  void Write(bin::ostream& out) const override;

  std::uint8_t GetFlag() const { return m_flag; }

 private:
  std::uint8_t m_flag = 0;
};

// 21 bytes: latitude, longitude, time, altitude, depth, new-track flag.
class D301TrkPt_t : public D300Base_t {
 public:
  D301TrkPt_t() = default;
  void FromGdb(const gdb::TrackPoint_t& point, const bool newTrack) override;
  void ToGdb(gdb::TrackPoint_t& point, bool& newTrack) const override;
  void Read(bin::istream& in) override;
  void Write(bin::ostream& out) const override;

  std::uint32_t GetAltitudeBits() const { return m_altitude; }
  std::uint32_t GetDepthBits() const { return m_depth; }
  std::uint8_t GetFlag() const { return m_flag; }

 private:
  std::uint32_t m_altitude = NoFloatBits;  // float32 bits, metres
  std::uint32_t m_depth = NoFloatBits;     // float32 bits
  std::uint8_t m_flag = 0;
};

// 25 bytes: latitude, longitude, time, altitude, depth, temperature, flag.
class D302TrkPt_t : public D300Base_t {
 public:
  D302TrkPt_t() = default;
  void FromGdb(const gdb::TrackPoint_t& point, const bool newTrack) override;
  void ToGdb(gdb::TrackPoint_t& point, bool& newTrack) const override;
  void Read(bin::istream& in) override;
  void Write(bin::ostream& out) const override;

  std::uint32_t GetAltitudeBits() const { return m_altitude; }
  std::uint32_t GetDepthBits() const { return m_depth; }
  std::uint32_t GetTemperatureBits() const { return m_temperature; }
  std::uint8_t GetFlag() const { return m_flag; }

 private:
  std::uint32_t m_altitude = NoFloatBits;
  std::uint32_t m_depth = NoFloatBits;
  std::uint32_t m_temperature = NoFloatBits;
  std::uint8_t m_flag = 0;
};

}  // namespace iog
