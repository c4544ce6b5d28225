#include "dio/DIO_LocalAccessPoint.h"

#include "dio/DIO_Exception.h"
#include "dio/DIO_UIAccessPoint.h"

namespace dio {

void LocalAccessPoint_t::Register(ObjectKey_t key, ReferenceIntf_t& stub) {
  if (!m_stubs.emplace(key, &stub).second) throw Exception_t(GLO_SRC);
}

void LocalAccessPoint_t::Call(Stack_t& stack) {
  ObjectKey_t key;
  key.instance = stack.PopU32();
  key.interfaceId = stack.PopU32();
  const auto it = m_stubs.find(key);
  if (it == m_stubs.end()) throw Exception_t(GLO_SRC);
  const bool oneWay = stack.IsOneWay();
  it->second->Call(stack);
  if (oneWay) return;
  stack.PushU32(key.interfaceId);
  stack.PushU32(key.instance);
}

void UIServer_t::Dispatch(plat::WPARAM wParam, plat::LPARAM /*lParam*/) {
  const std::shared_ptr<CallRecord_t> record = TakeQueuedCall(static_cast<std::uint64_t>(wParam));
  if (record == nullptr) return;  // abandoned by its worker
  Dispatch(&record->stack);
}

void UIServer_t::Dispatch(Stack_t* stack) {
  if (stack == nullptr || !stack->HasDone()) throw Exception_t(GLO_SRC);
  const bool oneWay = stack->IsOneWay();
  m_local->Call(*stack);
  if (!oneWay) stack->SignalDone();
}

}  // namespace dio
