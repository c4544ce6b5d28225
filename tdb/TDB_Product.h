#pragma once
// One installed map product as its description file tells it: header fields,
// regions, notices, region and sub-region names and the file's signature, with
// what its installation record says of it.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "bin/BIN_stream.h"
#include "geo/GEO_Box.h"
#include "glo/GLO_Exception.h"
#include "tdb/TDB_Copyright.h"
#include "tdb/TDB_RegionDir.h"
#include "tdb/TDB_RegionNames.h"
#include "tdb/TDB_Signature.h"
#include "tdb/TDB_SubRegionNames.h"

namespace tdb {

class Product_t {
 public:
  // A description file of a format version this reader does not know (500 or more).
  class UnsupportedFormatVersion_t : public glo::Exception_t {
   public:
    UnsupportedFormatVersion_t(const char* file, int line) : glo::Exception_t(file, line, std::string()) {}
  };

  // A product with every default; its name is string 1 of the language module.
  explicit Product_t(std::uint32_t productId);
  // A product of an installation record, to be filled by Read().
  Product_t(const std::string& loc, const std::string& bmap, const std::string& tdbPath,
            const std::vector<std::string>& startupLogos, const std::vector<std::string>& aboutLogos,
            const std::string& notice, bool partialInstall);

  // Reads the whole description file from a stream opened in binary mode. A
  // header that is missing or cut short, a second run of regions that adds to a
  // non-zero total, a second notice record and a record cut short are
  // glo::Exception_t; a format version of 500 or more is UnsupportedFormatVersion_t.
  // Files without family data need the file's last-write time (GetTdbPath()).
  void Read(bin::istream& in);

  // From the installation record.
  const std::string& GetLoc() const { return m_loc; }
  const std::string& GetBmap() const { return m_bmap; }
  const std::string& GetTdbPath() const { return m_tdbPath; }
  const std::vector<std::string>& GetStartupLogos() const { return m_startupLogos; }
  const std::vector<std::string>& GetAboutLogos() const { return m_aboutLogos; }
  const std::string& GetNotice() const { return m_notice; }
  bool IsPartialInstall() const { return m_partialInstall; }

  // The header.
  std::uint32_t GetId() const { return m_id; }
  std::uint16_t GetFormatVersion() const { return m_formatVersion; }
  const std::string& GetName() const { return m_name; }
  std::uint16_t GetDataVersion() const { return m_dataVersion; }
  const std::string& GetFamilyName() const { return m_familyName; }
  std::uint8_t GetSignatureRequired() const { return m_signatureRequired; }
  // Option bytes 1 to 10 and option values 1 and 2 of the header.
  std::uint8_t GetOptionByte(unsigned n) const { return m_optionBytes.at(n - 1); }
  std::uint32_t GetOptionValue(unsigned n) const { return m_optionValues.at(n - 1); }
  // What the map window makes of the first option bytes.
  std::uint8_t GetMinDetailLevel() const { return GetOptionByte(1); }
  bool DrawBasemapAreas() const { return GetOptionByte(2) != 0; }
  bool DrawBasemapLines() const { return GetOptionByte(3) != 0; }
  bool DrawBasemapPoints() const { return GetOptionByte(4) != 0; }
  bool BasemapUnclipped() const { return GetOptionByte(5) != 0; }
  // The coverage; empty when the file gives none.
  const geo::Box_t& GetBox() const { return m_box; }

  const RegionDir_t& GetRegionDir() const { return m_regionDir; }
  const Copyright_t& GetCopyright() const { return m_copyright; }
  const RegionNames_t& GetRegionNames() const { return m_regionNames; }
  const SubRegionNames_t& GetSubRegionNames() const { return m_subRegionNames; }
  const Signature_t& GetSignature() const { return m_signature; }

 private:
  void ReadHeader(bin::istream& in);
  void UseFamilyTable();

  std::string m_loc;
  std::string m_bmap;
  std::string m_tdbPath;
  std::vector<std::string> m_startupLogos;
  std::vector<std::string> m_aboutLogos;
  std::string m_notice;
  bool m_partialInstall = false;

  std::uint32_t m_id = 0;
  std::uint16_t m_formatVersion = 0;
  std::string m_name;
  std::uint16_t m_dataVersion = 0;
  std::string m_familyName;
  std::uint8_t m_signatureRequired = 0;
  std::array<std::uint8_t, 10> m_optionBytes{32, 1, 1, 1, 0, 0, 0, 0, 0, 1};
  std::array<std::uint32_t, 2> m_optionValues{1252, 10000};
  geo::Box_t m_box;

  RegionDir_t m_regionDir;
  Copyright_t m_copyright;
  RegionNames_t m_regionNames;
  SubRegionNames_t m_subRegionNames;
  Signature_t m_signature;
};

// The product of id 0 that stands for "no product", built on first use.
const Product_t& GetEmptyProduct();

// The built-in table of the old products whose files carry no family data.
struct FamilyTableEntry_t {
  const char* productName;
  const char* familyName;
  std::uint16_t dataVersion;
};
const std::vector<FamilyTableEntry_t>& GetFamilyTable();

}  // namespace tdb
