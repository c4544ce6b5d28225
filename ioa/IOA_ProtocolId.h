#pragma once
// The protocols a unit speaks: each one an upper-case tag letter and a number,
// written as the letter and three digits (A010, D906, T001). An application
// protocol (tag A) is followed in a unit's list by the data types (tag D) it uses.
#include <cstdint>
#include <string>
#include <vector>

namespace ioa {

struct ProtocolId_t {
  char tag;
  std::uint16_t number;

  // The tag and at least three digits ("A010"); a tag that does not print is
  // shown as two hex digits in angle brackets ("<00>010").
  std::string ToString() const;
  friend bool operator==(const ProtocolId_t& a, const ProtocolId_t& b) {
    return a.tag == b.tag && a.number == b.number;
  }
  friend bool operator!=(const ProtocolId_t& a, const ProtocolId_t& b) { return !(a == b); }
};

using ProtocolList_t = std::vector<ProtocolId_t>;

// Reads protocol ids ("L001 A010 ...": a non-blank tag character, then a decimal
// number) from the text until one cannot be read, and appends each to the list.
void ParseProtocolIds(const std::string& text, ProtocolList_t& protocols);

// The protocol list as text: the ids separated by single blanks.
std::string FormatProtocolIds(const ProtocolList_t& protocols);

}  // namespace ioa
