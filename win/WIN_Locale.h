#pragma once
// The system's locale, and whether a locale or the language module uses a
// multibyte code page.
#include <cstdint>
#include <locale>
#include <string>

#include "glo/GLO_Locale.h"
#include "plat/PLAT_Calendar.h"
#include "plat/PLAT_Locale.h"

namespace win {

// Locale ids of the user's and the system's default locale.
enum : unsigned long {
  LocaleUserDefault = plat::kLocaleUserDefault,
  LocaleSystemDefault = plat::kLocaleSystemDefault,
};

// Types of locale information that GetLocaleInfoString answers.
enum : unsigned long {
  LocaleAbbrevLanguageName = plat::kLocaleAbbrevLanguageName,
  LocaleEnglishCountryName = plat::kLocaleEnglishCountryName,
  LocaleDefaultAnsiCodePage = plat::kLocaleDefaultAnsiCodePage,
};

// The text of locale information 'type' of locale id 'lcid'; win::Error_t when the
// locale id (87) or the type (1004) is refused.
std::string GetLocaleInfoString(unsigned long lcid, unsigned long type);

// The integer the text holds (surrounding blanks allowed); glo::Assert_t for a text
// that is not an integer.
int ParseInt(const std::string& text);

// The record of the system's default locale: its abbreviated language name,
// English country name and default code page (65001 for UTF-8 locales) from
// GetLocaleInfoString, read once.
const glo::LocaleRecord_t& SystemLocaleRecord();

// The cached locale of SystemLocaleRecord().
const std::locale& SystemLocale();

// glo::LocaleName of SystemLocaleRecord(), e.g. "ENU_United States.65001".
const std::string& SystemLocaleName();

// Sets the C library's locale, all categories, to the Windows-style locale name
// (the program's start-up gives it SystemLocaleName()); see plat::SetRuntimeLocale.
void SetRuntimeLocale(const std::string& name);

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
