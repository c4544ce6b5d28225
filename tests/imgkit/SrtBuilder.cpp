#include "tests/imgkit/SrtBuilder.h"

#include "tests/imgkit/SubfileHeader.h"

namespace imgkit {

std::string SrtWeight(std::uint32_t flags, std::uint32_t primary, std::uint8_t second, std::uint8_t third) {
  std::string w;
  w.push_back(static_cast<char>(primary & 0xFF));
  if (flags & 0x100u) w.push_back(static_cast<char>((primary >> 8) & 0xFF));
  if (flags & 0x200u) {
    w.push_back(static_cast<char>(second));
    w.push_back(static_cast<char>(third));
  } else {
    w.push_back(static_cast<char>(((second & 0x0F) << 4) | (third & 0x0F)));
  }
  return w;
}

std::string SrtChar(std::uint8_t flags, std::uint32_t pointer, unsigned pointerWidth, const std::string& weight,
                    std::uint32_t size) {
  std::string r(1, static_cast<char>(flags));
  for (unsigned i = 0; i < pointerWidth; ++i) r.push_back(static_cast<char>((pointer >> (8 * i)) & 0xFF));
  r += weight;
  r.resize(size, '\0');
  return r;
}

std::string SrtContraction(const std::string& text, const std::vector<std::string>& weights) {
  std::string e(1, static_cast<char>(((text.size() - 2) << 3) | (weights.size() - 1)));
  e += text;
  for (const std::string& w : weights) e += w;
  return e;
}

std::string BuildSrt(const std::vector<SrtTable_t>& tables) {
  std::string s = CommonHeader(29, "SRT");
  s.resize(29, '\0');
  Put16(s, 21, static_cast<std::uint32_t>(tables.size()));
  Put32(s, 23, 29);
  Put16(s, 27, 16);
  std::uint32_t at = static_cast<std::uint32_t>(29 + 16 * tables.size());
  std::string body;
  for (std::size_t i = 0; i < tables.size(); ++i) {
    const SrtTable_t& t = tables[i];
    std::string chars;
    for (unsigned c = 1; c < 256; ++c) {
      const auto found = t.chars.find(static_cast<std::uint8_t>(c));
      std::string r = found != t.chars.end() ? found->second : std::string();
      r.resize(t.charSize, '\0');
      chars += r;
    }
    std::string h(52, '\0');
    Put16(h, 2, t.codePage);
    Put16(h, 4, t.sortId);
    Put16(h, 6, t.doubleCodePage);
    Put32(h, 8, t.flags);
    Put32(h, 12, 52);
    Put32(h, 16, t.charLength ? t.charLength : static_cast<std::uint32_t>(chars.size()));
    Put32(h, 20, t.charSize);
    const auto weightOffset = static_cast<std::uint32_t>(52 + chars.size());
    Put32(h, 28, weightOffset);
    Put32(h, 32, t.weightLength ? t.weightLength : static_cast<std::uint32_t>(t.weights.size()));
    Put32(h, 36, t.weightSize);
    Put32(h, 44, static_cast<std::uint32_t>(weightOffset + t.weights.size()));
    Put32(h, 48, t.contractLength ? t.contractLength : static_cast<std::uint32_t>(t.contractions.size()));
    Put32(s, 29 + 16 * i, t.descriptor[0]);
    Put32(s, 33 + 16 * i, t.descriptor[1]);
    Put32(s, 37 + 16 * i, at);
    s.resize(29 + 16 * (i + 1), '\0');
    const std::string table = h + chars + t.weights + t.contractions;
    body += table;
    at += static_cast<std::uint32_t>(table.size());
  }
  return s + body;
}

}  // namespace imgkit
