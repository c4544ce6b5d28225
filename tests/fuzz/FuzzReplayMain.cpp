// The main of a fuzz target outside the fuzzer:
//   <target>                      replays the target's seeds (the ordinary test)
//   <target> --shard I/N          replays the I-th of N disjoint parts of them (1 <= I <= N)
//   <target> FILE...              replays the given inputs (a crash the fuzzer saved)
//   <target> --write-seeds DIR    writes the seeds as the fuzzer's starting corpus
#include <charconv>
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

// "I/N" with 1 <= I <= N: the part I of N; false when the text is not one.
bool ParseShard(const std::string& text, std::size_t& index, std::size_t& count) {
  const char* const end = text.data() + text.size();
  const auto [slash, indexError] = std::from_chars(text.data(), end, index);
  if (indexError != std::errc() || slash == end || *slash != '/') return false;
  const auto [last, countError] = std::from_chars(slash + 1, end, count);
  return countError == std::errc() && last == end && index >= 1 && index <= count;
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
  // The whole replay is one list of inputs: every seed, then every prefix of
  // every seed. Part I of N takes the inputs I-1, I-1+N, I-1+2N, ... of it, so
  // that the parts are disjoint, cover the list together, and share the costly
  // inputs (the prefixes of one seed cost about alike) evenly.
  std::size_t shard = 1, shards = 1;
  if (argc == 3 && std::string(argv[1]) == "--shard") {
    if (!ParseShard(argv[2], shard, shards)) {
      std::fprintf(stderr, "--shard wants I/N with 1 <= I <= N, not %s\n", argv[2]);
      return 1;
    }
  } else if (argc > 1) {
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
  std::size_t input = 0, replayed = 0;
  const auto replay = [&](const std::string& seed, std::size_t length) {
    if (input++ % shards != shard - 1) return;
    Run(seed.substr(0, length));
    ++replayed;
  };
  for (const std::string& seed : seeds) replay(seed, seed.size());
  // Every prefix of every seed too: the cut-short inputs a decoder meets most.
  for (const std::string& seed : seeds)
    for (std::size_t n = 0; n < seed.size(); ++n) replay(seed, n);
  std::printf("%zu seeds; %zu of their %zu inputs replayed (part %zu of %zu)\n", seeds.size(), replayed, input,
              shard, shards);
  return 0;
}
