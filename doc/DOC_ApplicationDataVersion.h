#pragma once
// Record 'D' of the database header: the version of the data after the header.
#include <cstdint>

#include "bin/BIN_record.h"

namespace doc {

class ApplicationDataVersion_t {
 public:
  static constexpr unsigned char kRecordType = 'D';

  explicit ApplicationDataVersion_t(std::uint16_t version = 0) : m_version(version) {}

  std::uint16_t Version() const { return m_version; }

  // A record 'D' whose payload is the version (u16).
  static bin::ostream& Write(bin::ostream& out, const ApplicationDataVersion_t& value);
  // Reads record 'D'; doc::InvalidRecordTypeException_t when the next record has
  // another type. A payload too short for the version sets bad on the stream;
  // 'value' changes only when the record was read whole.
  static bin::istream& Read(bin::istream& in, ApplicationDataVersion_t& value);

 private:
  std::uint16_t m_version;
};

}  // namespace doc
