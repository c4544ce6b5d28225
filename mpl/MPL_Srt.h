#pragma once
// Sort tables (SRT sub-file): the order in which a map's label texts compare
// for name searches. Several weight levels per character, sequences of
// characters with weights of their own (contractions), and two-byte
// characters of the code pages 932, 936, 949 and 950. Without an open sort
// table every routine compares bytes.
//
// The state is the map's MdbSubfile_t (MdbMap_t::srt): 'head' holds the two
// words of the descriptor that named the table, 'words' the fields below.
#include <cstdint>

#include "mpl/MPL_Engine.h"

namespace mpl {

enum : unsigned {
  kSrtBase = 0,           // sub-file offset of the sort table
  kSrtCodePage,           // the code page it serves
  kSrtFlags,              // bits 0-2 levels - 1; 3 + n level n backwards; 8 wide primaries;
                          // 9 byte-wide other weights; 10-12 a double-byte code page
  kSrtDoubleCodePage,     // the code page of its double-byte handling
  kSrtCharOffset,         // character table (sub-file offset)
  kSrtCharSize,
  kSrtWeightOffset,       // weight table (sub-file offset)
  kSrtWeightSize,
  kSrtCharLength,         // the two tables' lengths in bytes
  kSrtWeightLength,
  kSrtContractOffset,     // contraction table (sub-file offset)
  kSrtContractLength,
  kSrtSortId,
};

// Selects the first sort table of the open SRT sub-file that serves the code
// page with a sort id of at least 'sortId': 0, 1 (closed sub-file, bad header
// or read error) or 3 (none).
int MdbReadSrtHeader(MdbSubfile_t& srt, std::uint32_t codePage, std::uint32_t sortId);
// (declared with the engine) MdbOpenMapSrt: opens the map's sort table by its
// sort name ("<name>.SRT") for the LBL header's code page and sort id; the
// sub-file is closed again on failure.

// The start of the element after the one at 'text', and its weight count.
const char* MdbSrtNextElement(const char* text, const MdbSubfile_t& srt, unsigned* weights = nullptr);
// The start of the element before 'end' in the text from 'start'.
const char* MdbSrtPrevElement(const MdbSubfile_t& srt, const char* end, const char* start);
// Lengths count weights: an element of several weights (a character that
// weighs as two letters) counts as that many and is never split.
// The position after n weights (or at the text's end).
const char* MdbSrtAdvance(const MdbSubfile_t& srt, const char* text, unsigned n);
// -1, 0 or 1: the two texts compared for their first n weights up to level
// 'highest'.
int MdbSrtCompare(const MdbSubfile_t& srt, const char* text1, const char* text2, unsigned n, unsigned highest);
// The first position of 'pattern' in 'text' at level 0, or null.
const char* MdbSrtFind(const MdbSubfile_t& srt, const char* text, const char* pattern);

}  // namespace mpl
