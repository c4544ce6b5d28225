#pragma once
// Seed images for the map-image fuzz targets, made with the image test kit
// (built into each target, which links the program's libraries only).
#include <string>
#include <vector>

#include "tests/imgkit/ImageBuilder.cpp"
#include "tests/imgkit/ImageFiles.cpp"
#include "tests/imgkit/MemoryMedia.cpp"

namespace fuzz {

// Small images: a few files, a sub-directory, a second partition, the XOR
// byte, 1 KB blocks, then damaged ones.
inline std::vector<std::string> ImageSeeds() {
  using imgkit::Dir;
  using imgkit::File;
  std::vector<std::string> seeds;
  imgkit::ImageBuilder_t b;
  b.blockCount = 16;
  b.files = {File("MAP.TRE", std::string(700, 't')), Dir("SUB", {File("IN.RGN", "region")}), File("E", "")};
  seeds.push_back(b.Build());
  imgkit::ImageBuilder_t x = b;
  x.xorByte = 0x5A;
  seeds.push_back(x.Build());
  imgkit::ImageBuilder_t two = b;
  two.morePartitions = {16};
  seeds.push_back(two.Build());
  imgkit::ImageBuilder_t big = b;
  big.e2 = 1;
  big.blockCount = 8;
  seeds.push_back(big.Build());
  imgkit::ImageBuilder_t loop = b;
  auto self = Dir("LOOP", {File("X", "x")});
  self.blocks = std::vector<std::uint16_t>{0};
  self.size = 512;
  loop.files = {self};
  seeds.push_back(loop.Build());
  imgkit::ImageBuilder_t parts = b;
  auto lone = File("B.B", "y");
  lone.parts = {1};
  parts.files = {File("A.B", "x"), lone};
  seeds.push_back(parts.Build());
  return seeds;
}

}  // namespace fuzz
