#pragma once
// A record of another type than the one a reader expects at that place.
#include <string>

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

}  // namespace doc
