#pragma once
// The attribute blocks of extended objects on marine charts: depths, heights,
// light characteristics and other chart attributes. A block starts with a byte
// e that holds a short value itself or says how many bytes follow (one to
// three, or a variable-length count); the object's kind, type and subtype pick
// the class that decodes it into the 52-byte attribute record.
//
// Record layouts by class (byte 0 is always the class; values little-endian):
//   2, 3, 13  byte 1 code (the short form: 2 when e bit 6 is set, else 0),
//             4 value (s32), 8 second value (s32, class 13 only)
//   4         bytes 1, 2, 3: the three small values
//   5         byte 1
//   6         byte 1 code, 2 the 10-bit value (u16), byte 4 which values are
//             present (bit 0 the 7-bit one, bit 1 the 16-bit one), 6 the
//             7-bit value with its extension (u16), 8 the 16-bit value (u16)
//   9         byte 1 first value, byte 2 second value, byte 3 code, 4 value (u32)
//   10-12     4 value (u32)
//   7, 8      a light: see MdbLight_t (mpl/MPL_Light.h)
#include <cstdint>

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Rgn.h"

namespace mpl {

// The object classes of the attribute table.
enum : unsigned { kAttrExtArea = 2, kAttrExtLine = 12, kAttrExtPoint = 18 };

// The attribute classes.
enum : std::uint8_t {
  kAttrNone = 0,
  kAttrUndecoded = 1,
  kAttrLight = 7,
  kAttrLightVariant = 8,
  kAttrTwoValues = 13,
};

// The class of an object's block by kind, type (engine numbering) and subtype;
// 1 when no row of the table matches.
std::uint8_t MdbAttributeClass(std::uint16_t subtype, unsigned objectClass, std::uint16_t type);

// Reads the block at 'offset' and moves the offset past it; with a record the
// block is decoded into it (cleared first). 0, or 1 on a read failure or a
// block that contradicts its own length.
int MdbReadAttributes(MdbMap_t& map, unsigned objectClass, std::uint16_t type, std::uint16_t subtype,
                      std::uint32_t& offset, MdbAuxInfo_t* record);

// Little-endian fields of an attribute record.
inline void MdbAuxPut16(MdbAuxInfo_t& r, unsigned at, std::uint32_t v) {
  r.bytes[at] = static_cast<std::uint8_t>(v);
  r.bytes[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void MdbAuxPut32(MdbAuxInfo_t& r, unsigned at, std::uint32_t v) {
  MdbAuxPut16(r, at, v & 0xFFFF);
  MdbAuxPut16(r, at + 2, v >> 16);
}
inline std::uint16_t MdbAuxGet16(const MdbAuxInfo_t& r, unsigned at) {
  return static_cast<std::uint16_t>(r.bytes[at] | (r.bytes[at + 1] << 8));
}
inline std::uint32_t MdbAuxGet32(const MdbAuxInfo_t& r, unsigned at) {
  return MdbAuxGet16(r, at) | (static_cast<std::uint32_t>(MdbAuxGet16(r, at + 2)) << 16);
}

}  // namespace mpl
