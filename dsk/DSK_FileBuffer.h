#pragma once
// One file of a partition as its directory describes it: name, size,
// attributes and block list; readers share it, a writer has it alone.
#include <cstdint>
#include <string>
#include <vector>

#include "glo/GLO_NonCopyable.h"

namespace dsk {

class Directory_t;
class PrivPartition_t;

enum : std::uint8_t { kAttrDirectory = 1, kAttrReadOnly = 2 };
enum : std::uint32_t { kModeRead = 0, kModeWrite = 1, kModeAppend = 2 };

class FileBuffer_t : glo::NonCopyable_t {
 public:
  // Marks every block used in the partition (glo::Assert_t for a block number
  // outside the partition).
  FileBuffer_t(PrivPartition_t& partition, Directory_t* owner, const std::string& name, std::uint32_t size,
               std::uint8_t attributes, const std::vector<std::uint16_t>& blocks);

  const std::string& Name() const { return m_name; }
  bool IsReadOnly() const { return m_readOnly; }
  bool IsDirectory() const { return m_directory; }
  std::uint8_t Attributes() const;
  std::uint32_t Size() const { return m_size; }
  const std::vector<std::uint16_t>& Blocks() const { return m_blocks; }
  bool IsModified() const { return m_modified; }
  std::uint32_t OpenCount() const { return m_openCount; }
  Directory_t* Owner() const { return m_owner; }
  PrivPartition_t& Partition() const { return m_partition; }

  // Registers a reader (kModeRead) or the writer (kModeWrite).
  void Open(std::uint32_t mode);
  // Drops one opener; the last one of a modified file rewrites its directory.
  void Close();

  // Reads 'count' bytes at 'position' and moves it to their end.
  void Read(void* destination, std::uint32_t count, std::uint64_t& position);
  // Writes 'count' bytes at 'position', growing the file, and moves it on.
  void Write(const void* source, std::uint32_t count, std::uint64_t& position);
  // Truncates to 'size'; a larger size allocates the blocks it needs.
  void SetSize(std::uint32_t size);
  void SetReadOnly();
  void ClearReadOnly();
  // Allocates n blocks at the end of the block list.
  void AddBlocks(std::uint32_t n);

  // For the directory writer and the formatter: the attribute without the
  // checks, and the description of another buffer taken over.
  void ForceReadOnly(bool readOnly) { m_readOnly = readOnly; }
  void TakeLayout(const FileBuffer_t& other);
  void MarkModified() { m_modified = true; }

 private:
  bool IsRootFile() const { return m_directory && m_name.empty(); }
  void Grow(std::uint64_t end);
  void ChangeReadOnly(bool readOnly, int line);

  PrivPartition_t& m_partition;
  Directory_t* m_owner;
  std::string m_name;
  bool m_readOnly;
  bool m_directory;
  std::uint32_t m_size;
  std::vector<std::uint16_t> m_blocks;
  bool m_modified = false;
  std::uint32_t m_openCount = 0;
  std::uint32_t m_mode = kModeRead;
  std::vector<std::uint8_t> m_scratch;
  std::uint32_t m_blockSize;
  unsigned m_blockShift;
  std::uint32_t m_blockMask;
};

}  // namespace dsk
