#include "mpl/MPL_Srt.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "mpl/MPL_Lbl.h"
#include "mpl/MPL_Subfile.h"

namespace mpl {

namespace {

constexpr unsigned kMaxWeights = 8;
constexpr std::uint32_t kMaxRecord = 64;

struct Element_t {
  const char* next = nullptr;
  unsigned count = 0;                          // weights
  std::uint32_t w[kMaxWeights][3] = {};       // by weight, level
  bool ok = true;
};

std::uint32_t Word(const MdbSubfile_t& srt, unsigned i) { return srt.words[i]; }

bool IsOpen(const MdbSubfile_t& srt) { return srt.file.IsOpen() && Word(srt, kSrtCharSize) != 0; }

bool Read(const MdbSubfile_t& srt, std::uint32_t offset, void* out, std::uint32_t n) {
  // The handle is the state's own; reading moves only its position.
  return MdbRead(const_cast<dsk::File_t&>(srt.file), offset, out, n) == kMdbDone;
}

void ParseWeights(const MdbSubfile_t& srt, const std::uint8_t* r, std::uint32_t w[3]) {
  const std::uint32_t flags = Word(srt, kSrtFlags);
  unsigned p = 0;
  if (flags & 0x100u) {
    w[0] = MdbGet16(r);
    p = 2;
  } else {
    w[0] = r[0];
    p = 1;
  }
  if (flags & 0x200u) {
    w[1] = r[p];
    w[2] = r[p + 1];
  } else {
    w[1] = r[p] >> 4;
    w[2] = r[p] & 0x0Fu;
  }
}

unsigned PointerWidth(std::uint32_t length) {
  if (length == 0) return 0;
  if (length <= 0xFFu) return 1;
  if (length <= 0xFFFFu) return 2;
  if (length <= 0xFFFFFFu) return 3;
  return 4;
}

// The character record of byte c (1-255), checked against the table.
bool CharRecord(const MdbSubfile_t& srt, std::uint8_t c, std::uint8_t* r) {
  const std::uint32_t size = Word(srt, kSrtCharSize);
  if (c == 0 || size == 0 || size > kMaxRecord) return false;
  if (static_cast<std::uint64_t>(c) * size > Word(srt, kSrtCharLength)) return false;
  return Read(srt, Word(srt, kSrtCharOffset) + (c - 1u) * size, r, size);
}

bool WeightRecord(const MdbSubfile_t& srt, std::uint32_t index, std::uint32_t w[3]) {
  const std::uint32_t size = Word(srt, kSrtWeightSize);
  if (size == 0 || size > kMaxRecord) return false;
  if ((static_cast<std::uint64_t>(index) + 1) * size > Word(srt, kSrtWeightLength)) return false;
  std::uint8_t r[kMaxRecord + 2] = {};
  if (!Read(srt, Word(srt, kSrtWeightOffset) + index * size, r, size)) return false;
  ParseWeights(srt, r, w);
  return true;
}

bool IsLead(const MdbSubfile_t& srt, const char* p) {
  const auto b = static_cast<std::uint8_t>(p[0]);
  return (Word(srt, kSrtFlags) & 0x1C00u) != 0 && MdbIsDoubleByteCodePage(Word(srt, kSrtCodePage)) && b > 128 &&
         b != 255 && p[1] != '\0';
}

// The element at p (p[0] != 0).
Element_t ReadElement(const MdbSubfile_t& srt, const char* p) {
  Element_t e;
  e.next = p + 1;
  e.count = 1;
  if (!IsOpen(srt)) {
    e.w[0][0] = e.w[0][1] = e.w[0][2] = static_cast<std::uint8_t>(*p);
    return e;
  }
  if (IsLead(srt, p)) {
    // A two-byte character is its own weight at every level; a lead byte
    // before the terminator is an element of one byte.
    const std::uint32_t code = (static_cast<std::uint32_t>(static_cast<std::uint8_t>(p[0])) << 8) |
                               static_cast<std::uint8_t>(p[1]);
    e.w[0][0] = e.w[0][1] = e.w[0][2] = code;
    e.next = p + 2;
    return e;
  }
  const auto c = static_cast<std::uint8_t>(*p);
  std::uint8_t r[kMaxRecord + 2] = {};
  if (!CharRecord(srt, c, r)) {
    e.ok = false;
    return e;
  }
  const std::uint32_t contractLength = Word(srt, kSrtContractLength);
  const unsigned width = PointerWidth(contractLength);
  const std::uint32_t weightSize = Word(srt, kSrtWeightSize);
  if (1 + width + std::max<std::uint32_t>(weightSize, 1) > Word(srt, kSrtCharSize) || weightSize > kMaxRecord) {
    e.ok = false;
    return e;
  }
  // A contraction starting here.
  if ((r[0] & 0x04u) && contractLength != 0 && p[1] != '\0') {
    std::uint8_t second[kMaxRecord + 2] = {};
    if (!CharRecord(srt, static_cast<std::uint8_t>(p[1]), second)) {
      e.ok = false;
      return e;
    }
    if (second[0] & 0x08u) {
      std::uint32_t pointer = 0;
      for (unsigned i = 0; i < width; ++i) pointer |= static_cast<std::uint32_t>(r[1 + i]) << (8 * i);
      std::uint32_t at = pointer;
      std::uint8_t entry[1 + 7 + kMaxWeights * kMaxRecord];
      // The entries of this character, never past the table's end.
      while (at < contractLength) {
        if (!Read(srt, Word(srt, kSrtContractOffset) + at, entry, 1)) {
          e.ok = false;
          return e;
        }
        const unsigned length = ((entry[0] >> 3) & 7u) + 2;
        const unsigned count = (entry[0] & 7u) + 1;
        const std::uint32_t size = 1 + length + count * weightSize;
        if (size > contractLength - at || !Read(srt, Word(srt, kSrtContractOffset) + at, entry, size)) break;
        if (entry[1] != c) break;
        bool match = true;
        for (unsigned i = 0; i < length && match; ++i)
          match = p[i] != '\0' && static_cast<std::uint8_t>(p[i]) == entry[1 + i];
        if (match) {
          e.next = p + length;
          e.count = count;
          for (unsigned k = 0; k < count; ++k) ParseWeights(srt, entry + 1 + length + k * weightSize, e.w[k]);
          return e;
        }
        at += size;
      }
    }
  }
  ParseWeights(srt, r + 1 + width, e.w[0]);
  const unsigned count = ((r[0] >> 4) & 7u) + 1;
  if (count > 1) {
    // The element's weights are consecutive records of the weight table,
    // starting at the one the primary names; primary 0 is an ignorable
    // character.
    const std::uint32_t first = e.w[0][0];
    if (first == 0) {
      e.w[0][1] = e.w[0][2] = 0;
      return e;
    }
    e.count = count;
    for (unsigned k = 0; k < count && e.ok; ++k) e.ok = WeightRecord(srt, first - 1 + k, e.w[k]);
  }
  return e;
}

// The elements of the text that make up its first n weights (an element of
// several weights counts as that many, and is never split); false when one
// could not be read.
bool Elements(const MdbSubfile_t& srt, const char* text, unsigned n, std::vector<Element_t>& out,
              const char*& end) {
  out.clear();
  const char* p = text;
  for (unsigned taken = 0; taken < n && *p != '\0'; taken += out.back().count) {
    out.push_back(ReadElement(srt, p));
    if (!out.back().ok) return false;
    p = out.back().next;
  }
  end = p;
  return true;
}

int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

int CompareBytes(const char* a, const char* aEnd, const char* b, const char* bEnd) {
  const std::size_t la = static_cast<std::size_t>(aEnd - a), lb = static_cast<std::size_t>(bEnd - b);
  const int c = std::memcmp(a, b, std::min(la, lb));
  if (c != 0) return Sign(c);
  return la < lb ? -1 : la > lb ? 1 : 0;
}

std::vector<std::uint32_t> LevelWeights(const std::vector<Element_t>& elements, unsigned level, bool backwards) {
  std::vector<std::uint32_t> w;
  for (const Element_t& e : elements)
    for (unsigned k = 0; k < e.count; ++k)
      if (e.w[k][level] != 0) w.push_back(e.w[k][level]);
  if (backwards) std::reverse(w.begin(), w.end());
  return w;
}

}  // namespace

int MdbReadSrtHeader(MdbSubfile_t& srt, std::uint32_t codePage, std::uint32_t sortId) {
  if (!srt.file.IsOpen()) return kMdbBadData;
  std::uint8_t h[29];
  if (MdbRead(srt.file, 0, h, sizeof h) != kMdbDone) return kMdbBadData;
  if (std::memcmp(h + 2, "VORTAN SRT", 10) != 0 || MdbGet16(h + 12) != 1) return kMdbBadData;
  const std::uint32_t count = MdbGet16(h + 21);
  const std::uint32_t table = MdbGet32(h + 23);
  const std::uint32_t recordSize = MdbGet16(h + 27);
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint8_t d[16];
    const std::uint64_t at = table + static_cast<std::uint64_t>(i) * recordSize;
    if (at > 0xFFFFFFFFu || MdbRead(srt.file, static_cast<std::int64_t>(at), d, sizeof d) != kMdbDone)
      return kMdbBadData;
    const std::uint32_t base = MdbGet32(d + 8);
    std::uint8_t s[52];
    if (MdbRead(srt.file, base, s, sizeof s) != kMdbDone) return kMdbBadData;
    if (MdbGet16(s + 2) != codePage || MdbGet16(s + 4) < sortId) continue;
    srt.head = {MdbGet32(d), MdbGet32(d + 4)};
    srt.words = {};
    srt.words[kSrtBase] = base;
    srt.words[kSrtCodePage] = MdbGet16(s + 2);
    srt.words[kSrtFlags] = MdbGet32(s + 8);
    srt.words[kSrtDoubleCodePage] = MdbGet16(s + 6);
    srt.words[kSrtCharOffset] = base + MdbGet32(s + 12);
    srt.words[kSrtCharLength] = MdbGet32(s + 16);
    srt.words[kSrtCharSize] = MdbGet32(s + 20);
    srt.words[kSrtWeightOffset] = base + MdbGet32(s + 28);
    srt.words[kSrtWeightLength] = MdbGet32(s + 32);
    srt.words[kSrtWeightSize] = MdbGet32(s + 36);
    srt.words[kSrtContractOffset] = base + MdbGet32(s + 44);
    srt.words[kSrtContractLength] = MdbGet32(s + 48);
    srt.words[kSrtSortId] = MdbGet16(s + 4);
    return kMdbDone;
  }
  return kMdbNotFound;
}

