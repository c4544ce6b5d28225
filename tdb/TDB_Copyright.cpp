#include "tdb/TDB_Copyright.h"

#include "bin/BIN_record.h"
#include "glo/GLO_Exception.h"
#include "tdb/TDB_Records.h"

namespace tdb {

const char kMakerNoticeUpper[] = "VORTAN CORPORATION 1998-2001";
const char kMakerNotice[] = "\xC2\xA9 Vortan Corporation 1998-2001";
const char kSupplierNoticeUpper[] = "LUMEN LTD 1997-1999";
const char kSupplierNotice[] = "\xC2\xA9 Lumen Ltd 1997-1999";

void Copyright_t::Read(bin::istream& in) {
  if (in.fail()) return;
  bin::oldrecord_t record(0);
  if (!ReadShortRecord(in, record) || (record.type() != 'C' && record.type() != 'D'))
    throw glo::Exception_t(GLO_SRC, std::string());
  m_notices.clear();
  if (record.type() == 'C') {
    std::string text;
    while (BytesRemain(record) && ReadCString(record, text)) {
      if (text == kMakerNoticeUpper)
        text = kMakerNotice;
      else if (text == kSupplierNoticeUpper)
        text = kSupplierNotice;
      Notice_t notice;
      notice.makerNotice = text.find("Vortan") != std::string::npos;
      notice.flag1 = true;
      notice.flag5 = true;
      notice.text = std::move(text);
      Add(notice);
    }
    return;
  }
  while (BytesRemain(record)) {
    std::uint32_t f = 0;
    std::string text;
    if (!ReadValue(record, f) || !ReadCString(record, text)) throw glo::Exception_t(GLO_SRC, std::string());
    Notice_t notice;
    notice.text = std::move(text);
    notice.makerNotice = (f & 0x204) == 0x204;
    notice.flag1 = (f & 0x202) == 0x202;
    notice.flag2 = (f & 0x800) != 0;
    notice.flag3 = (f & 0x400) != 0;
    notice.flag4 = (f & 0x001) != 0;
    notice.flag5 = (f & 0x100) != 0;
    notice.value = static_cast<float>((f >> 24) * 0.1);
    Add(notice);
  }
}

}  // namespace tdb
