#pragma once
// Change notification of the GPS database: the database tells its broadcaster of
// every track inserted or erased and of the begin and end of every batch of
// changes; the broadcaster passes each notification on to its listeners.
#include <bitset>
#include <set>

#include "gdb/GDB_Key.h"

namespace gdb {

class Track_t;

// The bits of the change kinds of one batch (bit 2: tracks).
using ChangeMask_t = std::bitset<6>;

// Told of the changes of a GPS database. Every operation does nothing unless
// overridden.
class Listener_t {
 public:
  virtual ~Listener_t();
  virtual void OnTrackErased(const TrackId_t& key);
  // The track as it was passed to the insertion.
  virtual void OnTrackInserted(const TrackId_t& key, const Track_t& track);
  virtual void OnChangesBegin();
  virtual void OnChangesEnd(const ChangeMask_t& changes);
};

class Broadcaster_t {
 public:
  Broadcaster_t() = default;
  Broadcaster_t(const Broadcaster_t&) = delete;
  Broadcaster_t& operator=(const Broadcaster_t&) = delete;

  // Registers a listener (not owned). During a broadcast the change waits until
  // the broadcast has ended, so the running walk over the listeners is not
  // disturbed.
  void AddListener(Listener_t* listener);
  void RemoveListener(Listener_t* listener);

  // A disabled broadcaster passes nothing on.
  void Enable(bool enabled) { m_enabled = enabled; }
  bool IsEnabled() const { return m_enabled; }
  bool IsBroadcasting() const { return m_broadcasting; }

  // Each calls the listener operation of the same name on every listener. A
  // notification sent from inside another one (a listener that changes the
  // database) is glo::Assert_t.
  void NotifyTrackErased(const TrackId_t& key);
  void NotifyTrackInserted(const TrackId_t& key, const Track_t& track);
  void NotifyChangesBegin();
  void NotifyChangesEnd(const ChangeMask_t& changes);

 private:
  class Broadcast_t;

  template <typename Call_t>
  void Broadcast(Call_t call);

  bool m_broadcasting = false;
  std::set<Listener_t*> m_listeners;
  std::set<Listener_t*> m_pendingAdditions;
  std::set<Listener_t*> m_pendingRemovals;
  bool m_enabled = true;
};

}  // namespace gdb
