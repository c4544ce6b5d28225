#include "doc/DOC_InvalidRecordTypeException.h"

#include <cstdio>

namespace doc {

namespace {

std::string BuildMessage(unsigned char found, unsigned char expected, const std::string& explanation) {
  std::string text = "Encountered an invalid record type. \nEncountered Type: ";
  if (found >= 0x20 && found < 0x7F) {
    text += static_cast<char>(found);
  } else {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%x", static_cast<unsigned>(found));
    text += "Control Character hex value = ";
    text += hex;
  }
  text += "\nExpected Type: ";
  text += static_cast<char>(expected);
  text += "\n";
  text += explanation;
  return text;
}

}  // namespace

InvalidRecordTypeException_t::InvalidRecordTypeException_t(const char* file, int line, unsigned char found,
                                                           unsigned char expected,
                                                           const std::string& explanation)
    : glo::Exception_t(file, line, BuildMessage(found, expected, explanation)) {}

InvalidRecordTypeException_t::~InvalidRecordTypeException_t() = default;

bool ReadRecordOfType(bin::istream& in, bin::record_t& record, unsigned char expected, const char* file, int line,
                      const std::string& explanation) {
  if (!in.good()) return false;
  bin::read_record(in, record);
  if (!in.good()) return false;
  if (record.type() != expected) throw InvalidRecordTypeException_t(file, line, record.type(), expected, explanation);
  return true;
}

}  // namespace doc
