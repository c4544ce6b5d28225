// Compressed paragraphs on any bytes: the prefix decoder on a table and input
// taken from the data, and a paragraph table with a section of decoding tables
// read chunk by chunk from the sub-files of an image.
#include <memory>
#include <vector>

#include "dsk/DSK_Directory.h"
#include "dsk/DSK_Disk.h"
#include "dsk/DSK_File.h"
#include "dsk/DSK_FileBuffer.h"
#include "dsk/DSK_Partition.h"
#include "glo/GLO_Exception.h"
#include "mpl/MPL_Paragraph.h"
#include "tests/fuzz/FuzzSeeds.h"
#include "tests/imgkit/ImageBuilder.h"
#include "tests/imgkit/MemoryMedia.h"
#include "tests/imgkit/ParagraphBuilder.h"

namespace {

// Control bytes: [0] shift, [1] default table id, [2] buffer size, [3] paragraph number,
// [4..5] the LBL part's length; then the LBL paragraph table and the RGN table section.
constexpr std::size_t kControl = 6;

imgkit::PrefixTable_t Table(unsigned lookup, bool packed, unsigned bits) {
  imgkit::PrefixTable_t t;
  t.lookupBits = lookup;
  t.packed = packed;
  t.symbolBits = bits;
  t.lengths = {{'a', 1}, {'b', 3}, {'c', 3}, {'d', 4}, {'e', 4}, {0, 3}};
  return t;
}

std::string Seed(const imgkit::ParagraphFiles_t& files, std::uint8_t bufferSize) {
  const std::string lbl = files.Lbl().substr(236);
  const std::string rgn = files.Rgn().substr(0x7D);
  std::string seed;
  seed += static_cast<char>(files.offsetShift);
  seed += static_cast<char>(files.defaultTableId);
  seed += static_cast<char>(bufferSize);
  seed += '\0';
  seed += static_cast<char>(lbl.size() & 0xFF);
  seed += static_cast<char>(lbl.size() >> 8);
  return seed + lbl + rgn;
}

void Trap(bool broken) {
  if (broken) __builtin_trap();
}

}  // namespace

std::vector<std::string> StrideFuzzSeeds() {
  using namespace imgkit;
  ParagraphFiles_t files;
  files.offsetShift = 0;
  files.tables = {Table(0, false, 8), Table(2, false, 8), Table(0, true, 5), Table(3, true, 12)};
  files.paragraphs = {{PlainPart("plain text", 1), CompressedPart("abcde", 0, 2), CompressedPart("edcba", 1, 3, true),
                       CompressedPart("aabbccdd", 2, 4, true, 3), CompressedPart("abcabc", 3, 5, true, 4)}};
  std::vector<std::string> seeds = {Seed(files, 4), Seed(files, 64), Seed(files, 1)};
  files.paragraphs = {{CompressedPart("deadbead", 0, 0, false, 1)}};
  seeds.push_back(Seed(files, 3));
  return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kControl) return 0;
  const std::size_t lblLength = std::min<std::size_t>(size - kControl, data[4] | data[5] << 8);
  const std::string lblPart(reinterpret_cast<const char*>(data) + kControl, lblLength);
  const std::string rgnPart(reinterpret_cast<const char*>(data) + kControl + lblLength, size - kControl - lblLength);

  // The decoder alone: the RGN part as a table, the LBL part as input.
  {
    std::vector<std::uint8_t> out(256, 0xEE);
    std::size_t written = 0;
    const std::int32_t count = data[3] & 0x80 ? -static_cast<std::int32_t>(data[2]) : data[2];
    mpl::MdbPrefixDecode(out.data(), count, reinterpret_cast<const std::uint8_t*>(rgnPart.data()), rgnPart.size(),
                         reinterpret_cast<const std::uint8_t*>(lblPart.data()), lblPart.size(), written);
    Trap(written > static_cast<std::size_t>(count < 0 ? -count : count));
  }

  // The reader over an image holding the two sub-files.
  imgkit::ParagraphFiles_t files;
  files.offsetShift = data[0] & 7;
  files.defaultTableId = data[1] & 7;
  std::string lbl = files.Lbl();
  lbl.replace(0xDE + 4, 4, std::string{char(lblLength), char(lblLength >> 8), 0, 0});
  lbl += lblPart;
  files.extraSection = rgnPart;
  imgkit::ImageBuilder_t b;
  b.files = {imgkit::File("T.LBL", lbl), imgkit::File("T.RGN", files.Rgn())};
  b.trimToData = true;
  imgkit::MemoryMedia_t media(b.Build(), true);
  try {
    dsk::Disk_t disk(media, 4);
    dsk::Directory_t& root = disk.GetPartition(0).GetRootDirectory();
    dsk::File_t lblFile(root.FindFile("T.LBL"));
    dsk::File_t rgnFile(root.FindFile("T.RGN"));
    lblFile.Open(dsk::kModeRead);
    rgnFile.Open(dsk::kModeRead);
    mpl::MdbParagraphSource_t source;
    Trap(mpl::MdbReadParagraphSource(lblFile, rgnFile, source) != 0);
    std::vector<char> buffer(data[2] + 1u, '\x7F');
    mpl::MdbParagraph_t state;
    state.number = data[3];
    state.buffer = buffer.data();
    state.bufferSize = data[2];
    int rc = mpl::MdbOpenParagraph(source, state);
    // Every call that succeeds moves on: it starts or finishes a part or
    // delivers text. Long texts in tiny chunks are cut off after a while.
    for (int calls = 0; rc == 0 && calls < 256; ++calls) {
      Trap(data[2] >= 2 && buffer[data[2]] != '\x7F');  // nothing written past the buffer
      const mpl::MdbParagraph_t before = state;
      rc = mpl::MdbReadParagraph(source, state);
      Trap(rc == 0 && before.partsRead == state.partsRead && before.delivered == state.delivered &&
           before.filePosition == state.filePosition && before.morePending == state.morePending);
    }
    if (rc == 0) return 0;
    Trap(rc < 1 || rc > 3);
  } catch (const glo::Exception_t&) {
  }
  return 0;
}
