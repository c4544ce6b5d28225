#pragma once
// The tide records of a map: one section of the label sub-file (LBL) holds the
// harmonic stations' reference records and constituent lists and the
// simplified stations' records with their day, monthly and mean-level tables.
// The readers return 0 done, 1 read error, 3 nothing to read.
#include <cstdint>

namespace mpl {

struct MdbMap_t;

// One harmonic constituent of a station.
struct MDB_tide_constituent_type {
  std::uint32_t phase;  // phase lag kappa, 2^32 = 360 degrees
  std::uint8_t number;  // constituent number
  std::uint16_t amplitude;  // thousandths of a foot
};

// The iteration workspace over a station's constituents.
struct MDB_tide_constituent_ws_type {
  MDB_tide_constituent_type entry;
  std::int64_t next;  // LBL position of the next entry, -1 after the last
};

// A harmonic station's reference record.
struct MDB_tide_ref_info_type {
  std::int32_t dataOffset;    // section-relative, -1 none
  std::int16_t utcOffset;     // minutes
  std::uint16_t z0;           // mean level, thousandths of a foot
  std::int32_t headerLength;  // 3, or 4 with a minutes byte
};

// A harmonic station's subordinate corrections (neutral without them).
struct MDB_tide_corrections_type {
  std::int32_t dataOffset;
  std::int16_t lowTime;    // minutes
  std::int16_t highTime;   // minutes
  std::uint16_t lowRatio;  // hundredths
  std::uint16_t highRatio;
  std::int16_t lowDifference;  // tenths of a foot
  std::int16_t highDifference;
  std::int16_t furtherTime;  // minutes, not used by the engine
};

// Flag bits of a simplified station record.
enum : std::uint16_t {
  kTideUtcHoursMask = 0x000F,
  kTideUtcNegative = 0x0010,
  kTideUtcMinutes = 0x0020,
  kTideZ0Fine = 0x0040,
  kTideZ0Wide = 0x0080,
  kTideAmplitudesFine = 0x0100,
  kTideAmplitudesWide = 0x0200,
  kTideMeanLevelTable = 0x0400,
  kTideShallowMask = 0x1800,
  kTideDayTable = 0x2000,
  kTideMonthlyTables = 0x4000,
};

// A simplified station's record.
struct MDB_tide_simplified_type {
  std::int32_t dataOffset;
  std::int16_t utcOffset;  // minutes
  std::uint16_t z0;
  std::uint16_t flags;
  std::uint32_t phases[6];  // M2, S2, K1, O1, F4, F6; 2^32 = 360 degrees
  std::uint32_t amplitudes[4];  // M2, S2, K1, O1
  std::uint32_t f4;
  std::uint32_t f6;
  std::uint32_t meanLevelOffset;
  std::uint8_t monthlyFlags;
  std::uint8_t dayFlags;
  std::uint8_t dayTablePosition;  // relative to the record
  std::uint8_t monthlyPosition;   // relative to the record
};

// The monthly constituent tables.
enum TideMonthlyTable_t { kTideM2Phase = 0, kTideS2Phase = 1, kTideM2Amplitude = 2, kTideS2Amplitude = 3 };

// The width in bytes of a stored section offset: 1, 2 or 3 by the section's
// length, 0 when the section is longer than 16 MiB (unreadable).
unsigned TideOffsetWidth(std::uint32_t sectionLength);

// The corrections of a harmonic station point (type 29, subtype 0, 1 or 6)
// whose data offset is stored at 'pointer' in the LBL sub-file.
int MdbReadTideCorrections(MdbMap_t& map, unsigned type, unsigned subtype, std::uint32_t pointer,
                           MDB_tide_corrections_type& out);
int MdbReadTideRefInfo(MdbMap_t& map, std::int32_t dataOffset, MDB_tide_ref_info_type& out);
// The first constituent entry into the workspace; then each next one.
int MdbFirstTideConstituent(MdbMap_t& map, const MDB_tide_ref_info_type& ref, MDB_tide_constituent_ws_type& ws);
int MdbNextTideConstituent(MdbMap_t& map, MDB_tide_constituent_ws_type& ws);

// The data offset of a simplified station point (type 29, subtype 2).
int MdbReadSimplifiedOffset(MdbMap_t& map, unsigned type, unsigned subtype, std::uint32_t pointer,
                            std::int32_t& dataOffset);
int MdbReadSimplifiedRecord(MdbMap_t& map, std::int32_t dataOffset, MDB_tide_simplified_type& out);
// Entry 0..7 of the day table: the mean level is raw / divisor metres.
int MdbReadDayLevel(MdbMap_t& map, const MDB_tide_simplified_type& rec, unsigned index, std::int32_t& raw,
                    std::int32_t& divisor);
// Month 1..12 of a monthly table: a phase as a 32-bit angle in 'raw' (divisor
// 1), an amplitude as raw / divisor metres.
int MdbReadMonthlyValue(MdbMap_t& map, const MDB_tide_simplified_type& rec, unsigned month, unsigned table,
                        std::int32_t& raw, std::int32_t& divisor);
// Month 1..12 of the mean-level table at a section offset: raw / divisor metres.
int MdbReadMeanLevelValue(MdbMap_t& map, std::uint32_t tableOffset, unsigned month, std::int32_t& raw,
                          std::int32_t& divisor);

}  // namespace mpl
