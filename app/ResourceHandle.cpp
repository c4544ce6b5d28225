#include "app/ResourceHandle.h"

#include "plat/PLAT_Module.h"
#include "win/WIN_Exception.h"

namespace app {

const std::string& ModulePath() {
  static const std::string path = plat::ModulePath();
  return path;
}

const std::string& LanguageDllPath() { return glo::LanguageModulePath(); }

glo::ResourceModule_t LoadLanguageDll() { return glo::GetResourceModule(); }

glo::ResourceModule_t LoadLanguageDll(const std::string& path) {
  glo::ResourceModule_t module = nullptr;
  glo::ResourceFailure_t failure;
  if (!glo::TryLoadLanguageModule(path, module, failure)) throw win::Error_t(failure.file, failure.line, failure.code);
  return module;
}

}  // namespace app
