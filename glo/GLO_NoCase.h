#pragma once
// Comparing and upper-casing narrow texts without regard to case, one character at
// a time, never cutting a multibyte character in two. Single-byte characters take
// their case from the given locale's ctype facet; multibyte characters compare
// exactly (by their codes) and are never changed.
#include <cstddef>
#include <cwchar>
#include <locale>
#include <string>

#include "glo/GLO_Char.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_MBString.h"

namespace glo {

// True when both texts have the same number of characters and every pair of
// characters is equal without regard to case. Invalid multibyte text throws
// InvalidMBCharacter_t.
inline bool EqualNoCase(const std::string& a, const std::string& b, const std::locale& locale) {
  if (CountMBChars(a, locale) != CountMBChars(b, locale)) return false;
  const std::ctype<char>& ctype = std::use_facet<std::ctype<char>>(locale);
  std::mbstate_t stateA = std::mbstate_t();
  std::mbstate_t stateB = std::mbstate_t();
  std::size_t posA = 0;
  std::size_t posB = 0;
  while (posA < a.size() && posB < b.size()) {
    const std::size_t lengthA = MeasureMBChar(a.data() + posA, a.size() - posA, stateA);
    if (lengthA == 0) throw Assert_t(GLO_SRC);
    const std::size_t lengthB = MeasureMBChar(b.data() + posB, b.size() - posB, stateB);
    if (lengthB == 0) throw Assert_t(GLO_SRC);
    if (lengthA == 1 && lengthB == 1) {
      if (ctype.toupper(a[posA]) != ctype.toupper(b[posB])) return false;
    } else if (lengthA != lengthB || a.compare(posA, lengthA, b, posB, lengthB) != 0) {
      return false;
    }
    posA += lengthA;
    posB += lengthB;
  }
  return true;
}

// True when text a sorts before text b without regard to case: over the first
// min(count a, count b) characters, two single bytes compare as signed chars after
// upper-casing, any other pair by their character codes (MBCharCode) as unsigned
// numbers; the first pair that differs decides, else the shorter text is less.
// Invalid multibyte text throws InvalidMBCharacter_t.
inline bool LessNoCase(const std::string& a, const std::string& b, const std::locale& locale) {
  const std::size_t countA = CountMBChars(a, locale);
  const std::size_t countB = CountMBChars(b, locale);
  const std::size_t count = countA < countB ? countA : countB;
  const std::ctype<char>& ctype = std::use_facet<std::ctype<char>>(locale);
  std::mbstate_t stateA = std::mbstate_t();
  std::mbstate_t stateB = std::mbstate_t();
  std::size_t posA = 0;
  std::size_t posB = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t lengthA = MeasureMBChar(a.data() + posA, a.size() - posA, stateA);
    if (lengthA == 0) throw Assert_t(GLO_SRC);
    const std::size_t lengthB = MeasureMBChar(b.data() + posB, b.size() - posB, stateB);
    if (lengthB == 0) throw Assert_t(GLO_SRC);
    if (lengthA == 1 && lengthB == 1) {
      const signed char upperA = static_cast<signed char>(ctype.toupper(a[posA]));
      const signed char upperB = static_cast<signed char>(ctype.toupper(b[posB]));
      if (upperA != upperB) return upperA < upperB;
    } else {
      const unsigned long codeA = MBCharCode(a.c_str() + posA);
      const unsigned long codeB = MBCharCode(b.c_str() + posB);
      if (codeA != codeB) return codeA < codeB;
    }
    posA += lengthA;
    posB += lengthB;
  }
  return countA < countB;
}

// A copy of the text with every single-byte character upper-cased by the locale;
// multibyte characters are copied unchanged. A byte that starts no valid character
// is kept as it is and the walk goes on with the next byte.
std::string ToUpper(const std::string& text, const std::locale& locale);

}  // namespace glo
