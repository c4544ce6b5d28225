#pragma once
// Waypoint_t: the record of the waypoint table: a position and the descriptive
// texts and values of the device's waypoint, which the system only copies and
// destroys. Copies own their optional cells.
#include <cstdint>
#include <string>

#include "geo/GEO_Position.h"
#include "glo/GLO_Optional.h"

namespace gdb {

struct Waypoint_t {
  geo::Position_t position;  // with its optional altitude
  std::string text1;
  glo::Optional_t<double> optionalValue1;
  std::uint32_t value1 = 0;
  std::uint64_t value2 = 0;
  glo::Optional_t<double> optionalValue2;
  glo::Optional_t<std::uint32_t> optionalValue3;
  std::string text2;
  std::string text3;
  std::string text4;
  std::uint8_t value3 = 0;
  glo::Optional_t<double> optionalValue4;
  std::string text5;
  std::string text6;
  std::uint64_t value4 = 0;
  std::string text7;
  glo::Optional_t<std::uint8_t> optionalValue5;
  std::string text8;
  std::uint32_t value5 = 0;
};

}  // namespace gdb
