#pragma once
// Owner of one system handle (file, event, thread); kInvalidHandle when empty.
#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_FileHandle.h"

namespace win {

class Handle_t : glo::NonCopyable_t {
 public:
  Handle_t() noexcept : m_handle(plat::kInvalidHandle) {}
  explicit Handle_t(plat::Handle handle) noexcept : m_handle(handle) {}
  ~Handle_t() { Close(); }

  // Closes the held handle (its result is not checked) and leaves the holder
  // empty; does nothing when it is empty.
  void Close() noexcept;

  // Takes ownership of 'handle', closing the one held before.
  void Attach(plat::Handle handle) noexcept;

  // Makes this empty holder own a duplicate of the source's handle
  // (win::Error_t on failure, glo::Assert_t when this holder is not empty).
  void Duplicate(const Handle_t& source);

  plat::Handle Get() const noexcept { return m_handle; }
  bool IsValid() const noexcept { return m_handle != plat::kInvalidHandle; }

 private:
  plat::Handle m_handle;
};

}  // namespace win
