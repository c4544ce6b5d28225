#pragma once
// An open file. Closing flushes a file opened with write access first.
#include <cstdint>
#include <string>

#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_File.h"
#include "win/WIN_Handle.h"

namespace win {

class File_t : glo::NonCopyable_t {
 public:
  // Opens or creates the file (plat::kGenericRead/Write, plat::kOpenExisting...,
  // attributes, plat::kFileShare... flags); win::FileError_t with the system's
  // code on failure. Security attributes and the template file have no meaning here.
  File_t(const std::string& fileName, unsigned long desiredAccess, unsigned long creationDisposition,
         unsigned long flagsAndAttributes = plat::kFileAttributeNormal,
         unsigned long shareMode = plat::kFileShareRead | plat::kFileShareWrite,
         const void* securityAttributes = nullptr, plat::Handle templateFile = plat::kInvalidHandle);
  // Close, with any failure discarded.
  ~File_t();

  // The size in bytes (all 64 bits); win::FileError_t on failure.
  std::uint64_t Size() const;

  // Writes the file's data through to the disk. Only for a file opened with
  // write access (glo::Assert_t otherwise); win::FileError_t on failure.
  void Flush();

  // Flushes a file opened with write access, then closes it; nothing when closed.
  void Close();

  bool IsOpen() const { return m_handle.IsValid(); }
  plat::Handle Handle() const { return m_handle.Get(); }

 private:
  win::Handle_t m_handle;
  unsigned long m_access;
};

// The whole contents of a file, read through a read-only mapping of it;
// win::FileError_t, win::MappedFileError_t or win::Error_t on failure.
std::string ReadWholeFile(const std::string& fileName);

}  // namespace win
