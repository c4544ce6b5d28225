#pragma once
// Waypoint symbols: the small pictures that the device and the map show for
// waypoints, with their display names and the symbol that stands for each of the
// map window's point-feature kinds. The device protocols' own symbol codes are
// translated to and from Symbol_t by the device layer's enumeration tables.
#include <cstdint>
#include <map>
#include <string>

#include "glo/GLO_LookupTable.h"

namespace gdb {

// The symbol of a waypoint, values 0 to 220.
enum Symbol_t : std::int32_t {
  Symbol_First = 0,
  // The default symbol (a plain waypoint): feature kinds without a symbol of their
  // own map to it, and the map window takes it as "no specific symbol".
  Symbol_Default = 18,
  Symbol_Last = 220,
};

constexpr int SymbolCount = 221;

constexpr bool IsValidSymbol(int value) { return value >= Symbol_First && value <= Symbol_Last; }

// Id of the language-module string that names the symbol.
unsigned SymbolNameStringId(Symbol_t symbol);

using SymbolNames_t = std::map<Symbol_t, std::string>;
// The display name of every symbol, loaded from the language module on the first
// call. A missing string fails that call; the next call tries again.
const SymbolNames_t& GetSymbolNames();
// The same table, under the name by which the map window's feature menu asks
// for a symbol's name.
inline const SymbolNames_t& GetSymbolNameIds() { return GetSymbolNames(); }

using FeatureSymbolMap_t = glo::LookupTable_t<std::int32_t, Symbol_t>;
// The symbol for a point-feature kind of the map window; Find gives
// Symbol_Default for the kinds without one.
const FeatureSymbolMap_t& GetFeatureSymbolMap();

}  // namespace gdb
