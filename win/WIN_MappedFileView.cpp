#include "win/WIN_MappedFileView.h"

#include "win/WIN_Exception.h"

namespace win {

MappedFileView_t::~MappedFileView_t() {
  try {
    Unmap();
  } catch (...) {
    // A destructor does not throw.
  }
}

void MappedFileView_t::Map(const MappedFile_t& mapping, unsigned long desiredAccess, unsigned long offsetHigh,
                           unsigned long offsetLow, std::uint64_t bytes) {
  GLO_ASSERT(m_address == nullptr);
  const std::uint64_t offset =
      (static_cast<std::uint64_t>(offsetHigh & 0xFFFFFFFFul) << 32) | (offsetLow & 0xFFFFFFFFul);
  void* address = plat::MapViewOfFile(mapping.Handle(), desiredAccess, offset, bytes);
  if (!address) throw Error_t(GLO_SRC);
  m_address = address;
}

void MappedFileView_t::Unmap() {
  if (!m_address) return;
  void* address = m_address;
  m_address = nullptr;
  if (!plat::UnmapViewOfFile(address)) throw Error_t(GLO_SRC);
}

}  // namespace win
