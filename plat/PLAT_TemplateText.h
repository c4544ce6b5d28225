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

// Parses a block as stored in the language module with the parser of a whole
// template text; true when it holds exactly one item.
template <typename T, typename Parser>
bool ParseOneBlock(const std::string& block, T& item, Parser parse) {
  std::vector<T> items;
  int line = 0;
  std::string error;
  if (!parse(block, items, line, error) || items.size() != 1) return false;
  item = items.front();
  return true;
}

// The bytes of resource (kind, id) of the resource module as text; false
// (last error) when there is no module or no such resource.
bool LoadResourceText(unsigned kind, unsigned id, std::string& text);

}  // namespace detail
}  // namespace plat
