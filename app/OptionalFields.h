#pragma once
// The stored form of optional values in the run database: a flag byte (1
// present, 0 absent), then the value's own form, written with a zero value
// when absent. The readers always consume the value's bytes, keep the value
// only when the flag is not 0, and never interpret the bytes of an absent one.
#include <cstdint>

#include "bin/BIN_stream.h"
#include "doc/DOC_Info.h"
#include "gdb/GDB_Track.h"
#include "geo/GEO_Position.h"
#include "glo/GLO_Optional.h"

namespace bin {

// 18 bytes: flag, then the 17-byte position form.
void WriteOptionalPosition(ostream& out, const glo::Optional_t<geo::Position_t>& position);
// A present position whose latitude lies beyond +-90 degrees sets the stream bad.
// 'position' changes only when all 18 bytes were read.
void ReadOptionalPosition(istream& in, glo::Optional_t<geo::Position_t>& position);

// 2 bytes: flag, value (0 when absent).
void WriteOptionalByte(ostream& out, const glo::Optional_t<std::uint8_t>& value);
void ReadOptionalByte(istream& in, glo::Optional_t<std::uint8_t>& value);

// Flag, then a track in the GPS track stream under 'version'; an empty track
// when absent.
void WriteOptionalTrack(const doc::Info_t& version, ostream& out, const glo::Optional_t<gdb::Track_t>& track);
// The track is read as stored (gdb::Track_t::ReadStored); 'track' changes only
// when the whole track was read.
void ReadOptionalTrack(const doc::Info_t& version, istream& in, glo::Optional_t<gdb::StoredTrack_t>& track);

}  // namespace bin
