#pragma once
// A view of a file mapping in memory; unmapped when it ends.
#include <cstdint>

#include "glo/GLO_NonCopyable.h"
#include "win/WIN_MappedFile.h"

namespace win {

class MappedFileView_t : glo::NonCopyable_t {
 public:
  MappedFileView_t() noexcept : m_address(nullptr) {}
  ~MappedFileView_t();

  // Maps 'bytes' bytes (0: the rest of the mapping) from the offset given in two
  // 32-bit halves, with the access plat::kFileMapRead, kFileMapWrite...
  // glo::Assert_t when a view is already mapped; win::Error_t on failure (also
  // for a range beyond the mapping, which is never cut short).
  void Map(const MappedFile_t& mapping, unsigned long desiredAccess, unsigned long offsetHigh,
           unsigned long offsetLow, std::uint64_t bytes);

  // Unmaps the view when one is mapped; win::Error_t on failure.
  void Unmap();

  // The view's first byte; null when nothing is mapped. An empty view has an
  // address that must not be read.
  void* Address() const noexcept { return m_address; }

 private:
  void* m_address;
};

}  // namespace win
