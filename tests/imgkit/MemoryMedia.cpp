#include "tests/imgkit/MemoryMedia.h"

#include <algorithm>
#include <cstring>

#include "plat/PLAT_Error.h"
#include "win/WIN_Exception.h"

namespace imgkit {

MemoryMedia_t::MemoryMedia_t(std::string bytes, bool readOnly, std::string name)
    : m_bytes(std::move(bytes)), m_readOnly(readOnly), m_name(std::move(name)) {}

std::uint64_t MemoryMedia_t::Size() { return m_bytes.size(); }

void MemoryMedia_t::Write(const void* data, std::uint32_t count) {
  GLO_ASSERT(!m_readOnly);
  if (m_writesLeft == 0) throw win::Error_t(GLO_SRC, plat::kErrorWriteFault);
  if (m_writesLeft > 0) --m_writesLeft;
  ++m_writes;
  if (m_bytes.size() < m_position + count) m_bytes.resize(m_position + count, '\0');
  std::memcpy(m_bytes.data() + m_position, data, count);
  m_position += count;
}

std::uint32_t MemoryMedia_t::Read(void* buffer, std::uint32_t count) {
  if (m_missing) throw dsk::MediaUnavailable_t(GLO_SRC, m_name);
  if (m_readsLeft == 0) throw win::Error_t(GLO_SRC, plat::kErrorReadFault);
  if (m_readsLeft > 0) --m_readsLeft;
  ++m_reads;
  if (m_position >= m_bytes.size()) return 0;
  const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(count, m_bytes.size() - m_position));
  std::memcpy(buffer, m_bytes.data() + m_position, n);
  m_position += n;
  return n;
}

void MemoryMedia_t::Seek(std::uint64_t offset) {
  ++m_seeks;
  m_position = offset;
}

std::uint32_t MemoryMedia_t::ReadAt(std::uint64_t offset, void* buffer, std::uint32_t count) {
  const std::uint64_t position = m_position;
  m_position = offset;
  const std::uint32_t n = Read(buffer, count);
  m_position = position;
  return n;
}

}  // namespace imgkit
