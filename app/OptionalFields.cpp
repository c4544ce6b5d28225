#include "app/OptionalFields.h"

#include <utility>

namespace bin {

void WriteOptionalPosition(ostream& out, const glo::Optional_t<geo::Position_t>& position) {
  write_le(out, static_cast<std::uint8_t>(position.IsPresent() ? 1 : 0));
  geo::WritePosition(out, position.IsPresent() ? *position : geo::Position_t());
}

void ReadOptionalPosition(istream& in, glo::Optional_t<geo::Position_t>& position) {
  std::uint8_t present = 0;
  read_le(in, present);
  if (!in.good()) return;
  if (!present) {
    // The bytes of an absent position are skipped, not read as a position.
    char skipped[17];
    in.read(skipped, sizeof skipped);
    if (in.good()) position.Reset();
    return;
  }
  geo::Position_t value;
  geo::ReadPosition(in, value);
  if (in.good()) position = value;
}

void WriteOptionalByte(ostream& out, const glo::Optional_t<std::uint8_t>& value) {
  write_le(out, static_cast<std::uint8_t>(value.IsPresent() ? 1 : 0));
  write_le(out, static_cast<std::uint8_t>(value.IsPresent() ? *value : 0));
}

void ReadOptionalByte(istream& in, glo::Optional_t<std::uint8_t>& value) {
  std::uint8_t present = 0, byte = 0;
  read_le(in, present);
  read_le(in, byte);
  if (!in.good()) return;
  if (present)
    value = byte;
  else
    value.Reset();
}

void WriteOptionalTrack(const doc::Info_t& version, ostream& out, const glo::Optional_t<gdb::Track_t>& track) {
  write_le(out, static_cast<std::uint8_t>(track.IsPresent() ? 1 : 0));
  if (track.IsPresent())
    track->Write(version, out);
  else
    gdb::Track_t().Write(version, out);
}

void ReadOptionalTrack(const doc::Info_t& version, istream& in, glo::Optional_t<gdb::StoredTrack_t>& track) {
  std::uint8_t present = 0;
  read_le(in, present);
  if (!in.good()) return;
  gdb::StoredTrack_t value;
  gdb::Track_t::ReadStored(version, in, value);
  if (!in.good()) return;
  if (present) {
    if (!track.IsPresent()) track = gdb::StoredTrack_t();
    *track = std::move(value);
  } else {
    track.Reset();
  }
}

}  // namespace bin
