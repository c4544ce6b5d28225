#include "iog/IOG_Channel.h"

#include <cstdio>
#include <string>

#include "glo/GLO_Exception.h"
#include "glo/GLO_MBString.h"
#include "ioa/IOA_Int16.h"

namespace iog {

namespace {


const ioa::ProtocolId_t kA010{'A', 10};
const ioa::ProtocolId_t kA300{'A', 300};
const ioa::ProtocolId_t kA301{'A', 301};
const ioa::ProtocolId_t kA302{'A', 302};

// The position of the protocol in the list, or the list's size.
std::size_t Find(const ioa::ProtocolList_t& list, const ioa::ProtocolId_t& id) {
  std::size_t i = 0;
  while (i < list.size() && list[i] != id) ++i;
  return i;
}

// The 'count' data types that follow the protocol in the list; null when the unit
// does not speak the protocol, ioa::Exception_t when the list ends before them.
const ioa::ProtocolId_t* FindDataTypes(const ioa::ProtocolList_t& list, const ioa::ProtocolId_t& id,
                                       std::size_t count) {
  const std::size_t at = Find(list, id);
  if (at == list.size()) return nullptr;
  if (at + count >= list.size()) throw ioa::Exception_t(GLO_SRC);
  return &list[at + 1];
}

// The name of the n-th track of a point-only log: "Track 001", ..., "Track 1000".
gdb::TrackId_t A300TrackId(int number) {
  char text[32];
  std::snprintf(text, sizeof text, "Track %03d", number);
  return gdb::TrackId_t(gdb::Name_t(text));
}

// Asks the unit for its track log and answers the number of records it
// announces, which the progress then counts. The count is 16 bits without a sign:
// logs of 32768 points and more are counted and shown like any other.
std::uint16_t BeginTrackLog(iol::Link_t& link, Channel_t::Progress_t& progress) {
  link.SendPacket(ioa::Command_t(ioa::Command_t::kSendTracks), link.DefaultTimeout());
  ioa::Records_t records;
  link.ReceivePacket(records, link.DefaultTimeout());
  const std::uint16_t expected = static_cast<std::uint16_t>(records.value);
  progress.SetPhase(ioa::kPhaseTracks, expected);
  return expected;
}

// True for the frame that ends the track log, which must be the transfer-complete
// of the track command.
bool EndsTrackLog(const iol::Frame_t& frame) {
  if (frame.Id() != ioa::XferCmplt_t::kId) return false;
  ioa::XferCmplt_t complete;
  complete.Decode(frame);
  if (complete.value != ioa::Command_t::kSendTracks) throw ioa::Exception_t(GLO_SRC);
  return true;
}

// The records received must be the number announced.
void CheckTrackLogCount(std::uint16_t received, std::uint16_t expected) {
  if (received != expected) throw ioa::Exception_t(GLO_SRC);
}

}  // namespace

Channel_t::Channel_t(iol::Link_t& link) : ioa::Channel_t(link) {}

Channel_t::~Channel_t() = default;

void Channel_t::DownloadTracks(gdb::Database_t& database, Progress_t& progress) {
  RequireA010();
  const ioa::ProtocolList_t& list = GetProtocols().protocols;
  if (Find(list, kA300) < list.size())
    DownloadTracksA300(database, progress);
  else if (Find(list, kA301) < list.size())
    DownloadTracksA301(database, kA301, progress);
  else if (m_a302Enabled && Find(list, kA302) < list.size())
    DownloadTracksA301(database, kA302, progress);
}

void Channel_t::DownloadTracksA300(gdb::Database_t& database, Progress_t& progress) {
  std::unique_ptr<TrackPoint_t> pointType;
  if (!SelectA300Types(pointType)) return;
  iol::Link_t& link = Link();
  const std::uint16_t expected = BeginTrackLog(link, progress);

  gdb::Track_t track;
  int number = 0;
  std::uint16_t received = 0;
  for (;;) {
    const iol::Frame_t frame = link.ReceiveFrame();
    if (EndsTrackLog(frame)) {
      if (track.GetCount() > 0) database.InsertTrack(A300TrackId(number + 1), track);
      break;
    }
    if (frame.Id() != pointType->Id()) throw ioa::Exception_t(GLO_SRC);
    ++received;
    progress.Increment();
    pointType->Decode(frame);
    gdb::TrackPoint_t point;
    bool newTrack = false;
    pointType->ToGdb(point, newTrack);
    if (newTrack && track.GetCount() > 0) {
      ++number;
      database.InsertTrack(A300TrackId(number), track);
      track.ClearPoints();
    }
    track.AppendPoint(point);
  }
  CheckTrackLogCount(received, expected);
}

void Channel_t::DownloadTracksA301(gdb::Database_t& database, const ioa::ProtocolId_t& protocol,
                                   Progress_t& progress) {
  std::unique_ptr<TrackHeader_t> headerType;
  std::unique_ptr<TrackPoint_t> pointType;
  if (!SelectA301Types(protocol, headerType, pointType)) return;
  iol::Link_t& link = Link();
  const std::uint16_t expected = BeginTrackLog(link, progress);

  gdb::TrackId_t key;
  gdb::Track_t track;
  Deferred_t deferred;
  enum { kExpectHeader, kHeader, kInTrack } state = kExpectHeader;
  std::uint16_t received = 0;
  for (;;) {
    const iol::Frame_t frame = link.ReceiveFrame();
    if (EndsTrackLog(frame)) {
      if (track.GetCount() > 0) StoreTrack(protocol, key, track, database, deferred);
      break;
    }
    ++received;
    progress.Increment();
    const bool isHeader = frame.Id() == headerType->Id();
    const bool isPoint = frame.Id() == pointType->Id();
    if (isHeader) {
      // A header without points before this one is dropped.
      if (state == kInTrack && track.GetCount() > 0) StoreTrack(protocol, key, track, database, deferred);
      headerType->Decode(frame);
      headerType->ToGdb(key, track);
      state = kHeader;
    } else if (isPoint && state != kExpectHeader) {
      pointType->Decode(frame);
      gdb::TrackPoint_t point;
      bool newTrack = false;
      pointType->ToGdb(point, newTrack);
      // The flag of the first point after a header begins nothing new. Under
      // A302 the laps name a track by its index, so a flag inside it begins
      // nothing either: the run keeps all its points.
      if (protocol != kA302 && state == kInTrack && newTrack && track.GetCount() > 0) {
        StoreTrack(protocol, key, track, database, deferred);
        track.ClearPoints();
      }
      track.AppendPoint(point);
      state = kInTrack;
    } else {
      throw ioa::Exception_t(GLO_SRC);
    }
  }
  CheckTrackLogCount(received, expected);

  for (auto& [deferredKey, deferredTrack] : deferred) {
    gdb::TrackId_t cut(gdb::Name_t(glo::ValidMBPrefix(deferredKey.Text())));
    deferredTrack.SetName(glo::ValidMBPrefix(deferredTrack.GetName()));
    if (protocol == kA302 && database.GetTracks().find(cut) != database.GetTracks().end())
      database.MakeUniqueTrackName(cut);
    AddTrack(protocol, cut, deferredTrack, database);
  }
}

bool Channel_t::SelectA300Types(std::unique_ptr<TrackPoint_t>& point) const {
  const ioa::ProtocolId_t* dataTypes = FindDataTypes(GetProtocols().protocols, kA300, 1);
  if (!dataTypes) return false;
  point = MakeTrackPointType(dataTypes[0]);
  return true;
}

bool Channel_t::SelectA301Types(const ioa::ProtocolId_t& protocol, std::unique_ptr<TrackHeader_t>& header,
                                std::unique_ptr<TrackPoint_t>& point) const {
  const ioa::ProtocolId_t* dataTypes = FindDataTypes(GetProtocols().protocols, protocol, 2);
  if (!dataTypes) return false;
  header = MakeTrackHeaderType(dataTypes[0]);
  point = MakeTrackPointType(dataTypes[1]);
  return true;
}

std::unique_ptr<TrackPoint_t> Channel_t::MakeTrackPointType(const ioa::ProtocolId_t& dataType) {
  if (dataType.tag != 'D') throw glo::Assert_t(GLO_SRC);
  switch (dataType.number) {
    case 300:
      return std::make_unique<D300TrkPt_t>();
    case 301:
      return std::make_unique<D301TrkPt_t>();
    case 302:
      return std::make_unique<D302TrkPt_t>();
    default:
      throw ioa::Channel_t::DataTypeNotFound_t(GLO_SRC);
  }
}

std::unique_ptr<TrackHeader_t> Channel_t::MakeTrackHeaderType(const ioa::ProtocolId_t& dataType) {
  if (dataType.tag != 'D') throw glo::Assert_t(GLO_SRC);
  switch (dataType.number) {
    case 310:
      return std::make_unique<D310TrkHdr_t>();
    case 311:
      return std::make_unique<D311TrkHdr_t>();
    default:
      throw ioa::Channel_t::DataTypeNotFound_t(GLO_SRC);
  }
}

void Channel_t::StoreTrack(const ioa::ProtocolId_t& protocol, const gdb::TrackId_t& key, const gdb::Track_t& track,
                           gdb::Database_t& database, Deferred_t& deferred) {
  if (key.Text() == glo::ValidMBPrefix(key.Text()))
    AddTrack(protocol, key, track, database);
  else
    deferred.emplace_back(key, track);
}

void Channel_t::AddTrack(const ioa::ProtocolId_t& protocol, const gdb::TrackId_t& key, const gdb::Track_t& track,
                         gdb::Database_t& database) {
  if (protocol.tag != 'A') throw glo::Assert_t(GLO_SRC);
  if (protocol == kA301) {
    database.InsertTrack(MakeUniqueTrackId(database, key), track);
  } else if (protocol == kA302) {
    // An index the unit repeats gives a second track of a name already
    // stored: the earlier track keeps the name, which the laps refer to, and
    // this one takes the database's next free variant.
    gdb::TrackId_t unique(key);
    if (database.GetTracks().find(unique) != database.GetTracks().end()) database.MakeUniqueTrackName(unique);
    database.InsertTrack(unique, track);
  } else {
    throw ioa::Exception_t(GLO_SRC);
  }
}

gdb::TrackId_t Channel_t::MakeUniqueTrackId(const gdb::Database_t& database, const gdb::TrackId_t& key) {
  gdb::TrackId_t candidate(key);
  const gdb::Database_t::TrackTable_t& tracks = database.GetTracks();
  for (int counter = 1; tracks.find(candidate) != tracks.end(); ++counter) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, " %03d", counter);
    candidate = gdb::TrackId_t(gdb::Name_t(key.Text() + suffix));
  }
  return candidate;
}

}  // namespace iog
