#pragma once
// The names of the depth units.
#include <string>

#include "mat/MAT_Units.h"

namespace mat {

// The name of a depth unit (texts 8000 to 8002); glo::Assert_t for another value.
std::string DepthUnitsName(DepthUnits_t units);

// The name of a five-valued depth code of the chart data: 0 text 8000, 1 text
// 8003, 2 text 8001, 3 text 8004, 4 text 8002; glo::Assert_t for another code.
std::string DepthUnitsLongName(unsigned char code);

}  // namespace mat
