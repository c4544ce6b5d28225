#include "win/WIN_Locale.h"

#include <cstring>
#include <sstream>

#include "glo/GLO_StringResource.h"
#include "plat/PLAT_Locale.h"
#include "win/WIN_CodePage.h"
#include "win/WIN_Exception.h"
#include "win/WIN_FileVerInfo.h"

namespace win {

namespace {

uint32_t ResourceTranslation() {
  static const uint32_t translation = FileVerInfo_t(glo::LanguageModulePath()).Translation();
  return translation;
}

}  // namespace

int ParseInt(const std::string& text) {
  std::istringstream stream(text);
  int value = 0;
  stream >> value;
  // The whole text must be the number (blanks around it aside).
  if (stream.fail() || !(stream >> std::ws).eof()) throw glo::Assert_t(GLO_SRC);
  return value;
}

std::string GetLocaleInfoString(unsigned long lcid, unsigned long type) {
  std::string text;
  if (!plat::GetLocaleInfo(lcid, type, text)) throw Error_t(GLO_SRC);
  return text;
}

const glo::LocaleRecord_t& SystemLocaleRecord() {
  static const glo::LocaleRecord_t record = [] {
    const std::string language = GetLocaleInfoString(LocaleSystemDefault, LocaleAbbrevLanguageName);
    const std::string country = GetLocaleInfoString(LocaleSystemDefault, LocaleEnglishCountryName);
    const int codePage = ParseInt(GetLocaleInfoString(LocaleSystemDefault, LocaleDefaultAnsiCodePage));
    return glo::LocaleRecord_t{glo::ConvertString(language, GLO_SRC, std::locale::classic()),
                               glo::ConvertString(country, GLO_SRC, std::locale::classic()),
                               static_cast<uint32_t>(codePage)};
  }();
  return record;
}

const std::locale& SystemLocale() {
  static const std::locale locale = glo::MakeLocale(SystemLocaleRecord().language, SystemLocaleRecord().country,
                                                    SystemLocaleRecord().codePage);
  return locale;
}

const std::string& SystemLocaleName() {
  static const std::string name = glo::LocaleName(SystemLocaleRecord());
  return name;
}

void SetRuntimeLocale(const std::string& name) { plat::SetRuntimeLocale(name); }

bool IsMultiByteLocale(const std::locale& locale) {
  const std::string name = plat::LocaleName(locale);
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) {
    if (name == "C") return false;
    throw NoCodePageSpecified_t(GLO_SRC);
  }
  const std::string codePage = name.substr(dot + 1);
  // A runtime locale such as "en_US.UTF-8" names its code page by its codeset.
  if (plat::IsUtf8Codeset(codePage)) return IsMultiByteCodePage(65001);
  return IsMultiByteCodePage(static_cast<uint32_t>(ParseInt(codePage)));
}

CodePageInfo_t GetCodePageInfo(uint32_t codePage) {
  plat::CodePageInfo info;
  if (!plat::GetCodePageInfo(codePage, info)) throw Error_t(GLO_SRC);
  CodePageInfo_t result;
  result.maxCharSize = info.maxCharSize;
  std::memcpy(result.defaultChar, info.defaultChar, sizeof result.defaultChar);
  std::memcpy(result.leadByte, info.leadByte, sizeof result.leadByte);
  return result;
}

bool IsMultiByteCodePage(uint32_t codePage) {
  const CodePageInfo_t info = GetCodePageInfo(codePage);
  return info.maxCharSize != 1 && info.leadByte[0] != 0 && info.leadByte[1] != 0;
}

uint16_t GetResourceLanguageId() {
  static const uint16_t language = static_cast<uint16_t>(ResourceTranslation() & 0xFFFF);
  return language;
}

bool IsResourceCodePageMultiByte() {
  static const bool multiByte = IsMultiByteCodePage(ResourceTranslation() >> 16);
  return multiByte;
}

}  // namespace win
