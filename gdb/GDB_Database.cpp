#include "gdb/GDB_Database.h"

#include <cstdio>
#include <stdexcept>
#include <tuple>

#include "gdb/GDB_DatabaseActions.h"
#include "gdb/GDB_KeyException.h"
#include "glo/GLO_Exception.h"

namespace gdb {

bool Database_t::KeyRecord_t::operator<(const KeyRecord_t& other) const {
  return std::tie(text1, text2, text3, bytes) < std::tie(other.text1, other.text2, other.text3, other.bytes);
}

Database_t::Database_t(const Name_t& name, unsigned size)
    : m_texts{{std::string(), 1}}, m_name(name), m_size(size) {
  GLO_ASSERT(size >= 3);
  m_routeKeys.reserve(1);
}

Database_t::~Database_t() = default;

Database_t::TrackTable_t::const_iterator Database_t::InsertTrack(const TrackId_t& key, const Track_t& track) {
  if (m_tracks.find(key) != m_tracks.end()) throw KeyExists_t(key, GLO_SRC);
  MarkChanged(Change_Tracks);
  if (jnl::Journal_t* journal = GetJournal()) journal->Add(TrkInsert_t(this, key));
  const auto inserted = m_tracks.insert(std::make_pair(key, track));
  GLO_ASSERT(inserted.second);
  m_broadcaster.NotifyTrackInserted(key, track);
  return inserted.first;
}

std::int32_t Database_t::EraseTrack(const TrackId_t& key) {
  const auto found = m_tracks.find(key);
  if (found == m_tracks.end()) return 0;
  MarkChanged(Change_Tracks);
  if (jnl::Journal_t* journal = GetJournal()) journal->Add(TrkErase_t(this, key, found->second));
  if (m_heldTrackKey && !KeyLess_t()(*m_heldTrackKey, key) && !KeyLess_t()(key, *m_heldTrackKey))
    m_heldTrackKey.Reset();
  // The key may be the erased entry's own key: tell the listeners with a copy.
  const TrackId_t erasedKey(key);
  const std::int32_t erased = static_cast<std::int32_t>(m_tracks.erase(erasedKey));
  m_broadcaster.NotifyTrackErased(erasedKey);
  return erased;
}

void Database_t::MakeUniqueTrackName(TrackId_t& key) {
  const std::string base = key.Text();
  do {
    char number[16];
    std::snprintf(number, sizeof number, " %03d", static_cast<int>(m_trackNameCounter));
    key.SetName(Name_t(base + number));
    ++m_trackNameCounter;
  } while (m_tracks.find(key) != m_tracks.end());
}

void Database_t::MarkChanged(int kind) {
  // Checked first, so that a wrong kind leaves no half-opened batch behind.
  if (kind < 0 || kind >= ChangeKindCount) throw std::out_of_range("invalid bitset<N> position");
  if (m_changes.none()) {
    m_broadcaster.NotifyChangesBegin();
    if (jnl::Journal_t* journal = GetJournal()) journal->Add(StartTransaction_t(this));
  }
  m_changes.set(static_cast<std::size_t>(kind));
}

void Database_t::EndChanges() {
  if (m_changes.none()) return;
  m_broadcaster.NotifyChangesEnd(m_changes);
  jnl::Journal_t* journal = GetJournal();
  if (journal && journal->IsTransactionOpen()) journal->Add(TransactionComplete_t());
  m_changes.reset();
}

void Database_t::HoldTrackKey(const TrackId_t& key) { m_heldTrackKey.Reset(new TrackId_t(key)); }

}  // namespace gdb
