#include "mat/MAT_DistUnitsNames.h"

#include <map>

namespace mat {

DistUnitsTypes_t DistUnitsFromName(const std::string& name) {
  static const std::map<std::string, DistUnitsTypes_t> names = {
      {"Statute", DistUnitsTypes_t::Statute},
      {"Metric", DistUnitsTypes_t::Metric},
      {"Nautical", DistUnitsTypes_t::Nautical},
  };
  const auto it = names.find(name);
  if (it == names.end()) throw DistUnitsNameNotFound_t(GLO_SRC);
  return it->second;
}

}  // namespace mat
