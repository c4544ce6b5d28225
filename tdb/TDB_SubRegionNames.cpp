#include "tdb/TDB_SubRegionNames.h"

#include "bin/BIN_record.h"
#include "glo/GLO_Exception.h"
#include "tdb/TDB_Records.h"

namespace tdb {

void SubRegionNames_t::Read(bin::istream& in) {
  if (in.fail()) return;
  bin::oldrecord_t record(0);
  if (!ReadShortRecord(in, record) || record.type() != 'S') throw glo::Exception_t(GLO_SRC, std::string());
  m_names.clear();
  while (BytesRemain(record)) {
    Key_t key;
    std::string name;
    if (!ReadValue(record, key.first) || !ReadValue(record, key.second) || !ReadCString(record, name)) break;
    m_names.emplace(key, std::move(name));
  }
}

}  // namespace tdb
