#pragma once
// Name/value rows of the two kinds of marine light: a light with sectors
// (attribute class 7) and a light without (class 8), from the attribute
// record and the light's flash and sector lists.
//
// Class 7 record: 4 character code, 5 and 6 unit codes of ranges 1 and 2,
// 7 flag, 8 range 1 (i32, 0 none), 12 range 2, 16 period (u16, tenths of a
// second, 0 none), 18 bearing (u16, tenths of a degree, above 3600 none),
// 20, 24, 28 label offsets C, A, B (-1 none), 32 bits 0-2 number of lights
// and bit 3 the second wording, 44 the code letter of character 11, else
// non-zero when the light has a flash sequence.
// Class 8 record: 4 colour code (0 none), 5 light colour code, 6 character
// code (0 none), 7 flag, 8, 12, 16 label offsets C, A, B, 20 period, 22 as
// byte 44 of class 7.
#include <cstdint>
#include <string>
#include <vector>

#include "map/MAP_FeatureInputs.h"
#include "mpl/MPL_Light.h"
#include "mpl/MPL_Rgn.h"

namespace mpl {
class Map_t;
}

namespace map {

// The flash and sector lists of a light and the texts of its labels.
class LightSource_t {
 public:
  virtual ~LightSource_t() = default;
  // The lists in the map reader's order; the light's attribute record is the
  // criteria of both.
  virtual std::vector<mpl::MdbLightFlash_t> GetFlashes(const mpl::MdbAuxInfo_t& light) = 0;
  virtual std::vector<mpl::MdbLightSector_t> GetSectors(const mpl::MdbAuxInfo_t& light) = 0;
  // The text of a label (title case).
  virtual std::string GetLabel(std::uint32_t offset) = 0;
};

// The lists and labels of a map. Map reader errors pass to the caller.
class MapLightSource_t : public LightSource_t {
 public:
  explicit MapLightSource_t(mpl::Map_t& map) : m_map(map) {}
  std::vector<mpl::MdbLightFlash_t> GetFlashes(const mpl::MdbAuxInfo_t& light) override;
  std::vector<mpl::MdbLightSector_t> GetSectors(const mpl::MdbAuxInfo_t& light) override;
  std::string GetLabel(std::uint32_t offset) override;

 private:
  mpl::Map_t& m_map;
};

// Names of the codes; glo::Assert_t for a code outside the table (colours
// 0-25, light colours 0-5, light characters 0-31).
std::string GetColourName(std::uint8_t code);
std::string GetLightColourName(std::uint8_t code);
std::string GetLightCharacterName(std::uint8_t code);

// The rows of a class 7 or class 8 light; glo::Assert_t for a record of
// another class.
NameValueRows_t DescribeSectorLight(const std::string& title, const mpl::MdbAuxInfo_t& record,
                                    LightSource_t& source);
NameValueRows_t DescribeLight(const std::string& title, const mpl::MdbAuxInfo_t& record, LightSource_t& source);

}  // namespace map