int MdbOpenMapSrt(MdbMap_t& map) {
  MdbCloseFile(map.srt.file);
  map.srt = MdbSubfile_t();
  if (map.sortName.empty()) return kMdbDone;
  const std::string name = map.sortName.find('.') == std::string::npos ? map.sortName + ".SRT" : map.sortName;
  if (MdbOpenFile(map.srt.file, name, map.source) != kMdbDone) return kMdbBadData;
  const int result = MdbReadSrtHeader(map.srt, map.lbl.sortCodePage, map.lbl.sortId & 0x7FFFu);
  if (result != kMdbDone) {
    MdbCloseFile(map.srt.file);
    map.srt = MdbSubfile_t();
  }
  return result;
}

const char* MdbSrtNextElement(const char* text, const MdbSubfile_t& srt, unsigned* weights) {
  if (*text == '\0') {
    if (weights) *weights = 0;
    return text;
  }
  const Element_t e = ReadElement(srt, text);
  if (weights) *weights = e.ok ? e.count : 1;
  return e.next;
}

const char* MdbSrtPrevElement(const MdbSubfile_t& srt, const char* end, const char* start) {
  const char* p = start;
  const char* previous = start;
  while (p < end && *p != '\0') {
    previous = p;
    p = MdbSrtNextElement(p, srt);
  }
  return previous;
}

