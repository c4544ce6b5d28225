#pragma once
// The program's last-resort catch chain: every exception that would end
// start-up or escape the message loop is shown in the fatal-error report. A
// program exception carries its own source place and text; every other type
// is reported with the place of its handler here and the text its what()
// gives; a type outside the chain with an empty text.
#include <functional>
#include <string>

#include "err/ERR_FatalDialog.h"

namespace app {

// Reports the exception being handled; call it only inside a catch block.
// A report that fails itself is swallowed (it has written what it could).
void ReportCaughtException(err::FatalDialogIntf_t& report) noexcept;

// The text for the user of the exception being handled (call it only inside
// a catch block): a program exception's message (its source place when it has
// none; the explanation of unusable input), else what() of a standard one.
std::string CaughtExceptionText() noexcept;

// Runs 'body'; true when it ended normally, false when an exception left it
// and was reported.
bool RunInCatchChain(const std::function<void()>& body, err::FatalDialogIntf_t& report);

}  // namespace app
