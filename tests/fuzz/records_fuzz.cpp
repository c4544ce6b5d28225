// The binary records and the database header on any bytes: the header first, then
// long and short records until the data ends or a read fails.
#include <string>
#include <vector>

#include "bin/BIN_record.h"
#include "bin/BIN_stream.h"
#include "doc/DOC_Info.h"
#include "glo/GLO_Exception.h"
#include "tests/fuzz/FuzzSeeds.h"

namespace {

std::string Header(std::uint16_t layout) {
  bin::stringstream out;
  const glo::Optional_t<std::string> name =
      layout >= 101 ? glo::Optional_t<std::string>(std::string("StridemereLogbook")) : glo::Optional_t<std::string>();
  doc::Info_t::Write(out, doc::Info_t("GbRc", 106, doc::AppBuildInfo_t(205, "2.5", "Dec 10 2026", "12:00:00"),
                                      name, layout));
  return out.str();
}

}  // namespace

std::vector<std::string> StrideFuzzSeeds() {
  bin::stringstream records;
  bin::record_t record('R');
  bin::write_u16(record, 513);
  bin::write_string(record, "Caf\xC3\xA9");
  bin::write_record(records, record);
  const std::string header = Header(101);
  return {header, Header(100), header + records.str(), header.substr(0, 9), std::string("GbRc\x65\x00" "D\xff\xff\xff\xff", 11),
          header + std::string("R\x00\x00\x00\x80", 5)};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    bin::stringstream in(fuzz::Bytes(data, size));
    doc::Info_t header;
    doc::Info_t::Read(in, header);
    (void)header.TagText();
    for (int i = 0; in.good() && i < 64; ++i) {
      if (i % 2 == 0) {
        bin::record_t record(0);
        bin::read_record(in, record);
        std::uint16_t number = 0;
        std::string text;
        bin::read_u16(record, number);
        bin::read_string(record, text);
      } else {
        bin::oldrecord_t record(0);
        bin::read_short_record(in, record);
      }
    }
  } catch (const glo::Exception_t&) {
  }
  return 0;
}
