#include "doc/DOC_ApplicationDataVersion.h"

#include "doc/DOC_InvalidRecordTypeException.h"

namespace doc {

bin::ostream& ApplicationDataVersion_t::Write(bin::ostream& out, const ApplicationDataVersion_t& value) {
  bin::record_t record(kRecordType);
  bin::write_u16(record, value.m_version);
  return bin::write_record(out, record);
}

bin::istream& ApplicationDataVersion_t::Read(bin::istream& in, ApplicationDataVersion_t& value) {
  bin::record_t record(kRecordType);
  if (!ReadRecordOfType(in, record, kRecordType, GLO_SRC,
                        "Did not read an Application Data Version Record from the Binary Stream."))
    return in;
  std::uint16_t version = 0;
  bin::read_u16(record, version);
  // Bytes after the version belong to newer writers and are skipped with the record.
  if (record.fail())
    in.setstate(std::ios_base::badbit);
  else
    value.m_version = version;
  return in;
}

}  // namespace doc
