#pragma once
// The bit-packed coordinate stream of an area or line: a start point followed
// by deltas of two axes, each axis with its own width and sign mode, and
// optionally an extra field per point. The unpacker turns the stream into the
// feature's points and their bounding box.
#include <cstdint>
#include <vector>

#include "mpl/MPL_Geometry.h"

namespace mpl {

struct MdbMap_t;

// Mode flags of a stream.
enum : std::uint8_t {
  kUnpackExtraBit = 1,   // every point carries a one-bit extra field (basic stream)
  kUnpackKeepExtra = 2,  // keep each point's extra field in the low byte of its latitude
  kUnpackExtended = 4,   // extended stream: the extra-field layout is in the stream
};

// The unpacker's state. The caller fills the first six fields; the rest is the
// unpacker's own.
struct MdbUnpackState_t {
  std::uint8_t bits = 0;      // the level's resolution bits
  std::uint8_t mode = 0;      // kUnpack* flags
  std::uint32_t budget = 0;   // stream bytes not yet taken (the info byte included at the call)
  std::int32_t startLat = 0;  // the first point
  std::int32_t startLon = 0;
  MdbMap_t* map = nullptr;    // its RGN sub-file positioned at the stream's info byte

  std::uint8_t bitsLeft = 0;   // bits of 'buffer' not yet taken
  std::uint8_t extra = 0;      // extra-field layout: bits 4-7 bits per point, bit 2 presence bit
  std::uint8_t validBits = 0;  // bits of the word last handed out that belong to the stream
  std::uint32_t nextPos = 0;   // RGN offset of the first byte after the block part read
  std::uint32_t buffer = 0;    // the next stream bit is bit 0
  std::uint32_t wordsLeft = 0;       // words of the block part not yet handed out
  std::uint32_t partBytes = 0;       // bytes read from 'word' to the end of the block part
  const std::uint8_t* word = nullptr;  // the next word in the shared block buffer
  std::uint32_t lonDesc = 0;  // bits 0-4 bits per read, bit 6 common sign, bit 7 negative,
  std::uint32_t latDesc = 0;  // bits 8-31 the escape value (signed)
  std::int32_t lat = 0;       // the current point
  std::int32_t lon = 0;
  // The points' box; during the run the longitudes are relative to startLon.
  std::int32_t north = 0, east = 0, south = 0, west = 0;
};

// Decodes the stream: appends every point, the first included, to 'points'
// when 'wanted' is not 0, and leaves their box in the state. Answers the
// number of points in 'points' (0 when memory ran out).
std::uint32_t UnpackDeltas(MdbUnpackState_t& state, std::vector<MdbPoint_t>& points, std::uint16_t wanted);

// The point loop of UnpackDeltas, after the stream's header.
std::uint32_t MdbUnpackPoints(MdbUnpackState_t& state, std::vector<MdbPoint_t>& points, std::uint16_t wanted);

// Takes 'n' (at most 32) bits of the stream into 'value'; false at the end of the stream.
bool MdbTakeBits(MdbUnpackState_t& state, unsigned n, std::uint32_t& value);

// One delta of the axis 'desc', shifted to semicircles; false at the end of the stream.
bool MdbReadDelta(MdbUnpackState_t& state, std::uint32_t desc, std::int32_t& delta);

// The axis descriptor of a width code and a sign mode (0 signed, 2 positive, 3 negative).
std::uint32_t MdbAxisDescriptor(unsigned code, unsigned signMode);

}  // namespace mpl
