#include "mpl/MPL_HouseNumber.h"

#include <cstdio>
#include <cstring>

namespace mpl {

namespace {

// The compass letter of patterns 5 and 7.
char Compass(unsigned s) { return s < 4 ? "NSEW"[s] : ' '; }

// The letter pairs of patterns 8 to 10.
constexpr char kPairs[8][2] = {{'N', 'W'}, {'N', 'E'}, {'S', 'W'}, {'S', 'E'},
                               {'E', 'S'}, {'E', 'N'}, {'W', 'N'}, {'W', 'S'}};

}  // namespace

void FormatHouseNumber(char* buffer, std::size_t size, std::uint32_t value, std::uint8_t format) {
  if (buffer == nullptr || size == 0) return;
  const unsigned pattern = format & 0x1Fu;
  const unsigned s = format >> 5;
  const int v = static_cast<int>(value);
  // Formatted as into a buffer of 16: at most 15 characters are kept.
  char text[40];
  switch (pattern) {
    case 1:
    case 2:
    case 3:
    case 4:
      std::snprintf(text, sizeof text, "%c%d", static_cast<char>('A' + 8 * (pattern - 1) + s), v);
      break;
    case 5: std::snprintf(text, sizeof text, "%c%d", Compass(s), v); break;
    case 6: std::snprintf(text, sizeof text, "%d%c", v, s == 0 ? 'E' : s == 1 ? 'W' : ' '); break;
    case 7: std::snprintf(text, sizeof text, "%d%c%03d", v / 1000, Compass(s), v % 1000); break;
    case 8: std::snprintf(text, sizeof text, "%c%d%c%03d", kPairs[s][0], v / 1000, kPairs[s][1], v % 1000); break;
    case 9: std::snprintf(text, sizeof text, "%c%d%c%04d", kPairs[s][0], v / 10000, kPairs[s][1], v % 10000); break;
    case 10:
      std::snprintf(text, sizeof text, "%c%d%c%05d", kPairs[s][0], v / 100000, kPairs[s][1], v % 100000);
      break;
    case 11: std::snprintf(text, sizeof text, "%d-%02d", v / 100, v % 100); break;
    case 12: std::snprintf(text, sizeof text, "%d-%03d", v / 1000, v % 1000); break;
    case 13: std::snprintf(text, sizeof text, "%d-%04d", v / 10000, v % 10000); break;
    case 14: std::snprintf(text, sizeof text, v < 100 ? "%03d" : v < 1000 ? "%04d" : "%05d", v); break;
    default: std::snprintf(text, sizeof text, "%d", v); break;
  }
  std::size_t n = std::strlen(text);
  if (n > 15) n = 15;
  if (n > size - 1) n = size - 1;
  std::memcpy(buffer, text, n);
  buffer[n] = '\0';
}

}  // namespace mpl
