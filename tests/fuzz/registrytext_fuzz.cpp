// The settings hive's text form on any bytes: what the parser takes is written
// again, and that text parses whole and writes back the same.
#include <string>
#include <vector>

#include "plat/PLAT_RegistryText.h"
#include "tests/fuzz/FuzzSeeds.h"

std::vector<std::string> StrideFuzzSeeds() {
  plat::reg::Key root;
  plat::reg::Key* app = root.AddSub("Software")->AddSub("Vortan")->AddSub("App");
  app->values.push_back({"Name", 1, std::string("Ann\0", 4)});
  app->values.push_back({"odd = [name] %41 #\\", 3, std::string("\x00\xff\n", 3)});
  app->values.push_back({"", 4, std::string("\x07\x00\x00\x00", 4)});
  root.AddSub("Empty%Key");
  const std::string good = plat::reg::HiveText(root);
  return {good,
          "STRIDE-REGISTRY 1\r\n# a comment\r\n\r\n[A\\b]\r\nv=0:\r\nV=4294967296:0a\r\nEND\r\n\r\n",
          good.substr(0, good.size() / 2),                                       // cut short
          "STRIDE-REGISTRY 1\n[Ha%4\n]x=1:00\n[A\\\\B]\nx=1:0\n[B]\nx:1=00\nEND\nmore\n",  // damaged lines
          "STRIDE-REGISTRY 2\n[]\nx=12345678901:00\nEND\n",
          // Written by hand, not by the writer: names with the characters it
          // escapes, so that a writer leaving bare one the reader refuses fails here.
          "STRIDE-REGISTRY 1\n[A%5Cb\\%5B%5D]\n%23%25%3D%0A%7F%5C%5B%5D=1:4100\nEND\n"};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  plat::reg::Key root;
  std::size_t badLine = 0;
  const bool whole = plat::reg::ParseHive(fuzz::Bytes(data, size), root, badLine);
  if (whole != (badLine == 0)) __builtin_trap();
  const std::string text = plat::reg::HiveText(root);
  plat::reg::Key again;
  if (!plat::reg::ParseHive(text, again, badLine)) __builtin_trap();
  if (plat::reg::HiveText(again) != text) __builtin_trap();
  return 0;
}
