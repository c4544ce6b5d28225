#include "tests/imgkit/ImageBuilder.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace imgkit {

namespace {

void Put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint8_t* At(std::string& s, std::uint64_t offset) {
  if (offset >= s.size()) throw std::runtime_error("image layout outside its partition");
  return reinterpret_cast<std::uint8_t*>(&s[offset]);
}

unsigned RecordCount(std::size_t blocks) { return blocks == 0 ? 1 : static_cast<unsigned>(1 + (blocks - 1) / 240); }

// Lays out one partition's file system: root directory from block 0, files
// after it, each directory after its entries.
class Layout_t {
 public:
  Layout_t(const ImageBuilder_t& b, std::string& part, std::vector<Placed_t>* placed)
      : m_b(b), m_part(part), m_placed(placed), m_blockSize(b.BlockSize()) {}

  void Build(const std::vector<FileSpec_t>& files) {
    const std::uint32_t start = std::uint32_t(m_b.directoryStart) * 512;
    std::size_t records = m_b.extraRootRecords.size();
    for (const FileSpec_t& f : files) records += RecordsOf(f);
    std::uint32_t rootBlocks = m_b.rootBlocks;
    if (rootBlocks == 0) {
      rootBlocks = (start + 512 * (records + 1) + m_blockSize - 1) / m_blockSize;
      rootBlocks = std::max<std::uint32_t>(rootBlocks, 1);
    }
    m_next = rootBlocks;
    std::vector<Record_t> out;
    std::vector<std::uint16_t> rootList;
    for (std::uint32_t i = 0; i < rootBlocks; ++i) rootList.push_back(static_cast<std::uint16_t>(i));
    const std::uint32_t rootBytes = rootBlocks * m_blockSize;
    if (m_b.rootOwnRecords) {
      const unsigned own = std::max<unsigned>(RecordCount(rootList.size()), unsigned(m_b.rootOwnParts.size()));
      for (unsigned k = 0; k < own; ++k) {
        const std::uint8_t part = k < m_b.rootOwnParts.size() ? m_b.rootOwnParts[k] : static_cast<std::uint8_t>(k);
        out.push_back(MakeRecord("", rootBytes, k == 0 ? m_b.rootOwnAttributes.value_or(3) : 0, part, rootList, 240 * k));
      }
    }
    for (const FileSpec_t& f : files) Place(f, out);
    for (const Record_t& r : m_b.extraRootRecords) out.push_back(r);
    std::uint64_t position = start;
    for (const Record_t& r : out) {
      if (position + 512 > rootBytes || position + 512 > m_part.size())
        throw std::runtime_error("root directory too small");
      std::memcpy(At(m_part, position), r.data(), 512);
      position += 512;
    }
    while (position + 512 <= rootBytes && position + 512 <= m_part.size()) {
      const Record_t r = FreeRecord();
      std::memcpy(At(m_part, position), r.data(), 512);
      position += 512;
    }
  }

  std::uint32_t Used() const { return m_next; }

 private:
  std::size_t BlocksOf(std::size_t bytes) const { return (bytes + m_blockSize - 1) / m_blockSize; }

  std::size_t DataSize(const FileSpec_t& f) const {
    if (f.children.empty()) return f.data.size();
    std::size_t records = 0;
    for (const FileSpec_t& c : f.children) records += RecordsOf(c);
    return records * 512;
  }

  std::size_t RecordsOf(const FileSpec_t& f) const {
    return std::max<std::size_t>(RecordCount(BlocksOf(DataSize(f))), f.parts.size());
  }

