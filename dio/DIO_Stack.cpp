#include "dio/DIO_Stack.h"

#include <cstring>

#include "dio/DIO_Exception.h"
#include "dio/DIO_UIAccessPoint.h"

namespace dio {

void Stack_t::Push(const void* bytes, std::size_t count) {
  const auto* p = static_cast<const unsigned char*>(bytes);
  m_bytes.insert(m_bytes.end(), p, p + count);
}

void Stack_t::Pop(void* destination, std::size_t count) {
  if (count > m_bytes.size()) throw Exception_t(GLO_SRC);
  std::memcpy(destination, m_bytes.data() + (m_bytes.size() - count), count);
  m_bytes.resize(m_bytes.size() - count);
}

void Stack_t::PushString(const std::string& text) {
  m_bytes.reserve(m_bytes.size() + text.size() + 1);
  m_bytes.push_back(0);
  for (auto it = text.rbegin(); it != text.rend(); ++it) m_bytes.push_back(static_cast<unsigned char>(*it));
}

std::string Stack_t::PopString() {
  std::string text;
  for (;;) {
    if (m_bytes.empty()) throw Exception_t(GLO_SRC);
    const unsigned char c = m_bytes.back();
    m_bytes.pop_back();
    if (c == 0) return text;
    text.push_back(static_cast<char>(c));
  }
}

std::uint32_t Stack_t::PopU32() {
  std::uint32_t value = 0;
  Pop(&value, sizeof value);
  return value;
}

std::uint16_t Stack_t::PopU16() {
  std::uint16_t value = 0;
  Pop(&value, sizeof value);
  return value;
}

void Stack_t::PushStrings(const std::vector<std::string>& list) {
  for (auto it = list.rbegin(); it != list.rend(); ++it) PushString(*it);
}

std::vector<std::string> Stack_t::PopStrings() {
  std::vector<std::string> list;
  while (!IsEmpty()) list.push_back(PopString());
  return list;
}

void Stack_t::PushRegion(const ioa::VmapRgnInfo_t& region) {
  PushU16(region.first);
  PushU32(region.second);
  PushU32(region.third);
  PushU32(region.kind);
}

ioa::VmapRgnInfo_t Stack_t::PopRegion() {
  ioa::VmapRgnInfo_t region;
  const std::uint32_t kind = PopU32();
  region.third = PopU32();
  const std::uint32_t second = PopU32();
  region.first = PopU16();
  if (second > 0xFFFFu || kind > 0xFFu) throw glo::OutOfRange_t(GLO_SRC);
  region.second = static_cast<std::uint16_t>(second);
  region.kind = static_cast<std::uint8_t>(kind);
  return region;
}

void Stack_t::SignalDone() {
  if (m_done == nullptr) throw Exception_t(GLO_SRC);
  m_done->Signal(m_ticket);
}

void CheckEmpty(const Stack_t& stack, const char* file, int line) {
  if (!stack.IsEmpty()) throw Exception_t(file, line);
}

}  // namespace dio
