#pragma once
// A mapping of an open file, from which views are mapped into memory.
#include <cstdint>

#include "glo/GLO_NonCopyable.h"
#include "win/WIN_File.h"
#include "win/WIN_Handle.h"

namespace win {

class MappedFile_t : glo::NonCopyable_t {
 public:
  MappedFile_t() = default;
  // Create(...).
  MappedFile_t(const File_t& file, const void* securityAttributes, unsigned long protection,
               unsigned long maximumSizeHigh, unsigned long maximumSizeLow, const char* name);

  // Maps the open file with the page protection (plat::kPageReadOnly...), the
  // maximum size in two 32-bit halves (0: the file's size; an empty file gives an
  // empty mapping). A mapping held before is closed and replaced.
  // win::MappedFileError_t when no mapping can be made.
  void Create(const File_t& file, const void* securityAttributes, unsigned long protection,
              unsigned long maximumSizeHigh, unsigned long maximumSizeLow, const char* name);

  // The mapping's size in bytes (0 when nothing is mapped).
  std::uint64_t Size() const;

  plat::Handle Handle() const { return m_handle.Get(); }

 private:
  win::Handle_t m_handle;
};

}  // namespace win
