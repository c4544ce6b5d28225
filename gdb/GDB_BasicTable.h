#pragma once
// BasicTable_t: a GPS table, an ordered map from key to record in which keys
// are ordered and matched by name without regard to case. Besides the map's
// own operations it can rename a record.
#include <map>
#include <utility>

#include "gdb/GDB_Key.h"
#include "gdb/GDB_KeyException.h"

namespace gdb {

template <typename Key, typename Record>
class BasicTable_t : public std::map<Key, Record, KeyLess_t> {
 public:
  using Map_t = std::map<Key, Record, KeyLess_t>;

  BasicTable_t() = default;
  BasicTable_t(const BasicTable_t&) = default;
  BasicTable_t& operator=(const BasicTable_t&) = default;
  virtual ~BasicTable_t() = default;

  // Moves the record of oldKey to newKey, which keeps its own spelling. Keys
  // with equal names (in any case) leave the table as it is. A record already
  // under newKey throws KeyExists_t, a missing oldKey KeyNotFound_t; the table
  // is then unchanged, and it is unchanged too when copying the record fails.
  virtual void Rename(const Key& oldKey, const Key& newKey) {
    const KeyLess_t less;
    if (!less(oldKey, newKey) && !less(newKey, oldKey)) return;
    if (this->find(newKey) != this->end()) throw KeyExists_t(newKey, GLO_SRC);
    const auto old = this->find(oldKey);
    if (old == this->end()) throw KeyNotFound_t(oldKey, GLO_SRC);
    // The new entry goes in before the old one leaves, so that nothing is lost
    // when the copy or the insertion fails.
    this->insert(std::make_pair(newKey, old->second));
    this->erase(old);
  }
};

}  // namespace gdb
