#pragma once
// Message boxes as a worker sees them: the interface, its user-interface
// implementation, the worker's proxy and the stub a dialog registers under {1, 1}.
#include <cstdint>
#include <string>

#include "dio/DIO_Reference.h"

namespace xfr {

class MessageBoxIntf_t {
 public:
  virtual ~MessageBoxIntf_t() = default;
  // Shows the text with the type flags (plat::kMb*) and returns the button's id.
  virtual std::uint32_t Show(const std::string& text, std::uint32_t type, std::uint32_t helpId) = 0;
  // Shows it and drops the answer; through a proxy the caller goes on as soon as
  // the dialog has taken the text.
  virtual void ShowOneWay(const std::string& text, std::uint32_t type, std::uint32_t helpId) = 0;
};

// The application's message box, captioned with the application's name.
class MessageBox_t : public MessageBoxIntf_t {
 public:
  std::uint32_t Show(const std::string& text, std::uint32_t type, std::uint32_t helpId) override;
  void ShowOneWay(const std::string& text, std::uint32_t type, std::uint32_t helpId) override {
    Show(text, type, helpId);
  }
};

class ProxyMessageBox_t : public MessageBoxIntf_t, public dio::Proxy_t {
 public:
  explicit ProxyMessageBox_t(dio::ReferenceIntf_t& reference) : dio::Proxy_t(reference) {}
  std::uint32_t Show(const std::string& text, std::uint32_t type, std::uint32_t helpId) override;
  void ShowOneWay(const std::string& text, std::uint32_t type, std::uint32_t helpId) override;
};

// Index 0 Show (answers the button id), 1 ShowOneWay (signals the caller once the
// arguments are taken, then shows). CallConst does the same as Call.
class MessageBoxRef_t : public dio::ReferenceIntf_t {
 public:
  explicit MessageBoxRef_t(MessageBoxIntf_t& box) : m_box(&box) {}
  void CallConst(dio::Stack_t& stack) override { Call(stack); }
  void Call(dio::Stack_t& stack) override;

 private:
  MessageBoxIntf_t* m_box;
};

}  // namespace xfr
