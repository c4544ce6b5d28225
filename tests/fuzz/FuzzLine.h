#pragma once
// Seeds for the targets that read the serial line.
#include <string>

namespace fuzz {

// A block as the unit sends it: DLE, id, size, data, checksum (which makes the
// sum of id, size, data and itself 0 modulo 256; off when 'goodSum' is false),
// with every DLE among them doubled, then DLE ETX.
inline std::string LineBlock(unsigned char id, const std::string& data, bool goodSum = true) {
  std::string body;
  body += static_cast<char>(id);
  body += static_cast<char>(data.size());
  body += data;
  unsigned char sum = 0;
  for (char c : body) sum = static_cast<unsigned char>(sum + static_cast<unsigned char>(c));
  body += static_cast<char>(goodSum ? 0x100 - sum : sum);
  std::string line = "\x10";
  for (char c : body) {
    line += c;
    if (c == '\x10') line += c;
  }
  return line + "\x10\x03";
}

}  // namespace fuzz
