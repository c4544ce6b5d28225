#include "doc/DOC_AppBuildInfo.h"

#include "doc/DOC_InvalidRecordTypeException.h"

namespace doc {

bin::ostream& AppBuildInfo_t::Write(bin::ostream& out, const AppBuildInfo_t& value) {
  bin::record_t record(kRecordType);
  bin::write_u16(record, value.m_version);
  bin::write_string(record, value.m_label);
  bin::write_string(record, value.m_date);
  bin::write_string(record, value.m_time);
  return bin::write_record(out, record);
}

bin::istream& AppBuildInfo_t::Read(bin::istream& in, AppBuildInfo_t& value) {
  bin::record_t record(kRecordType);
  if (!ReadRecordOfType(in, record, kRecordType, GLO_SRC,
                        "Did not read an Application Version Record from the Binary Stream."))
    return in;
  AppBuildInfo_t read;
  bin::read_u16(record, read.m_version);
  bin::read_string(record, read.m_label);
  bin::read_string(record, read.m_date);
  bin::read_string(record, read.m_time);
  // A time cut short of its NUL is incomplete as well.
  if (record.fail())
    in.setstate(std::ios_base::badbit);
  else
    value = read;
  return in;
}

}  // namespace doc
