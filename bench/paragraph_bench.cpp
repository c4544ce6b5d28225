// Reading a long compressed paragraph part through the map's text-entity
// search, whose text buffer holds 150 characters: a part of 1 MiB unpacked
// from 32 KiB of one-bit codes for 32-bit symbols, and one of 512 KiB. Run by
// hand: build/bin/paragraph_bench
#include <chrono>
#include <cstdio>
#include <string>

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Map.h"
#include "tests/imgkit/ImageBuilder.h"
#include "tests/imgkit/MemoryMedia.h"
#include "tests/imgkit/ParagraphBuilder.h"

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds to read the whole paragraph, the best of 'rounds'; false when
// the text read is not the text stored.
bool Measure(unsigned words, int rounds, double& best) {
  imgkit::ParagraphFiles_t files;
  files.tables = {imgkit::WordTable()};
  files.paragraphs = {{imgkit::WordPart(words, 0)}};
  const std::string& stored = files.paragraphs[0][0].text;
  imgkit::ImageBuilder_t b;
  b.files = {imgkit::File("TEXT.LBL", files.Lbl()), imgkit::File("TEXT.RGN", files.Rgn())};
  auto* media = new imgkit::MemoryMedia_t(b.Build(), true);
  mpl::MdbMap_t map;
  map.mapName = "TEXT";
  map.source = mpl::ImageSource_t(*media, glo::SmartPtr_t<glo::RefCounter_t>(media), 64);
  if (mpl::MdbReadLblHeader(map) || mpl::MdbReadRgnHeader(map)) return false;
  best = 1e30;
  for (int round = 0; round < rounds; ++round) {
    std::string text;
    text.reserve(stored.size());
    const Clock::time_point start = Clock::now();
    mpl::TextEntityWorkspace_t workspace;
    workspace.criteria = static_cast<std::uint32_t>(files.Number(0));
    int rc = mpl::MdbFirstTextEntity(map, workspace);
    while (rc == 0) {
      text += workspace.text.data();
      if (!workspace.more) break;
      rc = mpl::MdbNextTextEntity(map, workspace);
    }
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (ms < best) best = ms;
    if (rc != 0 || text != stored) return false;
  }
  return true;
}

}  // namespace

int main() {
  for (const unsigned words : {1u << 17, 1u << 18}) {
    double best = 0.0;
    if (!Measure(words, 5, best)) {
      std::printf("paragraph read failed\n");
      return 1;
    }
    std::printf("compressed part of %u KiB through a 151-byte buffer: %.3f ms (at most 50 ms for 1024 KiB)\n",
                words * 4 / 1024, best);
  }
  return 0;
}
