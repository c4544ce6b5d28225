#include "mpl/tide/MPL_TideRecords.h"

#include <cmath>

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Subfile.h"

namespace mpl {

namespace {

constexpr std::uint32_t kNoOffset = 0xFFFFFFFFu;

// The tide section of the LBL sub-file.
struct Section_t {
  std::uint32_t offset;
  std::uint32_t length;
};

Section_t TideSection(const MdbMap_t& map) { return {map.lbl.words196[0], map.lbl.words196[1]}; }

// Reads bytes of the section one field after another; a read that would pass
// the section's end gives 3, a failing read 1.
class Cursor_t {
 public:
  Cursor_t(MdbMap_t& map, std::uint32_t position) : m_map(map), m_section(TideSection(map)), m_pos(position) {}

  std::uint32_t Position() const { return m_pos; }
  void Skip(std::uint32_t n) { m_pos += n; }
  bool AtEnd() const { return m_pos >= m_section.length; }

  int Read(void* buffer, std::uint32_t n) {
    if (m_pos > m_section.length || n > m_section.length - m_pos) return kMdbNotFound;
    const int rc = MdbRead(m_map.lbl.file, static_cast<std::int64_t>(m_section.offset) + m_pos, buffer, n);
    if (rc != kMdbDone) return rc;
    m_pos += n;
    return kMdbDone;
  }
  // An unsigned little-endian field of 1 to 4 bytes (0 bytes read as 0).
  int Unsigned(unsigned width, std::uint32_t& value) {
    std::uint8_t b[4] = {};
    value = 0;
    if (width == 0) return kMdbDone;
    const int rc = Read(b, width);
    if (rc != kMdbDone) return rc;
    for (unsigned i = 0; i < width; ++i) value |= static_cast<std::uint32_t>(b[i]) << (8 * i);
    return kMdbDone;
  }
  int Signed(unsigned width, std::int32_t& value) {
    std::uint32_t u = 0;
    const int rc = Unsigned(width, u);
    const unsigned bits = 8 * width;
    value = static_cast<std::int32_t>(u << (32 - bits)) >> (32 - bits);
    return rc;
  }
  // Two 12-bit phases packed in three bytes, as 32-bit angles.
  int Phases(std::uint32_t& first, std::uint32_t& second) {
    std::uint32_t v = 0;
    const int rc = Unsigned(3, v);
    first = (v & 0xFFFu) << 20;
    second = (((v >> 16) & 0xFFu) * 16 + ((v >> 12) & 0xFu)) << 20;
    return rc;
  }

