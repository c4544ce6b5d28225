// Lights: the light record decoded from its block, its sectors and its flash
// pattern, read back from a built map.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mpl/MPL_Light.h"
#include "mpl/MPL_Marine.h"
#include "tests/imgkit/MarineBuilder.h"
#include "tests/mpl/MarineMap.h"

namespace {

using imgkit::FlashEntry;
using imgkit::LightBlock_t;
using imgkit::SectorEntry;

struct Sector_t {
  int start, end, colour, range;
  bool operator==(const Sector_t&) const = default;
};

struct Flash_t {
  int on, off;
  bool operator==(const Flash_t&) const = default;
};

// Opens a map whose extended points are lights (type 0x101) with these blocks
// and reads each one's attribute record.
struct Lights_t {
  explicit Lights_t(const std::vector<std::string>& blocks, std::uint16_t type = 0x101)
      : open(Fixture(blocks, type)) {
    EXPECT_EQ(0, open.result);
    for (std::size_t i = 0; i < blocks.size(); ++i) {
      mpl::MdbPointRecord_t point;
      point.ref = mpl::MdbMakeRef(4, static_cast<unsigned>(i + 1), true);
      mpl::MdbAuxInfo_t aux;
      EXPECT_EQ(0, mpl::MdbGetPoint(open.map, point, 0, &aux)) << i;
      records.push_back(aux);
    }
  }
  static rgntest::Fixture_t Fixture(const std::vector<std::string>& blocks, std::uint16_t type) {
    std::vector<imgkit::RgnExtObject_t> points;
    for (const std::string& b : blocks) points.push_back(marinetest::WithBlock(type, 0, b));
    return marinetest::WithObjects(points);
  }
  std::vector<Sector_t> Sectors(std::size_t i, int* end = nullptr) {
    std::vector<Sector_t> out;
    mpl::MdbLightSectorState_t state;
    state.criteria = records.at(i);
    mpl::MdbLightSector_t s;
    int r = mpl::MdbFirstLightSector(open.map, state, s);
    for (; r == 0 && out.size() < 20; r = mpl::MdbNextLightSector(open.map, state, s))
      out.push_back({s.start, s.end, s.colour, s.range});
    if (end != nullptr) *end = r;
    return out;
  }
  std::vector<Flash_t> Flashes(std::size_t i, int* end = nullptr) {
    std::vector<Flash_t> out;
    mpl::MdbLightFlashState_t state;
    state.criteria = records.at(i);
    mpl::MdbLightFlash_t f;
    int r = mpl::MdbFirstLightFlash(open.map, state, f);
    for (; r == 0 && out.size() < 20; r = mpl::MdbNextLightFlash(open.map, state, f))
      out.push_back({f.on, f.off});
    if (end != nullptr) *end = r;
    return out;
  }
  rgntest::Open_t open;
  std::vector<mpl::MdbAuxInfo_t> records;
};

TEST(MarineLightTest, LightFields) {
  LightBlock_t a;
  a.flag = true;
  a.value6 = 0x2A;
  a.small1 = 2;
  a.small2 = 1;
  a.value1 = 0x1234;
  a.value1Bytes = 2;
  a.value2 = 0x56;
  a.value2Bytes = 1;
  a.value16 = 300;  // one byte and bit 6 of the first word
  a.refs = {0x0A0B0C, std::nullopt, 0x010203};
  a.value12 = 0x0ABC;
  a.nibble = 9;
  a.colour = 5;
  a.range = 40;  // 31 and one more byte
  LightBlock_t b;
  b.value16 = 0x4321;  // two bytes
  Lights_t lights({imgkit::LightAttr(a), imgkit::LightAttr(b)});
  const mpl::MdbLight_t l = mpl::MdbLightOf(lights.records[0]);
  EXPECT_EQ(7, l.cls);
  EXPECT_EQ(0x2A, l.value6);
  EXPECT_EQ(2, l.small1);
  EXPECT_EQ(1, l.small2);
  EXPECT_EQ(1, l.flag);
  EXPECT_EQ(0x1234u, l.value1);
  EXPECT_EQ(0x56u, l.value2);
  EXPECT_EQ(300, l.value16);
  EXPECT_EQ(0x0A0B0Cu, l.refs[0]);
  EXPECT_EQ(0xFFFFFFFFu, l.refs[1]);
  EXPECT_EQ(0x010203u, l.refs[2]);
  EXPECT_EQ(0x0ABC, l.value12);
  EXPECT_EQ(9, l.nibble);
  EXPECT_EQ(5, l.colour);
  EXPECT_EQ(40, l.range);
  EXPECT_EQ(0u, l.sectorList);
  EXPECT_EQ(0u, l.flashList);
  const mpl::MdbLight_t m = mpl::MdbLightOf(lights.records[1]);
  EXPECT_EQ(0x4321, m.value16);
  EXPECT_EQ(0xFFFF, m.value12);
  // Where the light's describers and the point symbols read the fields:
  // character 4, range units 5 and 6, flag 7, ranges 8 and 12, period 16,
  // bearing 18, labels C, A, B at 20, 24, 28, number of lights 32.
  const mpl::MdbAuxInfo_t& r = lights.records[0];
  EXPECT_EQ((std::vector<int>{7, 0x2A, 2, 1, 1}), (std::vector<int>{r.bytes[0], r.bytes[4], r.bytes[5], r.bytes[6], r.bytes[7]}));
  EXPECT_EQ(0x1234u, mpl::MdbAuxGet32(r, 8));
  EXPECT_EQ(0x56u, mpl::MdbAuxGet32(r, 12));
  EXPECT_EQ(300, mpl::MdbAuxGet16(r, 16));
  EXPECT_EQ(0x0ABC, mpl::MdbAuxGet16(r, 18));
  EXPECT_EQ(0x0A0B0Cu, mpl::MdbAuxGet32(r, 20));
  EXPECT_EQ(0xFFFFFFFFu, mpl::MdbAuxGet32(r, 24));
  EXPECT_EQ(0x010203u, mpl::MdbAuxGet32(r, 28));
  EXPECT_EQ(9, r.bytes[32]);
  EXPECT_EQ(0xFFFF, mpl::MdbAuxGet16(lights.records[1], 18));  // no bearing
  // The record keeps every field through its 52 bytes.
  mpl::MdbAuxInfo_t again;
  mpl::MdbStoreLight(l, again);
  EXPECT_EQ(lights.records[0].bytes, again.bytes);
}

TEST(MarineLightTest, Sectors) {
  // Without a sector list: one sector all round in the light's colour.
  LightBlock_t plain;
  plain.colour = 3;
  plain.range = 40;
  // Entries at 900 (colour 1) and 2700 (colour 2, last).
  LightBlock_t two;
  two.sectors = SectorEntry(900, 1, 10, false) + SectorEntry(2700, 2, 12, true);
  // A colour list overrides the entries' colours, low nibble first; an entry
  // at the same angle changes the colour without a sector of no width.
  LightBlock_t listed;
  listed.sectors = SectorEntry(0, 1, 5, false) + SectorEntry(0, 4, 6, false) + SectorEntry(1800, 1, 7, true);
  listed.colours = std::string(1, '\x52');
  // Without a sector list the colour list's first nibble is the colour.
  LightBlock_t plainListed = plain;
  plainListed.colours = std::string(1, '\x06');
  // A single entry marked last: the sector runs all round from it.
  LightBlock_t single;
  single.sectors = SectorEntry(450, 3, 9, true);
  Lights_t lights({imgkit::LightAttr(plain), imgkit::LightAttr(two), imgkit::LightAttr(listed),
                   imgkit::LightAttr(plainListed), imgkit::LightAttr(single)});
  int end = -1;
  EXPECT_EQ((std::vector<Sector_t>{{0, 3600, 3, 40}}), lights.Sectors(0, &end));
  EXPECT_EQ(3, end);
  EXPECT_EQ((std::vector<Sector_t>{{900, 2700, 1, 10}, {2700, 900, 2, 12}}), lights.Sectors(1, &end));
  EXPECT_EQ(3, end);
  EXPECT_EQ((std::vector<Sector_t>{{0, 1800, 2, 6}, {1800, 0, 5, 7}}), lights.Sectors(2));
  EXPECT_EQ((std::vector<Sector_t>{{0, 3600, 6, 40}}), lights.Sectors(3));
  EXPECT_EQ((std::vector<Sector_t>{{450, 450, 3, 9}}), lights.Sectors(4));
}

TEST(MarineLightTest, SectorAndColourListsEndWithTheBlock) {
  // A sector list whose last entry is missing: the bytes after the block (the
  // object's trailer) are not taken as entries.
  LightBlock_t open;
  open.sectors = SectorEntry(0, 1, 5, false) + SectorEntry(1200, 2, 6, false);
  // A colour list of one byte for four sectors: the last two keep their
  // entries' colours.
  LightBlock_t shortList;
  shortList.sectors = SectorEntry(0, 1, 1, false) + SectorEntry(900, 2, 1, false) + SectorEntry(1800, 3, 1, false) +
                      SectorEntry(2700, 4, 1, true);
  shortList.colours = std::string(1, '\x76');
  Lights_t lights({imgkit::LightAttr(open), imgkit::LightAttr(shortList)});
  int end = -1;
  EXPECT_EQ((std::vector<Sector_t>{{0, 1200, 1, 5}}), lights.Sectors(0, &end));
  EXPECT_EQ(3, end);
  EXPECT_EQ((std::vector<Sector_t>{{0, 900, 6, 1}, {900, 1800, 7, 1}, {1800, 2700, 3, 1}, {2700, 0, 4, 1}}),
            lights.Sectors(1));
}

TEST(MarineLightTest, FlashPatterns) {
  // 0x45: duration 5 for this entry and the next; 0x3F takes one more byte.
  LightBlock_t a;
  a.flashCount = 3;
  a.flashes = FlashEntry(5, 1) + FlashEntry(70) + FlashEntry(10) + FlashEntry(20) + FlashEntry(30);
  a.sectors = SectorEntry(0, 1, 5, false) + SectorEntry(1800, 2, 5, true);
  a.colours = std::string(1, '\x21');
  EXPECT_EQ('\x45', a.flashes->front());
  // A flash count without a list, and a flash list cut short by the block.
  LightBlock_t none;
  none.flashCount = 2;
  LightBlock_t cut;
  cut.flashCount = 4;
  cut.flashes = FlashEntry(1, 3) + FlashEntry(2);
  Lights_t lights({imgkit::LightAttr(a), imgkit::LightAttr(none), imgkit::LightAttr(cut)});
  int end = -1;
  EXPECT_EQ((std::vector<Flash_t>{{5, 10}, {5, 20}, {70, 30}}), lights.Flashes(0, &end));
  EXPECT_EQ(3, end);
  // The colour list after the flash lists still reaches the sectors.
  EXPECT_EQ((std::vector<Sector_t>{{0, 1800, 1, 5}, {1800, 0, 2, 5}}), lights.Sectors(0));
  EXPECT_TRUE(lights.Flashes(1, &end).empty());
  EXPECT_EQ(3, end);
  EXPECT_EQ((std::vector<Flash_t>{{1, 2}}), lights.Flashes(2, &end));
  EXPECT_EQ(3, end);
}

TEST(MarineLightTest, VariantAndShortForms) {
  // The variant: e below 0x80 gives the 6-bit value alone; the long form a
  // kind, references, a value and a flash pattern.
  std::string body;
  body += std::string("\x05\x0A", 2);  // w: value 5, kind 2 (bits 10-13), bit 9 the flash count
  body += std::string("\x01\x02\x03", 3);  // a reference (e bit 1)
  body += '\x47';                          // character 7 and a period in one more byte
  body += '\x02';                          // ... of 2
  body += '\x81';                          // one flash, its list right after
  body += FlashEntry(4) + FlashEntry(8);
  Lights_t lights({imgkit::AttrShort(0x2B), imgkit::AttrLong(0xE2, body), imgkit::AttrShort(0x85, "\x01")}, 0x102);
  EXPECT_EQ((std::vector<int>{8, 0x15}), (std::vector<int>{lights.records[0].bytes[0], lights.records[0].bytes[4]}));
  const mpl::MdbLight_t v = mpl::MdbLightOf(lights.records[1]);
  EXPECT_EQ(8, v.cls);
  EXPECT_EQ(5, v.value6);
  EXPECT_EQ(2, v.kind);
  EXPECT_EQ(0x030201u, v.refs[0]);
  EXPECT_EQ(7, v.character);
  EXPECT_EQ(2, v.value16);
  EXPECT_EQ((std::vector<Flash_t>{{4, 8}}), lights.Flashes(1));
  // The variant's record as its describer reads it: colour 4, light colour 5,
  // character 6, flag 7, labels C, A, B at 8, 12, 16, period 20, flashes 22.
  const mpl::MdbAuxInfo_t& r = lights.records[1];
  EXPECT_EQ((std::vector<int>{8, 5, 2, 7, 0, 1}),
            (std::vector<int>{r.bytes[0], r.bytes[4], r.bytes[5], r.bytes[6], r.bytes[7], r.bytes[22]}));
  EXPECT_EQ(0x030201u, mpl::MdbAuxGet32(r, 8));
  EXPECT_EQ(0xFFFFFFFFu, mpl::MdbAuxGet32(r, 12));
  EXPECT_EQ(2, mpl::MdbAuxGet16(r, 20));
  // Sectors belong to class 7 only.
  int end = -1;
  EXPECT_TRUE(lights.Sectors(1, &end).empty());
  EXPECT_EQ(3, end);
  EXPECT_EQ(1, lights.records[2].bytes[0]);  // a short form with a byte: undecoded
  // A light whose fixed fields run past its block is kept undecoded.
  Lights_t shortLight({imgkit::AttrLong(0xE0, std::string("\x00\x00", 2))});
  EXPECT_EQ(1, shortLight.records[0].bytes[0]);
}

}  // namespace
