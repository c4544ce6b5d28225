#pragma once
// A read-ahead reader over one sub-file of a map: a window of up to 255 bytes
// in the caller's buffer, refilled from the sub-file through a handle of its
// own, and the variable-length integers of the map formats.
#include <cstdint>

#include "dsk/DSK_File.h"

namespace mpl {

struct MdbBufReader_t {
  dsk::File_t file;          // its own handle on the sub-file's buffer
  std::uint32_t next = 0;    // sub-file offset of the byte after the window
  std::uint32_t end = 0;     // the sub-file's length
  std::uint8_t count = 0;    // window size, 1 to 255
  std::uint8_t index = 0;    // read position in the window; count: used up
  std::uint8_t filled = 0;   // bytes the last refill put at the window's tail
  std::uint8_t* window = nullptr;  // the caller's buffer
};

// Opens the reader on the sub-file at 'start' with a window of min(size, 255)
// bytes: 1 when the sub-file is not open or the size is 0 (the reader is left
// as it was).
int MdbBufOpen(MdbBufReader_t& reader, const dsk::File_t& subfile, std::uint32_t start,
               std::uint8_t* window, std::uint16_t size);
// Copies n bytes from the reader's position: 0, or 1 when the sub-file ends
// first or a read fails (the window is then empty).
int MdbBufRead(MdbBufReader_t& reader, void* destination, std::uint16_t n);
// Moves to 'offset': only the index when the offset is in the window, else the
// window is emptied. 1 for an offset at or past the sub-file's end, which
// leaves the reader as it was.
int MdbBufSeek(MdbBufReader_t& reader, std::uint32_t offset);
// The sub-file offset of the next byte the reader hands out.
std::uint32_t MdbBufTell(const MdbBufReader_t& reader);
// One variable-length integer (1 to 4 bytes) at the reader's position.
int MdbBufReadVarint(MdbBufReader_t& reader, std::uint32_t& value);
// One variable-length integer read byte by byte at 'offset', which moves past it.
int MdbReadVarint(dsk::File_t& subfile, std::uint32_t& offset, std::uint32_t& value);

}  // namespace mpl
