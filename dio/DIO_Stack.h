#pragma once
// The byte stack of one cross-thread call. The caller pushes the arguments, the
// method index and the object key; the other side pops them in reverse order,
// pushes its reply and echoes the index and key back.
//
// Encodings (the same on both sides):
//   u32, u16    their bytes in memory order; popped as one block, so the value
//               comes back unchanged
//   string      the terminating NUL first, then the characters from the last to
//               the first (the first lies on top); popped up to and including the
//               NUL. Strings cannot carry NUL characters.
//   strings     each string from the last element to the first; popped until the
//               stack is empty
//   region      ioa::VmapRgnInfo_t: first as u16, second, third and kind as u32
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ioa/IOA_VmapRgnInfo.h"

namespace dio {

class DoneSignal_t;

class Stack_t {
 public:
  Stack_t() = default;
  Stack_t(Stack_t&&) noexcept = default;
  Stack_t& operator=(Stack_t&&) noexcept = default;
  Stack_t(const Stack_t&) = delete;
  Stack_t& operator=(const Stack_t&) = delete;

  void Push(const void* bytes, std::size_t count);
  // dio::Exception_t when fewer than 'count' bytes are left.
  void Pop(void* destination, std::size_t count);
  void PushString(const std::string& text);
  // dio::Exception_t when the stack runs out before a NUL.
  std::string PopString();
  bool IsEmpty() const { return m_bytes.empty(); }
  std::size_t Size() const { return m_bytes.size(); }

  void PushU32(std::uint32_t value) { Push(&value, sizeof value); }
  std::uint32_t PopU32();
  void PushU16(std::uint16_t value) { Push(&value, sizeof value); }
  std::uint16_t PopU16();
  void PushStrings(const std::vector<std::string>& list);
  std::vector<std::string> PopStrings();
  void PushRegion(const ioa::VmapRgnInfo_t& region);
  // glo::OutOfRange_t when the second value does not fit in 16 bits.
  ioa::VmapRgnInfo_t PopRegion();

  // A one-way call is not answered: the callee signals the caller as soon as it
  // has taken the arguments. Set before anything is pushed.
  void SetOneWay() { m_oneWay = true; }
  bool IsOneWay() const { return m_oneWay; }

  // Set by the access point that carries the call; a one-way stub signals it once
  // it has popped everything and then touches the stack no more.
  void SetDone(std::shared_ptr<DoneSignal_t> done, std::uint64_t ticket) {
    m_done = std::move(done);
    m_ticket = ticket;
  }
  bool HasDone() const { return m_done != nullptr; }
  // dio::Exception_t when no access point has set the signal.
  void SignalDone();

 private:
  std::vector<unsigned char> m_bytes;
  bool m_oneWay = false;
  std::shared_ptr<DoneSignal_t> m_done;
  std::uint64_t m_ticket = 0;
};

// Fails the call with dio::Exception_t at the caller's place when arguments are
// left on the stack after a stub has popped its own.
void CheckEmpty(const Stack_t& stack, const char* file, int line);

}  // namespace dio
