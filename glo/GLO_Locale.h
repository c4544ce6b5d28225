#pragma once
// Locales built from a (language, country, code page) record, kept in a
// process-wide cache: each record is built at most once and lives until the end.
#include <cstdint>
#include <locale>
#include <string>

namespace glo {

// The key of a locale. Records order by code page, then language, then country
// (texts compared byte by byte).
struct LocaleRecord_t {
  std::string language;  // a language name or abbreviation ("English", "ENU")
  std::string country;   // an English country name, may be empty
  uint32_t codePage = 0;  // a Windows code page number
};

bool operator<(const LocaleRecord_t& a, const LocaleRecord_t& b);

// The Windows-style name of the record: "language_country.codepage"; the language
// alone when the country is empty; "." and the code page when the language is empty.
std::string LocaleName(const LocaleRecord_t& record);

// The cached locale of the record, built on first use (any thread). A code page
// this system cannot build throws LocaleDoesNotExist_t whose message is the name.
std::locale MakeLocale(const std::string& language, const std::string& country, uint32_t codePage);

// The locale English_United States.1252, for text that must be handled the same way
// on every machine.
const std::locale& DefaultLocale();

// The text in the narrow characters of the locale: narrow texts stay as they are.
// File and line name the caller for reports of conversions between character types.
inline std::string ConvertString(const std::string& text, const char* /*file*/, int /*line*/,
                                 const std::locale& /*locale*/) {
  return text;
}

}  // namespace glo
