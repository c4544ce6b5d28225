#pragma once
// The tree of keys and values of one settings hive and its text form, the
// content of a hive file (PLAT_Registry.h). Pure code: no files, no locks.
//
//   STRIDE-REGISTRY 1
//   [Software\Vortan\App]
//   Name=1:416E6E00
//   END
//
// The first line is the header; then each key as its path in brackets (names
// separated by "\") followed by its values, each as name, "=", the type in
// decimal, ":" and the bytes in hexadecimal. In names, the characters below
// 0x20, 0x7F and any of % \ [ ] = # are written as "%" and two hex digits.
// Empty lines and lines starting with "#" are skipped; lines end in "\n" (a
// "\r" before it is dropped); nothing but empty lines may follow the end mark.
#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace plat::reg {

constexpr std::size_t kMaxKeyNameLength = 255;
constexpr std::size_t kMaxValueNameLength = 16383;

// The name as compared: ASCII letters in upper case.
std::string Fold(const std::string& name);

struct Value {
  std::string name;
  unsigned long type;
  std::string bytes;
};

struct Key {
  std::string name;
  std::map<std::string, std::unique_ptr<Key>> subKeys;  // by folded name
  std::vector<Value> values;                            // in the order first set

  // The subkey of that name (any case), or null.
  Key* Sub(const std::string& name) const;
  // The subkey of that name, made when missing.
  Key* AddSub(const std::string& name);
  // The value of that name (any case), or null.
  Value* FindValue(const std::string& name);
};

// Fills 'root' with every valid line of the text; false when the text is not
// valid to its end marker ('badLine' is then the first line that was not
// taken). A damaged line is skipped and the lines after it are still taken;
// the values after a damaged key line are skipped up to the next key line, as
// they cannot be placed.
bool ParseHive(const std::string& text, Key& root, std::size_t& badLine);

// The text of a whole hive: subkeys in the order of their folded names, values
// in their own order.
std::string HiveText(const Key& root);

}  // namespace plat::reg
