// The text utilities on any bytes: character counts, valid prefixes, character
// codes, comparisons without case, upper case, and message templates.
#include <locale>
#include <string>
#include <vector>

#include "glo/GLO_Char.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_MBString.h"
#include "glo/GLO_NoCase.h"
#include "glo/GLO_SplitPath.h"
#include "glo/GLO_StringReplace.h"
#include "tests/fuzz/FuzzSeeds.h"

std::vector<std::string> StrideFuzzSeeds() {
  return {"Caf\xC3\xA9", "a\xE2\x82\xAC\xF0\x9F\x98\x80z", "ab\xFF", "ab\xC3", "\xA9", "\xED\xA0\x80",
          "\xF4\x90\x80\x80", "Run %0 of %1|7|9", "100%% %0|x", "%|", "C:\\runs\\week.1.xml", ".profile|Track"};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::Bytes(data, size);
  const std::locale& locale = std::locale::classic();
  const std::string prefix = glo::ValidMBPrefix(text);
  if (prefix.size() > text.size() || text.compare(0, prefix.size(), prefix) != 0) __builtin_trap();
  try {
    const std::size_t count = glo::CountMBChars(text, locale);
    if (prefix != text || count > text.size()) __builtin_trap();  // counted means valid throughout
  } catch (const glo::InvalidMBCharacter_t&) {
    if (prefix == text) __builtin_trap();
  }
  const std::string terminated = text.substr(0, text.find('\0'));
  for (std::size_t pos = 0; pos < terminated.size(); ++pos) (void)glo::MBCharCode(terminated.c_str() + pos);

  // "a|b|c": a text, then the arguments of a template or a second text.
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t bar; (bar = text.find('|', start)) != std::string::npos; start = bar + 1)
    parts.push_back(text.substr(start, bar - start));
  parts.push_back(text.substr(start));
  const std::string& first = parts.front();
  const std::string& second = parts.size() > 1 ? parts[1] : text;
  try {
    // Comparisons refuse texts that are not valid throughout.
    const bool equal = glo::EqualNoCase(first, second, locale);
    if (equal != glo::EqualNoCase(second, first, locale)) __builtin_trap();
    if (equal && (glo::LessNoCase(first, second, locale) || glo::LessNoCase(second, first, locale)))
      __builtin_trap();
  } catch (const glo::InvalidMBCharacter_t&) {
  }
  if (glo::ToUpper(first, locale).size() != first.size()) __builtin_trap();
  (void)glo::SplitPath_t(first);
  try {
    (void)glo::StringReplace(first, std::vector<std::string>(parts.begin() + 1, parts.end()), GLO_SRC);
  } catch (const glo::Assert_t&) {
  }
  return 0;
}