 private:
  MdbMap_t& m_map;
  Section_t m_section;
  std::uint32_t m_pos;
};

// Sign-extends the low 'bits' of a value.
std::int32_t SignExtend(std::uint32_t value, unsigned bits) {
  return static_cast<std::int32_t>(value << (32 - bits)) >> (32 - bits);
}

// The data offset stored at an LBL position in the section's offset width;
// all ones reads as -1.
int ReadStationPointer(MdbMap_t& map, std::uint32_t pointer, std::int32_t& dataOffset) {
  const unsigned width = TideOffsetWidth(TideSection(map).length);
  if (width == 0) return kMdbNotFound;
  std::uint8_t b[3] = {};
  const int rc = MdbRead(map.lbl.file, pointer, b, width);
  if (rc != kMdbDone) return rc;
  std::uint32_t v = 0;
  for (unsigned i = 0; i < width; ++i) v |= static_cast<std::uint32_t>(b[i]) << (8 * i);
  dataOffset = (v == (kNoOffset >> (32 - 8 * width))) ? -1 : static_cast<std::int32_t>(v);
  return kMdbDone;
}

bool InSection(const MdbMap_t& map, std::int32_t dataOffset) {
  return dataOffset >= 0 && static_cast<std::uint32_t>(dataOffset) < TideSection(map).length;
}

// Reads one constituent entry at a section position into the workspace.
int ReadEntry(MdbMap_t& map, std::uint32_t position, MDB_tide_constituent_ws_type& ws) {
  Cursor_t c(map, position);
  std::uint32_t word = 0, number = 0;
  int rc = c.Unsigned(2, word);
  if (rc == kMdbDone) rc = c.Unsigned(1, number);
  if (rc != kMdbDone) return rc;
  const std::uint32_t high = (word >> 12) & 3u;
  std::uint32_t amplitude = 0;
  if (word & 0x4000u) {
    std::uint32_t low = 0;
    rc = c.Unsigned(2, low);
    if (rc != kMdbDone) return rc;
    amplitude = high * 8192 + (low & 0x1FFFu);
    c.Skip(low >> 13);
  } else {
    std::uint32_t low = 0;
    rc = c.Unsigned(1, low);
    if (rc != kMdbDone) return rc;
    amplitude = high * 256 + low;
  }
  ws.entry.phase = (word & 0xFFFu) << 20;
  ws.entry.number = static_cast<std::uint8_t>(number);
  ws.entry.amplitude = static_cast<std::uint16_t>(amplitude);
  ws.next = ((word & 0x8000u) || c.AtEnd()) ? -1 : static_cast<std::int64_t>(c.Position());
  return kMdbDone;
}

// Field sizes of the day table and the monthly tables.
unsigned DayEntrySize(const MDB_tide_simplified_type& rec) { return (rec.dayFlags & 0x10) ? 2u : 1u; }
unsigned MonthlyField(const MDB_tide_simplified_type& rec, unsigned table) {
  return (rec.monthlyFlags >> (2 * table)) & 3u;
}

// The sum of the first n entries of a table of signed entries.
int SumEntries(MdbMap_t& map, std::uint32_t position, unsigned size, unsigned n, std::int32_t& sum) {
  Cursor_t c(map, position);
  sum = 0;
  for (unsigned i = 0; i < n; ++i) {
    std::int32_t v = 0;
    const int rc = c.Signed(size, v);
    if (rc != kMdbDone) return rc;
    sum += v;
  }
  return kMdbDone;
}

}  // namespace

unsigned TideOffsetWidth(std::uint32_t sectionLength) {
  if (sectionLength <= 256u) return 1;
  if (sectionLength <= 65536u) return 2;
  if (sectionLength <= 16777216u) return 3;
  return 0;
}

int MdbReadTideCorrections(MdbMap_t& map, unsigned type, unsigned subtype, std::uint32_t pointer,
                           MDB_tide_corrections_type& out) {
  if (type != 29 || (subtype != 0 && subtype != 1 && subtype != 6)) return kMdbNotFound;
  out = {};
  out.lowRatio = out.highRatio = 100;
  int rc = ReadStationPointer(map, pointer, out.dataOffset);
  if (rc != kMdbDone || subtype != 1) return rc;

  std::uint32_t position = pointer + TideOffsetWidth(TideSection(map).length);
  std::uint8_t b[2] = {};
  rc = MdbRead(map.lbl.file, position, b, 2);
  if (rc != kMdbDone) return rc;
  position += 2;
  const std::uint32_t f = b[0] | (b[1] << 8);
  std::uint32_t minutes = 0;
  if (f & 0x400u) {
    rc = MdbRead(map.lbl.file, position++, b, 1);
    if (rc != kMdbDone) return rc;
    minutes = b[0] & 0x3Fu;
  }
  const std::int32_t further = static_cast<std::int32_t>(((f >> 6) & 7u) * 60 + minutes);
  out.furtherTime = static_cast<std::int16_t>((f & 0x200u) ? -further : further);

  if (f & 0x800u) {
    rc = MdbRead(map.lbl.file, position, b, 2);
    position += 2;
    if (rc != kMdbDone) return rc;
    out.lowTime = static_cast<std::int16_t>(SignExtend(((f & 7u) << 8) | b[0], 11));
    out.highTime = static_cast<std::int16_t>(SignExtend((((f >> 3) & 7u) << 8) | b[1], 11));
  } else {
    rc = MdbRead(map.lbl.file, position++, b, 1);
    if (rc != kMdbDone) return rc;
    out.lowTime = static_cast<std::int16_t>(SignExtend(((f & 7u) << 4) | (b[0] & 0xFu), 7));
    out.highTime = static_cast<std::int16_t>(SignExtend((((f >> 3) & 7u) << 4) | (b[0] >> 4), 7));
  }

  const unsigned layout = (f >> 14) & 3u;
  rc = MdbRead(map.lbl.file, position, b, layout == 0 ? 1 : 2);
  if (rc != kMdbDone) return rc;
  const std::uint32_t first = b[0] + ((f & 0x1000u) ? 256u : 0u);
  const std::uint32_t second = b[1] + ((f & 0x2000u) ? 256u : 0u);
  switch (layout) {
    case 0:
      out.lowRatio = out.highRatio = static_cast<std::uint16_t>(first);
      break;
    case 1:
      out.lowRatio = out.highRatio = static_cast<std::uint16_t>(first);
      out.lowDifference = out.highDifference = static_cast<std::int16_t>(SignExtend(second, 9));
      break;
    case 2:
      out.lowRatio = static_cast<std::uint16_t>(first);
      out.highRatio = static_cast<std::uint16_t>(second);
      break;
    default:
      out.lowDifference = static_cast<std::int16_t>(SignExtend(first, 9));
      out.highDifference = static_cast<std::int16_t>(SignExtend(second, 9));
      break;
  }
  return kMdbDone;
}

int MdbReadTideRefInfo(MdbMap_t& map, std::int32_t dataOffset, MDB_tide_ref_info_type& out) {
  if (!InSection(map, dataOffset)) return kMdbNotFound;
  Cursor_t c(map, static_cast<std::uint32_t>(dataOffset));
  std::uint32_t flags = 0, minutes = 0, z0 = 0;
  int rc = c.Unsigned(1, flags);
  if (rc == kMdbDone && (flags & 0x20u)) rc = c.Unsigned(1, minutes);
  if (rc == kMdbDone) rc = c.Unsigned(2, z0);
  if (rc != kMdbDone) return rc;
  const std::int32_t offset = static_cast<std::int32_t>((flags & 0xFu) * 60 + minutes);
  out.dataOffset = dataOffset;
  out.utcOffset = static_cast<std::int16_t>((flags & 0x10u) ? -offset : offset);
  out.z0 = static_cast<std::uint16_t>(z0);
  out.headerLength = (flags & 0x20u) ? 4 : 3;
  return kMdbDone;
}

int MdbFirstTideConstituent(MdbMap_t& map, const MDB_tide_ref_info_type& ref, MDB_tide_constituent_ws_type& ws) {
  if (ref.dataOffset < 0 || ref.headerLength == 0) return kMdbNotFound;
  const std::uint32_t position = static_cast<std::uint32_t>(ref.dataOffset) + static_cast<std::uint32_t>(ref.headerLength);
  if (position >= TideSection(map).length) return kMdbNotFound;
  return ReadEntry(map, position, ws);
}

int MdbNextTideConstituent(MdbMap_t& map, MDB_tide_constituent_ws_type& ws) {
  if (ws.next < 0) return kMdbNotFound;
  return ReadEntry(map, static_cast<std::uint32_t>(ws.next), ws);
}

int MdbReadSimplifiedOffset(MdbMap_t& map, unsigned type, unsigned subtype, std::uint32_t pointer,
                            std::int32_t& dataOffset) {
  if (type != 29 || subtype != 2) return kMdbNotFound;
  return ReadStationPointer(map, pointer, dataOffset);
}

int MdbReadSimplifiedRecord(MdbMap_t& map, std::int32_t dataOffset, MDB_tide_simplified_type& out) {
  if (!InSection(map, dataOffset)) return kMdbNotFound;
  out = {};
  out.dataOffset = dataOffset;
  const std::uint32_t start = static_cast<std::uint32_t>(dataOffset);
  Cursor_t c(map, start);
  std::uint32_t flags = 0, v = 0;
  int rc = c.Unsigned(2, flags);
  if (rc != kMdbDone) return rc;
  out.flags = static_cast<std::uint16_t>(flags);
  if ((rc = c.Unsigned((flags & kTideZ0Wide) ? 2 : 1, v)) != kMdbDone) return rc;
  out.z0 = static_cast<std::uint16_t>(v);
  if ((rc = c.Phases(out.phases[0], out.phases[1])) != kMdbDone) return rc;
  if ((rc = c.Phases(out.phases[2], out.phases[3])) != kMdbDone) return rc;
  const unsigned amplitudeSize = (flags & kTideAmplitudesWide) ? 2 : 1;
  for (auto& amplitude : out.amplitudes) {
    if ((rc = c.Unsigned(amplitudeSize, amplitude)) != kMdbDone) return rc;
  }
  const unsigned shallow = (flags & kTideShallowMask) >> 11;
  if (shallow != 0) {
    if ((rc = c.Phases(out.phases[4], out.phases[5])) != kMdbDone) return rc;
    if ((rc = c.Unsigned(shallow >= 2 ? 2 : 1, out.f4)) != kMdbDone) return rc;
    if ((rc = c.Unsigned(shallow == 3 ? 2 : 1, out.f6)) != kMdbDone) return rc;
  }
  std::uint32_t minutes = 0;
  if ((flags & kTideUtcMinutes) && (rc = c.Unsigned(1, minutes)) != kMdbDone) return rc;
  const std::int32_t offset = static_cast<std::int32_t>((flags & kTideUtcHoursMask) * 60 + minutes);
  out.utcOffset = static_cast<std::int16_t>((flags & kTideUtcNegative) ? -offset : offset);
  out.meanLevelOffset = kNoOffset;
  if (flags & kTideMeanLevelTable) {
    const unsigned width = TideOffsetWidth(TideSection(map).length);
    if (width == 0) return kMdbNotFound;
    if ((rc = c.Unsigned(width, out.meanLevelOffset)) != kMdbDone) return rc;
  }
  if (flags & kTideDayTable) {
    if ((rc = c.Unsigned(1, v)) != kMdbDone) return rc;
    out.dayFlags = static_cast<std::uint8_t>(v);
    if (c.Position() - start > 255) return kMdbNotFound;
    out.dayTablePosition = static_cast<std::uint8_t>(c.Position() - start);
    c.Skip(8 * DayEntrySize(out));
  }
  if (flags & kTideMonthlyTables) {
    if ((rc = c.Unsigned(1, v)) != kMdbDone) return rc;
    out.monthlyFlags = static_cast<std::uint8_t>(v);
    if (c.Position() - start > 255) return kMdbNotFound;
    out.monthlyPosition = static_cast<std::uint8_t>(c.Position() - start);
  }
  return kMdbDone;
}

int MdbReadDayLevel(MdbMap_t& map, const MDB_tide_simplified_type& rec, unsigned index, std::int32_t& raw,
                    std::int32_t& divisor) {
  if (index > 7 || !(rec.flags & kTideDayTable) || rec.dataOffset < 0) return kMdbNotFound;
  std::int32_t sum = 0;
  const int rc = SumEntries(map, static_cast<std::uint32_t>(rec.dataOffset) + rec.dayTablePosition,
                            DayEntrySize(rec), index + 1, sum);
  if (rc != kMdbDone) return rc;
  std::int32_t a = 1, b = 1;
  divisor = 100;
  if (rec.dayFlags & 0x08) {
    divisor = 1000;
    a = (rec.flags & kTideZ0Fine) ? 1 : 10;
  } else if (rec.flags & kTideZ0Fine) {
    divisor = 1000;
    b = 10;
  }
  raw = static_cast<std::int32_t>(rec.z0) * a + sum * b;
  return kMdbDone;
}

int MdbReadMonthlyValue(MdbMap_t& map, const MDB_tide_simplified_type& rec, unsigned month, unsigned table,
                        std::int32_t& raw, std::int32_t& divisor) {
  if (!(rec.flags & kTideMonthlyTables) || table > 3 || month < 1 || month > 12 || rec.dataOffset < 0) {
    return kMdbNotFound;
  }
  const unsigned field = MonthlyField(rec, table);
  if (field == 0) return kMdbNotFound;
  std::uint32_t position = static_cast<std::uint32_t>(rec.dataOffset) + rec.monthlyPosition;
  for (unsigned t = 0; t < table; ++t) {
    const unsigned other = MonthlyField(rec, t);
    if (other != 0) position += 11 * ((other & 2) ? 2u : 1u);
  }
  std::int32_t sum = 0;
  const int rc = SumEntries(map, position, (field & 2) ? 2 : 1, month - 1, sum);
  if (rc != kMdbDone) return rc;
  if (table <= kTideS2Phase) {
    const double degrees = (field == 3) ? sum / 10.0 : static_cast<double>(sum);
    const double steps = degrees * 4096.0 / 360.0;
    const std::int32_t rounded = static_cast<std::int32_t>(steps < 0 ? -std::floor(-steps + 0.5) : std::floor(steps + 0.5));
    const std::int32_t base = static_cast<std::int32_t>(rec.phases[table] >> 20);
    raw = static_cast<std::int32_t>(static_cast<std::uint32_t>(base + rounded) << 20);
    divisor = 1;
    return kMdbDone;
  }
  const std::int32_t base = static_cast<std::int32_t>(rec.amplitudes[table == kTideM2Amplitude ? 0 : 1]);
  const bool fine = (rec.flags & kTideAmplitudesFine) != 0;
  if (field == 3) {
    raw = base * (fine ? 1 : 10) + sum;
    divisor = 1000;
  } else {
    raw = base + sum * (fine ? 10 : 1);
    divisor = fine ? 1000 : 100;
  }
  return kMdbDone;
}

int MdbReadMeanLevelValue(MdbMap_t& map, std::uint32_t tableOffset, unsigned month, std::int32_t& raw,
                          std::int32_t& divisor) {
  if (tableOffset == kNoOffset || tableOffset >= TideSection(map).length || month < 1 || month > 12) {
    return kMdbNotFound;
  }
  Cursor_t c(map, tableOffset);
  std::uint32_t header = 0;
  int rc = c.Unsigned(1, header);
  if (rc != kMdbDone) return rc;
  static constexpr unsigned kWidths[4] = {2, 4, 8, 16};
  const unsigned width = kWidths[header & 3u];
  divisor = (header & 4u) ? 100 : 10;
  std::uint8_t packed[24] = {};
  rc = c.Read(packed, 12 * width / 8);
  if (rc != kMdbDone) return rc;
  std::int32_t sum = static_cast<std::int32_t>(header >> 3);
  for (unsigned i = 0; i < month; ++i) {
    std::uint32_t v = 0;
    if (width == 16) {
      v = packed[2 * i] | (packed[2 * i + 1] << 8);
    } else {
      const unsigned bit = i * width;
      v = (packed[bit / 8] >> (bit % 8)) & ((1u << width) - 1u);
    }
    sum += SignExtend(v, width);
  }
  raw = sum;
  return kMdbDone;
}

}  // namespace mpl
