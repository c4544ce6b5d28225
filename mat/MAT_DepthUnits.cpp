#include "mat/MAT_DepthUnits.h"

#include "glo/GLO_StringResource.h"
#include "glo/GLO_TwoWayLookupTable.h"

namespace mat {

namespace {

std::string Text(unsigned id) { return glo::LoadStringResource(id, GLO_SRC); }

}  // namespace

std::string DepthUnitsName(DepthUnits_t units) {
  using Table_t = glo::TwoWayLookupTable_t<DepthUnits_t, std::string>;
  static const Table_t table = [] {
    const Table_t::Pair_t pairs[] = {
        {DepthUnits_t::Feet, Text(8000)},
        {DepthUnits_t::Metres, Text(8001)},
        {DepthUnits_t::Fathoms, Text(8002)},
    };
    return Table_t(pairs);
  }();
  const auto it = table.FindFirst(units);
  if (it == table.end()) throw glo::Assert_t(GLO_SRC);
  return it->second;
}

std::string DepthUnitsLongName(unsigned char code) {
  using Table_t = glo::TwoWayLookupTable_t<unsigned char, std::string>;
  static const Table_t table = [] {
    const Table_t::Pair_t pairs[] = {
        {0, Text(8000)}, {1, Text(8003)}, {2, Text(8001)}, {3, Text(8004)}, {4, Text(8002)},
    };
    return Table_t(pairs);
  }();
  const auto it = table.FindFirst(code);
  if (it == table.end()) throw glo::Assert_t(GLO_SRC);
  return it->second;
}

}  // namespace mat
