#pragma once
// An open handle on one file of an image, with its own position. Copies bind
// to the same file; an open source opens the copy with its mode.
#include <cstdint>
#include <string>

namespace dsk {

class FileBuffer_t;

class File_t {
 public:
  File_t() = default;
  explicit File_t(FileBuffer_t* buffer) : m_buffer(buffer) {}
  File_t(const File_t& other);
  File_t& operator=(const File_t& other);
  // Closes, swallowing any failure.
  ~File_t();

  // kModeRead, kModeWrite or kModeAppend (position at the end).
  void Open(std::uint32_t mode);
  void Close();
  std::string GetName() const;
  std::uint32_t GetSize() const;
  std::uint32_t GetMode() const;
  bool IsOpen() const { return m_open; }
  FileBuffer_t* Buffer() const { return m_buffer; }

  void Read(void* destination, std::uint32_t count);
  bool AtEnd() const;
  std::uint64_t GetPosition() const;
  void Skip(std::uint32_t count);
  void Seek(std::uint64_t position);

 private:
  void Assign(const File_t& other);

  FileBuffer_t* m_buffer = nullptr;
  std::uint64_t m_position = 0;
  std::uint32_t m_mode = 0;
  bool m_open = false;
};

}  // namespace dsk
