#pragma once
// Channel_t: the application-layer channel with the track log download. The
// base negotiates products and protocols in its constructor; DownloadTracks
// then fetches the unit's track log under A300, A301 or (when enabled) A302
// and stores every track in a GPS database, advancing the transfer's progress
// in its track phase.
#include <cstdint>
#include <list>
#include <memory>
#include <utility>

#include "gdb/GDB_Database.h"
#include "gdb/GDB_Key.h"
#include "gdb/GDB_Track.h"
#include "ioa/IOA_Channel.h"
#include "ioa/IOA_ProtocolId.h"
#include "iog/IOG_TrackHeader.h"
#include "iog/IOG_TrackPoint.h"
#include "iol/IOL_Link.h"
#include "thr/THR_Progress.h"

namespace iog {

class Channel_t : public ioa::Channel_t {
 public:
  using Progress_t = thr::PhasedProgress_t<ioa::Phase_t>;
  // Tracks whose names are not valid text, stored after all others.
  using Deferred_t = std::list<std::pair<gdb::TrackId_t, gdb::Track_t>>;

  // Negotiates with the unit on the link (see ioa::Channel_t); A302 stays off.
  explicit Channel_t(iol::Link_t& link);
  ~Channel_t() override;

  // Allows the download under A302.
  void EnableA302() { m_a302Enabled = true; }
  bool IsA302Enabled() const { return m_a302Enabled; }

  // Downloads the whole track log into the database under the first track
  // protocol the unit lists (A300, then A301, then A302 when enabled); nothing
  // is sent when it lists none. Requires A010 (ioa::Exception_t otherwise).
  void DownloadTracks(gdb::Database_t& database, Progress_t& progress);
  // The point-only log: a new-track flag starts the next track; the tracks are
  // named "Track 001", "Track 002", ...
  void DownloadTracksA300(gdb::Database_t& database, Progress_t& progress);
  // The log of headers and points under A301 or A302. Under A301 a new-track
  // flag inside a track starts the next track of the same header; under A302
  // it does not (the laps refer to the whole track by its index).
  void DownloadTracksA301(gdb::Database_t& database, const ioa::ProtocolId_t& protocol, Progress_t& progress);

  // The point type of the data type after A300; false when the unit lists no A300.
  bool SelectA300Types(std::unique_ptr<TrackPoint_t>& point) const;
  // The header and point types of the two data types after the protocol; false
  // when the unit does not list it.
  bool SelectA301Types(const ioa::ProtocolId_t& protocol, std::unique_ptr<TrackHeader_t>& header,
                       std::unique_ptr<TrackPoint_t>& point) const;
  // A new record of the data type: position (0, 0), time 0, floats absent, flag
  // clear; D310 with flag 0, colour 255 and no identifier; D311 with index 0.
  // A tag other than 'D' is glo::Assert_t; an unknown number
  // ioa::Channel_t::DataTypeNotFound_t.
  static std::unique_ptr<TrackPoint_t> MakeTrackPointType(const ioa::ProtocolId_t& dataType);
  static std::unique_ptr<TrackHeader_t> MakeTrackHeaderType(const ioa::ProtocolId_t& dataType);

  // Stores the track at once when its name is valid text, else defers it.
  void StoreTrack(const ioa::ProtocolId_t& protocol, const gdb::TrackId_t& key, const gdb::Track_t& track,
                  gdb::Database_t& database, Deferred_t& deferred);
  // Inserts the track: under A301 with a unique variant of the key; under A302
  // under the key, renamed by the database first when a track of that name is
  // already there (an index the unit repeats).
  void AddTrack(const ioa::ProtocolId_t& protocol, const gdb::TrackId_t& key, const gdb::Track_t& track,
                gdb::Database_t& database);
  // The key itself when no track has its name, else the first free of
  // "name 001", "name 002", ...
  static gdb::TrackId_t MakeUniqueTrackId(const gdb::Database_t& database, const gdb::TrackId_t& key);

 private:
  bool m_a302Enabled = false;
};

}  // namespace iog
