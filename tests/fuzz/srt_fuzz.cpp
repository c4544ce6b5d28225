// Collation with a sort-table sub-file (SRT) of any bytes: the input is the
// sub-file; its table for code page 1252 or else 936 is selected and a set of
// texts is compared, stepped through and searched.
#include <cstring>

#include "glo/GLO_Exception.h"
#include "mpl/MPL_Srt.h"
#include "mpl/MPL_Subfile.h"
#include "tests/fuzz/FuzzSeeds.h"
#include "tests/imgkit/MapImage.h"
#include "tests/imgkit/SrtBuilder.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

const char* const kTexts[] = {"", "A", "CHA", "CZ", "abc", "ABC", "A-B", "\xE9\xE8", "\xB0\xA1", "\xB0", "X\xB0",
                              "HELLO CHARLIE", "Q", "ZZZZ"};

imgkit::SrtTable_t Table(std::uint16_t codePage, std::uint32_t flags) {
  imgkit::SrtTable_t t;
  t.codePage = codePage;
  t.flags = flags;
  t.charSize = 4;
  t.weightSize = 2;
  for (unsigned c = 'A'; c <= 'Z'; ++c) {
    t.chars[static_cast<std::uint8_t>(c)] = imgkit::SrtChar(0x08, 0, 1, imgkit::SrtWeight(flags, c, 0, 2), 4);
    t.chars[static_cast<std::uint8_t>(c + 32)] = imgkit::SrtChar(0x08, 0, 1, imgkit::SrtWeight(flags, c, 0, 1), 4);
  }
  t.chars['C'] = imgkit::SrtChar(0x0C, 0, 1, imgkit::SrtWeight(flags, 'C', 0, 2), 4);
  t.contractions = imgkit::SrtContraction("CH", {imgkit::SrtWeight(flags, 'C', 1, 2)});
  t.weights = imgkit::SrtWeight(flags, 'Z', 3, 3);
  t.chars['Z'] = imgkit::SrtChar(0x10, 0, 1, imgkit::SrtWeight(flags, 1, 0, 0), 4);
  t.chars['Q'] = imgkit::SrtChar(0x10, 0, 1, imgkit::SrtWeight(flags, 0, 0, 0), 4);
  return t;
}

}  // namespace

std::vector<std::string> StrideFuzzSeeds() {
  std::vector<std::string> seeds;
  seeds.push_back(imgkit::BuildSrt({Table(1252, 2)}));
  seeds.push_back(imgkit::BuildSrt({Table(1252, 2 | (1u << 4) | 0x300)}));
  seeds.push_back(imgkit::BuildSrt({Table(936, 2 | 0x400)}));
  imgkit::SrtTable_t damaged = Table(1252, 2);
  damaged.contractLength = 2;
  damaged.charLength = 40;
  seeds.push_back(imgkit::BuildSrt({damaged}));
  return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    mpl::ImageSource_t source = imgkit::OpenImage(imgkit::MapImage({{"FUZZ.SRT", fuzz::Bytes(data, size)}}));
    mpl::MdbSubfile_t srt;
    if (mpl::MdbOpenFile(srt.file, "FUZZ.SRT", source) != 0) return 0;
    if (mpl::MdbReadSrtHeader(srt, 1252, 0) != 0 && mpl::MdbReadSrtHeader(srt, 936, 0) != 0) return 0;
    for (const char* a : kTexts) {
      const std::size_t length = std::strlen(a);
      const char* p = a;
      for (unsigned i = 0; i < 20 && *p != '\0'; ++i) {
        const char* next = mpl::MdbSrtNextElement(p, srt);
        Check(next > p && next <= a + length);
        Check(mpl::MdbSrtPrevElement(srt, next, a) == p);
        p = next;
      }
      Check(mpl::MdbSrtAdvance(srt, a, 50) == a + length);
      for (const char* b : kTexts) {
        for (unsigned level = 0; level < 4; ++level) {
          const int c = mpl::MdbSrtCompare(srt, a, b, 10, level);
          Check(c >= -1 && c <= 1);
        }
        const char* found = mpl::MdbSrtFind(srt, a, b);
        Check(found == nullptr || (found >= a && found <= a + length));
      }
    }
  } catch (const glo::Exception_t&) {
    // bad input must end in the program's own errors
  }
  return 0;
}
