#include "iog/IOG_Color108.h"

#include "glo/GLO_Exception.h"
#include "iog/IOG_EnumTables.h"

namespace iog {

namespace {

bool IsDeviceColor(std::int32_t value) {
  const Color108Table_t& table = Color108Table();
  return table.FindFirst(static_cast<Color108Codes_t::Color_t>(value)) != table.end();
}

}  // namespace

Color108_t::Color108_t(std::int32_t deviceValue) : m_value(deviceValue) {
  if (!IsDeviceColor(deviceValue)) throw glo::OutOfRange_t(GLO_SRC);
}

Color108_t::Color108_t(gdb::Color_t color) : m_value(Color108Codes_t::Color108_Default) {
  const Color108Table_t& table = Color108Table();
  const auto it = table.FindSecond(color);
  if (it != table.end()) m_value = it->first;
}

gdb::Color_t Color108_t::ToGdb() const {
  const Color108Table_t& table = Color108Table();
  const auto it = table.FindFirst(static_cast<Color108Codes_t::Color_t>(m_value));
  GLO_ASSERT(it != table.end());
  return it->second;
}

void Color108_t::Read(bin::istream& in) {
  unsigned char byte = 0;
  in.get(byte);
  if (in.fail()) return;
  if (!IsDeviceColor(byte)) {
    in.setstate(std::ios_base::failbit);
    return;
  }
  m_value = byte;
}

void Color108_t::Write(bin::ostream& out) const {
  const unsigned char byte = static_cast<unsigned char>(m_value);
  out.write(reinterpret_cast<const char*>(&byte), 1);
}

}  // namespace iog
