#include "mpl/MPL_Mdr.h"

#include <cstring>

#include "mpl/MPL_Srt.h"
#include "mpl/MPL_Subfile.h"

namespace mpl {

namespace {

constexpr std::uint16_t kMdrHeaderMinimum = 14;

// Where each section lies in the header and how many bytes it takes.
struct Layout_t {
  std::uint32_t at;
  std::uint32_t bytes;
};

Layout_t SectionLayout(unsigned n) {
  if (n <= 9) return {29 + 14 * (n - 1), 14};
  if (n == 10) return {155, 12};
  if (n <= 14) return {167 + 14 * (n - 11), 14};
  if (n == 15) return {223, 9};
  if (n == 16) return {232, 14};
  if (n == 17) return {246, 12};
  return {258 + 14 * (n - 18), 14};
}

bool KeepsFlags(unsigned n) { return n < 2 || n > 4; }

}  // namespace

unsigned MdbBytesFor(std::uint64_t count) {
  unsigned bytes = 1;
  while (bytes < 8 && (count >> (8 * bytes)) != 0) ++bytes;
  return bytes;
}

void MdbIndexContextClear(MdbIndex_t& index) {
  ImageSource_t source = index.source;
  std::locale locale = index.locale;
  MdbCloseFile(index.mdr.file);
  MdbCloseFile(index.srt.file);
  index = MdbIndex_t();
  index.source = source;
  index.locale = locale;
}

int MdbOpenIndexSubfile(MdbSubfile_t& subfile, const std::string& name, const std::string& extension,
                        const ImageSource_t& source) {
  return MdbOpenFile(subfile.file, name + extension, source) == kMdbDone ? kMdbDone : kMdbBadData;
}

int MdbReadMdrHeader(MdbIndex_t& index) {
  if (MdbOpenIndexSubfile(index.mdr, index.mdrName, ".MDR", index.source) != kMdbDone) return kMdbBadData;
  std::uint8_t head[kMdrHeaderMinimum];
  if (const int rc = MdbRead(index.mdr.file, 0, head, sizeof head)) return rc;
  if (std::memcmp(head + 2, "VORTAN MDR", 10) != 0 || MdbGet16(head + 12) != 1) return kMdbBadData;
  const std::uint16_t length = MdbGet16(head);
  if (length < kMdrHeaderMinimum) return kMdbBadData;
  std::vector<std::uint8_t> h(length);
  if (const int rc = MdbRead(index.mdr.file, 0, h.data(), length)) return rc;
  index.headerLength = length;
  if (length >= 29)
    for (unsigned i = 0; i < 4; ++i) index.words21[i] = MdbGet16(h.data() + 21 + 2 * i);
  for (unsigned n = 1; n <= kMdrSections; ++n) {
    const Layout_t layout = SectionLayout(n);
    // A section is there only when the header reaches past its last byte.
    if (length < layout.at + layout.bytes) continue;
    const std::uint8_t* p = h.data() + layout.at;
    MdrSection_t& s = index.sections[n];
    s.offset = MdbGet32(p);
    s.size = MdbGet32(p + 4);
    if (n == 10) {
      index.section10Value = MdbGet32(p + 8);
    } else if (n == 15) {
      index.section15Byte = p[8];
      index.offsetWidth = s.size > 0xFFFFFF ? 4 : 3;
    } else if (n == 17) {
      index.section17 = {s.offset, s.size, MdbGet32(p + 8)};
    } else {
      s.recordSize = MdbGet16(p + 8);
      if (KeepsFlags(n)) s.flags = MdbGet32(p + 10);
      s.count = s.recordSize ? s.size / s.recordSize : 0;
    }
  }
  const unsigned width = MdbBytesFor(index.sections[1].count);
  const unsigned width11 = MdbBytesFor(std::uint64_t(index.sections[11].count) * 2);
  if (width > 4 || width11 > 4) return kMdbBadData;
  index.indexWidth = static_cast<std::uint8_t>(width);
  index.section11Width = static_cast<std::uint8_t>(width11 + 1);
  if (index.sections[7].flags & 0x4000) {
    for (const unsigned n : {20u, 21u, 22u})
      if (index.sections[n].flags & 0x38) index.sections[7].flags &= ~std::uint32_t(0x4000);
  }
  return kMdbDone;
}

int MdbOpenSortTable(MdbIndex_t& index, const std::string& fileName) {
  MdbCloseFile(index.srt.file);
  index.srt = MdbSubfile_t();
  index.sortCodePage = 0;
  if (MdbOpenFile(index.srt.file, fileName, index.source) != kMdbDone) return kMdbBadData;
  // The MDR names its sort table by code page (sort id 1) and the lowest sort
  // id (the low 15 bits of sort id 2), as a map's LBL header does.
  const int rc = MdbReadSrtHeader(index.srt, index.SortId1(), index.SortId2() & 0x7FFFu);
  if (rc != kMdbDone) {
    MdbCloseFile(index.srt.file);
    index.srt = MdbSubfile_t();
    return rc;
  }
  index.sortCodePage = static_cast<std::uint16_t>(index.srt.words[kSrtCodePage]);
  return kMdbDone;
}

int MdbOpenIndex(MdbIndex_t& index, const std::string& mdrName, const std::string* srtName,
                 const ImageSource_t& source, const std::locale& locale) {
  MdbCloseIndex(index);
  MdbIndexContextClear(index);
  index.mdrName = mdrName.substr(0, kMdrNameLength);
  index.srtName = srtName ? srtName->substr(0, kMdrNameLength) : std::string();
  index.source = source;
  index.locale = locale;
  int rc = MdbReadMdrHeader(index);
  if (rc == kMdbDone && srtName) rc = MdbOpenSortTable(index, index.mdrName + ".SRT");
  if (rc != kMdbDone) MdbCloseIndex(index);
  return rc;
}

int MdbReadIndexSection16(MdbIndex_t& index) {
  const MdrSection_t& s = index.sections[16];
  const std::uint64_t bytes = std::uint64_t(s.recordSize) * s.count;
  if (bytes == 0) return kMdbDone;
  if (!index.section16) return kMdbBadData;
  const std::uint32_t size = MdbSize(index.mdr.file);
  if (s.offset > size || size - s.offset < bytes) return kMdbBadData;
  index.section16->resize(static_cast<std::size_t>(bytes));
  // Read in pieces: one read takes less than 64 KiB.
  std::uint64_t done = 0;
  while (done < bytes) {
    const std::uint32_t piece = static_cast<std::uint32_t>(std::min<std::uint64_t>(bytes - done, 0x8000));
    if (const int rc = MdbRead(index.mdr.file, s.offset + done, index.section16->data() + done, piece)) return rc;
    done += piece;
  }
  return kMdbDone;
}

void MdbCloseIndex(MdbIndex_t& index) {
  MdbCloseFile(index.mdr.file);
  MdbCloseFile(index.srt.file);
}

}  // namespace mpl
