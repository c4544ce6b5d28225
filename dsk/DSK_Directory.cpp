#include "dsk/DSK_Directory.h"

#include <algorithm>
#include <cstring>
#include <tuple>

#include "dsk/DSK_Bytes.h"
#include "dsk/DSK_Exception.h"
#include "dsk/DSK_File.h"
#include "dsk/DSK_FileBuffer.h"
#include "dsk/DSK_Partition.h"

namespace dsk {

namespace {

constexpr unsigned kBlockListOffset = 32;

std::string UpTo(const std::uint8_t* p, size_t width) {
  size_t n = 0;
  while (n < width && p[n] != ' ') ++n;
  return std::string(reinterpret_cast<const char*>(p), n);
}

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

struct Record_t {
  std::string name;
  std::uint8_t part;
  std::array<std::uint8_t, kRecordSize> bytes;
  bool operator<(const Record_t& o) const { return std::tie(name, part) < std::tie(o.name, o.part); }
};

// Keeps a buffer open for as long as the scope lasts.
class OpenGuard_t {
 public:
  OpenGuard_t(FileBuffer_t& file, std::uint32_t mode) : m_file(file) { m_file.Open(mode); }
  ~OpenGuard_t() {
    if (m_open) {
      try {
        m_file.Close();
      } catch (...) {
      }
    }
  }
  void Close() {
    m_open = false;
    m_file.Close();
  }

