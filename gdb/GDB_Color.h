#pragma once
// The colour of a GPS record (track, route, waypoint). The device's colour codes
// are mapped onto these values by the device layer's lookup tables.

namespace gdb {

enum Color_t : int {
  Color_Default = 0,
  Color_Black = 1,
  Color_DarkRed = 2,
  Color_DarkGreen = 3,
  Color_DarkYellow = 4,
  Color_DarkBlue = 5,
  Color_DarkMagenta = 6,
  Color_DarkCyan = 7,
  Color_LightGray = 8,
  Color_DarkGray = 9,
  Color_Red = 10,
  Color_Green = 11,
  Color_Yellow = 12,
  Color_Blue = 13,
  Color_Magenta = 14,
  Color_Cyan = 15,
  Color_White = 16,
  Color_Transparent = 17,
};

// Number of colours; valid values are 0 to ColorCount - 1.
constexpr int ColorCount = 18;

constexpr bool IsValidColor(int value) { return value >= 0 && value < ColorCount; }

}  // namespace gdb
