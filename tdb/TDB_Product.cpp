#include "tdb/TDB_Product.h"

#include "bin/BIN_record.h"
#include "glo/GLO_StringResource.h"
#include "glo/GLO_Time.h"
#include "plat/PLAT_FileOps.h"
#include "tdb/TDB_Records.h"

namespace tdb {

namespace {

constexpr std::uint32_t kOldRoadProductId = 0x20001;

std::string DefaultProductName() { return glo::StringResource_t(1, GLO_SRC).Text(); }

}  // namespace

const std::vector<FamilyTableEntry_t>& GetFamilyTable() {
  static const std::vector<FamilyTableEntry_t> table = {
      {"Globarium Base Map", "Globarium Classic", 0},
      {"Globarium World Map", "Globarium Classic", 0},
      {"Globarium Relief", "Globarium Classic", 0},
      {"Roadline Europe", "Roadline", 200},
      {"Roadline Americas", "Roadline", 200},
      {"Roadline Pacific", "Roadline", 200},
      {"Roadline Nordic", "Roadline", 200},
      {"Bluewater Charts", "Bluewater", 200},
  };
  return table;
}

Product_t::Product_t(std::uint32_t productId) : m_id(productId), m_name(DefaultProductName()) {}

Product_t::Product_t(const std::string& loc, const std::string& bmap, const std::string& tdbPath,
                     const std::vector<std::string>& startupLogos, const std::vector<std::string>& aboutLogos,
                     const std::string& notice, bool partialInstall)
    : m_loc(loc),
      m_bmap(bmap),
      m_tdbPath(tdbPath),
      m_startupLogos(startupLogos),
      m_aboutLogos(aboutLogos),
      m_notice(notice),
      m_partialInstall(partialInstall),
      m_name(DefaultProductName()) {}

void Product_t::UseFamilyTable() {
  const FamilyTableEntry_t* entry = nullptr;
  for (const auto& e : GetFamilyTable())
    if (m_name == e.productName) entry = &e;
  if (!entry) throw glo::Assert_t(GLO_SRC);
  m_familyName = entry->familyName;
  if (entry->dataVersion / 100 != 0) {
    m_dataVersion = entry->dataVersion;
    return;
  }
  // The oldest products tell their data version only by the year of their file.
  std::int64_t seconds = 0;
  if (m_tdbPath.empty() || !plat::GetFileWriteTime(m_tdbPath, seconds)) throw glo::Assert_t(GLO_SRC);
  if (seconds < glo::Time_t::kMinValue || seconds > glo::Time_t::kMaxValue) throw glo::Assert_t(GLO_SRC);
  const int year = glo::Time_t(seconds).ToTm().tm_year + 1900;
  if (year == 1998)
    m_dataVersion = 200;
  else if (year == 1999)
    m_dataVersion = 201;
  else
    throw glo::Exception_t(GLO_SRC, std::string());
}

void Product_t::ReadHeader(bin::istream& in) {
  bin::oldrecord_t record(0);
  if (!ReadShortRecord(in, record) || record.type() != 'P') throw glo::Exception_t(GLO_SRC, std::string());
  std::uint32_t id = 0;
  std::uint16_t formatVersion = 0;
  std::string name;
  if (!ReadValue(record, id) || !ReadValue(record, formatVersion) || !ReadCString(record, name))
    throw glo::Exception_t(GLO_SRC, std::string());
  m_id = id;
  m_formatVersion = formatVersion;
  m_name = std::move(name);
  if (m_formatVersion / 100 > 4) throw UnsupportedFormatVersion_t(GLO_SRC);

  // Each later group is there only when bytes remain; a group cut short keeps
  // the defaults of the fields it did not reach.
  if (BytesRemain(record)) {
    (void)(ReadValue(record, m_dataVersion) && ReadCString(record, m_familyName));
  } else {
    UseFamilyTable();
  }
  if (BytesRemain(record)) {
    std::uint32_t ignored = 0;
    (void)(ReadValue(record, m_signatureRequired) && ReadValue(record, m_optionBytes[0]) &&
        ReadValue(record, m_optionBytes[1]) && ReadValue(record, m_optionBytes[2]) &&
        ReadValue(record, m_optionBytes[3]) && ReadValue(record, m_optionBytes[4]) && ReadValue(record, ignored));
  }
  if (BytesRemain(record))
    ReadValue(record, m_optionBytes[5]);
  else if (m_id == kOldRoadProductId)
    m_optionBytes[5] = 24;
  if (BytesRemain(record)) {
    std::int32_t north = 0, east = 0, south = 0, west = 0;
    if (ReadValue(record, m_optionBytes[6]) && ReadValue(record, m_optionBytes[7]) &&
        ReadValue(record, m_optionBytes[8]) && ReadValue(record, north) && ReadValue(record, east) &&
        ReadValue(record, south) && ReadValue(record, west) && (north || east || south || west))
      m_box = geo::Box_t(north, south, east, west);
  }
  if (BytesRemain(record)) ReadValue(record, m_optionValues[0]);
  if (BytesRemain(record)) ReadValue(record, m_optionValues[1]);
  if (BytesRemain(record)) ReadValue(record, m_optionBytes[9]);
}

void Product_t::Read(bin::istream& in) {
  ReadHeader(in);
  m_regionDir.SetProductId(m_id);
  for (int type = PeekRecordType(in); type >= 0; type = PeekRecordType(in)) {
    switch (type) {
      case 'B':
      case 'L':
        if (m_regionDir.GetTotal() != 0) throw glo::Exception_t(GLO_SRC, std::string());
        m_regionDir.Read(in);
        break;
      case 'C':
      case 'D':
        if (!m_copyright.IsEmpty()) throw glo::Exception_t(GLO_SRC, std::string());
        m_copyright.Read(in);
        break;
      case 'R':
        m_regionNames.Read(in);
        break;
      case 'S':
        m_subRegionNames.Read(in);
        break;
      case 'T':
        m_signature.Read(in);
        break;
      default: {
        bin::oldrecord_t skipped(0);
        ReadShortRecord(in, skipped);
        break;
      }
    }
    // A record cut short leaves the stream failed: the file is damaged.
    if (in.fail()) throw glo::Exception_t(GLO_SRC, std::string());
  }
  if (in.bad()) throw glo::Exception_t(GLO_SRC, std::string());
  if (m_copyright.IsEmpty()) {
    Notice_t notice;
    notice.text = kMakerNotice;
    notice.makerNotice = true;
    notice.flag1 = true;
    notice.flag5 = true;
    m_copyright.Add(notice);
  }
}

const Product_t& GetEmptyProduct() {
  static const Product_t empty(0);
  return empty;
}

}  // namespace tdb
