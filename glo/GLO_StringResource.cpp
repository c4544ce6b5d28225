#include "glo/GLO_StringResource.h"

#include <atomic>
#include <mutex>
#include <vector>

#include "glo/GLO_StringReplace.h"
#include "plat/PLAT_Error.h"
#include "plat/PLAT_Module.h"
#include "plat/PLAT_VersionInfo.h"

namespace glo {

namespace {

// The loaded module: set once, never cleared.
std::atomic<ResourceModule_t> g_module{nullptr};

std::mutex& LoadMutex() {
  static std::mutex mutex;
  return mutex;
}

// The message of a loading failure, in the form of a failed system call.
std::string FailureText(unsigned long code) {
  std::string text;
  if (!plat::FormatMessage(code, text)) text = "No system text is known for this code.\r\n";
  return "Windows Error Code: " + std::to_string(code) + "\n" + text;
}

}  // namespace

const std::string& LanguageModulePath() {
  static const std::string path = plat::ModuleDir() + "/" + kLanguageModuleName;
  return path;
}

bool TryLoadLanguageModule(const std::string& path, ResourceModule_t& module,
                           ResourceFailure_t& failure) noexcept {
  try {
    // A missing file or a file without version block fails here.
    std::vector<unsigned char> block;
    if (!plat::ReadVersionBlock(path, block)) {
      failure = {GLO_SRC, plat::GetLastError()};
      return false;
    }
    // The module must carry exactly the version this program was built for.
    unsigned version[4];
    if (!plat::QueryFileVersion(block, version)) {
      failure = {GLO_SRC, plat::GetLastError()};
      return false;
    }
    for (int i = 0; i < 4; ++i) {
      if (version[i] != kLanguageModuleVersion[i]) {
        failure = {GLO_SRC, plat::kErrorRevisionMismatch};
        return false;
      }
    }
    const ResourceModule_t loaded = plat::LoadResourceModule(path);
    if (!loaded) {
      failure = {GLO_SRC, plat::GetLastError()};
      return false;
    }
    module = loaded;
    return true;
  } catch (...) {
    failure = {GLO_SRC, plat::kErrorNotEnoughMemory};
    return false;
  }
}

bool TryGetResourceModule(ResourceModule_t& module, ResourceFailure_t& failure) noexcept {
  module = g_module.load(std::memory_order_acquire);
  if (module) return true;
  try {
    std::lock_guard<std::mutex> lock(LoadMutex());
    module = g_module.load(std::memory_order_acquire);
    if (module) return true;
    if (!TryLoadLanguageModule(LanguageModulePath(), module, failure)) return false;
    g_module.store(module, std::memory_order_release);
    return true;
  } catch (...) {
    // Only the path or the lock can fail here, and only for want of resources.
    failure = {GLO_SRC, plat::kErrorNotEnoughMemory};
    return false;
  }
}

bool ReadString(ResourceModule_t module, unsigned id, std::string& text) {
  // A text that comes within 2 characters of filling the buffer may have been cut:
  // read it again with a larger buffer until it leaves at least 3 unused.
  std::vector<char> buffer;
  for (size_t size = 256;; size += 256) {
    buffer.resize(size);
    size_t copied = 0;
    if (!plat::LoadString(module, id, buffer.data(), buffer.size(), copied)) return false;
    if (size - copied > 2) {
      text.assign(buffer.data(), copied);
      return true;
    }
  }
}

std::string LoadStringResource(unsigned id, const char* file, int line) {
  ResourceModule_t module = nullptr;
  ResourceFailure_t failure;
  if (!TryGetResourceModule(module, failure))
    throw Exception_t(failure.file, failure.line, FailureText(failure.code));
  std::string text;
  if (!ReadString(module, id, text)) throw Exception_t(file, line, ErrorText());
  return text;
}

std::string StringResource_t::FormatArgs(const std::vector<std::string>& arguments, const char* file,
                                         int line) const {
  return StringReplace(m_text, arguments, file, line);
}

std::string StringResource_t::Format(const std::string& argument, const char* file, int line) const {
  return StringReplace(m_text, std::vector<std::string>{argument}, file, line);
}

// The text of an invalid input is a string of the language module.
InvalidInput_t::InvalidInput_t(unsigned stringId, const char* file, int line)
    : Exception_t(file, line, std::string()), m_text(LoadStringResource(stringId, file, line)) {}

}  // namespace glo
