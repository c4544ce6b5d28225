// The attribute blocks of extended objects: the input's first byte picks the
// types of an extended point, line and area, its second their subtype, and the
// rest is the attribute block all three carry (as stored, whatever length its
// first byte claims). Each object is read with its attribute record, and a
// light's sectors and flash pattern are listed.
#include "glo/GLO_Exception.h"
#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Light.h"
#include "mpl/MPL_Marine.h"
#include "mpl/MPL_Rgn.h"
#include "tests/fuzz/FuzzSeeds.h"
#include "tests/imgkit/MarineBuilder.h"
#include "tests/mpl/MarineMap.h"

namespace {

constexpr std::uint16_t kPointTypes[] = {0x101, 0x102, 0x103, 0x104, 0x105, 0x108, 0x109, 0x120};
constexpr std::uint16_t kLineTypes[] = {0x41, 0x43, 0x44, 0x45, 0x46, 0x50, 0x41, 0x41};
constexpr std::uint16_t kAreaTypes[] = {0x81, 0x83, 0x86, 0x87, 0x81, 0x90, 0x87, 0x83};

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

std::string Input(unsigned pick, unsigned subtype, const std::string& block) {
  return std::string{static_cast<char>(pick), static_cast<char>(subtype)} + block;
}

void Lists(mpl::MdbMap_t& map, const mpl::MdbAuxInfo_t& aux) {
  const mpl::MdbLight_t light = mpl::MdbLightOf(aux);
  mpl::MdbLightSectorState_t sectors;
  sectors.criteria = aux;
  mpl::MdbLightSector_t s;
  unsigned n = 0;
  for (int r = mpl::MdbFirstLightSector(map, sectors, s); r == 0; r = mpl::MdbNextLightSector(map, sectors, s)) {
    Check(s.start <= 0xFFF && s.end <= 0xFFF && s.colour <= 15);
    // Every sector after the first takes one entry of at least two bytes.
    Check(++n <= 2 + (light.blockEnd - light.sectorList) / 2);
  }
  mpl::MdbLightFlashState_t flashes;
  flashes.criteria = aux;
  mpl::MdbLightFlash_t f;
  n = 0;
  for (int r = mpl::MdbFirstLightFlash(map, flashes, f); r == 0; r = mpl::MdbNextLightFlash(map, flashes, f)) {
    Check(f.on <= 190 && f.off <= 190);
    Check(++n <= light.flashCount);
  }
}

}  // namespace

std::vector<std::string> StrideFuzzSeeds() {
  imgkit::LightBlock_t light;
  light.value16 = 300;
  light.refs = {1, 2, 3};
  light.sectors = imgkit::SectorEntry(900, 1, 10, false) + imgkit::SectorEntry(2700, 2, 12, true);
  light.flashCount = 3;
  light.flashes = imgkit::FlashEntry(5, 1) + imgkit::FlashEntry(70) + imgkit::FlashEntry(10) +
                  imgkit::FlashEntry(20) + imgkit::FlashEntry(30);
  light.colours = std::string(1, '\x21');
  imgkit::LightBlock_t plain;
  plain.colour = 3;
  plain.range = 40;
  plain.value12 = 7;
  plain.nibble = 2;
  return {
      Input(0, 0, imgkit::LightAttr(light)),
      Input(0, 0, imgkit::LightAttr(plain)),
      Input(1, 0, imgkit::AttrLong(0xE2, std::string("\x05\x0A\x01\x02\x03\x47\x02\x81\x08\x10", 10))),
      Input(2, 1, imgkit::AttrShort(0xAD, std::string("\x34\x12", 2))),
      Input(2, 4, imgkit::AttrLong(0xE1, std::string("\x01\x02\x03\x04\x05\x06", 6))),
      Input(3, 0, imgkit::AttrShort(0xAF, std::string("\x0B\x22", 2))),
      Input(4, 8, imgkit::AttrShort(0xC5, std::string("\x02\x34\x12", 3))),
      Input(6, 2, imgkit::AttrShort(0xC1, std::string("\x01\x02\x03", 3))),
      Input(7, 9, imgkit::AttrLong(0xE5, std::string(40, 'x'))),
      // A light whose sector list runs to the block's end.
      Input(0, 0, imgkit::AttrLong(0xE0, std::string("\x00\x08\x00\x00\x10\x05\xB0\x14", 8))),
  };
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3 || size > 4000) return 0;
  const unsigned pick = data[0] % 8;
  const std::uint8_t subtype = data[1] & 0x1F;
  const std::string block = fuzz::Bytes(data + 2, size - 2);
  try {
    rgntest::Open_t open(marinetest::WithObjects({marinetest::WithBlock(kPointTypes[pick], subtype, block)},
                                                 {marinetest::WithBlock(kLineTypes[pick], subtype, block)},
                                                 {marinetest::WithBlock(kAreaTypes[pick], subtype, block)}));
    if (open.result != 0) return 0;
    mpl::MdbMap_t& map = open.map;
    mpl::MdbAuxInfo_t aux;
    mpl::MdbPointRecord_t point;
    point.ref = mpl::MdbMakeRef(4, 1, true);
    if (mpl::MdbGetPoint(map, point, 0, &aux) == 0) {
      Check(aux.bytes[0] <= 13);
      Lists(map, aux);
    }
    mpl::MdbLineRecord_t line;
    line.ref = mpl::MdbMakeRef(4, 1, true);
    if (mpl::MdbGetLine(map, line, 5, &aux) == 0) Check(aux.bytes[0] <= 13);
    mpl::MdbAreaRecord_t area;
    area.ref = mpl::MdbMakeRef(4, 1, true);
    if (mpl::MdbGetArea(map, area, 5, &aux) == 0) Check(aux.bytes[0] <= 13);
  } catch (const glo::Exception_t&) {
  } catch (const std::invalid_argument&) {
  }
  return 0;
}
