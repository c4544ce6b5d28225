// The main of a fuzz target outside the fuzzer:
//   <target>                      replays the target's seeds (the ordinary test)
//   <target> FILE...              replays the given inputs (a crash the fuzzer saved)
//   <target> --write-seeds DIR    writes the seeds as the fuzzer's starting corpus
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/fuzz/FuzzSeeds.h"

namespace {

int Run(const std::string& input) {
  return LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv) {
  LLVMFuzzerInitialize(&argc, &argv);
  const std::vector<std::string> seeds = StrideFuzzSeeds();
  if (argc == 3 && std::string(argv[1]) == "--write-seeds") {
    const std::filesystem::path dir = argv[2];
    std::filesystem::create_directories(dir);
    for (std::size_t i = 0; i < seeds.size(); ++i) {
      std::ofstream out(dir / ("seed-" + std::to_string(i)), std::ios::binary | std::ios::trunc);
      out.write(seeds[i].data(), static_cast<std::streamsize>(seeds[i].size()));
      if (!out) {
        std::fprintf(stderr, "cannot write the seeds into %s\n", argv[2]);
        return 1;
      }
    }
    return 0;
  }
  if (argc > 1) {
    for (int i = 1; i < argc; ++i) {
      std::ifstream in(argv[i], std::ios::binary);
      if (!in) {
        std::fprintf(stderr, "cannot read %s\n", argv[i]);
        return 1;
      }
      Run(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    }
    return 0;
  }
  if (seeds.empty()) {
    std::fprintf(stderr, "the target has no seeds\n");
    return 1;
  }
  for (const std::string& seed : seeds) Run(seed);
  // Every prefix of every seed too: the cut-short inputs a decoder meets most.
  for (const std::string& seed : seeds)
    for (std::size_t n = 0; n < seed.size(); ++n) Run(seed.substr(0, n));
  std::printf("%zu seeds replayed\n", seeds.size());
  return 0;
}
