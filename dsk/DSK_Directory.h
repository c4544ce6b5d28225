#pragma once
// Directories of a partition: the 512-byte directory records, the entries they
// describe in name order, sub-directories, and 8.3 name normalisation.
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "glo/GLO_NonCopyable.h"

namespace dsk {

class File_t;
class FileBuffer_t;
class PrivPartition_t;

constexpr std::uint32_t kRecordSize = 512;
constexpr unsigned kBlocksPerRecord = 240;
// How deep sub-directories may nest below the root.
constexpr unsigned kMaxDirectoryDepth = 8;

// The name of a raw directory record: base name up to its first blank, then a
// dot and the type up to its first blank when the type does not start blank.
std::string RecordName(const std::uint8_t* record);

// Records needed for a file of n blocks (glo::OutOfRange_t beyond 255).
unsigned RecordsNeeded(std::size_t blocks);

// Record 'part' of a file as the directory writer stores it.
std::array<std::uint8_t, kRecordSize> BuildRecord(const std::string& name, std::uint32_t size,
                                                  std::uint8_t attributes, unsigned part,
                                                  const std::vector<std::uint16_t>& blocks);

// A name as directories keep it: 8.3, upper case, without drive or folder
// (dsk::BadFileName_t otherwise).
std::string NormaliseFileName(const std::string& name);

// What reading a tree of directories has seen so far, so that blocks shared
// between directories cannot make it grow without end.
struct DirectoryWalk_t {
  std::set<std::uint16_t> firstBlocks;                    // of every directory read
  std::vector<const std::vector<std::uint16_t>*> ancestors;  // block lists up to the root
};

class Directory_t : glo::NonCopyable_t {
 public:
  // Reads the directory held in 'file'.
  explicit Directory_t(FileBuffer_t& file);
  Directory_t(FileBuffer_t& file, DirectoryWalk_t& walk);
  ~Directory_t();

  using Entries_t = std::map<std::string, std::unique_ptr<FileBuffer_t>>;

  class Iterator_t {
   public:
    Iterator_t() = default;
    explicit Iterator_t(Entries_t::const_iterator it) : m_it(it) {}
    // A file bound to the entry, not open.
    File_t operator*() const;
    const std::string& Name() const { return m_it->first; }
    Iterator_t& operator++() {
      ++m_it;
      return *this;
    }
    bool operator==(const Iterator_t& other) const { return m_it == other.m_it; }
    bool operator!=(const Iterator_t& other) const { return m_it != other.m_it; }

   private:
    Entries_t::const_iterator m_it;
  };

  Iterator_t Begin() const;
  Iterator_t End() const;
  // The entry of that name (normalised first), or null.
  FileBuffer_t* FindFile(const std::string& name) const;
  // The sub-directory of that name, or null.
  Directory_t* FindDirectory(const std::string& name) const;
  // The file that holds this directory's records.
  FileBuffer_t& OwnFile() const { return m_file; }
  std::size_t Count() const { return m_entries.size(); }

  // Rewrites the records into the directory's own file.
  void Flush();
  // True when a file of this directory or below is open.
  bool AnyOpen() const;

 private:
  void Read(DirectoryWalk_t& walk);

  FileBuffer_t& m_file;
  Entries_t m_entries;
  std::map<std::string, std::unique_ptr<Directory_t>> m_subDirectories;
};

}  // namespace dsk
