#include "win/WIN_CodePage.h"

#include <cstring>

#include "plat/PLAT_Locale.h"
#include "win/WIN_Exception.h"

namespace win {

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

}  // namespace win
