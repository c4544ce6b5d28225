#include "dsk/DSK_File.h"

#include "dsk/DSK_Exception.h"
#include "dsk/DSK_FileBuffer.h"

namespace dsk {

File_t::File_t(const File_t& other) { Assign(other); }

File_t& File_t::operator=(const File_t& other) {
  if (this != &other) Assign(other);
  return *this;
}

void File_t::Assign(const File_t& other) {
  if (m_buffer != other.m_buffer || m_open) Close();
  m_buffer = other.m_buffer;
  m_position = 0;
  if (other.m_open) Open(other.m_mode);
}

File_t::~File_t() {
  try {
    Close();
  } catch (...) {
  }
}

void File_t::Open(std::uint32_t mode) {
  if (!m_buffer) throw BadFile_t(GLO_SRC, std::string());
  m_buffer->Open(mode == kModeRead ? kModeRead : kModeWrite);
  m_mode = mode;
  m_open = true;
  m_position = mode == kModeAppend ? m_buffer->Size() : 0;
}

void File_t::Close() {
  FileBuffer_t* buffer = m_buffer;
  const bool wasOpen = m_open;
  m_open = false;
  m_buffer = nullptr;
  if (wasOpen && buffer) buffer->Close();
}

std::string File_t::GetName() const {
  if (!m_buffer) throw FileNotOpen_t(GLO_SRC, std::string());
  return m_buffer->Name();
}

std::uint32_t File_t::GetSize() const {
  if (!m_buffer) throw FileNotOpen_t(GLO_SRC, std::string());
  return m_buffer->Size();
}

std::uint32_t File_t::GetMode() const {
  if (!m_open) throw FileNotOpen_t(GLO_SRC, std::string());
  return m_mode;
}

void File_t::Read(void* destination, std::uint32_t count) {
  if (!m_open) throw FileNotOpen_t(GLO_SRC, std::string());
  m_buffer->Read(destination, count, m_position);
}

bool File_t::AtEnd() const {
  if (!m_open) throw FileNotOpen_t(GLO_SRC, std::string());
  return m_position == m_buffer->Size();
}

std::uint64_t File_t::GetPosition() const {
  if (!m_open) throw FileNotOpen_t(GLO_SRC, std::string());
  return m_position;
}

void File_t::Skip(std::uint32_t count) {
  if (!m_open) throw FileNotOpen_t(GLO_SRC, std::string());
  const std::uint64_t wanted = m_position + count;
  if (wanted > m_buffer->Size()) throw BadFilePosition_t(GLO_SRC, m_buffer->Name(), wanted);
  m_position = wanted;
}

void File_t::Seek(std::uint64_t position) {
  if (!m_open) throw FileNotOpen_t(GLO_SRC, std::string());
  if (position > m_buffer->Size()) throw BadFilePosition_t(GLO_SRC, m_buffer->Name(), position);
  m_position = position;
}

}  // namespace dsk
