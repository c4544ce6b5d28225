#include "app/ApplicationInfo.h"

#include <mutex>

#include "app/ResourceHandle.h"
#include "glo/GLO_StringResource.h"
#include "win/WIN_FileVerInfo.h"

// The label this build carries; the shipped build is a release build.
#ifndef STRIDE_BUILD_LABEL
#define STRIDE_BUILD_LABEL ::glo::ReleaseLabel
#endif

namespace app {

namespace {

// The executable's own version block, kept for the run.
const win::FileVerInfo_t& ExecutableVersionInfo() {
  static const win::FileVerInfo_t info(ModulePath());
  return info;
}

std::mutex& FailureMutex() {
  static std::mutex mutex;
  return mutex;
}

std::exception_ptr& KeptFailure() {
  static std::exception_ptr failure;
  return failure;
}

}  // namespace

const glo::ApplicationInfo_t& GetApplicationInfo() {
  static const glo::ApplicationInfo_t info = [] {
    const win::FileVerInfo_t& exe = ExecutableVersionInfo();
    const glo::StringResource_t name(190, GLO_SRC);
    return glo::ApplicationInfo_t(name.Text(), {2, 5, 0, 0}, __DATE__, __TIME__, STRIDE_BUILD_LABEL,
                                  exe.ClassNameGuid());
  }();
  return info;
}

const glo::ApplicationInfo_t* TryGetApplicationInfo() noexcept {
  try {
    const glo::ApplicationInfo_t& info = GetApplicationInfo();
    std::lock_guard<std::mutex> lock(FailureMutex());
    KeptFailure() = nullptr;
    return &info;
  } catch (...) {
    try {
      std::lock_guard<std::mutex> lock(FailureMutex());
      KeptFailure() = std::current_exception();
    } catch (...) {
    }
    return nullptr;
  }
}

std::exception_ptr ApplicationInfoFailure() noexcept {
  try {
    std::lock_guard<std::mutex> lock(FailureMutex());
    return KeptFailure();
  } catch (...) {
    return nullptr;
  }
}

}  // namespace app
