#include "tests/imgkit/ProductBuilder.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>
#include <utime.h>

#include "plat/PLAT_Registry.h"

namespace imgkit {

Bytes_t& Bytes_t::U8(std::uint32_t v) {
  m_bytes += static_cast<char>(v & 0xFF);
  return *this;
}

Bytes_t& Bytes_t::U16(std::uint32_t v) { return U8(v).U8(v >> 8); }

Bytes_t& Bytes_t::U32(std::uint32_t v) { return U16(v).U16(v >> 16); }

Bytes_t& Bytes_t::Str(const std::string& text) {
  m_bytes += text;
  m_bytes += '\0';
  return *this;
}

Bytes_t& Bytes_t::Raw(const std::string& bytes) {
  m_bytes += bytes;
  return *this;
}

std::string ShortRecord(char type, const std::string& payload) {
  Bytes_t b;
  b.U8(static_cast<unsigned char>(type)).U16(static_cast<std::uint32_t>(payload.size())).Raw(payload);
  return b.str();
}

std::string ProductHeader_t::Record() const {
  Bytes_t b;
  b.U32(id).U16(formatVersion).Str(name);
  if (groups >= 1) b.U16(dataVersion).Str(familyName);
  if (groups >= 2) {
    b.U8(signatureRequired);
    for (int i = 0; i < 5; ++i) b.U8(optionBytes[i]);
    b.U32(0xDEADBEEF);
  }
  if (groups >= 3) b.U8(optionBytes[5]);
  if (groups >= 4) b.U8(optionBytes[6]).U8(optionBytes[7]).U8(optionBytes[8]).I32(north).I32(east).I32(south).I32(west);
  if (groups >= 5) b.U32(optionValue1);
  if (groups >= 6) b.U32(optionValue2);
  if (groups >= 7) b.U8(optionBytes[9]);
  return ShortRecord('P', b);
}

namespace {

Bytes_t RegionCommon(std::uint32_t id, std::uint32_t parentId, const std::array<std::int32_t, 4>& bounds,
                     const std::string& name) {
  Bytes_t b;
  b.U32(id).U32(parentId);
  for (const auto bound : bounds) b.I32(bound);
  b.Str(name);
  return b;
}

}  // namespace

std::string CompositeRecord(std::uint32_t id, std::uint32_t parentId, const std::array<std::int32_t, 4>& bounds,
                            const std::string& name) {
  return ShortRecord('B', RegionCommon(id, parentId, bounds, name));
}

std::string LeafRecord(const LeafSpec_t& leaf) {
  Bytes_t b = RegionCommon(leaf.id, leaf.parentId, leaf.bounds, leaf.name);
  b.U16(leaf.leafValue).U16(static_cast<std::uint32_t>(leaf.sizes.size()));
  for (const auto size : leaf.sizes) b.U32(size);
  b.U8(leaf.leafByte);
  if (leaf.groups >= 1) b.U8(leaf.pair.first).U8(leaf.pair.second).U32(leaf.leafNumber);
  if (leaf.groups >= 2)
    for (const auto& name : leaf.itemNames) b.Str(name);
  if (leaf.groups >= 3) {
    b.U16(static_cast<std::uint32_t>(leaf.morePairs.size()));
    for (const auto& pair : leaf.morePairs) b.U8(pair.first).U8(pair.second);
  }
  return ShortRecord('L', b);
}

std::string NoticesRecord(const std::vector<std::string>& texts) {
  Bytes_t b;
  for (const auto& text : texts) b.Str(text);
  return ShortRecord('C', b);
}

std::string FlaggedNoticesRecord(const std::vector<std::pair<std::uint32_t, std::string>>& notices) {
  Bytes_t b;
  for (const auto& [flags, text] : notices) b.U32(flags).Str(text);
  return ShortRecord('D', b);
}

std::string RegionNamesRecord(const std::vector<std::pair<std::uint8_t, std::string>>& names) {
  Bytes_t b;
  for (const auto& [number, name] : names) b.U8(number).Str(name);
  return ShortRecord('R', b);
}

std::string SubRegionNamesRecord(
    const std::vector<std::pair<std::pair<std::uint8_t, std::uint8_t>, std::string>>& names) {
  Bytes_t b;
  for (const auto& [key, name] : names) b.U8(key.first).U8(key.second).Str(name);
  return ShortRecord('S', b);
}

std::uint32_t ReferenceCrc32(const std::string& bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const char c : bytes) {
    crc ^= static_cast<unsigned char>(c);
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
  }
  return bytes.empty() ? 0 : ~crc;
}

