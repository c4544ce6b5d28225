#pragma once
// The device's own enumerations of waypoint symbols, display modes, colours,
// waypoint classes and route links. Each carries the number of the device data
// type that defines it. They hold the device's raw 32-bit values; the tables of
// IOG_EnumTables.h map them onto the program's enumerations and back.
#include <cstdint>

namespace iog {

// Waypoint symbol codes of D102 and later waypoint types.
struct Smbl102_t {
  enum Smbl_t : std::int32_t {};
};

// Waypoint symbol codes of D103.
struct Smbl103_t {
  enum Smbl_t : std::int32_t {};
};

// Waypoint display modes of D103: 0 symbol and name, 1 symbol only, 2 symbol and comment.
struct Dspl103_t {
  enum Dspl_t : std::int32_t {
    Dspl103_SymbolAndName = 0,
    Dspl103_SymbolOnly = 1,
    Dspl103_SymbolAndComment = 2,
  };
};

// Waypoint display modes of D104: 1 symbol only, 3 symbol and name, 5 symbol and comment.
struct Dspl104_t {
  enum Dspl_t : std::int32_t {
    Dspl104_SymbolOnly = 1,
    Dspl104_SymbolAndName = 3,
    Dspl104_SymbolAndComment = 5,
  };
};

// Waypoint colours of D107: 0 default, 1 red, 2 green, 3 blue.
struct Color107_t {
  enum Color_t : std::int32_t {
    Color107_Default = 0,
    Color107_Red = 1,
    Color107_Green = 2,
    Color107_Blue = 3,
  };
};

// Colours of D108 waypoints and D310 track headers: 0 to 15 the sixteen colours
// from black to white, 16 transparent, 255 the unit's default colour. The colour
// value class of the track download derives from this.
struct Color108Codes_t {
  enum Color_t : std::int32_t {
    Color108_Black = 0,
    Color108_White = 15,
    Color108_Transparent = 16,
    Color108_Default = 255,
  };
};

// Waypoint display modes and colours of D109, packed in one device byte.
struct DsplColor109_t {
  // 0 to 15 the sixteen colours from black to white, 31 the default colour.
  enum Color_t : std::int32_t {
    DsplColor109_Black = 0,
    DsplColor109_White = 15,
    DsplColor109_Default = 31,
  };
  // 0 symbol and name, 1 symbol only, 2 symbol and comment.
  enum Dspl_t : std::int32_t {
    DsplColor109_SymbolAndName = 0,
    DsplColor109_SymbolOnly = 1,
    DsplColor109_SymbolAndComment = 2,
  };
};

// Waypoint classes of D108.
struct Type108_t {
  enum Type_t : std::int32_t {};
};

// Waypoint classes of D150.
struct Type150_t {
  enum Type_t : std::int32_t {};
};

// Waypoint classes of D151.
struct Type151_t {
  enum Type_t : std::int32_t {};
};

// Waypoint classes of D152.
struct Type152_t {
  enum Type_t : std::int32_t {};
};

// Waypoint classes of D154.
struct Type154_t {
  enum Type_t : std::int32_t {};
};

// Route link directions of D210.
struct Direction210_t {
  enum Direction_t : std::int32_t {};
};

// Route link classes of D210.
struct Type210_t {
  enum Type_t : std::int32_t {};
};

}  // namespace iog
