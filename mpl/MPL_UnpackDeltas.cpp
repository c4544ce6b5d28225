#include "mpl/MPL_UnpackDeltas.h"

#include <algorithm>
#include <new>

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_StreamWord.h"
#include "mpl/MPL_Subfile.h"
#include "thr/THR_Lock.h"

namespace mpl {

namespace {

// Guards the shared block buffer while a stream is read from it; made on first
// use and kept until the process ends.
thr::CriticalSection_t& UnpackLock() {
  static thr::CriticalSection_t section;
  return section;
}

// Bits per delta of a width code: 2 to 11, then 13, 15, ... 23.
unsigned CodeWidth(unsigned code) { return code < 10 ? code + 2 : 2 * code - 7; }

// Only the start point, as a point and as the box.
std::uint32_t StartPointOnly(MdbUnpackState_t& s, std::vector<MdbPoint_t>& points, std::uint16_t wanted) {
  s.north = s.south = s.startLat;
  s.east = s.west = s.startLon;
  if (wanted != 0) points.push_back(MdbPoint_t{s.lat, s.lon});
  return static_cast<std::uint32_t>(points.size());
}

// Takes a sign mode of one axis: 0 signed, 2 common positive, 3 common negative.
bool TakeSignMode(MdbUnpackState_t& s, unsigned& mode) {
  std::uint32_t bit = 0;
  if (!MdbTakeBits(s, 1, bit)) return false;
  mode = 0;
  if (bit == 0) return true;
  if (!MdbTakeBits(s, 1, bit)) return false;
  mode = 2 + bit;
  return true;
}

std::uint32_t Unpack(MdbUnpackState_t& s, std::vector<MdbPoint_t>& points, std::uint16_t wanted) {
  s.lat = s.startLat;
  s.lon = s.startLon;
  s.bitsLeft = 0;
  s.buffer = 0;
  s.extra = 0;
  s.wordsLeft = 0;
  s.partBytes = 0;
  s.validBits = 0;
  s.north = s.south = s.startLat;
  s.east = s.west = 0;
  if (s.budget == 0) return StartPointOnly(s, points, wanted);

  // The info byte.
  dsk::File_t& rgn = s.map->rgn.file;
  std::uint32_t pos = MdbTell(rgn);
  const std::uint8_t* at = nullptr;
  std::uint32_t got = MdbReadBlock(rgn, at);
  if (got == 0) return StartPointOnly(s, points, wanted);
  s.nextPos = pos + got;
  const std::uint8_t info = at[0];
  --s.budget;
  ++pos;
  ++at;
  --got;
  if (got == 0) {
    // The info byte ended its block: the stream goes on in the next one.
    if (MdbSeek(rgn, s.nextPos, 0) >= 0) got = MdbReadBlock(rgn, at);
    s.nextPos += got;
  }
  s.lonDesc = MdbAxisDescriptor(info & 0x0F, 0);
  s.latDesc = MdbAxisDescriptor(info >> 4, 0);

  // The first word, from the 4-byte boundary at or below the next byte; the
  // block buffer starts on a block boundary, so offsets and addresses agree.
  const std::uint32_t misalign = pos & 3u;
  s.word = at - misalign;
  s.partBytes = got != 0 ? got + misalign : 0;  // nothing read: no words either
  s.wordsLeft = (s.partBytes + 3) / 4;
  if (s.budget != 0 && got != 0) {
    const std::uint32_t k = std::min({4 - misalign, s.budget, got});
    std::uint32_t value = 0;
    for (std::uint32_t i = 0; i < k; ++i) value |= static_cast<std::uint32_t>(at[i]) << (8 * i);
    s.buffer = value;
    s.bitsLeft = static_cast<std::uint8_t>(8 * k);
    s.budget -= k;
    const std::uint32_t taken = std::min<std::uint32_t>(4, s.partBytes);
    s.word += 4;
    s.partBytes -= taken;
    --s.wordsLeft;
  }

  // Sign modes, then the extra-field layout; a stream too short for them ends at its start.
  unsigned lonMode = 0, latMode = 0;
  if (!TakeSignMode(s, lonMode) || !TakeSignMode(s, latMode)) return StartPointOnly(s, points, wanted);
  s.lonDesc = MdbAxisDescriptor(info & 0x0F, lonMode);
  s.latDesc = MdbAxisDescriptor(info >> 4, latMode);
  if ((s.mode & kUnpackExtended) != 0) {
    std::uint32_t bit = 0, v = 0;
    if (!MdbTakeBits(s, 1, bit)) return StartPointOnly(s, points, wanted);
    if (bit != 0) {
      if (!MdbTakeBits(s, 4, v)) return StartPointOnly(s, points, wanted);
      s.extra = static_cast<std::uint8_t>((((v >> 1) + 1) << 4) | ((v & 1u) << 2));
    }
  } else if ((s.mode & kUnpackExtraBit) != 0) {
    s.extra = 1 << 4;
  }
  // The start point's extra field.
  if (s.extra != 0) {
    std::uint32_t present = 1, value = 0;
    if ((s.extra & 4) != 0 && !MdbTakeBits(s, 1, present)) return StartPointOnly(s, points, wanted);
    if (present != 0 && !MdbTakeBits(s, s.extra >> 4, value)) return StartPointOnly(s, points, wanted);
    if ((s.mode & kUnpackKeepExtra) != 0)
      s.lat = static_cast<std::int32_t>(static_cast<std::uint32_t>(s.lat) + value);
  }
  return MdbUnpackPoints(s, points, wanted);
}

}  // namespace

std::uint32_t MdbAxisDescriptor(unsigned code, unsigned signMode) {
  const unsigned b = CodeWidth(code & 15u);
  const std::uint32_t escape = static_cast<std::uint32_t>(-(std::int32_t{1} << b)) << 8;
  if (signMode >= 2) return b | 0x40u | (signMode == 3 ? 0x80u : 0u) | escape;
  return (b + 1) | escape;
}

std::uint32_t UnpackDeltas(MdbUnpackState_t& state, std::vector<MdbPoint_t>& points, std::uint16_t wanted) {
  thr::Lock_t lock(UnpackLock());
  try {
    return Unpack(state, points, wanted);
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

}  // namespace mpl