  void Place(const FileSpec_t& f, std::vector<Record_t>& out) {
    std::string data = f.data;
    std::uint8_t attributes = f.attributes;
    if (!f.children.empty()) {
      std::vector<Record_t> inner;
      for (const FileSpec_t& c : f.children) Place(c, inner);
      data.clear();
      for (const Record_t& r : inner) data.append(reinterpret_cast<const char*>(r.data()), 512);
      attributes |= 1;
    }
    std::vector<std::uint16_t> blocks;
    for (std::size_t i = 0; i < BlocksOf(data.size()); ++i) {
      if (m_next >= m_b.blockCount) throw std::runtime_error("image too small for its files");
      const std::uint64_t offset = std::uint64_t(m_next) * m_blockSize;
      const std::size_t n = std::min<std::size_t>(m_blockSize, data.size() - i * m_blockSize);
      std::memcpy(At(m_part, offset), data.data() + i * m_blockSize, n);
      blocks.push_back(static_cast<std::uint16_t>(m_next++));
    }
    if (m_placed) m_placed->push_back(Placed_t{f.name, blocks});
    const std::vector<std::uint16_t> stored = f.blocks.value_or(blocks);
    const std::uint32_t size = f.size.value_or(static_cast<std::uint32_t>(data.size()));
    const unsigned count = std::max<unsigned>(RecordCount(stored.size()), unsigned(f.parts.size()));
    for (unsigned k = 0; k < count; ++k) {
      const std::uint8_t part = k < f.parts.size() ? f.parts[k] : static_cast<std::uint8_t>(k);
      out.push_back(MakeRecord(f.name, size, k == 0 ? attributes : 0, part, stored, 240 * k));
    }
  }

  const ImageBuilder_t& m_b;
  std::string& m_part;
  std::vector<Placed_t>* m_placed;
  std::uint32_t m_blockSize;
  std::uint32_t m_next = 0;
};

void PutBootRecord(const ImageBuilder_t& b, std::uint8_t* sector) {
  std::uint8_t* boot = sector + 0x40;
  boot[0] = b.directoryStart;
  std::memcpy(boot + 1, b.maker.data(), std::min<size_t>(6, b.maker.size()));
  std::string description = b.description;
  description.resize(50, ' ');
  std::memcpy(boot + 0x09, description.data(), 20);
  Put16(boot + 0x1D, b.bootHeads.value_or(b.heads));
  Put16(boot + 0x1F, b.bootSectorsPerTrack.value_or(b.sectorsPerTrack & 0xFF));
  boot[0x21] = b.e1;
  boot[0x22] = b.e2;
  Put16(boot + 0x23, b.blockCount);
  std::memcpy(boot + 0x25, description.data() + 20, 30);
}

}  // namespace

Record_t MakeRecord(const std::string& name, std::uint32_t size, std::uint8_t attributes, std::uint8_t part,
                    const std::vector<std::uint16_t>& blocks, unsigned firstIndex) {
  Record_t r{};
  r[0] = 1;
  std::memset(&r[1], ' ', 11);
  const auto dot = name.find('.');
  const std::string base = name.substr(0, dot);
  const std::string type = dot == std::string::npos ? "" : name.substr(dot + 1);
  std::memcpy(&r[1], base.data(), std::min<size_t>(8, base.size()));
  std::memcpy(&r[9], type.data(), std::min<size_t>(3, type.size()));
  Put32(&r[12], size);
  r[16] = attributes;
  r[17] = part;
  for (unsigned i = 0; i < 240; ++i)
    Put16(&r[32 + 2 * i], firstIndex + i < blocks.size() ? blocks[firstIndex + i] : 0xFFFF);
  return r;
}

Record_t FreeRecord() {
  Record_t r;
  r.fill(0xFF);
  r[0] = 0;
  return r;
}

FileSpec_t File(const std::string& name, const std::string& data, std::uint8_t attributes) {
  FileSpec_t f;
  f.name = name;
  f.data = data;
  f.attributes = attributes;
  return f;
}

FileSpec_t Dir(const std::string& name, std::vector<FileSpec_t> children) {
  FileSpec_t f;
  f.name = name;
  f.attributes = 1;
  f.children = std::move(children);
  return f;
}

std::uint32_t ImageBuilder_t::BlockSize() const {
  const unsigned e = unsigned(e1) + e2;
  return e >= 9 && e <= 24 ? (std::uint32_t(1) << e) : 512;
}

