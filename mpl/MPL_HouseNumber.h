#pragma once
// Packed house numbers of the road data turned into the text shown for them.
#include <cstddef>
#include <cstdint>

namespace mpl {

// Formats number 'value' by 'format' (bits 0-4 the pattern, bits 5-7 the letter
// selector) into the buffer: at most size - 1 characters, always terminated.
void FormatHouseNumber(char* buffer, std::size_t size, std::uint32_t value, std::uint8_t format);

}  // namespace mpl
