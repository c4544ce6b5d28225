#pragma once
// How a waypoint is shown on a map: its symbol alone, with its name, or with its
// comment. The device's display codes are mapped onto these values by the
// device layer's lookup tables.

namespace gdb {

enum DisplayMode_t : int {
  DisplayMode_SymbolOnly = 0,
  DisplayMode_SymbolAndName = 1,
  DisplayMode_SymbolAndComment = 2,
};

constexpr int DisplayModeCount = 3;

}  // namespace gdb
