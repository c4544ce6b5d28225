#pragma once
// Lights of marine charts: the light record held in an attribute record
// (classes 7 and 8), the iteration over a light's sectors and over its flash
// pattern. The iterations read the RGN sub-file and never leave the light's
// attribute block.
#include <array>
#include <cstdint>

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Rgn.h"

namespace mpl {

// The light's fields as the attribute record holds them (byte offsets for a
// light, class 7 / for the variant, class 8). Offsets into the RGN sub-file
// are 0 when the list is absent.
//    0   class
//    4   value6: the light's character code / the colour code
//    5   small1: the unit code of range 1 / kind: the light colour code
//    6   small2: the unit code of range 2 / character: the light character code
//    7   flag (e bit 0)
//    8   value1: range 1 (s32) / refs: label references C, A, B at 8, 12, 16
//   12   value2: range 2 (s32)
//   16   value16: the period in tenths of a second (u16) / at 20
//   18   value12: the bearing in tenths of a degree (u16, 0xFFFF none)
//   20   refs: label references C, A, B at 20, 24, 28 (0xFFFFFFFF none)
//   32   nibble: the number of lights (bits 0-2) and the wording (bit 3)
//   33   colour, 34 range (u16): the light's own, without a sector list
//   36   sectorList, 40 colourList
//   44   flashCount (the code letter with character 11) / at 22
//   48   flashList / at 24
//   2 and 46: the low and high halves of blockEnd (both classes)
struct MdbLight_t {
  std::uint8_t cls = 0;          // 7 a light, 8 the variant
  std::uint8_t value6 = 0;       // the 6-bit value
  std::uint8_t small1 = 0;       // the two 2-bit values
  std::uint8_t small2 = 0;
  std::uint8_t flag = 0;         // e bit 0
  std::uint8_t nibble = 0;
  std::uint8_t colour = 0;       // 3 bits
  std::uint8_t flashCount = 0;   // 7 bits
  std::uint32_t value1 = 0;      // up to 3 bytes
  std::uint32_t value2 = 0;      // up to 3 bytes
  std::uint16_t value16 = 0;     // the period (the variant: announced by its character byte)
  std::uint16_t value12 = 0xFFFF;
  std::array<std::uint32_t, 3> refs{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
  std::uint16_t range = 0;       // 5 bits, 31 extended by one byte
  std::uint8_t kind = 0;         // the variant's kind
  std::uint8_t character = 0;    // the variant's character byte, bits 0-5
  std::uint32_t sectorList = 0;
  std::uint32_t colourList = 0;
  std::uint32_t flashList = 0;
  std::uint32_t blockEnd = 0;    // the offset after the attribute block
};

// Stores a light into an attribute record (all 52 bytes) and reads it back.
void MdbStoreLight(const MdbLight_t& light, MdbAuxInfo_t& record);
MdbLight_t MdbLightOf(const MdbAuxInfo_t& record);

// A sector of a light: bearings in tenths of a degree (3600 = 360.0).
struct MdbLightSector_t {
  std::uint16_t start = 0;
  std::uint16_t end = 0;
  std::uint8_t colour = 0;
  std::uint8_t range = 0;
};

struct MdbLightSectorState_t {
  MdbAuxInfo_t criteria;      // the light's attribute record
  std::uint32_t next = 0;     // the next sector-list entry
  std::uint16_t start = 0;    // the current sector's start
  std::uint16_t first = 0;    // the first entry's angle
  std::uint8_t colour = 0;
  std::uint8_t range = 0;
  std::uint16_t index = 0;    // the number of the current sector
  bool closing = false;       // the last entry was read: the final sector is due
  bool done = true;
};

// A flash element: the light's on and off durations.
struct MdbLightFlash_t {
  std::uint16_t on = 0;
  std::uint16_t off = 0;
};

struct MdbFlashCursor_t {
  std::uint32_t offset = 0;
  std::uint8_t repeats = 0;
  std::uint16_t duration = 0;
};

struct MdbLightFlashState_t {
  MdbAuxInfo_t criteria;
  MdbFlashCursor_t first, second;
  std::uint8_t left = 0;
};

// The sectors of a light (class 7; others give 3): 0 with a sector, 3 at the
// end, 1 on a read failure.
int MdbFirstLightSector(MdbMap_t& map, MdbLightSectorState_t& state, MdbLightSector_t& sector);
int MdbNextLightSector(MdbMap_t& map, MdbLightSectorState_t& state, MdbLightSector_t& sector);
// The flash pattern of a light (class 7 or 8).
int MdbFirstLightFlash(MdbMap_t& map, MdbLightFlashState_t& state, MdbLightFlash_t& flash);
int MdbNextLightFlash(MdbMap_t& map, MdbLightFlashState_t& state, MdbLightFlash_t& flash);

// Decodes the long form of a light block (class 7 or 8) whose bytes run from
// 'data' to 'end' into the record: 0, 1 on a read failure; a block too short
// for its own fields leaves the record at class 1.
int MdbDecodeLight(MdbMap_t& map, std::uint8_t cls, std::uint8_t e, std::uint32_t data, std::uint32_t end,
                   MdbAuxInfo_t& record);

// One entry of a flash list at the cursor, which moves on (bounded by 'end'):
// 0, 3 when the entry would lie past the end, 1 on a read failure.
int MdbReadFlashEntry(dsk::File_t& rgn, MdbFlashCursor_t& cursor, std::uint32_t end, std::uint16_t& duration);

}  // namespace mpl
