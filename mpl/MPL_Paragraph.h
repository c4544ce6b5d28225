#pragma once
// Compressed text paragraphs of a map: a paragraph is a run of parts in a table
// of the LBL sub-file, each part stored plainly or compressed with a canonical
// prefix code whose decoding tables lie in a section of the RGN sub-file. The
// text is delivered chunk by chunk into the caller's buffer.
//
// Result codes: 0 done, 1 read error or malformed data, 2 a work area that
// cannot be made (empty or too large), 3 nothing (more) to read.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "dsk/DSK_File.h"

namespace mpl {

struct MdbMap_t;

// Where a map's paragraphs are: the two sub-files (open for reading) and the
// header fields that locate the paragraph table and the decoding tables.
struct MdbParagraphSource_t {
  dsk::File_t* lbl = nullptr;
  dsk::File_t* rgn = nullptr;
  std::uint32_t tableOffset = 0;
  std::uint32_t tableSize = 0;
  std::uint8_t offsetShift = 0;
  std::uint8_t defaultTableId = 0;
  std::uint32_t textTablesOffset = 0;
  std::uint32_t textTablesLength = 0;
};

// Fills the source from the LBL header (14 bytes at 0xde, present when the
// header is at least 236 bytes long) and the RGN header (u32 offset at 0x71 and
// u32 length at 0x75, present when the header reaches them). 0, or 1 on a read error.
int MdbReadParagraphSource(dsk::File_t& lbl, dsk::File_t& rgn, MdbParagraphSource_t& source);

// The source of an open map: its LBL and RGN sub-files and the header fields
// the engine read at open.
MdbParagraphSource_t MdbParagraphSourceOf(MdbMap_t& map);

// The reader state of one paragraph. The caller sets the first three fields.
struct MdbParagraph_t {
  std::int32_t number = 0;
  char* buffer = nullptr;
  // Bytes of the buffer; below 2 (or no buffer) the data are skipped.
  std::uint16_t bufferSize = 0;
  std::int32_t filePosition = 0;
  std::uint32_t partCount = 0;
  // Data bytes of the current part (after its header fields).
  std::uint32_t partBytes = 0;
  // Bytes of the current part's text already delivered.
  std::uint32_t delivered = 0;
  std::uint32_t uncompressedLength = 0;
  std::uint8_t compression = 0;
  std::uint8_t tableId = 0;
  std::uint8_t morePending = 0;
  std::uint8_t unused = 0;
  std::uint8_t headerLow = 0;
  std::uint32_t partsRead = 0;
  // The current compressed part's text, unpacked with its first chunk and kept
  // for the chunks that follow; when its data end early, only the bytes that
  // could be unpacked.
  std::shared_ptr<const std::vector<std::uint8_t>> text;
};

// The largest text a compressed part may unpack to, and the largest decoding
// table and compressed data read for one; larger parts give result 2.
constexpr std::uint32_t kMaxParagraphWorkArea = 1u << 20;

// Clears the state after its first three fields, locates the paragraph, reads
// its part count and the first chunk.
int MdbOpenParagraph(const MdbParagraphSource_t& source, MdbParagraph_t& state);
int MdbOpenParagraph(MdbMap_t& map, MdbParagraph_t& state);
// Starts the next part when none is pending (3 when all were read), then
// delivers up to bufferSize - 1 bytes of text, NUL-terminated, and sets
// morePending while the part has more.
int MdbReadParagraph(const MdbParagraphSource_t& source, MdbParagraph_t& state);
int MdbReadParagraph(MdbMap_t& map, MdbParagraph_t& state);
// The position and size (its length varint included) of decoding table 'id';
// 3 when the section ends first, 1 on a read error.
int MdbFindTextTable(const MdbParagraphSource_t& source, std::uint8_t id, std::uint32_t& size,
                     std::uint32_t& position);

// Decodes symbols with the table (its length varint included) from the input
// into 'out'. outCount > 0: until that many bytes are written; outCount < 0:
// at most -outCount bytes, stopping after a 0 byte. 'written' receives the
// bytes written. 0 done; 1 when the table is malformed or the input runs out
// before the output is complete.
int MdbPrefixDecode(std::uint8_t* out, std::int32_t outCount, const std::uint8_t* table, std::size_t tableSize,
                    const std::uint8_t* input, std::size_t inputSize, std::size_t& written);

// The engine's variable-length number: 1 to 4 bytes, the lowest set bit of the
// first byte among bits 0-2 telling the extra bytes. 0, or 1 when the bytes end
// first; 'used' receives the bytes taken.
int MdbDecodeVarint(const std::uint8_t* bytes, std::size_t size, std::uint32_t& value, std::size_t& used);

}  // namespace mpl
