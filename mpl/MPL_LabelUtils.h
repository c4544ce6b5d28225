#pragma once
// Readable texts for map features without a name of their own (by kind, type
// and subtype), the texts that replace a label's leading shield code, and the
// title case of labels, which map data stores in upper case.
#include <cstdint>
#include <locale>
#include <set>
#include <string>

namespace mpl {

struct MdbMap_t;

// The descriptions, loaded from the language module on first use and kept for
// the run; a pointer to the cached text (never null). A string the module
// lacks throws its error and is tried again by the next call.
const char* GetAreaTypeText(std::uint16_t type, std::uint8_t subtype);
const char* GetLineTypeText(std::uint16_t type, std::uint8_t subtype);
// 'second' is always set to null.
const char* GetPointTypeText(std::uint16_t type, std::uint8_t subtype, const char** second);

// The text in place of shield code 'code' (1 to 6, and 32 for the prefix of
// point types 32 to 39); the plain form is the one of flag bit 19 clear. Any
// other code gives the empty text.
const char* GetShieldPrefixText(std::uint8_t code, bool plain);

// The words that title case writes in lower case (after the first word) and
// the ones it keeps as they are.
const std::set<std::string>& GetLowerCaseWords();
const std::set<std::string>& GetUpperCaseWords();
// True when the characters first..last, compared as they are, form a word of the set.
bool IsListedWord(const std::set<std::string>& words, const char* first, const char* last);

// Title case of the characters first..last in place, with the classification
// and case mapping of 'locale'; texts of a multibyte code page stay as they are.
void FormatLabelCase(char* first, char* last, const std::locale& locale);
// FormatLabelCase over the NUL-terminated text with the map's label locale; a
// null map is a failed internal check.
void FormatLabelTitleCase(const MdbMap_t* map, char* text);

}  // namespace mpl
