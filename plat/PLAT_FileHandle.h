#pragma once
// Handles of the platform layer. A handle is a file descriptor owned by the
// holder: files, file mappings, events and threads all hand one out. Closing a
// handle closes that descriptor; duplicating it makes a new descriptor for the
// same object, so every holder closes its own. Events, threads and mappings carry
// a little state besides the descriptor (reset mode, the running thread, the
// mapping's size); it lives in a table keyed by the descriptor and is shared by
// all duplicates.
#include <memory>

namespace plat {

using Handle = int;
constexpr Handle kInvalidHandle = -1;

// Closes the handle; false (and last error) when it was not open.
bool CloseHandle(Handle handle);

// A new handle for the same object (close-on-exec); kInvalidHandle and last
// error on failure.
Handle DuplicateHandle(Handle handle);

namespace detail {

// State of an object shared by all handles to it.
struct KernelObject {
  enum Kind { kEvent, kThread, kMapping };
  explicit KernelObject(Kind k) : kind(k) {}
  virtual ~KernelObject() = default;
  bool Waitable() const { return kind != kMapping; }

  Kind kind;
  bool manualReset = true;  // auto-reset events lose their signal to the wait that sees it
};

// Registers the state of a freshly made handle.
void RegisterObject(Handle handle, std::shared_ptr<KernelObject> object);
// The state of a handle; null for plain files and unknown handles.
std::shared_ptr<KernelObject> FindObject(Handle handle);

}  // namespace detail

}  // namespace plat
