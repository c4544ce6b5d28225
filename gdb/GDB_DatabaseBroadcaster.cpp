#include "gdb/GDB_DatabaseBroadcaster.h"

#include "glo/GLO_Exception.h"

namespace gdb {

// ---- Listener_t ----

Listener_t::~Listener_t() = default;

void Listener_t::OnTrackErased(const TrackId_t&) {}

void Listener_t::OnTrackInserted(const TrackId_t&, const Track_t&) {}

void Listener_t::OnChangesBegin() {}

void Listener_t::OnChangesEnd(const ChangeMask_t&) {}

// ---- Broadcaster_t ----

// Marks a broadcast as running for its lifetime. At its end, also when a
// listener throws, the broadcast is over and the registrations that waited for
// it are carried out, so one failing listener does not block every later
// notification.
class Broadcaster_t::Broadcast_t {
 public:
  explicit Broadcast_t(Broadcaster_t& b) : m_b(b) {
    if (m_b.m_broadcasting) throw glo::Assert_t(GLO_SRC);
    m_b.m_broadcasting = true;
    m_b.m_pendingAdditions.clear();
    m_b.m_pendingRemovals.clear();
  }
  Broadcast_t(const Broadcast_t&) = delete;
  Broadcast_t& operator=(const Broadcast_t&) = delete;
  ~Broadcast_t() {
    m_b.m_broadcasting = false;
    try {
      for (Listener_t* l : m_b.m_pendingAdditions) m_b.m_listeners.insert(l);
      for (Listener_t* l : m_b.m_pendingRemovals) m_b.m_listeners.erase(l);
    } catch (...) {
      // Out of memory while registering: the registration is lost, nothing else.
    }
    m_b.m_pendingAdditions.clear();
    m_b.m_pendingRemovals.clear();
  }

 private:
  Broadcaster_t& m_b;
};

void Broadcaster_t::AddListener(Listener_t* listener) {
  if (m_broadcasting) {
    m_pendingRemovals.erase(listener);
    m_pendingAdditions.insert(listener);
  } else {
    m_listeners.insert(listener);
  }
}

void Broadcaster_t::RemoveListener(Listener_t* listener) {
  if (m_broadcasting) {
    m_pendingAdditions.erase(listener);
    m_pendingRemovals.insert(listener);
  } else {
    m_listeners.erase(listener);
  }
}

template <typename Call_t>
void Broadcaster_t::Broadcast(Call_t call) {
  if (!m_enabled) return;
  Broadcast_t running(*this);
  for (Listener_t* listener : m_listeners) call(*listener);
}

void Broadcaster_t::NotifyTrackErased(const TrackId_t& key) {
  Broadcast([&](Listener_t& l) { l.OnTrackErased(key); });
}

void Broadcaster_t::NotifyTrackInserted(const TrackId_t& key, const Track_t& track) {
  Broadcast([&](Listener_t& l) { l.OnTrackInserted(key, track); });
}

void Broadcaster_t::NotifyChangesBegin() {
  Broadcast([](Listener_t& l) { l.OnChangesBegin(); });
}

void Broadcaster_t::NotifyChangesEnd(const ChangeMask_t& changes) {
  Broadcast([&](Listener_t& l) { l.OnChangesEnd(changes); });
}

}  // namespace gdb
