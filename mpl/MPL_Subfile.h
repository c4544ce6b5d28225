#pragma once
// The engine's thin layer over the files of an image: opening a map's
// sub-files by name, reads, seeks and the shared 512-byte block read. Every
// failure of the file layer becomes a result code, except that an unavailable
// medium passes through.
#include <cstdint>
#include <string>

#include "dsk/DSK_File.h"
#include "mpl/MPL_EngineImage.h"

namespace mpl {

struct MdbMap_t;

// An offset that reads on from the current position.
constexpr std::int64_t kMdbHere = -1;
// The size of the shared block buffer.
constexpr std::uint32_t kMdbBlockSize = 512;

bool MdbIsOpen(const dsk::File_t& file);
// Opens 'name' of the source's root directory for reading: 0, or 1 when it is
// absent or the file layer fails.
int MdbOpenFile(dsk::File_t& file, const std::string& name, const ImageSource_t& source);
// Opens the map's name followed by 'extension' (at most 15 characters in all).
int OpenSubfile(dsk::File_t& file, const MdbMap_t& map, const std::string& extension,
                const ImageSource_t& source);
int MdbCloseFile(dsk::File_t& file);
// Reads 'count' bytes (taken modulo 65536) at 'offset', or at the current
// position when the offset is negative: 0, or 1 on any failure.
int MdbRead(dsk::File_t& file, std::int64_t offset, void* buffer, std::uint32_t count);
// Reads what there is, up to 'count' bytes, and zero-fills the rest of the
// buffer: the bytes read (0 on failure or at the end).
std::uint32_t MdbReadPadded(dsk::File_t& file, std::uint32_t offset, void* buffer, std::uint32_t count);
// mode 0 from the start, 1 from the current position, 2 back from the end: the
// new position, or -1.
std::int64_t MdbSeek(dsk::File_t& file, std::int64_t offset, int mode);
// The current position, 0 on failure.
std::uint32_t MdbTell(const dsk::File_t& file);
// The sub-file's length, 0 on failure.
std::uint32_t MdbSize(const dsk::File_t& file);
// Reads the 512-byte block holding the current position into the shared block
// buffer (one per thread), leaves the position as it was, points 'data' at the
// position's byte and answers the bytes from there to the end of the block; 0
// at the end of the file or on failure. The bytes stay valid until the next
// block read on the same thread.
std::uint32_t MdbReadBlock(dsk::File_t& file, const std::uint8_t*& data);

// Little-endian fields of a byte buffer.
inline std::uint16_t MdbGet16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t MdbGet24(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16);
}
inline std::uint32_t MdbGet32(const std::uint8_t* p) {
  return MdbGet24(p) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace mpl
