#pragma once
// LookupTable_t<Key, Value>: a table from keys to values with a default value for
// keys it does not hold. Built once from an array of entries, which it copies and
// sorts stably by key; lookups search it by halving.
#include <algorithm>
#include <cstddef>
#include <iterator>
#include <utility>
#include <vector>

#include "glo/GLO_Exception.h"

namespace glo {

template <typename Key, typename Value>
class LookupTable_t : public std::vector<std::pair<Key, Value>> {
 public:
  using Entry_t = std::pair<Key, Value>;

  LookupTable_t(const Entry_t* entries, std::size_t count, const Value& defaultValue)
      : std::vector<Entry_t>(entries, entries + count), m_default(defaultValue) {
    std::stable_sort(this->begin(), this->end(),
                     [](const Entry_t& a, const Entry_t& b) { return a.first < b.first; });
  }
  template <std::size_t N>
  LookupTable_t(const Entry_t (&entries)[N], const Value& defaultValue)
      : LookupTable_t(entries, N, defaultValue) {}

  virtual ~LookupTable_t() = default;

  // The value of the one entry with that key, or the default when there is none;
  // Assert_t when several entries have the key.
  const Value& Find(const Key& key) const {
    auto range = std::equal_range(this->begin(), this->end(), key, Less_t());
    if (range.first == range.second) return m_default;
    if (std::next(range.first) != range.second) throw Assert_t(GLO_SRC);
    return range.first->second;
  }

  const Value& Default() const { return m_default; }

 private:
  struct Less_t {
    bool operator()(const Entry_t& e, const Key& k) const { return e.first < k; }
    bool operator()(const Key& k, const Entry_t& e) const { return k < e.first; }
  };

  Value m_default;
};

}  // namespace glo
