#pragma once
// Base class for objects that must not be copied (windows, dialogs, documents,
// registry key handles, progress objects...). Derive privately or publicly.

namespace glo {

class NonCopyable_t {
 protected:
  NonCopyable_t() = default;
  ~NonCopyable_t() = default;

 public:
  NonCopyable_t(const NonCopyable_t&) = delete;
  NonCopyable_t& operator=(const NonCopyable_t&) = delete;
};

}  // namespace glo
