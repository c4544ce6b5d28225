#pragma once
// The system's locale, and whether a locale or the language module uses a
// multibyte code page.
#include <cstdint>
#include <locale>
#include <string>

#include "glo/GLO_Locale.h"

namespace win {

// The integer the text holds (surrounding blanks allowed); glo::Assert_t for a text
// that is not an integer.
int ParseInt(const std::string& text);

// The record of the system's locale: abbreviated language name, English country
// name and code page (65001 for UTF-8 locales), read once.
const glo::LocaleRecord_t& SystemLocaleRecord();

// The cached locale of SystemLocaleRecord().
const std::locale& SystemLocale();

// glo::LocaleName of SystemLocaleRecord(), e.g. "ENU_United States.65001".
const std::string& SystemLocaleName();

// True when the code page named after the last "." of the locale's name is a
// multibyte code page. The "C" locale gives false; any other name without "."
// throws NoCodePageSpecified_t.
bool IsMultiByteLocale(const std::locale& locale);

// The language (low 16 bits) and code page (high 16 bits) of the first translation
// in the language module's version block, read once; win::Error_t when the module
// has no readable block.
uint16_t GetResourceLanguageId();
bool IsResourceCodePageMultiByte();

}  // namespace win
