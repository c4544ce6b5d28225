#pragma once
// Device frames: a 16-bit packet id and a byte string, the unit in which every
// layer of the device protocol talks. Copies of a frame share one data object.
// Payloads are read and written through a frame stream, so every value on the
// wire is little-endian with its natural width.
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "bin/BIN_stream.h"
#include "glo/GLO_AutoPtr.h"

namespace iol {

class Frame_t {
 public:
  // The shared bytes of a frame.
  class Data_t : public glo::RefCounter_t {
   public:
    std::vector<std::uint8_t> bytes;
  };

  // Id 0 and no data.
  Frame_t();
  // The id and no data.
  explicit Frame_t(std::uint16_t id);
  // The id and every byte that remains in the stream from its read position to
  // its end; no stream gives no data.
  Frame_t(std::uint16_t id, bin::istream* stream);
  // The id and a copy of the bytes.
  Frame_t(std::uint16_t id, const std::vector<std::uint8_t>& bytes);
  Frame_t(std::uint16_t id, const std::uint8_t* bytes, std::size_t count);

  std::uint16_t Id() const { return m_id; }
  const std::vector<std::uint8_t>& Data() const { return m_data->bytes; }
  std::size_t Size() const { return m_data->bytes.size(); }

  // The text form: "Frame: (ID,DATA)\n", "ID: <id>\n", then the hex dump of the data.
  void Dump(std::ostream& out) const;
  std::string DumpText() const;

 private:
  std::uint16_t m_id;
  glo::SmartPtr_t<Data_t> m_data;
};

// Hex dump of bytes, 16 to a line: the offset as 4 hex digits and ": ", each
// byte as 2 hex digits and a space, then two spaces and the bytes as characters
// ('.' for those the current locale does not print). No bytes, no text.
void HexDump(std::ostream& out, const std::uint8_t* bytes, std::size_t count);

// The stream of a packet's payload: written by an encoder, or read by a decoder
// from a copy of a frame's bytes.
class FrameStream_t : public bin::stringstream {
 public:
  FrameStream_t();
  explicit FrameStream_t(const Frame_t& frame);
};

}  // namespace iol
