#include "win/WIN_File.h"

#include "win/WIN_Exception.h"
#include "win/WIN_MappedFile.h"
#include "win/WIN_MappedFileView.h"

namespace win {

File_t::File_t(const std::string& fileName, unsigned long desiredAccess, unsigned long creationDisposition,
               unsigned long flagsAndAttributes, unsigned long shareMode, const void* /*securityAttributes*/,
               plat::Handle /*templateFile*/)
    : m_access(desiredAccess) {
  const plat::Handle h = plat::CreateFile(fileName, desiredAccess, shareMode, creationDisposition, flagsAndAttributes);
  if (h == plat::kInvalidHandle) throw FileError_t(GLO_SRC);
  m_handle.Attach(h);
}

File_t::~File_t() {
  try {
    Close();
  } catch (...) {
    // The final flush may fail; a destructor does not throw.
  }
  m_handle.Close();
}

std::uint64_t File_t::Size() const {
  std::uint64_t size = 0;
  if (!plat::GetFileSize(m_handle.Get(), size)) throw FileError_t(GLO_SRC);
  return size;
}

void File_t::Flush() {
  GLO_ASSERT((m_access & plat::kGenericWrite) != 0);
  if (!plat::FlushFileBuffers(m_handle.Get())) throw FileError_t(GLO_SRC);
}

void File_t::Close() {
  if (!m_handle.IsValid()) return;
  if (m_access & plat::kGenericWrite) {
    try {
      Flush();
    } catch (...) {
      m_handle.Close();  // closed all the same; the failure is reported
      throw;
    }
  }
  m_handle.Close();
}

std::string ReadWholeFile(const std::string& fileName) {
  // Destruction in reverse order unmaps the view, closes the mapping, then the file.
  File_t file(fileName, plat::kGenericRead, plat::kOpenExisting, plat::kFileAttributeNormal,
              plat::kFileShareRead | plat::kFileShareWrite);
  MappedFile_t mapping(file, nullptr, plat::kPageReadOnly, 0, 0, nullptr);
  MappedFileView_t view;
  view.Map(mapping, plat::kFileMapRead, 0, 0, 0);
  const std::uint64_t size = file.Size();
  if (size > mapping.Size()) throw glo::OutOfRange_t(GLO_SRC);  // grew after it was mapped
  return std::string(static_cast<const char*>(view.Address()), static_cast<size_t>(size));
}

}  // namespace win