 private:
  FileBuffer_t& m_file;
  bool m_open = true;
};

bool Overlaps(const std::vector<std::uint16_t>& a, const std::vector<std::uint16_t>& b) {
  for (std::uint16_t x : a)
    if (std::find(b.begin(), b.end(), x) != b.end()) return true;
  return false;
}

}  // namespace

std::string RecordName(const std::uint8_t* record) {
  std::string name = UpTo(record + 1, 8);
  if (record[9] != ' ') name += "." + UpTo(record + 9, 3);
  return name;
}

unsigned RecordsNeeded(std::size_t blocks) {
  const std::size_t records = blocks == 0 ? 1 : 1 + (blocks - 1) / kBlocksPerRecord;
  if (records > 255) throw glo::OutOfRange_t(GLO_SRC);
  return static_cast<unsigned>(records);
}

std::array<std::uint8_t, kRecordSize> BuildRecord(const std::string& name, std::uint32_t size,
                                                  std::uint8_t attributes, unsigned part,
                                                  const std::vector<std::uint16_t>& blocks) {
  std::array<std::uint8_t, kRecordSize> r;
  r.fill(0);
  r[0] = 1;
  const auto dot = name.find('.');
  const std::string base = name.substr(0, dot);
  const std::string type = dot == std::string::npos ? std::string() : name.substr(dot + 1);
  std::memset(&r[1], ' ', 11);
  std::memcpy(&r[1], base.data(), std::min<size_t>(base.size(), 8));
  std::memcpy(&r[9], type.data(), std::min<size_t>(type.size(), 3));
  PutU32(&r[12], size);
  r[16] = attributes;
  r[17] = static_cast<std::uint8_t>(part);
  for (unsigned i = 0; i < kBlocksPerRecord; ++i) {
    const size_t index = size_t(part) * kBlocksPerRecord + i;
    PutU16(&r[kBlockListOffset + 2 * i], index < blocks.size() ? blocks[index] : 0xFFFF);
  }
  return r;
}

std::string NormaliseFileName(const std::string& name) {
  std::string rest = name;
  if (rest.size() >= 2 && rest[1] == ':') throw BadFileName_t(GLO_SRC, name);
  if (rest.find_last_of("/\\") != std::string::npos) throw BadFileName_t(GLO_SRC, name);
  const auto dot = rest.rfind('.');
  const std::string base = rest.substr(0, dot);
  const std::string ext = dot == std::string::npos ? std::string() : rest.substr(dot + 1);
  if (base.size() > 8) throw BadFileName_t(GLO_SRC, name);
  if (ext.size() > 3) throw BadFileName_t(GLO_SRC, name);
  return ext.empty() ? Upper(base) : Upper(base) + "." + Upper(ext);
}

Directory_t::Directory_t(FileBuffer_t& file) : m_file(file) {
  DirectoryWalk_t walk;
  // Room for the deepest walk up front: the list then never reallocates
  // under a reading that throws (the optimised build with non-call
  // exceptions was seen to free a reallocated buffer twice in that case).
  walk.ancestors.reserve(kMaxDirectoryDepth + 1);
  if (!file.Blocks().empty()) walk.firstBlocks.insert(file.Blocks().front());
  walk.ancestors.push_back(&file.Blocks());
  Read(walk);
}

Directory_t::Directory_t(FileBuffer_t& file, DirectoryWalk_t& walk) : m_file(file) { Read(walk); }

Directory_t::~Directory_t() = default;

void Directory_t::Read(DirectoryWalk_t& walk) {
  if (!m_file.IsDirectory() || m_file.Size() % kRecordSize != 0) throw BadFile_t(GLO_SRC, m_file.Name());
  if (m_file.Size() == 0) return;

  std::set<Record_t> records;
  {
    OpenGuard_t open(m_file, kModeRead);
    std::uint64_t position =
        m_file.Name().empty() ? std::uint64_t(m_file.Partition().Boot().DirectoryStartSector()) * kRecordSize : 0;
    Record_t record;
    // Until the position equals the size: a start beyond the size reads past
    // the end, which is a bad position, not an empty directory.
    while (position != m_file.Size()) {
      m_file.Read(record.bytes.data(), kRecordSize, position);
      if (record.bytes[0] != 1) continue;
      record.name = RecordName(record.bytes.data());
      record.part = record.bytes[17];
      records.insert(record);  // the first of two equal records stays
    }
    open.Close();
  }

  PrivPartition_t& partition = m_file.Partition();
  for (auto it = records.begin(); it != records.end();) {
    // A file starts with part 0; parts that follow under the same name add
    // their blocks. A part of another name never joins it.
    GLO_ASSERT(it->part == 0);
    const Record_t& first = *it;
    std::vector<std::uint16_t> blocks;
    auto take = [&blocks](const Record_t& r) {
      for (unsigned i = 0; i < kBlocksPerRecord; ++i) {
        const std::uint16_t b = GetU16(&r.bytes[kBlockListOffset + 2 * i]);
        if (b == 0xFFFF) break;
        blocks.push_back(b);
      }
    };
    take(first);
    for (++it; it != records.end() && it->part != 0 && it->name == first.name; ++it) take(*it);

    const std::string name = NormaliseFileName(first.name);
    auto buffer = std::make_unique<FileBuffer_t>(partition, this, name, GetU32(&first.bytes[12]),
                                                 first.bytes[16], blocks);
    if (m_entries.count(name)) continue;
    FileBuffer_t& entry = *buffer;
    m_entries.emplace(name, std::move(buffer));
    if (!entry.IsDirectory() || name.empty()) continue;

    // A sub-directory may not lie on the blocks of a directory above it, nor
    // start where any directory read so far starts, nor nest too deep.
    if (walk.ancestors.size() > kMaxDirectoryDepth) throw BadStream_t(GLO_SRC);
    for (const auto* above : walk.ancestors)
      if (Overlaps(entry.Blocks(), *above)) throw BadStream_t(GLO_SRC);
    if (!entry.Blocks().empty() && !walk.firstBlocks.insert(entry.Blocks().front()).second)
      throw BadStream_t(GLO_SRC);
    walk.ancestors.push_back(&entry.Blocks());
    try {
      m_subDirectories.emplace(name, std::make_unique<Directory_t>(entry, walk));
    } catch (...) {
      walk.ancestors.pop_back();
      throw;
    }
    walk.ancestors.pop_back();
  }
}

Directory_t::Iterator_t Directory_t::Begin() const { return Iterator_t(m_entries.begin()); }
Directory_t::Iterator_t Directory_t::End() const { return Iterator_t(m_entries.end()); }

File_t Directory_t::Iterator_t::operator*() const { return File_t(m_it->second.get()); }

FileBuffer_t* Directory_t::FindFile(const std::string& name) const {
  const auto it = m_entries.find(NormaliseFileName(name));
  return it == m_entries.end() ? nullptr : it->second.get();
}

Directory_t* Directory_t::FindDirectory(const std::string& name) const {
  const auto it = m_subDirectories.find(NormaliseFileName(name));
  return it == m_subDirectories.end() ? nullptr : it->second.get();
}

bool Directory_t::AnyOpen() const {
  for (const auto& [name, entry] : m_entries)
    if (entry->OpenCount() != 0) return true;
  for (const auto& [name, sub] : m_subDirectories)
    if (sub->AnyOpen()) return true;
  return false;
}

void Directory_t::Flush() {
  FileBuffer_t& file = m_file;
  const bool root = file.Name().empty();
  std::uint64_t position = 0;
  std::vector<std::uint8_t> freeRecord(kRecordSize, 0xFF);
  freeRecord[0] = 0;

  struct ReadOnlyAgain_t {
    FileBuffer_t* file = nullptr;
    ~ReadOnlyAgain_t() {
      if (file) file->ForceReadOnly(true);
    }
  } readOnlyAgain;
  if (root) {
    file.ForceReadOnly(false);
    readOnlyAgain.file = &file;
    position = std::uint64_t(file.Partition().Boot().DirectoryStartSector()) * kRecordSize;
  }
  OpenGuard_t open(file, kModeWrite);

  if (root) {
    // The root's own entry lists the root file's blocks. When the records do
    // not fit, the root file grows first (onto consecutive blocks) and its
    // entry follows, so that its own records always describe all of it.
    auto self = m_entries.find(std::string());
    if (self == m_entries.end())
      self = m_entries
                 .emplace(std::string(),
                          std::make_unique<FileBuffer_t>(file.Partition(), this, std::string(), 0,
                                                         kAttrDirectory | kAttrReadOnly,
                                                         std::vector<std::uint16_t>()))
                 .first;
    for (;;) {
      self->second->TakeLayout(file);
      std::uint64_t needed = position;
      for (const auto& [name, entry] : m_entries) needed += RecordsNeeded(entry->Blocks().size()) * kRecordSize;
      if (needed <= file.Size()) break;
      // Never over the reserved sectors at its start (the partition's first sector).
      std::uint64_t at = std::max<std::uint64_t>(file.Size(), position);
      while (at < needed) file.Write(freeRecord.data(), kRecordSize, at);
    }
  }

  for (const auto& [name, entry] : m_entries) {
    const unsigned parts = RecordsNeeded(entry->Blocks().size());
    for (unsigned k = 0; k < parts; ++k) {
      const auto record =
          BuildRecord(name, entry->Size(), k == 0 ? entry->Attributes() : 0, k, entry->Blocks());
      file.Write(record.data(), kRecordSize, position);
    }
  }
  if (root) {
    while (position + kRecordSize <= file.Size()) file.Write(freeRecord.data(), kRecordSize, position);
  } else {
    file.SetSize(static_cast<std::uint32_t>(position));
  }
  open.Close();
}

}  // namespace dsk
