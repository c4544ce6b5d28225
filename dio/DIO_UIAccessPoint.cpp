#include "dio/DIO_UIAccessPoint.h"

#include <mutex>
#include <unordered_map>

#include "dio/DIO_Exception.h"
#include "plat/PLAT_Error.h"
#include "plat/PLAT_Event.h"
#include "win/WIN_Exception.h"

namespace dio {

namespace {

// Calls posted and not yet taken by a dispatcher, by ticket.
struct Queue_t {
  std::mutex mutex;
  std::unordered_map<std::uint64_t, std::shared_ptr<CallRecord_t>> calls;
  std::uint64_t lastTicket = 0;
};

Queue_t& TheQueue() {
  static Queue_t* queue = new Queue_t;  // lives until the process ends, workers included
  return *queue;
}

// Queues the record under a new ticket, which its stack's done signal names.
std::uint64_t Enqueue(const std::shared_ptr<CallRecord_t>& record, const std::shared_ptr<DoneSignal_t>& done) {
  Queue_t& q = TheQueue();
  std::lock_guard<std::mutex> lock(q.mutex);
  const std::uint64_t ticket = ++q.lastTicket;
  record->stack.SetDone(done, ticket);
  q.calls.emplace(ticket, record);
  return ticket;
}

// Marks the call abandoned: the dispatcher will find nothing under its ticket.
void Abandon(std::uint64_t ticket) {
  Queue_t& q = TheQueue();
  std::lock_guard<std::mutex> lock(q.mutex);
  q.calls.erase(ticket);
}

}  // namespace

std::shared_ptr<CallRecord_t> TakeQueuedCall(std::uint64_t ticket) {
  Queue_t& q = TheQueue();
  std::lock_guard<std::mutex> lock(q.mutex);
  const auto it = q.calls.find(ticket);
  if (it == q.calls.end()) return nullptr;
  std::shared_ptr<CallRecord_t> record = std::move(it->second);
  q.calls.erase(it);
  return record;
}

UIAccessPoint_t::UIAccessPoint_t(plat::HWND window, unsigned message, plat::Handle stopEvent)
    : m_window(window), m_message(message), m_done(std::make_shared<DoneSignal_t>()) {
  const plat::Handle h = plat::DuplicateHandle(stopEvent);
  if (h == plat::kInvalidHandle) throw win::Error_t(GLO_SRC);
  m_stopEvent.Attach(h);
}

UIAccessPoint_t::UIAccessPoint_t(const UIAccessPoint_t& other)
    : AccessPointIntf_t(), m_window(other.m_window), m_message(other.m_message),
      m_done(std::make_shared<DoneSignal_t>()) {
  m_stopEvent.Duplicate(other.m_stopEvent);
}

UIAccessPoint_t::~UIAccessPoint_t() = default;

void UIAccessPoint_t::Call(Stack_t& stack) {
  auto record = std::make_shared<CallRecord_t>();
  record->stack = std::move(stack);
  const bool oneWay = record->stack.IsOneWay();
  const std::uint64_t ticket = Enqueue(record, m_done);
  if (!plat::PostMessage(m_window, m_message, static_cast<plat::WPARAM>(ticket), 0)) {
    const unsigned long code = plat::GetLastError();
    Abandon(ticket);
    plat::SetLastError(code);
    throw WindowsError_t(GLO_SRC);
  }
  const plat::Handle objects[2] = {m_done->Handle(), m_stopEvent.Get()};
  for (;;) {
    const unsigned long r = plat::WaitForMultipleObjects(2, objects, false, plat::kInfinite);
    if (r == plat::kWaitObject0) {
      // A signal left by an abandoned earlier call is not this call's answer.
      if (!m_done->IsDone(ticket)) continue;
      // The other side touches a one-way stack no more after the signal, and
      // leaves a two-way one with its reply before it.
      if (!oneWay) stack = std::move(record->stack);
      return;
    }
    if (r == plat::kWaitObject0 + 1) {
      Abandon(ticket);
      throw glo::Terminate_t(GLO_SRC);
    }
    throw Exception_t(GLO_SRC);
  }
}

}  // namespace dio
