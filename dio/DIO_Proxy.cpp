#include "dio/DIO_Exception.h"
#include "dio/DIO_Reference.h"

namespace dio {

void Proxy_t::Call(std::uint32_t index, Stack_t& stack) {
  stack.PushU32(index);
  const bool oneWay = stack.IsOneWay();
  m_reference->Call(stack);
  if (oneWay) return;
  if (stack.PopU32() != index) throw Exception_t(GLO_SRC);
}

void RemoteReference_t::Call(Stack_t& stack) {
  stack.PushU32(m_key.interfaceId);
  stack.PushU32(m_key.instance);
  const bool oneWay = stack.IsOneWay();
  m_accessPoint->Call(stack);
  if (oneWay) return;
  const std::uint32_t instance = stack.PopU32();
  const std::uint32_t interfaceId = stack.PopU32();
  if (instance != m_key.instance || interfaceId != m_key.interfaceId) throw Exception_t(GLO_SRC);
}

}  // namespace dio
