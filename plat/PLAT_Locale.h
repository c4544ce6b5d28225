#pragma once
// Locales for Windows code pages, the code-page facts the program needs, and the
// system's locale as the environment names it.
//
// The C++ runtime here knows no Windows-style locale names ("English_United
// States.1252"). A locale for a code page is built from the classic locale with a
// character-class facet of that code page (classes and case mapping of its single
// bytes, through iconv) that also keeps the Windows-style name it was made for.
#include <locale>
#include <string>

namespace plat {

// Builds the locale named 'name' for Windows code page 'codePage'. False (last
// error 87) when the code page is unknown to this system.
bool MakeCodePageLocale(const std::string& name, unsigned codePage, std::locale& locale);

// The name of a locale: the Windows-style name of one built by
// MakeCodePageLocale, otherwise the runtime's own name ("C", "*", ...).
std::string LocaleName(const std::locale& locale);

// Code-page information, in the shape of the system's: the longest character in
// bytes, the default character, and up to 6 lead-byte ranges (pairs of first and
// last byte) ended by two zero bytes.
struct CodePageInfo {
  unsigned maxCharSize = 0;
  unsigned char defaultChar[2] = {0, 0};
  unsigned char leadByte[12] = {0};
};

// Information of the Windows code pages the program deals with: 65001 (UTF-8,
// lead bytes 0xC2-0xF4 as this program treats them), 874, 1250-1258 and the DOS
// code pages 437, 737, 775, 850, 852, 855, 857, 860-866 and 869 (single byte),
// 932, 936, 949 and 950 (double byte). False (last error 87) for others.
bool GetCodePageInfo(unsigned codePage, CodePageInfo& info);

// The system's locale as a (language abbreviation, English country name, code
// page) record, from $LC_ALL, else $LC_CTYPE, else $LANG ("de_CH.UTF-8" gives
// "DES", "Switzerland", 65001). UTF-8 locales have code page 65001, others the
// language's Windows code page; an unset, "C" or "POSIX" locale counts as US
// English in UTF-8.
struct SystemLocaleRecord {
  std::string language;
  std::string country;
  unsigned codePage = 0;
};
SystemLocaleRecord GetSystemLocaleRecord();

// The record for a POSIX locale name such as "ja_JP.eucJP" (what
// GetSystemLocaleRecord applies to the environment's value).
SystemLocaleRecord LocaleRecordFromPosixName(const std::string& posixName);

// True when a POSIX codeset names UTF-8 ("UTF-8", "utf8", ...).
bool IsUtf8Codeset(const std::string& codeset);

// The Windows-style name of a locale record: "language_country.codepage"; the
// language alone when the country is empty; "." and the code page when the language
// is empty.
std::string WindowsLocaleName(const std::string& language, const std::string& country, unsigned codePage);

// The name the C library knows for a Windows-style locale name of the records
// above: "DES_Switzerland.65001" gives "de_CH.UTF-8", "PLK_Poland.1250" gives
// "pl_PL", "C" stays "C". An empty text for a name it cannot map.
std::string PosixLocaleName(const std::string& windowsName);

// Sets the C library's locale, all categories, to the Windows-style locale name.
// The system's own locale (the name of GetSystemLocaleRecord's record, or an empty
// name) takes every category from the environment as the C library reads it. The
// program's narrow texts are UTF-8: when the character type would be "C", "POSIX"
// or a locale that is not installed, it becomes C.UTF-8, while the other
// categories keep what was asked for. Returns the character type now in effect.
std::string SetRuntimeLocale(const std::string& windowsName);

// True when the narrow texts of the C library's current character type are UTF-8:
// a UTF-8 codeset, or the "C"/"POSIX" character type, which this program reads as
// UTF-8 as well.
bool RuntimeCodePageIsUtf8();

// Types of locale information (Windows numbering) that GetLocaleInfo answers.
enum : unsigned long {
  kLocaleAbbrevLanguageName = 0x3,     // "ENU"
  kLocaleEnglishCountryName = 0x1002,  // "United States"
  kLocaleDefaultAnsiCodePage = 0x1004, // "1252", "65001"
};

// The text of locale information 'type' for a Windows locale id. The locale ids
// of the user's and the system's default locale (0x400, 0x800, and 0 for the
// user's) stand for the record of GetSystemLocaleRecord. False with last error 87
// for another locale id, 1004 for a type not listed above.
bool GetLocaleInfo(unsigned long lcid, unsigned long type, std::string& text);

}  // namespace plat
