#pragma once
// Color108_t: the colour byte of the D310 track header (and of D108 waypoints):
// device values 0 to 16 are the program's colours 1 to 17, device 255 is the
// default colour 0 (Color108Table).
#include <cstdint>

#include "bin/BIN_stream.h"
#include "gdb/GDB_Color.h"
#include "iog/IOG_EnumTypes.h"

namespace iog {

class Color108_t {
 public:
  // A device value; one without a pair in the table is glo::OutOfRange_t.
  explicit Color108_t(std::int32_t deviceValue = Color108Codes_t::Color108_Default);
  // The device value paired with a program colour; 255 when it has none.
  explicit Color108_t(gdb::Color_t color);

  std::int32_t GetValue() const { return m_value; }
  // The program colour paired with the device value.
  gdb::Color_t ToGdb() const;

  // One byte that must be 0 to 16 or 255; otherwise the stream fails and the
  // colour is unchanged.
  void Read(bin::istream& in);
  // One byte.
  void Write(bin::ostream& out) const;

  friend bool operator==(const Color108_t& a, const Color108_t& b) { return a.m_value == b.m_value; }

 private:
  std::int32_t m_value;
};

}  // namespace iog
