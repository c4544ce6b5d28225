#pragma once
// Files, file mappings and mapped views, with the Windows meanings of their
// arguments. Failures return kInvalidHandle / false / null and leave a
// Windows-numbered last error: 2 the file is missing, 3 a folder of the path is
// missing, 5 access denied, 80 the file exists (creating a new one).
#include <cstdint>
#include <string>

#include "plat/PLAT_FileHandle.h"

namespace plat {

// Access rights.
enum : unsigned long {
  kGenericRead = 0x80000000ul,
  kGenericWrite = 0x40000000ul,
};

// Share modes: accepted for their meaning on Windows; files are not locked here.
enum : unsigned long {
  kFileShareRead = 0x1,
  kFileShareWrite = 0x2,
  kFileShareDelete = 0x4,
};

// Creation dispositions.
enum : unsigned long {
  kCreateNew = 1,         // fails with 80 when the file exists
  kCreateAlways = 2,      // creates or truncates
  kOpenExisting = 3,      // fails with 2 when the file is missing
  kOpenAlways = 4,        // opens or creates
  kTruncateExisting = 5,  // opens and truncates; fails when missing
};

// Flags and attributes (accepted; only their absence of effect matters here).
enum : unsigned long {
  kFileAttributeNormal = 0x80,
};

// Page protections of a mapping.
enum : unsigned long {
  kPageReadOnly = 0x02,
  kPageReadWrite = 0x04,
  kPageWriteCopy = 0x08,
};

// Access of a mapped view.
enum : unsigned long {
  kFileMapCopy = 0x1,
  kFileMapWrite = 0x2,
  kFileMapRead = 0x4,
  kFileMapAllAccess = 0xF001F,
};

// Opens or creates a file (close-on-exec). The access must hold read, write or both.
Handle CreateFile(const std::string& fileName, unsigned long desiredAccess, unsigned long shareMode,
                  unsigned long creationDisposition, unsigned long flagsAndAttributes);

// The file's size in bytes (64 bits).
bool GetFileSize(Handle file, std::uint64_t& size);

// Writes the file's data through to the disk (fsync).
bool FlushFileBuffers(Handle file);

// A mapping of an open file, 'maximumSize' bytes long (0: the file's size). A
// read-write mapping longer than the file extends the file; a read-only one
// cannot be longer than the file (invalid parameter). An empty file gives an
// empty mapping, whose views are empty.
Handle CreateFileMapping(Handle file, unsigned long protection, std::uint64_t maximumSize);

// Maps 'bytes' bytes (0: the rest of the mapping) from 'offset' into memory.
// A range beyond the end of the mapping is refused (invalid parameter), as is a
// write view of a read-only mapping (access denied). An empty range gives a
// non-null address that must not be read. The view stays valid after the mapping
// and the file are closed, until it is unmapped.
void* MapViewOfFile(Handle mapping, unsigned long desiredAccess, std::uint64_t offset,
                    std::uint64_t bytes);

// Unmaps a view made by MapViewOfFile; false (invalid address) for anything else.
bool UnmapViewOfFile(const void* address);

// The size in bytes of a mapping.
bool GetMappingSize(Handle mapping, std::uint64_t& size);

}  // namespace plat
