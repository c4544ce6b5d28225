#pragma once
// String resources of the language module "StridemereLogbook_LANG.dll", the shared
// object beside the executable that holds every user-visible text by numeric id.
//
// The module is loaded by the first string read of the run, must carry file
// version 2.5.0.0, and stays loaded until the process ends.
//
// Two ways to read a string:
//   glo::StringResource_t(id, GLO_SRC)      a missing string, or a module that cannot
//                                           be loaded, throws win::Error_t. The thrown
//                                           type belongs to the win library, so this
//                                           class serves code of that library and above.
//   glo::LoadStringResource(id, GLO_SRC)    a missing string throws glo::Exception_t
//                                           with the system text of the error; the
//                                           one to use inside the glo library itself.
// Both take the caller's source file and line for the error report.
#include <string>
#include <vector>

#include "glo/GLO_Exception.h"
#include "plat/PLAT_Module.h"
#include "win/WIN_Exception.h"

namespace glo {

using ResourceModule_t = plat::ModuleHandle;

// The file name of the language module and the file version it must carry.
inline constexpr const char kLanguageModuleName[] = "StridemereLogbook_LANG.dll";
inline constexpr unsigned kLanguageModuleVersion[4] = {2, 5, 0, 0};

// Where and why loading the language module (or a string of it) failed: the source
// place of the failed check and the error code.
struct ResourceFailure_t {
  const char* file = "";
  int line = 0;
  unsigned long code = 0;
};

// Full path of the language module: the executable's folder and kLanguageModuleName.
const std::string& LanguageModulePath();

// Checks the version block of the module at 'path' (all four numbers of
// kLanguageModuleVersion) and loads it. Never throws: false with the failure.
bool TryLoadLanguageModule(const std::string& path, ResourceModule_t& module,
                           ResourceFailure_t& failure) noexcept;

// The process's language module, loaded from LanguageModulePath() on the first
// successful call and kept. A failed call keeps nothing, so the next call tries
// again. Never throws.
bool TryGetResourceModule(ResourceModule_t& module, ResourceFailure_t& failure) noexcept;

// The process's language module; a module that is missing, of another version or
// that cannot be loaded throws win::Error_t at the place of the failed check.
inline ResourceModule_t GetResourceModule() {
  ResourceModule_t module = nullptr;
  ResourceFailure_t failure;
  if (!TryGetResourceModule(module, failure)) throw win::Error_t(failure.file, failure.line, failure.code);
  GLO_ASSERT(module != nullptr);
  return module;
}

// Reads string 'id' of a module whole: first into 256 characters, then into a
// buffer 256 characters larger each time the text comes within 2 characters of
// filling it. False with last error 1814 when the module lacks the string.
bool ReadString(ResourceModule_t module, unsigned id, std::string& text);

// The second loading function: the text of string 'id' of the language module. A
// missing string throws glo::Exception_t at (file, line) with the system text of
// the error (glo::ErrorText); a module that cannot be loaded throws glo::Exception_t
// at the failed check with "Windows Error Code: <code>" and the system text.
std::string LoadStringResource(unsigned id, const char* file, int line);

// A string resource: its id and its text as loaded.
class StringResource_t {
 public:
  // Loads string 'id'; a string the module lacks throws win::Error_t at the
  // caller's (file, line) with error 1814.
  StringResource_t(int id, const char* file, int line) : m_id(id) {
    const ResourceModule_t module = GetResourceModule();
    if (!ReadString(module, static_cast<unsigned>(id), m_text)) throw win::Error_t(file, line);
  }

  int Id() const { return m_id; }
  const std::string& Text() const { return m_text; }
  operator const std::string&() const { return m_text; }

  // The text with "%0", "%1"... replaced by the arguments of those numbers and
  // "%%" by "%" (glo::StringReplace); a template that does not match the arguments
  // throws glo::Assert_t, at the caller's (file, line) where that is the fault's place.
  std::string FormatArgs(const std::vector<std::string>& arguments, const char* file, int line) const;
  // The same with the single argument "%0".
  std::string Format(const std::string& argument, const char* file, int line) const;

 private:
  int m_id;
  std::string m_text;
};

}  // namespace glo
