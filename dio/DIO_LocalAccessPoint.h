#pragma once
// The user-interface side: the stubs a dialog serves, by object key, and the
// dispatcher that runs a call message against them.
#include <cstdint>
#include <map>

#include "dio/DIO_Reference.h"
#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_Window.h"

namespace dio {

// Does not own the stubs.
class LocalAccessPoint_t : public AccessPointIntf_t, glo::NonCopyable_t {
 public:
  // dio::Exception_t when the key is registered already.
  void Register(ObjectKey_t key, ReferenceIntf_t& stub);
  // Forgets the key (nothing when it is not registered).
  void Unregister(ObjectKey_t key) { m_stubs.erase(key); }
  // Pops the key, runs the stub's Call and, unless one-way, pushes the key back.
  // dio::Exception_t for a key that is not registered.
  void Call(Stack_t& stack) override;

 private:
  std::map<ObjectKey_t, ReferenceIntf_t*> m_stubs;
};

class UIServer_t {
 public:
  explicit UIServer_t(LocalAccessPoint_t& local) : m_local(&local) {}
  virtual ~UIServer_t() = default;

  // Runs the call of a message kCallMessage (its two parameters as they came).
  // A call whose worker has given up meanwhile is dropped unrun. Exceptions of the
  // stub or the object leave here, and the worker then waits until it is stopped.
  virtual void Dispatch(plat::WPARAM wParam, plat::LPARAM lParam);

  // For a window's message handler: runs the call of a message kCallMessage and
  // answers 0 (true); other messages are left to the window (false).
  bool HandleMessage(unsigned message, plat::WPARAM wParam, plat::LPARAM lParam, plat::LRESULT& result) {
    if (message != kCallMessage) return false;
    Dispatch(wParam, lParam);
    result = 0;
    return true;
  }

  // Runs one stack: dio::Exception_t when it or its done signal is missing; unless
  // one-way, signals the done signal once the reply is complete.
  void Dispatch(Stack_t* stack);

 private:
  LocalAccessPoint_t* m_local;
};

}  // namespace dio
