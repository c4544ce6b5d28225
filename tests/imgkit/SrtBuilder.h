#pragma once
// Builds a sort-table sub-file (SRT) for the tests: the header with its
// descriptor table, and per sort table its 52-byte header, the character
// records (1 to 255), the weight table and the contraction entries.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace imgkit {

struct SrtTable_t {
  std::uint16_t codePage = 1252;
  std::uint16_t sortId = 1;
  std::uint16_t doubleCodePage = 0;
  std::uint32_t flags = 2;          // three levels, 8-bit primaries, 4-bit other weights
  std::uint32_t charSize = 3;       // with no contraction table: flags byte and a weight record
  std::uint32_t weightSize = 2;
  std::map<std::uint8_t, std::string> chars;  // whole records; the others are zero (ignorable)
  std::string weights;                        // the weight table
  std::string contractions;                   // the contraction table
  std::uint32_t descriptor[2] = {0, 0};
  // Lengths stored in the header when not 0 (else the real ones).
  std::uint32_t charLength = 0, weightLength = 0, contractLength = 0;
};

// A weight record under the table's flags (8/16-bit primary, 4/8-bit others).
std::string SrtWeight(std::uint32_t flags, std::uint32_t primary, std::uint8_t second, std::uint8_t third);
// A character record: flags byte, the contraction pointer in 'pointerWidth'
// bytes (0: none), then the weight record; padded to 'size'.
std::string SrtChar(std::uint8_t flags, std::uint32_t pointer, unsigned pointerWidth, const std::string& weight,
                    std::uint32_t size);
// A contraction entry: its string (2 to 9 bytes) and weight records.
std::string SrtContraction(const std::string& text, const std::vector<std::string>& weights);

std::string BuildSrt(const std::vector<SrtTable_t>& tables);

}  // namespace imgkit
