#pragma once
// Inside the template parsers: only plat/ includes this header.
#include <string>
#include <vector>

namespace plat {
namespace detail {

// Splits a template line into words; a quoted text is one word, kept with its
// quotes removed and its escapes resolved, and marked in 'quoted'. "#" starts a
// comment. False with a message for a bad escape or an unterminated text.
bool Tokenise(const std::string& line, std::vector<std::string>& words, std::vector<bool>& quoted,
              std::string& error);

// A decimal or 0x hexadecimal number from -32768 to 65535.
bool ToInt(const std::string& text, int& value);

}  // namespace detail
}  // namespace plat
