#pragma once
// Reading, writing and positioning open files, and the kind of drive a path
// lies on. Failures return false and leave a Windows-numbered last error.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>

#include "plat/PLAT_FileHandle.h"

namespace plat {

// Calls 'call' (a system call that answers -1 and errno on failure) again for as
// long as it fails with EINTR, and answers its last result.
template <typename Call>
auto RetryOnInterrupt(Call call) -> decltype(call()) {
  for (;;) {
    const auto result = call();
    if (!(result == -1 && errno == EINTR)) return result;
  }
}

// Called by WriteAll while the descriptor takes nothing (its queue is full): waits
// a little for room and answers true to go on, or sets the last error and answers
// false to give the write up. Null: a plain wait for room of up to 100 ms.
using WaitForRoom = bool (*)(int fd, void* context);

// Writes all 'count' bytes to the descriptor, blocking or not: a write cut short
// goes on with the rest, EINTR is retried, a full queue is waited out with
// 'wait'. 'written' is the count that went out. False with the last error set
// when a write fails, when the descriptor takes no more bytes at all (a write
// of none: 112, the disk is full), when 'wait' gives up, or with 1460 when
// nothing went out for 'stallMs'. Safe in a signal handler (it neither
// allocates nor locks).
bool WriteAll(int fd, const void* bytes, std::size_t count, std::size_t& written, unsigned long stallMs,
              WaitForRoom wait = nullptr, void* context = nullptr);

// Reads up to 'count' bytes at the file position; 'read' is the number read
// (0 at the end of the file, which is no failure). Interrupted reads are resumed.
bool ReadFile(Handle file, void* buffer, std::uint32_t count, std::uint32_t& read);

// Reads up to 'count' bytes at 'offset' without moving the file position
// (fewer only at the end of the file).
bool ReadFileAt(Handle file, std::uint64_t offset, void* buffer, std::uint32_t count, std::uint32_t& read);

// Writes all 'count' bytes at the file position (WriteAll).
bool WriteFile(Handle file, const void* bytes, std::size_t count);

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
