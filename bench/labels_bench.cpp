// Label speed: labels decoded a second from a label section of 2,000 names in
// the six-bit encoding and in the code-page encoding, and collated substring
// searches a second with a sort table of three levels and a contraction.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Lbl.h"
#include "mpl/MPL_Srt.h"
#include "mpl/MPL_Subfile.h"
#include "tests/imgkit/LblBuilder.h"
#include "tests/imgkit/MapImage.h"
#include "tests/imgkit/SrtBuilder.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kLabels = 2000;

std::string Name(int i) {
  static const char* const kWords[] = {"MAIN", "NORTH", "LAKE", "RIVER", "HILL", "CHURCH", "STATION", "PARK"};
  return std::string(kWords[i % 8]) + " " + kWords[(i / 8) % 8] + " " + std::to_string(i) + " ROAD";
}

double LabelsPerSecond(std::uint8_t encoding, std::size_t& chars) {
  imgkit::LblBuilder_t b;
  b.header.encoding = encoding;
  b.header.codePage = 1252;
  std::vector<std::uint32_t> offsets;
  for (int i = 0; i < kLabels; ++i) offsets.push_back(b.AddLabel(Name(i)));
  std::vector<imgkit::MapFile_t> files{{"BENCH.LBL", b.Build()}};
  mpl::MdbMap_t map;
  map.mapName = "BENCH";
  map.source = imgkit::OpenImage(imgkit::MapImage(files));
  if (mpl::MdbReadLblHeader(map) != 0) return 0.0;
  double best = 0.0;
  char buffer[128];
  for (int round = 0; round < 5; ++round) {
    const auto start = Clock::now();
    for (int pass = 0; pass < 10; ++pass)
      for (std::uint32_t offset : offsets) {
        mpl::MdbReadLabelText(map, offset, buffer, sizeof buffer, 0);
        chars += buffer[0] != 0;
      }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    best = std::max(best, 10.0 * kLabels / seconds);
  }
  return best;
}

double FindsPerSecond(std::size_t& found) {
  imgkit::SrtTable_t t;
  t.flags = 2;
  t.charSize = 4;
  t.weightSize = 2;
  for (unsigned c = 'A'; c <= 'Z'; ++c) {
    t.chars[static_cast<std::uint8_t>(c)] = imgkit::SrtChar(0x08, 0, 1, imgkit::SrtWeight(2, c, 0, 2), 4);
    t.chars[static_cast<std::uint8_t>(c + 32)] = imgkit::SrtChar(0x08, 0, 1, imgkit::SrtWeight(2, c, 0, 1), 4);
  }
  for (unsigned c = '0'; c <= '9'; ++c)
    t.chars[static_cast<std::uint8_t>(c)] = imgkit::SrtChar(0, 0, 1, imgkit::SrtWeight(2, c - '0' + 1, 0, 0), 4);
  t.chars[' '] = imgkit::SrtChar(0, 0, 1, imgkit::SrtWeight(2, 0, 0, 0), 4);
  t.chars['C'] = imgkit::SrtChar(0x0C, 0, 1, imgkit::SrtWeight(2, 'C', 0, 2), 4);
  t.contractions = imgkit::SrtContraction("CH", {imgkit::SrtWeight(2, 'C' + 100, 0, 2)});
  mpl::ImageSource_t source = imgkit::OpenImage(imgkit::MapImage({{"BENCH.SRT", imgkit::BuildSrt({t})}}));
  mpl::MdbSubfile_t srt;
  if (mpl::MdbOpenFile(srt.file, "BENCH.SRT", source) != 0 || mpl::MdbReadSrtHeader(srt, 1252, 0) != 0) return 0.0;
  std::vector<std::string> names;
  for (int i = 0; i < 200; ++i) names.push_back(Name(i));
  double best = 0.0;
  for (int round = 0; round < 3; ++round) {
    const auto start = Clock::now();
    for (const std::string& name : names) found += mpl::MdbSrtFind(srt, name.c_str(), "church") != nullptr;
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    best = std::max(best, static_cast<double>(names.size()) / seconds);
  }
  return best;
}

}  // namespace

int main() {
  std::size_t check = 0;
  std::printf("labels decoded a second, six-bit encoding: %.0f\n", LabelsPerSecond(6, check));
  std::printf("labels decoded a second, code-page encoding: %.0f\n", LabelsPerSecond(9, check));
  std::printf("collated finds a second (names of 20 characters, sort table of 3 levels): %.0f\n",
              FindsPerSecond(check));
  std::printf("checksum %zu\n", check);
  return 0;
}
