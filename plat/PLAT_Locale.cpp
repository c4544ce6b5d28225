#include "plat/PLAT_Locale.h"

#include <QChar>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <clocale>
#include <iconv.h>
#include <langinfo.h>
#include <memory>

#include "plat/PLAT_Calendar.h"
#include "plat/PLAT_Error.h"
#include "plat/PLAT_UserLocale.h"

namespace plat {

namespace {

// The character classes and case mapping of the single bytes of a code page. A
// byte that is no character on its own (a lead byte, or any byte >= 0x80 of
// UTF-8) has no class and keeps its case.
class CodePageCtype : public std::ctype<char> {
 public:
  CodePageCtype(const std::string& name, const mask* table, const char* upper, const char* lower)
      : std::ctype<char>(m_table), m_name(name) {
    std::memcpy(m_table, table, sizeof m_table);
    std::memcpy(m_upper, upper, sizeof m_upper);
    std::memcpy(m_lower, lower, sizeof m_lower);
  }

  const std::string& Name() const { return m_name; }

 protected:
  char do_toupper(char c) const override { return m_upper[static_cast<unsigned char>(c)]; }
  const char* do_toupper(char* begin, const char* end) const override {
    for (; begin < end; ++begin) *begin = do_toupper(*begin);
    return end;
  }
  char do_tolower(char c) const override { return m_lower[static_cast<unsigned char>(c)]; }
  const char* do_tolower(char* begin, const char* end) const override {
    for (; begin < end; ++begin) *begin = do_tolower(*begin);
    return end;
  }

