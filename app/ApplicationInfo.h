#pragma once
// The process-wide application information.
#include <exception>

#include "glo/GLO_ApplicationInfo.h"

namespace app {

// Built on first use: the name from string 190 of the language module (this first
// string read loads the module), version 2.5.0.0, the build date, time and label,
// and the class name from the executable's own version block ("ClassNameGuid").
// A failure (missing or wrong language module, no version block) throws, and the
// next call tries again.
const glo::ApplicationInfo_t& GetApplicationInfo();

// For constructors of static objects, which must not throw: the information, or
// null when it cannot be built; the failure is then kept for
// ApplicationInfoFailure(), so that the application's initialisation can report it.
const glo::ApplicationInfo_t* TryGetApplicationInfo() noexcept;

// The failure of the latest TryGetApplicationInfo() that gave null, or null.
std::exception_ptr ApplicationInfoFailure() noexcept;

}  // namespace app
