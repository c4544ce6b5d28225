#pragma once
// Builds map product description files and the machine settings that register
// installed products, for the tests of the product layer.
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace imgkit {

// Little-endian bytes, appended one field at a time.
class Bytes_t {
 public:
  Bytes_t& U8(std::uint32_t v);
  Bytes_t& U16(std::uint32_t v);
  Bytes_t& U32(std::uint32_t v);
  Bytes_t& I32(std::int32_t v) { return U32(static_cast<std::uint32_t>(v)); }
  // The text and its NUL.
  Bytes_t& Str(const std::string& text);
  Bytes_t& Raw(const std::string& bytes);
  const std::string& str() const { return m_bytes; }
  operator const std::string&() const { return m_bytes; }

 private:
  std::string m_bytes;
};

// One short record: type letter, 16-bit length, payload.
std::string ShortRecord(char type, const std::string& payload);

// The header record's fields; 'groups' says how many of groups 2 to 8 follow
// the first (0: id, version and name only).
struct ProductHeader_t {
  std::uint32_t id = 0x10007;
  std::uint16_t formatVersion = 300;
  std::string name = "Test Product";
  int groups = 7;
  std::uint16_t dataVersion = 310;
  std::string familyName = "Test Family";
  std::uint8_t signatureRequired = 0;
  std::array<std::uint8_t, 10> optionBytes{40, 0, 1, 0, 1, 2, 3, 4, 5, 0};
  std::int32_t north = 0, east = 0, south = 0, west = 0;
  std::uint32_t optionValue1 = 1250;
  std::uint32_t optionValue2 = 20000;

  std::string Record() const;
};

// Region records: B (composite) and L (leaf) with its optional groups.
std::string CompositeRecord(std::uint32_t id, std::uint32_t parentId, const std::array<std::int32_t, 4>& bounds,
                            const std::string& name);
struct LeafSpec_t {
  std::uint32_t id = 0;
  std::uint32_t parentId = 0;
  std::array<std::int32_t, 4> bounds{};
  std::string name;
  std::uint16_t leafValue = 0;
  std::vector<std::uint32_t> sizes;
  std::uint8_t leafByte = 0;
  // Optional groups, written up to 'groups' (0 to 3).
  int groups = 3;
  std::pair<std::uint8_t, std::uint8_t> pair{0, 0};
  std::uint32_t leafNumber = 0;
  std::vector<std::string> itemNames;
  std::vector<std::pair<std::uint8_t, std::uint8_t>> morePairs;
};
std::string LeafRecord(const LeafSpec_t& leaf);

// Notices: C (plain texts) and D (flags word and text).
std::string NoticesRecord(const std::vector<std::string>& texts);
std::string FlaggedNoticesRecord(const std::vector<std::pair<std::uint32_t, std::string>>& notices);
std::string RegionNamesRecord(const std::vector<std::pair<std::uint8_t, std::string>>& names);
std::string SubRegionNamesRecord(
    const std::vector<std::pair<std::pair<std::uint8_t, std::uint8_t>, std::string>>& names);

// The CRC-32 of the bytes, computed bit by bit.
std::uint32_t ReferenceCrc32(const std::string& bytes);
// The T record that signs 'before' (the whole file in front of it): 20 bytes of
// filler with the CRC-32 in bytes 2, 9, 12 and 17, most significant first.
std::string SignatureRecord(const std::string& before, std::uint8_t filler = 0x5A);

// A whole description file: header, the other records in order and, when
// 'sign' is set, the signature record at its end.
struct ProductFile_t {
  ProductHeader_t header;
  std::vector<std::string> records;
  bool sign = true;
  std::string Build() const;
};

// Writes the file and sets its last-write time (seconds since 1970 UTC).
void WriteFileWithTime(const std::string& path, const std::string& bytes, std::int64_t writeTime);

// The machine's settings hive of the test process (the file the settings store
// reads as the local machine), written whole on Write().
class MachineHive_t {
 public:
  MachineHive_t() = default;

  // Keys are paths below "Software\Vortan" ("Globarium\Products\A").
  MachineHive_t& Key(const std::string& path);
  MachineHive_t& String(const std::string& key, const std::string& name, const std::string& text);
  MachineHive_t& Binary(const std::string& key, const std::string& name, const std::string& bytes);
  MachineHive_t& Bool(const std::string& key, const std::string& name, bool value);
  MachineHive_t& U16(const std::string& key, const std::string& name, std::uint16_t value);
  MachineHive_t& Dword(const std::string& key, const std::string& name, std::uint32_t value);

  // A product key under "Globarium\Products" (or any other parent path) with
  // its three required values.
  MachineHive_t& Product(const std::string& keyPath, const std::string& tdb, const std::string& bmap,
                         const std::string& loc);

  // Replaces the hive file.
  void Write() const;
  // A hive without anything below "Software\Vortan".
  static void WriteEmpty();

 private:
  struct Value_t {
    std::string name;
    unsigned long type;
    std::string bytes;
  };
  struct KeyEntry_t {
    std::string path;
    std::vector<Value_t> values;
  };
  KeyEntry_t& Find(const std::string& path);

  std::vector<KeyEntry_t> m_keys;
};

}  // namespace imgkit