 private:
  mask m_table[256];
  char m_upper[256];
  char m_lower[256];
  std::string m_name;
};

struct IconvCloser {
  void operator()(void* cd) const { ::iconv_close(static_cast<iconv_t>(cd)); }
};

// The Unicode character of a single byte of the code page, or -1 when the byte
// is no character on its own.
long DecodeByte(iconv_t cd, unsigned char byte) {
  ::iconv(cd, nullptr, nullptr, nullptr, nullptr);  // reset the state
  char in[1] = {static_cast<char>(byte)};
  char* inPtr = in;
  size_t inLeft = 1;
  unsigned char out[16];
  char* outPtr = reinterpret_cast<char*>(out);
  size_t outLeft = sizeof out;
  if (::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) return -1;
  // Code pages that compose characters hold the last one back until flushed.
  if (::iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<size_t>(-1)) return -1;
  if (sizeof out - outLeft != 4) return -1;
  return static_cast<long>(out[0] | (out[1] << 8) | (out[2] << 16) | (static_cast<unsigned long>(out[3]) << 24));
}

std::string IconvName(unsigned codePage) {
  return codePage == 65001 ? std::string("UTF-8") : "CP" + std::to_string(codePage);
}

bool InvalidParameter() {
  SetLastError(kErrorInvalidParameter);
  return false;
}

}  // namespace

bool MakeCodePageLocale(const std::string& name, unsigned codePage, std::locale& locale) {
  // Only the code pages whose facts this layer knows: a locale of another one
  // could not say whether it is multibyte.
  CodePageInfo info;
  if (codePage == 0 || !GetCodePageInfo(codePage, info)) return InvalidParameter();
  iconv_t raw = ::iconv_open("UTF-32LE", IconvName(codePage).c_str());
  if (raw == reinterpret_cast<iconv_t>(-1)) return InvalidParameter();
  std::unique_ptr<void, IconvCloser> cd(raw);

  const std::ctype<char>::mask* classic = std::ctype<char>::classic_table();
  std::ctype<char>::mask table[256];
  char upper[256];
  char lower[256];
  long unicode[256];
  for (int b = 0; b < 256; ++b) {
    table[b] = b < 0x80 ? classic[b] : std::ctype<char>::mask();
    upper[b] = lower[b] = static_cast<char>(b);
    // ASCII keeps its classic meaning in every code page; UTF-8 has no single
    // characters above it.
    if (b < 0x80)
      unicode[b] = b;
    else if (codePage == 65001)
      unicode[b] = -1;
    else
      unicode[b] = DecodeByte(raw, static_cast<unsigned char>(b));
  }
  for (int b = 'a'; b <= 'z'; ++b) {
    upper[b] = static_cast<char>(b - 'a' + 'A');
    lower[b - 'a' + 'A'] = static_cast<char>(b);
  }
  using ct = std::ctype_base;
  for (int b = 0x80; b < 256; ++b) {
    if (unicode[b] < 0 || unicode[b] > 0xFFFF) continue;
    const QChar ch(static_cast<char16_t>(unicode[b]));
    std::ctype<char>::mask m = std::ctype<char>::mask();
    if (ch.isLetter()) m |= ct::alpha;
    if (ch.isUpper()) m |= ct::upper;
    if (ch.isLower()) m |= ct::lower;
    if (ch.isSpace()) m |= ct::space;
    if (ch.isPunct() || ch.isSymbol()) m |= ct::punct;
    if (ch.category() == QChar::Other_Control) m |= ct::cntrl;
    if (ch.isPrint()) m |= ct::print;
    table[b] = m;
    // Case mapping within the code page: only to a byte of the same code page.
    const char16_t up = QChar::toUpper(static_cast<char16_t>(unicode[b]));
    const char16_t low = QChar::toLower(static_cast<char16_t>(unicode[b]));
    for (int other = 0; other < 256; ++other) {
      if (unicode[other] == up && up != unicode[b]) upper[b] = static_cast<char>(other);
      if (unicode[other] == low && low != unicode[b]) lower[b] = static_cast<char>(other);
    }
  }
  locale = std::locale(std::locale::classic(),
                       static_cast<std::ctype<char>*>(new CodePageCtype(name, table, upper, lower)));
  return true;
}

std::string LocaleName(const std::locale& locale) {
  const auto* ctype = dynamic_cast<const CodePageCtype*>(&std::use_facet<std::ctype<char>>(locale));
  return ctype ? ctype->Name() : locale.name();
}

bool GetCodePageInfo(unsigned codePage, CodePageInfo& info) {
  info = CodePageInfo();
  info.defaultChar[0] = '?';
  auto ranges = [&info](std::initializer_list<unsigned char> bytes) {
    size_t i = 0;
    for (unsigned char b : bytes) info.leadByte[i++] = b;
  };
  switch (codePage) {
    case 437:  // the DOS code pages a map may name
    case 737:
    case 775:
    case 850:
    case 852:
    case 855:
    case 857:
    case 860:
    case 861:
    case 862:
    case 863:
    case 864:
    case 865:
    case 866:
    case 869:
    case 874:
    case 1250:
    case 1251:
    case 1252:
    case 1253:
    case 1254:
    case 1255:
    case 1256:
    case 1257:
    case 1258:
      info.maxCharSize = 1;
      return true;
    case 932:  // Japanese (Shift JIS)
      info.maxCharSize = 2;
      ranges({0x81, 0x9F, 0xE0, 0xFC});
      return true;
    case 936:  // Simplified Chinese (GBK)
    case 949:  // Korean (Unified Hangul)
    case 950:  // Traditional Chinese (Big5)
      info.maxCharSize = 2;
      ranges({0x81, 0xFE});
      return true;
    case 65001:  // UTF-8: the bytes that start a sequence of two to four bytes
      info.maxCharSize = 4;
      ranges({0xC2, 0xF4});
      return true;
    default:
      return InvalidParameter();
  }
}

namespace {

struct KnownLocale {
  const char* posix;     // "ll_CC"
  const char* abbrev;    // the Windows abbreviated language name
  const char* country;   // English country name
  unsigned codePage;     // the Windows ANSI code page of the language
};

constexpr KnownLocale kLocales[] = {
    {"en_US", "ENU", "United States", 1252},  {"en_GB", "ENG", "United Kingdom", 1252},
    {"en_AU", "ENA", "Australia", 1252},      {"en_CA", "ENC", "Canada", 1252},
    {"en_NZ", "ENZ", "New Zealand", 1252},    {"en_IE", "ENI", "Ireland", 1252},
    {"en_ZA", "ENS", "South Africa", 1252},   {"de_DE", "DEU", "Germany", 1252},
    {"de_AT", "DEA", "Austria", 1252},        {"de_CH", "DES", "Switzerland", 1252},
    {"de_LU", "DEL", "Luxembourg", 1252},     {"fr_FR", "FRA", "France", 1252},
    {"fr_BE", "FRB", "Belgium", 1252},        {"fr_CA", "FRC", "Canada", 1252},
    {"fr_CH", "FRS", "Switzerland", 1252},    {"it_IT", "ITA", "Italy", 1252},
    {"it_CH", "ITS", "Switzerland", 1252},    {"es_ES", "ESN", "Spain", 1252},
    {"es_MX", "ESM", "Mexico", 1252},         {"es_AR", "ESS", "Argentina", 1252},
    {"pt_PT", "PTG", "Portugal", 1252},       {"pt_BR", "PTB", "Brazil", 1252},
    {"nl_NL", "NLD", "Netherlands", 1252},    {"nl_BE", "NLB", "Belgium", 1252},
    {"sv_SE", "SVE", "Sweden", 1252},         {"da_DK", "DAN", "Denmark", 1252},
    {"nb_NO", "NOR", "Norway", 1252},         {"nn_NO", "NON", "Norway", 1252},
    {"fi_FI", "FIN", "Finland", 1252},        {"is_IS", "ISL", "Iceland", 1252},
    {"pl_PL", "PLK", "Poland", 1250},         {"cs_CZ", "CSY", "Czech Republic", 1250},
    {"sk_SK", "SKY", "Slovakia", 1250},       {"hu_HU", "HUN", "Hungary", 1250},
    {"sl_SI", "SLV", "Slovenia", 1250},       {"hr_HR", "HRV", "Croatia", 1250},
    {"ro_RO", "ROM", "Romania", 1250},        {"ru_RU", "RUS", "Russia", 1251},
    {"uk_UA", "UKR", "Ukraine", 1251},        {"bg_BG", "BGR", "Bulgaria", 1251},
    {"el_GR", "ELL", "Greece", 1253},         {"tr_TR", "TRK", "Turkey", 1254},
    {"he_IL", "HEB", "Israel", 1255},         {"ar_SA", "ARA", "Saudi Arabia", 1256},
    {"ar_EG", "ARE", "Egypt", 1256},          {"lt_LT", "LTH", "Lithuania", 1257},
    {"lv_LV", "LVI", "Latvia", 1257},         {"et_EE", "ETI", "Estonia", 1257},
    {"vi_VN", "VIT", "Vietnam", 1258},        {"th_TH", "THA", "Thailand", 874},
    {"ja_JP", "JPN", "Japan", 932},           {"zh_CN", "CHS", "People's Republic of China", 936},
    {"zh_SG", "ZHI", "Singapore", 936},       {"ko_KR", "KOR", "Korea", 949},
    {"zh_TW", "CHT", "Taiwan", 950},          {"zh_HK", "ZHH", "Hong Kong S.A.R.", 950},
};

}  // namespace

bool IsUtf8Codeset(const std::string& codeset) {
  std::string lowered;
  for (char c : codeset)
    if (c != '-' && c != '_') lowered += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lowered == "utf8";
}

SystemLocaleRecord LocaleRecordFromPosixName(const std::string& posixName) {
  std::string name = posixName;
  const size_t at = name.find('@');
  if (at != std::string::npos) name.erase(at);
  std::string codeset;
  const size_t dot = name.find('.');
  if (dot != std::string::npos) {
    codeset = name.substr(dot + 1);
    name.erase(dot);
  }
  if (name.empty() || name == "C" || name == "POSIX") return {"ENU", "United States", 65001};

  const std::string language = name.substr(0, name.find('_'));
  const std::string country = name.find('_') == std::string::npos ? std::string() : name.substr(name.find('_') + 1);
  const KnownLocale* match = nullptr;
  for (const KnownLocale& known : kLocales) {
    if (name == known.posix) {
      match = &known;
      break;
    }
    // Another country of a known language: the language's first entry.
    if (!match && std::strncmp(known.posix, language.c_str(), 2) == 0 && language.size() == 2) match = &known;
  }
  SystemLocaleRecord record;
  if (match && name == match->posix) {
    record = {match->abbrev, match->country, match->codePage};
  } else if (match) {
    record = {match->abbrev, country, match->codePage};
  } else {
    record = {language, country, 1252};
  }
  if (IsUtf8Codeset(codeset)) record.codePage = 65001;
  return record;
}

SystemLocaleRecord GetSystemLocaleRecord() { return LocaleRecordFromPosixName(EnvironmentLocaleName("LC_CTYPE")); }

std::string WindowsLocaleName(const std::string& language, const std::string& country, unsigned codePage) {
  if (language.empty()) return "." + std::to_string(codePage);
  if (country.empty()) return language;
  return language + "_" + country + "." + std::to_string(codePage);
}

std::string PosixLocaleName(const std::string& windowsName) {
  if (windowsName == "C" || windowsName == "POSIX") return windowsName;
  std::string base = windowsName;
  std::string codePage;
  const size_t dot = base.rfind('.');
  if (dot != std::string::npos) {
    codePage = base.substr(dot + 1);
    base.erase(dot);
  }
  const size_t underscore = base.find('_');
  const std::string language = base.substr(0, underscore);
  const std::string country = underscore == std::string::npos ? std::string() : base.substr(underscore + 1);
  if (language.empty()) return std::string();
  std::string posix;
  for (const KnownLocale& known : kLocales) {
    if (language != known.abbrev) continue;
    if (country == known.country) {
      posix = known.posix;
      break;
    }
    // Another country of a known language keeps the country as the environment
    // named it ("DEU_BE" from "de_BE").
    if (posix.empty()) posix = std::string(known.posix, 2) + (country.empty() ? std::string() : "_" + country);
  }
  if (posix.empty()) {
    // A language this table does not know is kept as the environment named it.
    const bool plain = language.size() >= 2 && language.size() <= 3 &&
                       std::all_of(language.begin(), language.end(), [](char c) { return c >= 'a' && c <= 'z'; });
    if (!plain) return std::string();
    posix = language + (country.empty() ? std::string() : "_" + country);
  }
  if (codePage == "65001") posix += ".UTF-8";
  return posix;
}

namespace {

bool IsClassicName(const char* name) {
  return !name || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0;
}

}  // namespace

std::string SetRuntimeLocale(const std::string& windowsName) {
  const SystemLocaleRecord system = GetSystemLocaleRecord();
  if (windowsName.empty() || windowsName == WindowsLocaleName(system.language, system.country, system.codePage)) {
    // Each category as the environment names it; one that names a locale that is
    // not installed stays "C".
    if (!std::setlocale(LC_ALL, "")) {
      std::setlocale(LC_ALL, "C");
      for (int category : {LC_CTYPE, LC_NUMERIC, LC_TIME, LC_COLLATE, LC_MONETARY, LC_MESSAGES})
        std::setlocale(category, "");
    }
  } else {
    const std::string posix = PosixLocaleName(windowsName);
    if (posix.empty() || !std::setlocale(LC_ALL, posix.c_str())) std::setlocale(LC_ALL, "C");
  }
  if (IsClassicName(std::setlocale(LC_CTYPE, nullptr))) std::setlocale(LC_CTYPE, "C.UTF-8");
  const char* ctype = std::setlocale(LC_CTYPE, nullptr);
  return ctype ? ctype : "C";
}

bool RuntimeCodePageIsUtf8() {
  const char* codeset = ::nl_langinfo(CODESET);
  // The "C" and "POSIX" character type has the ASCII codeset.
  return codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "ANSI_X3.4-1968") == 0);
}

bool GetLocaleInfo(unsigned long lcid, unsigned long type, std::string& text) {
  if (lcid != 0 && lcid != kLocaleUserDefault && lcid != kLocaleSystemDefault) return InvalidParameter();
  const SystemLocaleRecord record = GetSystemLocaleRecord();
  switch (type) {
    case kLocaleAbbrevLanguageName: text = record.language; return true;
    case kLocaleEnglishCountryName: text = record.country; return true;
    case kLocaleDefaultAnsiCodePage: text = std::to_string(record.codePage); return true;
    default:
      SetLastError(kErrorInvalidFlags);
      return false;
  }
}

}  // namespace plat
