#pragma once
// The application's side of the language module: where it lies and how it is
// loaded. The loading itself lives with the string resources (glo), so that every
// library that reads strings reaches it; these are the application's names for it.
#include <string>

#include "glo/GLO_StringResource.h"

namespace app {

// The full path of the running executable (any length).
const std::string& ModulePath();

// The executable's folder followed by "StridemereLogbook_LANG.dll".
const std::string& LanguageDllPath();

// The process's language module, loaded and checked (version 2.5.0.0) on the first
// call and kept; a missing module, one of another version or one that cannot be
// loaded throws win::Error_t, and the next call tries again.
glo::ResourceModule_t LoadLanguageDll();

// Checks and loads the module at 'path' alone, without making it the process's
// language module; the same failures as above.
glo::ResourceModule_t LoadLanguageDll(const std::string& path);

}  // namespace app
