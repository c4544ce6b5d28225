// The point loop and the delta reader of the coordinate unpacker.
#include <array>
#include <new>

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_StreamWord.h"
#include "mpl/MPL_UnpackDeltas.h"

namespace mpl {

namespace {

std::int32_t Add(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// Wraps around like Add; a start of -2^31 (180 degrees west) has no negation in int32.
std::int32_t Sub(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

std::uint32_t LowBits(std::uint32_t value, unsigned n) { return n >= 32 ? value : value & ((1u << n) - 1); }

}  // namespace

bool MdbTakeBits(MdbUnpackState_t& s, unsigned n, std::uint32_t& value) {
  if (s.bitsLeft >= n) {
    value = LowBits(s.buffer, n);
    s.buffer = n >= 32 ? 0 : s.buffer >> n;
    s.bitsLeft = static_cast<std::uint8_t>(s.bitsLeft - n);
    return true;
  }
  const unsigned have = s.bitsLeft;
  const std::uint32_t low = LowBits(s.buffer, have);
  const std::uint32_t word = MdbNextStreamWord(s);
  if (have + s.validBits < n) {
    s.bitsLeft = 0;
    s.buffer = 0;
    return false;
  }
  const unsigned need = n - have;
  value = low | (need >= 32 ? word : LowBits(word, need)) << have;
  s.buffer = need >= 32 ? 0 : word >> need;
  s.bitsLeft = static_cast<std::uint8_t>(s.validBits - need);
  return true;
}

bool MdbReadDelta(MdbUnpackState_t& s, std::uint32_t desc, std::int32_t& delta) {
  const unsigned n = desc & 0x1F;
  std::uint32_t raw = 0;
  std::int64_t value = 0;
  if ((desc & 0x40) != 0) {
    if (!MdbTakeBits(s, n, raw)) return false;
    value = (desc & 0x80) != 0 ? -std::int64_t{raw} : std::int64_t{raw};
  } else {
    const std::int64_t escape = static_cast<std::int32_t>(desc) >> 8;
    std::int64_t sum = 0;
    for (;;) {
      if (!MdbTakeBits(s, n, raw)) return false;
      // Two's complement of n bits.
      const std::int64_t v = (raw & (1u << (n - 1))) != 0 ? std::int64_t{raw} - (std::int64_t{1} << n) : raw;
      if (v != escape) {
        value = v >= 0 ? v - sum : v + sum;
        break;
      }
      // An escape lengthens the delta by 2^(n-1) - 1 towards the final value's sign.
      sum += v + 1;
    }
  }
  delta = static_cast<std::int32_t>(static_cast<std::uint32_t>(value) << MdbLevelShift(s.bits));
  return true;
}

std::uint32_t MdbUnpackPoints(MdbUnpackState_t& s, std::vector<MdbPoint_t>& points, std::uint16_t wanted) {
  std::array<MdbPoint_t, 32> staged;
  unsigned count = 0;
  std::int32_t relLon = Sub(s.lon, s.startLon);
  const unsigned extraBits = s.extra >> 4;
  const bool presence = (s.extra & 4) != 0;
  const bool keep = (s.mode & kUnpackKeepExtra) != 0;
  for (;;) {
    if (wanted != 0) {
      staged[count++] = MdbPoint_t{s.lat, s.lon};
      if (count == staged.size()) {
        points.insert(points.end(), staged.begin(), staged.end());
        count = 0;
      }
    }
    std::int32_t d = 0;
    if (!MdbReadDelta(s, s.lonDesc, d)) break;
    s.lon = Add(s.lon, d);
    relLon = Add(relLon, d);
    if (!MdbReadDelta(s, s.latDesc, d)) break;
    s.lat = Add(s.lat, d);
    std::uint32_t extra = 0;
    if (extraBits != 0) {
      std::uint32_t present = 1;
      if (presence && !MdbTakeBits(s, 1, present)) break;
      if (present != 0 && !MdbTakeBits(s, extraBits, extra)) break;
      s.lat = static_cast<std::int32_t>(static_cast<std::uint32_t>(s.lat) & ~0xFFu);
    }
    if (s.lat > s.north) s.north = s.lat;
    if (s.lat < s.south) s.south = s.lat;
    if (relLon > s.east) s.east = relLon;
    if (relLon < s.west) s.west = relLon;
    if (keep) s.lat = static_cast<std::int32_t>(static_cast<std::uint32_t>(s.lat) | extra);
  }
  points.insert(points.end(), staged.begin(), staged.begin() + count);
  s.east = Add(s.east, s.startLon);
  s.west = Add(s.west, s.startLon);
  return static_cast<std::uint32_t>(points.size());
}

}  // namespace mpl