std::string SignatureRecord(const std::string& before, std::uint8_t filler) {
  std::string block(20, static_cast<char>(filler));
  const std::uint32_t crc = ReferenceCrc32(before);
  block[2] = static_cast<char>(crc >> 24);
  block[9] = static_cast<char>(crc >> 16);
  block[12] = static_cast<char>(crc >> 8);
  block[17] = static_cast<char>(crc);
  return ShortRecord('T', block);
}

std::string ProductFile_t::Build() const {
  std::string bytes = header.Record();
  for (const auto& record : records) bytes += record;
  if (sign) bytes += SignatureRecord(bytes);
  return bytes;
}

void WriteFileWithTime(const std::string& path, const std::string& bytes, std::int64_t writeTime) {
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
  }
  struct utimbuf times;
  times.actime = static_cast<time_t>(writeTime);
  times.modtime = static_cast<time_t>(writeTime);
  if (::utime(path.c_str(), &times) != 0) throw std::runtime_error("cannot set the time of " + path);
}

namespace {

// Key and value names as the hive file stores them.
std::string EscapeName(const std::string& name) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (const char ch : name) {
    const auto c = static_cast<unsigned char>(ch);
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' || c == '_' ||
        c == '.' || c == '-') {
      out += ch;
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 0xF];
    }
  }
  return out;
}

std::string EscapePath(const std::string& path) {
  std::string out;
  std::size_t start = 0;
  for (;;) {
    const std::size_t sep = path.find('\\', start);
    out += EscapeName(path.substr(start, sep == std::string::npos ? std::string::npos : sep - start));
    if (sep == std::string::npos) return out;
    out += '\\';
    start = sep + 1;
  }
}

void ReplaceFile(const std::string& path, const std::string& text) {
  const std::string folder = path.substr(0, path.rfind('/'));
  ::mkdir(folder.c_str(), 0700);
  const std::string temp = path + ".new";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + temp);
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) throw std::runtime_error("cannot replace " + path);
}

}  // namespace

MachineHive_t::KeyEntry_t& MachineHive_t::Find(const std::string& path) {
  for (auto& key : m_keys)
    if (key.path == path) return key;
  m_keys.push_back(KeyEntry_t{path, {}});
  return m_keys.back();
}

MachineHive_t& MachineHive_t::Key(const std::string& path) {
  Find(path);
  return *this;
}

MachineHive_t& MachineHive_t::String(const std::string& key, const std::string& name, const std::string& text) {
  Find(key).values.push_back(Value_t{name, plat::kRegSz, text + '\0'});
  return *this;
}

MachineHive_t& MachineHive_t::Binary(const std::string& key, const std::string& name, const std::string& bytes) {
  Find(key).values.push_back(Value_t{name, plat::kRegBinary, bytes});
  return *this;
}

MachineHive_t& MachineHive_t::Bool(const std::string& key, const std::string& name, bool value) {
  return Binary(key, name, std::string(1, value ? '\1' : '\0'));
}

MachineHive_t& MachineHive_t::U16(const std::string& key, const std::string& name, std::uint16_t value) {
  return Binary(key, name, Bytes_t().U16(value).str());
}

MachineHive_t& MachineHive_t::Dword(const std::string& key, const std::string& name, std::uint32_t value) {
  Find(key).values.push_back(Value_t{name, plat::kRegDword, Bytes_t().U32(value).str()});
  return *this;
}

MachineHive_t& MachineHive_t::Product(const std::string& keyPath, const std::string& tdb, const std::string& bmap,
                                      const std::string& loc) {
  return String(keyPath, "TDB", tdb).String(keyPath, "Bmap", bmap).String(keyPath, "Loc", loc);
}

void MachineHive_t::Write() const {
  static const char hex[] = "0123456789ABCDEF";
  std::string text = "STRIDE-REGISTRY 1\n";
  for (const auto& key : m_keys) {
    text += "[Software\\Vortan\\" + EscapePath(key.path) + "]\n";
    for (const auto& value : key.values) {
      text += EscapeName(value.name) + "=" + std::to_string(value.type) + ":";
      for (const char ch : value.bytes) {
        const auto c = static_cast<unsigned char>(ch);
        text += hex[c >> 4];
        text += hex[c & 0xF];
      }
      text += '\n';
    }
  }
  text += "END\n";
  ReplaceFile(plat::MachineHivePath(), text);
}

void MachineHive_t::WriteEmpty() { MachineHive_t().Write(); }

}  // namespace imgkit