const char* MdbSrtAdvance(const MdbSubfile_t& srt, const char* text, unsigned n) {
  unsigned weights = 0;
  for (unsigned taken = 0; taken < n && *text != '\0'; taken += weights) text = MdbSrtNextElement(text, srt, &weights);
  return text;
}

int MdbSrtCompare(const MdbSubfile_t& srt, const char* text1, const char* text2, unsigned n, unsigned highest) {
  if (!IsOpen(srt)) return Sign(std::strncmp(text1, text2, n));
  std::vector<Element_t> a, b;
  const char* end1 = text1;
  const char* end2 = text2;
  // A text that cannot be read compares as different.
  if (!Elements(srt, text1, n, a, end1) || !Elements(srt, text2, n, b, end2)) return 1;
  const std::uint32_t flags = Word(srt, kSrtFlags);
  const unsigned levels = (flags & 7u) + 1;
  const unsigned last = std::min(highest, std::min(levels - 1, 2u));
  for (unsigned level = 0; level <= last; ++level) {
    const bool backwards = (flags >> (3 + level)) & 1u;
    const std::vector<std::uint32_t> wa = LevelWeights(a, level, backwards);
    const std::vector<std::uint32_t> wb = LevelWeights(b, level, backwards);
    const std::size_t common = std::min(wa.size(), wb.size());
    for (std::size_t i = 0; i < common; ++i)
      if (wa[i] != wb[i]) return wa[i] < wb[i] ? -1 : 1;
    if (wa.size() != wb.size()) return wa.size() < wb.size() ? -1 : 1;
  }
  if (highest < levels) return 0;
  return CompareBytes(text1, end1, text2, end2);
}

const char* MdbSrtFind(const MdbSubfile_t& srt, const char* text, const char* pattern) {
  if (!IsOpen(srt)) return std::strstr(text, pattern);
  // Lengths in weights: "SSE" can match from a sharp s on.
  const auto length = [&](const char* p) {
    unsigned total = 0, weights = 0;
    for (; *p != '\0'; total += weights) p = MdbSrtNextElement(p, srt, &weights);
    return total;
  };
  const unsigned patternLength = length(pattern);
  unsigned left = length(text);
  unsigned weights = 0;
  for (const char* p = text; left >= patternLength; left -= weights) {
    if (MdbSrtCompare(srt, p, pattern, patternLength, 0) == 0) return p;
    if (*p == '\0') break;
    p = MdbSrtNextElement(p, srt, &weights);
  }
  return nullptr;
}

}  // namespace mpl
