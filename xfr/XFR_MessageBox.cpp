#include "xfr/XFR_MessageBox.h"

#include "dio/DIO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "plat/PLAT_MessageBox.h"

namespace xfr {

std::uint32_t MessageBox_t::Show(const std::string& text, std::uint32_t type, std::uint32_t /*helpId*/) {
  return static_cast<std::uint32_t>(plat::MessageBox(nullptr, text, glo::StringResource_t(190, GLO_SRC).Text(), type));
}

namespace {

void PushArguments(dio::Stack_t& stack, const std::string& text, std::uint32_t type, std::uint32_t helpId) {
  stack.PushString(text);
  stack.PushU32(type);
  stack.PushU32(helpId);
}

}  // namespace

std::uint32_t ProxyMessageBox_t::Show(const std::string& text, std::uint32_t type, std::uint32_t helpId) {
  dio::Stack_t stack;
  PushArguments(stack, text, type, helpId);
  Call(0, stack);
  const std::uint32_t answer = stack.PopU32();
  dio::CheckEmpty(stack, GLO_SRC);
  return answer;
}

void ProxyMessageBox_t::ShowOneWay(const std::string& text, std::uint32_t type, std::uint32_t helpId) {
  dio::Stack_t stack;
  stack.SetOneWay();
  PushArguments(stack, text, type, helpId);
  Call(1, stack);
}

void MessageBoxRef_t::Call(dio::Stack_t& stack) {
  const bool oneWay = stack.IsOneWay();
  const std::uint32_t index = stack.PopU32();
  if (index > 1) throw dio::Exception_t(GLO_SRC);
  const std::uint32_t helpId = stack.PopU32();
  const std::uint32_t type = stack.PopU32();
  const std::string text = stack.PopString();
  dio::CheckEmpty(stack, GLO_SRC);
  if (index == 1) {
    // The caller may go on (and drop its stack) from here on.
    stack.SignalDone();
    m_box->ShowOneWay(text, type, helpId);
    return;
  }
  const std::uint32_t answer = m_box->Show(text, type, helpId);
  stack.PushU32(answer);
  if (!oneWay) stack.PushU32(index);
}

}  // namespace xfr
