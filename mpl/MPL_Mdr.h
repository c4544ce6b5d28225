#pragma once
// The search index of a map product family: the MDR sub-file of the family's
// index image with its header of up to 29 sections, the sort table that goes
// with it, and the one section (16) that is loaded into memory.
#include <array>
#include <cstdint>
#include <locale>
#include <string>
#include <vector>

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_EngineImage.h"

namespace mpl {

// One section of the MDR header.
struct MdrSection_t {
  std::uint32_t offset = 0;
  std::uint32_t size = 0;
  std::uint16_t recordSize = 0;
  std::uint32_t flags = 0;
  // size / recordSize (0 when the record size is 0).
  std::uint32_t count = 0;
};

constexpr unsigned kMdrSections = 29;
constexpr std::size_t kMdrNameLength = 10;

// The engine context of a search index.
struct MdbIndex_t {
  std::string mdrName;  // at most 10 characters
  std::string srtName;  // at most 10 characters; empty: none
  ImageSource_t source;
  std::locale locale;

  MdbSubfile_t mdr;
  std::uint16_t headerLength = 0;
  // The four words at 21 (sort ids 1 and 2 are the second and third).
  std::array<std::uint16_t, 4> words21{};
  // Sections 1 to 29 at [1] to [29]; [0] is not used.
  std::array<MdrSection_t, kMdrSections + 1> sections{};
  // Bytes of an index into section 1's records.
  std::uint8_t indexWidth = 0;
  // Bytes needed for twice section 11's count, plus 1.
  std::uint8_t section11Width = 0;
  // Section 10's third word, section 15's byte and section 17's three words.
  std::uint32_t section10Value = 0;
  std::uint8_t section15Byte = 0;
  std::uint8_t offsetWidth = 0;  // 3, or 4 when section 15's size exceeds 0xFFFFFF
  std::array<std::uint32_t, 3> section17{};

  MdbSubfile_t srt;
  // The code page of the selected sort table; 0 when none is selected.
  std::uint16_t sortCodePage = 0;
  // Where section 16's records go (owned by the caller).
  std::vector<std::uint8_t>* section16 = nullptr;
  std::uint32_t cleared = 0;

  std::uint16_t SortId1() const { return words21[1]; }
  std::uint16_t SortId2() const { return words21[2]; }
};

// Zeroes the names, the sub-file records and the index fields (the image
// source and locale stay).
void MdbIndexContextClear(MdbIndex_t& index);
// Opens the image's file 'name' + 'extension': 0, or 1 when it is missing.
int MdbOpenIndexSubfile(MdbSubfile_t& subfile, const std::string& name, const std::string& extension,
                        const ImageSource_t& source);
// Opens the MDR named by the context and reads its header: 0, or 1 for a
// missing file, a wrong signature or version, a header cut short or an index
// width above 4 bytes.
int MdbReadMdrHeader(MdbIndex_t& index);
// Opens the sort table file and selects the sort table the MDR header names.
// 0, 1 when the file is missing, 3 when it holds no such sort table; a failure
// closes it again.
int MdbOpenSortTable(MdbIndex_t& index, const std::string& fileName);
// Closes whatever is open, clears the context, takes the names (cut to 10
// characters), the image source and the locale, reads the MDR header and, with
// a sort table name, opens the sort table. 0, or the first error, after which
// both sub-files are closed.
int MdbOpenIndex(MdbIndex_t& index, const std::string& mdrName, const std::string* srtName,
                 const ImageSource_t& source, const std::locale& locale);
// Reads all records of section 16 into *index.section16: 0 (also when the
// section is empty), or 1.
int MdbReadIndexSection16(MdbIndex_t& index);
// Closes the MDR and SRT sub-files.
void MdbCloseIndex(MdbIndex_t& index);

// The bytes an unsigned count needs (1 for counts up to 255 and for 0).
unsigned MdbBytesFor(std::uint64_t count);

}  // namespace mpl
