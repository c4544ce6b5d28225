#pragma once
// Two-way tables between the device's waypoint enumerations and the program's:
// each pair is {device value, program value}; FindFirst looks up a device value,
// FindSecond a program value, and both answer end() for a value without a pair.
// The tables are built during static initialisation, before any thread starts,
// and never change afterwards, so any thread may read them without a lock.
#include "gdb/GDB_Color.h"
#include "gdb/GDB_DisplayMode.h"
#include "gdb/GDB_Key.h"
#include "gdb/GDB_Path.h"
#include "gdb/GDB_Symbol.h"
#include "glo/GLO_TwoWayLookupTable.h"
#include "iog/IOG_EnumTypes.h"

namespace iog {

using Smbl102Table_t = glo::TwoWayLookupTable_t<Smbl102_t::Smbl_t, gdb::Symbol_t>;
using Dspl103Table_t = glo::TwoWayLookupTable_t<Dspl103_t::Dspl_t, gdb::DisplayMode_t>;
using Smbl103Table_t = glo::TwoWayLookupTable_t<Smbl103_t::Smbl_t, gdb::Symbol_t>;
using Dspl104Table_t = glo::TwoWayLookupTable_t<Dspl104_t::Dspl_t, gdb::DisplayMode_t>;
using Color107Table_t = glo::TwoWayLookupTable_t<Color107_t::Color_t, gdb::Color_t>;
using Color108Table_t = glo::TwoWayLookupTable_t<Color108Codes_t::Color_t, gdb::Color_t>;
using Type108Table_t = glo::TwoWayLookupTable_t<Type108_t::Type_t, gdb::WaypointId_t::Type_t>;
using Type150Table_t = glo::TwoWayLookupTable_t<Type150_t::Type_t, gdb::WaypointId_t::Type_t>;
using Type151Table_t = glo::TwoWayLookupTable_t<Type151_t::Type_t, gdb::WaypointId_t::Type_t>;
using Type152Table_t = glo::TwoWayLookupTable_t<Type152_t::Type_t, gdb::WaypointId_t::Type_t>;
using Type154Table_t = glo::TwoWayLookupTable_t<Type154_t::Type_t, gdb::WaypointId_t::Type_t>;
using Direction210Table_t = glo::TwoWayLookupTable_t<Direction210_t::Direction_t, gdb::Path_t::Direction_t>;
using Type210Table_t = glo::TwoWayLookupTable_t<Type210_t::Type_t, gdb::Path_t::Type_t>;
using DsplColor109ColorTable_t = glo::TwoWayLookupTable_t<DsplColor109_t::Color_t, gdb::Color_t>;
using DsplColor109DsplTable_t = glo::TwoWayLookupTable_t<DsplColor109_t::Dspl_t, gdb::DisplayMode_t>;

// Every device symbol code of D102 and later onto the program's symbols 0 to 220.
const Smbl102Table_t& Smbl102Table();
const Dspl103Table_t& Dspl103Table();
const Smbl103Table_t& Smbl103Table();
const Dspl104Table_t& Dspl104Table();
const Color107Table_t& Color107Table();
// The colours of D108 and of the D310 track header: device 0 to 16 are program
// 1 to 17, device 255 is program 0.
const Color108Table_t& Color108Table();
const Type108Table_t& Type108Table();
const Type150Table_t& Type150Table();
const Type151Table_t& Type151Table();
const Type152Table_t& Type152Table();
const Type154Table_t& Type154Table();
const Direction210Table_t& Direction210Table();
const Type210Table_t& Type210Table();
const DsplColor109ColorTable_t& DsplColor109ColorTable();
const DsplColor109DsplTable_t& DsplColor109DsplTable();

}  // namespace iog
