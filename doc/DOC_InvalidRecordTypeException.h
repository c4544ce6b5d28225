#pragma once
// A record of another type than the one a reader expects at that place.
#include <string>

#include "bin/BIN_record.h"
#include "glo/GLO_Exception.h"

namespace doc {

class InvalidRecordTypeException_t : public glo::Exception_t {
 public:
  // The message names the type found (the character itself when printable,
  // otherwise its hexadecimal value), the type expected and the explanation.
  InvalidRecordTypeException_t(const char* file, int line, unsigned char found, unsigned char expected,
                               const std::string& explanation);
  ~InvalidRecordTypeException_t() override;
};

// Reads the next record of a structure into 'record', unless the stream has
// already failed. True when the stream is still good and the record has the
// expected type; a record of another type throws InvalidRecordTypeException_t
// with the given place and explanation (the reader's own).
bool ReadRecordOfType(bin::istream& in, bin::record_t& record, unsigned char expected, const char* file, int line,
                      const std::string& explanation);

}  // namespace doc
