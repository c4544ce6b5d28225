#pragma once
// Facts about Windows code pages: character sizes and lead bytes (defined with the
// locale functions in WIN_Locale.cpp, which ask them of locale names).
#include <cstdint>

namespace win {

// The information of a code page: the longest character in bytes, the default
// character, and up to 6 lead-byte ranges (first and last byte) ended by zeros.
struct CodePageInfo_t {
  unsigned maxCharSize = 0;
  unsigned char defaultChar[2] = {0, 0};
  unsigned char leadByte[12] = {0};
};

// The information of a code page; one this system does not know throws
// win::Error_t (error 87).
CodePageInfo_t GetCodePageInfo(uint32_t codePage);

// True when characters of the code page may take more than one byte: its longest
// character is not 1 byte and it has a first lead-byte range (non-zero start and end).
bool IsMultiByteCodePage(uint32_t codePage);

}  // namespace win
