#include "dio/DIO_FatalDialog.h"

#include "dio/DIO_Exception.h"

namespace err {

ProxyFatalDialog_t::ProxyFatalDialog_t(dio::ReferenceIntf_t& reference, const char* sourceFile, int line,
                                       const std::string& message)
    : dio::Proxy_t(reference) {
  Show(sourceFile, line, message);
}

void ProxyFatalDialog_t::Show(const char* sourceFile, int line, const std::string& message) {
  dio::Stack_t stack;
  stack.PushString(sourceFile);
  stack.PushU32(static_cast<std::uint32_t>(line));
  stack.PushString(message);
  Call(0, stack);
  dio::CheckEmpty(stack, GLO_SRC);
}

void FatalDialogRef_t::Call(dio::Stack_t& stack) {
  const std::uint32_t index = stack.PopU32();
  if (index != 0) throw dio::Exception_t(GLO_SRC);
  const std::string message = stack.PopString();
  const int line = static_cast<int>(stack.PopU32());
  const std::string file = stack.PopString();
  dio::CheckEmpty(stack, GLO_SRC);
  m_report->Show(file.c_str(), line, message);
  if (!stack.IsOneWay()) stack.PushU32(index);
}

}  // namespace err
