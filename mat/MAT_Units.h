#pragma once
// The user's unit choices, stored as 32-bit values in the settings.
#include <cstdint>

namespace mat {

enum class DistUnitsTypes_t : std::int32_t { Statute = 0, Metric = 1, Nautical = 2 };
enum class ElevationUnits_t : std::int32_t { Feet = 0, Metres = 1 };
enum class DepthUnits_t : std::int32_t { Feet = 0, Metres = 1, Fathoms = 2 };
// Stored choices without a converter here: any value is kept as it is.
enum class AreaUnits_t : std::int32_t {};
enum class TemperatureUnits_t : std::int32_t {};

// True for the values that have a converter (used when settings are read: a
// stored value these do not know is replaced by the setting's default).
constexpr bool IsKnownRegValue(DistUnitsTypes_t v) {
  return v == DistUnitsTypes_t::Statute || v == DistUnitsTypes_t::Metric || v == DistUnitsTypes_t::Nautical;
}
constexpr bool IsKnownRegValue(ElevationUnits_t v) { return v == ElevationUnits_t::Feet || v == ElevationUnits_t::Metres; }
constexpr bool IsKnownRegValue(DepthUnits_t v) {
  return v == DepthUnits_t::Feet || v == DepthUnits_t::Metres || v == DepthUnits_t::Fathoms;
}

}  // namespace mat
