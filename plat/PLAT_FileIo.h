#pragma once
// Reading, writing and positioning open files, and the kind of drive a path
// lies on. Failures return false and leave a Windows-numbered last error.
#include <cstdint>
#include <string>

#include "plat/PLAT_FileHandle.h"

namespace plat {

// Reads up to 'count' bytes at the file position; 'read' is the number read
// (0 at the end of the file, which is no failure). Interrupted reads are resumed.
bool ReadFile(Handle file, void* buffer, std::uint32_t count, std::uint32_t& read);

// Reads up to 'count' bytes at 'offset' without moving the file position
// (fewer only at the end of the file).
bool ReadFileAt(Handle file, std::uint64_t offset, void* buffer, std::uint32_t count, std::uint32_t& read);

// Writes all 'count' bytes at the file position.
bool WriteFile(Handle file, const void* data, std::uint32_t count);

// Moves the file position to 'offset' bytes from the start.
bool SetFilePointer(Handle file, std::uint64_t offset);

// Kinds of drive (the Windows numbers).
enum : unsigned {
  kDriveUnknown = 0,
  kDriveRemovable = 2,
  kDriveFixed = 3,
  kDriveCdRom = 5,
};

// The kind of drive that holds 'path' (a missing path is taken by its nearest
// existing folder) and the folder that drive is mounted on. A block device
// that the kernel reports as removable is kDriveRemovable, an optical one
// kDriveCdRom; every other mount is kDriveFixed. kDriveUnknown when no mount
// of the path is found.
unsigned GetDriveType(const std::string& path, std::string& mountPoint);

}  // namespace plat
