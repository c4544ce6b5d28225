#pragma once
// The fatal-error report across threads: the worker's proxy and the stub that a
// serving dialog registers under {2, 1} over a report object of its own.
#include <string>

#include "dio/DIO_Reference.h"
#include "err/ERR_FatalDialog.h"

namespace err {

// Shows the report through the reference at once, as constructing the report
// object of the user-interface thread does.
class ProxyFatalDialog_t : public FatalDialogIntf_t, public dio::Proxy_t {
 public:
  ProxyFatalDialog_t(dio::ReferenceIntf_t& reference, const char* sourceFile, int line,
                     const std::string& message);
  void Show(const char* sourceFile, int line, const std::string& message) override;
};

// Index 0 (Show) only, for Call and CallConst alike.
class FatalDialogRef_t : public dio::ReferenceIntf_t {
 public:
  explicit FatalDialogRef_t(FatalDialogIntf_t& report) : m_report(&report) {}
  void CallConst(dio::Stack_t& stack) override { Call(stack); }
  void Call(dio::Stack_t& stack) override;

 private:
  FatalDialogIntf_t* m_report;
};

}  // namespace err
