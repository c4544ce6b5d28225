#pragma once
// The region names of a map product (record R): a name per region number.
#include <cstdint>
#include <map>
#include <string>

#include "bin/BIN_stream.h"

namespace tdb {

class RegionNames_t {
 public:
  RegionNames_t() = default;
  RegionNames_t(const RegionNames_t&) = default;
  RegionNames_t& operator=(const RegionNames_t&) = default;
  virtual ~RegionNames_t() = default;

  // Reads one R record in place of the current names (the first name of a
  // number wins); another record type is glo::Exception_t; a stream that has
  // already failed is left alone.
  virtual void Read(bin::istream& in);

  const std::map<std::uint8_t, std::string>& GetNames() const { return m_names; }

 private:
  std::map<std::uint8_t, std::string> m_names;
};

}  // namespace tdb
