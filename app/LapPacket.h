#pragma once
// The lap record of the unit (packet 149): one lap and the index of the
// downloaded track of its run.
//
// Record, 32 bytes little-endian: u32 start (device time), u32 duration
// (1/100 s), f32 distance (m), s32 begin latitude, s32 begin longitude, s32 end
// latitude, s32 end longitude (semicircles; both halves 0x7FFFFFFF: no
// position), u16 calories, u8 track index, u8 average heart rate (0: none).
#include <cstdint>

#include "app/Lap.h"
#include "gdb/GDB_Name.h"
#include "iol/IOL_Packet.h"

namespace app {

class LapPacket_t : public iol::Packet_t {
 public:
  static constexpr std::uint16_t kId = 149;
  static constexpr std::size_t kRecordSize = 32;

  // A lap that starts now, with nothing else, and an empty track name.
  LapPacket_t() = default;

  std::uint16_t Id() const override { return kId; }

  // Replaces lap and track name by those of the frame. glo::Assert_t for
  // another id; iol::BadFrame_t for a lap without a start time or a record
  // shorter than 32 bytes; glo::OutOfRange_t for a position beyond +-90
  // degrees or a start the calendar time cannot hold. On failure the packet
  // keeps what it held.
  void Decode(const iol::Frame_t& frame) override;

  // The program never sends a lap: glo::Assert_t.
  iol::Frame_t Encode() const override;

  const Lap_t& GetLap() const { return m_lap; }
  // The track index as decimal text: 255 for a lap that does not end its
  // run, 254 and 253 for the last lap of a run without track, any other
  // number names the run's downloaded track.
  gdb::Name_t GetTrackName() const { return m_trackName; }

 private:
  Lap_t m_lap;
  gdb::Name_t m_trackName;
};

}  // namespace app
