#pragma once
// Database_t: the keyed store of GPS data: a table each of waypoints, routes and
// tracks, unique names for tracks, the change kinds of the current batch of
// changes with notification of listeners, and, when a journal records for it,
// undoable track insertions and erasures.
//
// A batch of changes opens with the first change after the change mask was clear
// (listeners are told, and a recording journal gets a start marker) and stays
// open until EndChanges, which the database never calls itself: the caller ends
// its batch, or the journal does when it replays the batch's start marker. A
// replayed batch thus reaches the listeners as one begin and one end, and the
// journal that records during the replay receives it as one transaction.
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "gdb/GDB_BasicTable.h"
#include "gdb/GDB_DatabaseBroadcaster.h"
#include "gdb/GDB_Key.h"
#include "gdb/GDB_Name.h"
#include "gdb/GDB_Route.h"
#include "gdb/GDB_Track.h"
#include "gdb/GDB_Waypoint.h"
#include "glo/GLO_AutoPtr.h"
#include "jnl/JNL_Journal.h"

namespace gdb {

class Database_t : public jnl::Database_t {
 public:
  using WaypointTable_t = BasicTable_t<WaypointId_t, Waypoint_t>;
  using RouteTable_t = BasicTable_t<RouteId_t, Route_t>;
  using TrackTable_t = BasicTable_t<TrackId_t, Track_t>;

  // The change kinds: bit positions of the change mask.
  static constexpr int Change_Tracks = 2;
  static constexpr int ChangeKindCount = 6;

  // An empty database; a size below 3 is glo::Assert_t.
  explicit Database_t(const Name_t& name = Name_t(), unsigned size = 3);
  ~Database_t() override;

  const WaypointTable_t& GetWaypoints() const { return m_waypoints; }
  const RouteTable_t& GetRoutes() const { return m_routes; }
  // Tracks are inserted and erased only through InsertTrack and EraseTrack.
  const TrackTable_t& GetTracks() const { return m_tracks; }

  // Inserts a copy of the track under the key. A track of that name (in any
  // case) throws KeyExists_t and changes nothing. Marks a track change, records
  // the reversing action in the recording journal and tells the listeners.
  TrackTable_t::const_iterator InsertTrack(const TrackId_t& key, const Track_t& track);
  // Erases the track of that name and answers the number erased (0 or 1); a
  // missing name changes nothing. Marks, records and tells as InsertTrack does.
  std::int32_t EraseTrack(const TrackId_t& key);
  // Gives the key a name that no track has: the name on entry, a blank and the
  // database's counter with at least three digits (Track 001, Track 002...).
  // The counter is never reset, so later calls go on with the next numbers.
  void MakeUniqueTrackName(TrackId_t& key);

  // Records a change of the kind (0 to 5; others throw std::out_of_range) in the
  // current batch, opening the batch when it is the first change.
  void MarkChanged(int kind);
  // Ends the open batch: tells the listeners its change kinds and closes the
  // recording journal's transaction. Nothing when no batch is open.
  void EndChanges();
  const ChangeMask_t& GetChanges() const { return m_changes; }

  Broadcaster_t& GetBroadcaster() { return m_broadcaster; }

  // The track key held by the user of the database, dropped when that track is
  // erased; none at first.
  void HoldTrackKey(const TrackId_t& key);
  const TrackId_t* GetHeldTrackKey() const { return m_heldTrackKey.Get(); }

  const Name_t& GetName() const { return m_name; }
  unsigned GetSize() const { return m_size; }

 private:
  // An identity record of the device's data, kept for the life of the database.
  struct KeyRecord_t {
    std::string text1;
    std::string text2;
    std::string text3;
    std::vector<std::uint8_t> bytes;
    bool operator<(const KeyRecord_t& other) const;
  };

  WaypointTable_t m_waypoints;
  RouteTable_t m_routes;
  TrackTable_t m_tracks;
  std::vector<std::pair<RouteId_t, std::uint8_t>> m_routeKeys;
  std::set<KeyRecord_t> m_keyRecords;
  std::vector<std::pair<std::string, std::uint8_t>> m_texts;
  ChangeMask_t m_changes;
  Broadcaster_t m_broadcaster;
  glo::AutoPtr_t<TrackId_t> m_heldTrackKey;
  std::int32_t m_waypointNameCounter = 1;
  std::int32_t m_routeNameCounter = 1;
  std::int32_t m_trackNameCounter = 1;
  Name_t m_name;
  unsigned m_size;
};

}  // namespace gdb