Chs_t ToChs(std::uint32_t lba, std::uint16_t sectorsPerTrack, std::uint16_t heads) {
  // Damaged geometries (a zero count) still get some table.
  const std::uint32_t spt = std::max<std::uint32_t>(1, sectorsPerTrack & 0xFF);
  const std::uint32_t h = std::max<std::uint32_t>(1, heads);
  const std::uint32_t cylinder = lba / (spt * h);
  const std::uint32_t head = (lba / spt) % h;
  const std::uint32_t sector = lba % spt + 1;
  return Chs_t{static_cast<std::uint8_t>(head), static_cast<std::uint8_t>(sector | ((cylinder >> 8) & 3) << 6),
               static_cast<std::uint8_t>(cylinder)};
}

void PutPartitionEntry(std::string& image, unsigned index, std::uint32_t start, std::uint32_t count,
                       std::uint16_t sectorsPerTrack, std::uint16_t heads) {
  std::uint8_t* e = At(image, 0x1BE + 16 * index);
  std::memset(e, 0, 16);
  if (count != 0) {
    const Chs_t first = ToChs(start, sectorsPerTrack, heads);
    const Chs_t last = ToChs(start + count - 1, sectorsPerTrack, heads);
    e[1] = first.head;
    e[2] = first.sector;
    e[3] = first.cylinder;
    e[5] = last.head;
    e[6] = last.sector;
    e[7] = last.cylinder;
  }
  Put32(e + 8, start);
  Put32(e + 12, count);
}

std::string ImageBuilder_t::Build() const {
  const std::uint32_t blockSize = BlockSize();
  const std::uint64_t partBytes = std::uint64_t(blockCount) * blockSize;
  std::string part(partBytes, '\xFF');
  placed.clear();
  Layout_t layout(*this, part, &placed);
  layout.Build(files);
  if (trimToData) part.resize(std::max<std::uint64_t>(512, std::uint64_t(layout.Used()) * blockSize));

  const std::uint32_t sectors0 = static_cast<std::uint32_t>(partBytes / 512);
  std::string image = part;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> table{{0, sectors0}};
  std::uint32_t next = sectors0;
  for (std::uint32_t count : morePartitions) {
    table.emplace_back(next, count);
    std::string other(std::uint64_t(count) * 512, '\xFF');
    ImageBuilder_t empty = *this;
    empty.files.clear();
    empty.extraRootRecords.clear();
    empty.rootBlocks = 0;
    Layout_t(empty, other, nullptr).Build({});
    std::memset(&other[0], 0, 512);
    PutBootRecord(*this, At(other, 0));
    image.resize(std::uint64_t(next) * 512, '\xFF');
    image += other;
    next += count;
  }

  std::uint8_t* s = At(image, 0);
  std::memset(s, 0, 512);
  std::memcpy(s + 0x10, signature.data(), std::min<size_t>(6, signature.size()));
  Put16(s + 0x16, bytesPerSector);
  Put16(s + 0x18, sectorsPerTrack);
  Put16(s + 0x1A, heads);
  const std::uint32_t perCylinder = std::max<std::uint32_t>(1, (sectorsPerTrack & 0xFF) * heads);
  Put16(s + 0x1C, cylinders.value_or(static_cast<std::uint16_t>(std::max<std::uint32_t>(1, (next + perCylinder - 1) / perCylinder))));
  PutBootRecord(*this, s);
  for (size_t i = 0; i < table.size() && i < 4; ++i)
    PutPartitionEntry(image, static_cast<unsigned>(i), table[i].first, table[i].second, sectorsPerTrack, heads);
  Put16(At(image, 0x1FE), magic);

  if (xorByte != 0)
    for (char& c : image) c = static_cast<char>(c ^ xorByte);
  return image;
}

std::uint8_t DecodedSum(const std::string& bytes, std::uint8_t xorByte) {
  std::uint8_t sum = 0;
  for (char c : bytes) sum = static_cast<std::uint8_t>(sum + (static_cast<std::uint8_t>(c) ^ xorByte));
  return sum;
}

}  // namespace imgkit

namespace imgkit {

std::string Pattern(std::size_t n, unsigned seed) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 31 + seed * 17 + i / 509) & 0xFF);
  return s;
}

}  // namespace imgkit
