#include "tdb/TDB_RegionNames.h"

#include "bin/BIN_record.h"
#include "glo/GLO_Exception.h"
#include "tdb/TDB_Records.h"

namespace tdb {

void RegionNames_t::Read(bin::istream& in) {
  if (in.fail()) return;
  bin::oldrecord_t record(0);
  if (!ReadShortRecord(in, record) || record.type() != 'R') throw glo::Exception_t(GLO_SRC, std::string());
  m_names.clear();
  while (BytesRemain(record)) {
    std::uint8_t number = 0;
    std::string name;
    if (!ReadValue(record, number) || !ReadCString(record, name)) break;
    m_names.emplace(number, std::move(name));
  }
}

}  // namespace tdb
