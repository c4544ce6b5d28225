#include "tests/imgkit/MdrBuilder.h"

#include "tests/imgkit/ImageBuilder.h"
#include "tests/imgkit/SrtBuilder.h"
#include "tests/imgkit/SubfileHeader.h"

namespace imgkit {

void MdrBuilder_t::SetSection16(const std::string& records, std::uint16_t recordSize) {
  sections[16].offset = headerLength + static_cast<std::uint32_t>(body.size());
  sections[16].size = static_cast<std::uint32_t>(records.size());
  sections[16].recordSize = recordSize;
  body += records;
}

std::string MdrBuilder_t::Build() const {
  std::string h = CommonHeader(headerLength < 21 ? 21 : headerLength, "MDR", Date_t(), format);
  Put16(h, 0, headerLength);
  h.replace(2, 10, signature.substr(0, 10));
  h.resize(426, '\0');
  for (unsigned i = 0; i < 4; ++i) Put16(h, 21 + 2 * i, words21[i]);
  for (unsigned n = 1; n <= 29; ++n) {
    const MdrSectionSpec_t& s = sections[n];
    std::size_t at;
    if (n <= 9)
      at = 29 + 14 * (n - 1);
    else if (n == 10)
      at = 155;
    else if (n <= 14)
      at = 167 + 14 * (n - 11);
    else if (n == 15)
      at = 223;
    else if (n == 16)
      at = 232;
    else if (n == 17)
      at = 246;
    else
      at = 258 + 14 * (n - 18);
    Put32(h, at, s.offset);
    Put32(h, at + 4, s.size);
    if (n == 10 || n == 17) {
      Put32(h, at + 8, s.third);
    } else if (n == 15) {
      Put8(h, at + 8, s.third);
    } else {
      Put16(h, at + 8, s.recordSize);
      Put32(h, at + 10, s.flags);
    }
  }
  h.resize(headerLength);
  return h + body;
}

std::string IndexImage(const std::string& name, const MdrBuilder_t& mdr, const std::string& sortName,
                       const std::vector<std::pair<std::string, std::string>>& more) {
  ImageBuilder_t b;
  b.files.push_back(File(name + ".MDR", mdr.Build()));
  if (!sortName.empty()) {
    // The sort table the default MDR header names: code page 1252, sort id 3.
    SrtTable_t table;
    table.codePage = 1252;
    table.sortId = 3;
    b.files.push_back(File(sortName + ".SRT", BuildSrt({table})));
  }
  for (const auto& [file, data] : more) b.files.push_back(File(file, data));
  return b.Build();
}

}  // namespace imgkit
