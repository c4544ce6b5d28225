#pragma once
// Record 'A' of the database header: which build of the application wrote the file.
#include <cstdint>
#include <string>

#include "bin/BIN_record.h"

namespace doc {

class AppBuildInfo_t {
 public:
  static constexpr unsigned char kRecordType = 'A';

  AppBuildInfo_t() : m_version(0) {}
  // version: major x 100 + minor (205 for 2.5); date as "Sep 24 2004", time as "13:50:34".
  AppBuildInfo_t(std::uint16_t version, const std::string& label, const std::string& date,
                 const std::string& time)
      : m_version(version), m_label(label), m_date(date), m_time(time) {}

  std::uint16_t Version() const { return m_version; }
  const std::string& Label() const { return m_label; }
  const std::string& Date() const { return m_date; }
  const std::string& Time() const { return m_time; }

  // A record 'A': version (u16), label, date and time as NUL-terminated strings.
  static bin::ostream& Write(bin::ostream& out, const AppBuildInfo_t& value);
  // Reads record 'A'; doc::InvalidRecordTypeException_t when the next record has
  // another type. A payload that ends before the four fields sets bad on the
  // stream; 'value' changes only when the record was read whole.
  static bin::istream& Read(bin::istream& in, AppBuildInfo_t& value);

 private:
  std::uint16_t m_version;
  std::string m_label;
  std::string m_date;
  std::string m_time;
};

}  // namespace doc
