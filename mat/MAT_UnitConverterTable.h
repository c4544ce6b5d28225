#pragma once
// The converter tables: for each unit choice its mat::UnitConverter_t. Built on
// first use (the unit texts come from the language module) and kept to the end.
#include <map>

#include "glo/GLO_Exception.h"
#include "mat/MAT_UnitConverter.h"
#include "mat/MAT_Units.h"

namespace mat {

template <typename Key_t>
class UnitConverterTable_t {
 public:
  void Add(Key_t key, const UnitConverter_t& entry) { m_entries.insert_or_assign(key, entry); }

  // The entry of a unit; glo::Assert_t when the table has none.
  const UnitConverter_t& Find(Key_t key) const {
    const auto it = m_entries.find(key);
    if (it == m_entries.end()) throw glo::Assert_t(GLO_SRC);
    return it->second;
  }


 private:
  std::map<Key_t, UnitConverter_t> m_entries;
};

// Statute: feet / statute miles above 304.8 m; Metric: metres / kilometres above
// 1000 m; Nautical: feet / nautical miles above 304.8 m.
const UnitConverterTable_t<DistUnitsTypes_t>& GetDistanceUnitTable();
// Feet or metres (one unit each, threshold 0).
const UnitConverterTable_t<ElevationUnits_t>& GetElevationUnitTable();
// Feet, metres or fathoms (one unit each, threshold 0).
const UnitConverterTable_t<DepthUnits_t>& GetDepthUnitTable();

// The entry of a unit system or elevation unit; glo::Assert_t for a value without one.
const UnitConverter_t& DistanceUnitsEntry(DistUnitsTypes_t units);
const UnitConverter_t& ElevationUnitsEntry(ElevationUnits_t units);

}  // namespace mat
