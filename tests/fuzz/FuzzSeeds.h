#pragma once
// What every fuzz target (tests/fuzz/<name>_fuzz.cpp) defines: the entry point
// the fuzzer calls with each input, and the seeds its corpus starts from. The
// build writes the seeds as files for the fuzzer, and the ordinary test build
// replays them through the entry point as a test of its own.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Runs one input through the decoder. Expected errors of bad input (the
// program's exceptions) are caught inside; anything else is a finding. Returns 0.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// Inputs that reach the decoder's paths: good encodings first, then damaged ones.
std::vector<std::string> StrideFuzzSeeds();

namespace fuzz {

// The input as a byte string.
inline std::string Bytes(const std::uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

}  // namespace fuzz
