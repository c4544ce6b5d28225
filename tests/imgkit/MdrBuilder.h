#pragma once
// Builds the search index of a product family for the tests: an MDR sub-file
// with its header sections, and the index image that holds it.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace imgkit {

struct MdrSectionSpec_t {
  std::uint32_t offset = 0;
  std::uint32_t size = 0;
  std::uint16_t recordSize = 0;
  std::uint32_t flags = 0;
  // Section 10's and 17's third word, section 15's byte.
  std::uint32_t third = 0;
};

struct MdrBuilder_t {
  std::uint16_t headerLength = 426;
  std::string signature = "VORTAN MDR";
  std::uint16_t format = 1;
  std::array<std::uint16_t, 4> words21{0, 1252, 3, 0};
  // Sections 1 to 29 at [1] to [29].
  std::array<MdrSectionSpec_t, 30> sections{};
  // Bytes after the header (section 16's records among them).
  std::string body;

  // The header, exactly headerLength long (sections that do not fit are cut
  // off), followed by the body.
  std::string Build() const;
  // Puts section 16 with 'records' of 'recordSize' bytes into the body, right
  // after the header.
  void SetSection16(const std::string& records, std::uint16_t recordSize);
};

// An index image: "<name>.MDR" and, when 'sortName' is not empty,
// "<sortName>.SRT" (one sort table of code page 1252 and sort id 3, the one a
// default MDR header names), and more files as given.
std::string IndexImage(const std::string& name, const MdrBuilder_t& mdr, const std::string& sortName,
                       const std::vector<std::pair<std::string, std::string>>& more = {});

}  // namespace imgkit
