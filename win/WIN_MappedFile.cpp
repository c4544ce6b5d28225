#include "win/WIN_MappedFile.h"

#include "win/WIN_Exception.h"

namespace win {

MappedFile_t::MappedFile_t(const File_t& file, const void* securityAttributes, unsigned long protection,
                           unsigned long maximumSizeHigh, unsigned long maximumSizeLow, const char* name) {
  Create(file, securityAttributes, protection, maximumSizeHigh, maximumSizeLow, name);
}

void MappedFile_t::Create(const File_t& file, const void* /*securityAttributes*/, unsigned long protection,
                          unsigned long maximumSizeHigh, unsigned long maximumSizeLow, const char* /*name*/) {
  const std::uint64_t maximumSize =
      (static_cast<std::uint64_t>(maximumSizeHigh & 0xFFFFFFFFul) << 32) | (maximumSizeLow & 0xFFFFFFFFul);
  const plat::Handle h = plat::CreateFileMapping(file.Handle(), protection, maximumSize);
  if (h == plat::kInvalidHandle) throw MappedFileError_t(GLO_SRC);
  m_handle.Attach(h);
}

std::uint64_t MappedFile_t::Size() const {
  std::uint64_t size = 0;
  if (m_handle.IsValid() && !plat::GetMappingSize(m_handle.Get(), size)) throw MappedFileError_t(GLO_SRC);
  return size;
}

}  // namespace win
