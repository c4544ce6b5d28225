#pragma once
// The attribute blocks of extended objects on marine charts: depths, heights,
// light characteristics and other chart attributes. A block starts with a byte
// e that holds a short value itself or says how many bytes follow (one to
// three, or a variable-length count); the object's kind, type and subtype pick
// the class that decodes it into the 52-byte attribute record.
//
// Record layouts by class (byte 0 is always the class, the class's fields
// start at byte 4; values little-endian; the readers of the record - the
// feature descriptions, the point symbols and labels - rely on these offsets):
//   2, 3, 13  4 unit code (the short form: 2 when e bit 6 is set, else 0),
//             8 value (s32), 12 second value (s32, class 13 only)
//   4         bytes 4, 5, 6: the three small values
//   5         4 the colour index
//   6         4 the 10-bit category flags (u16), 6 the unit code, 7 whether the
//             measured value is present, 8 whether the angle is present,
//             10 the measured value (the 7-bit value with its extension, u16),
//             12 the angle in tenths of a degree (the 16-bit value, u16)
//   9         4 category (the first 3-bit value), 5 level (the second),
//             6 unit code, 8 value (u32)
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

// Offsets of the fields in the attribute record.
enum : unsigned {
  kAuxFirst = 4,   // the first field of every class
  kAuxUnit = 4,    // classes 2, 3, 13
  kAuxValue = 8,
  kAuxValue2 = 12,
  kAux6Categories = 4,
  kAux6Unit = 6,
  kAux6ValuePresent = 7,
  kAux6AnglePresent = 8,
  kAux6Value = 10,
  kAux6Angle = 12,
  kAux9Category = 4,
  kAux9Level = 5,
  kAux9Unit = 6,
  kAux9Value = 8,
  kAuxWord = 4,    // classes 10-12
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
