#pragma once
// The names of the unit systems, as older versions stored the user's choice.
#include <string>

#include "glo/GLO_Exception.h"
#include "mat/MAT_Units.h"

namespace mat {

// A unit system name that is none of the known ones.
class DistUnitsNameNotFound_t : public glo::OutOfRange_t {
 public:
  DistUnitsNameNotFound_t(const char* file, int line) : glo::OutOfRange_t(file, line) {}
};

// "Statute" 0, "Metric" 1, "Nautical" 2, matched exactly (with case);
// mat::DistUnitsNameNotFound_t for any other text.
DistUnitsTypes_t DistUnitsFromName(const std::string& name);

}  // namespace mat
