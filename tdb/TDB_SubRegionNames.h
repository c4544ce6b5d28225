#pragma once
// The sub-region names of a map product (record S): a name per pair of numbers.
#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "bin/BIN_stream.h"

namespace tdb {

class SubRegionNames_t {
 public:
  using Key_t = std::pair<std::uint8_t, std::uint8_t>;

  SubRegionNames_t() = default;
  SubRegionNames_t(const SubRegionNames_t&) = default;
  SubRegionNames_t& operator=(const SubRegionNames_t&) = default;
  virtual ~SubRegionNames_t() = default;

  // Reads one S record in place of the current names (the first name of a
  // pair wins); another record type is glo::Exception_t; a stream that has
  // already failed is left alone.
  virtual void Read(bin::istream& in);

  const std::map<Key_t, std::string>& GetNames() const { return m_names; }

 private:
  std::map<Key_t, std::string> m_names;
};

}  // namespace tdb
