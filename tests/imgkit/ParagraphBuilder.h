#pragma once
// Builds the paragraphs of a map for the tests: canonical prefix codes with
// their decoding tables, and the LBL and RGN sub-files holding a paragraph
// table and a section of decoding tables.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/imgkit/SubfileHeader.h"

namespace imgkit {

// A canonical prefix code: codes assigned in the order of (length, symbol),
// one code entry per length, symbols stored in code order.
struct PrefixTable_t {
  // Code length of each symbol.
  std::map<std::uint32_t, unsigned> lengths;
  unsigned symbolBits = 8;
  unsigned lookupBits = 0;
  bool packed = false;

  // The table as the RGN section holds it, its length varint first.
  std::string Bytes() const;
  // The symbols' codes, most significant bit first, the last byte padded with zeros.
  std::string Encode(const std::vector<std::uint32_t>& symbols) const;
  std::string Encode(const std::string& text) const;
  unsigned MaxLength() const;
};

// One part of a paragraph: plain, or compressed with table 'table' of the
// section (named in the part when 'explicitId' is set, else the default).
struct ParagraphPart_t {
  std::string text;
  std::uint8_t headerLow = 0;
  bool compressed = false;
  unsigned table = 0;
  bool explicitId = false;
  unsigned lengthBytes = 2;
  // Replaces the encoded data when set (damage).
  std::optional<std::string> data;
  // Replaces the stored unpacked length when set.
  std::optional<std::uint32_t> storedLength;
};

ParagraphPart_t PlainPart(const std::string& text, std::uint8_t headerLow = 0);
ParagraphPart_t CompressedPart(const std::string& text, unsigned table, std::uint8_t headerLow = 0,
                               bool explicitId = false, unsigned lengthBytes = 2);

// A table of two 32-bit symbols, the words "abcd" and "efgh", of one bit
// each; and a compressed part of 'words' of them in a fixed pseudo-random
// order for that table at index 'table' (its unpacked length in 3 bytes).
PrefixTable_t WordTable();
ParagraphPart_t WordPart(unsigned words, unsigned table);

struct ParagraphFiles_t {
  std::vector<std::vector<ParagraphPart_t>> paragraphs;
  std::vector<PrefixTable_t> tables;
  // Raw bytes appended to the table section after the tables (damage).
  std::string extraSection;
  std::uint8_t offsetShift = 1;
  std::uint8_t defaultTableId = 0;
  unsigned countBytes = 1;

  std::string Lbl() const;
  std::string Rgn() const;
  // The number of paragraph i (its offset from the table start >> shift).
  std::int32_t Number(std::size_t i) const;

 private:
  std::string Table(std::vector<std::uint32_t>& offsets) const;
};

}  // namespace imgkit
