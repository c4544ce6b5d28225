#pragma once
// The two ends of a cross-thread call: a reference runs a prepared stack against
// one object, an access point carries a stack to the other side.
#include <cstdint>

#include "dio/DIO_Stack.h"

namespace dio {

// The message that carries calls to a dialog (WM_APP + 1).
constexpr unsigned kCallMessage = 0x8001;

// The object a call is for: interface id, then instance (always 1 here).
struct ObjectKey_t {
  std::uint32_t interfaceId = 0;
  std::uint32_t instance = 1;

  friend bool operator<(const ObjectKey_t& a, const ObjectKey_t& b) {
    return a.interfaceId != b.interfaceId ? a.interfaceId < b.interfaceId : a.instance < b.instance;
  }
  friend bool operator==(const ObjectKey_t& a, const ObjectKey_t& b) = default;
};

// The interfaces reached across threads.
enum : std::uint32_t {
  kMessageBoxInterface = 1,
  kFatalDialogInterface = 2,
  kProgressDlgInterface = 3,
  kGpsDetectDlgInterface = 4,
};

class AccessPointIntf_t {
 public:
  virtual ~AccessPointIntf_t() = default;
  // Returns when the call has run on the other side (a one-way call: when the
  // other side has taken its arguments).
  virtual void Call(Stack_t& stack) = 0;
};

class ReferenceIntf_t {
 public:
  virtual ~ReferenceIntf_t() = default;
  virtual void CallConst(Stack_t& stack) = 0;
  virtual void Call(Stack_t& stack) = 0;
};

// The worker's reference to one object of the user-interface thread; the access
// point is not owned. CallConst and Call do the same.
class RemoteReference_t : public ReferenceIntf_t {
 public:
  RemoteReference_t(ObjectKey_t key, AccessPointIntf_t& accessPoint) : m_key(key), m_accessPoint(&accessPoint) {}
  void CallConst(Stack_t& stack) override { Call(stack); }
  // Pushes the key (interface id, instance), carries the stack over and, unless
  // one-way, checks that the key comes back unchanged.
  void Call(Stack_t& stack) override;

 private:
  ObjectKey_t m_key;
  AccessPointIntf_t* m_accessPoint;
};

// Second base of every proxy: calls a method by index through the reference.
class Proxy_t {
 public:
  explicit Proxy_t(ReferenceIntf_t& reference) : m_reference(&reference) {}

 protected:
  // Pushes the index, calls, and unless one-way checks the echoed index; a reply
  // is then left on the stack for the proxy method to pop.
  void Call(std::uint32_t index, Stack_t& stack);

 private:
  ReferenceIntf_t* m_reference;
};

}  // namespace dio
