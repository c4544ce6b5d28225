#pragma once
// Hands the delta unpacker the next 32-bit word of a coordinate stream, read
// block by block from the RGN sub-file through the engine's shared block buffer.
#include <cstdint>

#include "mpl/MPL_UnpackDeltas.h"

namespace mpl {

// The next little-endian word of the stream. Sets state.validBits to the bits
// of it that belong to the stream: 0 when the stream is used up or no block
// could be read (the stream then ends), never more than the bytes read hold;
// bytes past what was read come as 0.
std::uint32_t MdbNextStreamWord(MdbUnpackState_t& state);

}  // namespace mpl
