#pragma once
// The journal actions of the GPS database. Each one, executed, performs the
// reverse of a change: an insertion is undone by erasing the track, an erasure
// by inserting the saved copy. The start marker of a batch ends the batch that
// is open in the database when it is replayed; the complete marker does nothing.
#include "gdb/GDB_Key.h"
#include "gdb/GDB_Track.h"
#include "jnl/JNL_Journal.h"

namespace gdb {

class Database_t;

class StartTransaction_t : public jnl::Action_t {
 public:
  explicit StartTransaction_t(Database_t* database) : m_database(database) {}
  void Execute() override;  // the database's EndChanges
  bool IsTransactionStart() const override { return true; }
  jnl::Action_t* Clone() const override { return new StartTransaction_t(*this); }

 private:
  Database_t* m_database;
};

class TransactionComplete_t : public jnl::Action_t {
 public:
  void Execute() override {}
  bool IsTransactionComplete() const override { return true; }
  jnl::Action_t* Clone() const override { return new TransactionComplete_t(*this); }
};

// Recorded by an insertion: erases the track again.
class TrkInsert_t : public jnl::Action_t {
 public:
  TrkInsert_t(Database_t* database, const TrackId_t& key) : m_database(database), m_key(key) {}
  void Execute() override;
  jnl::Action_t* Clone() const override { return new TrkInsert_t(*this); }

  const TrackId_t& GetKey() const { return m_key; }

 private:
  Database_t* m_database;
  TrackId_t m_key;
};

// Recorded by an erasure: inserts the erased track again.
class TrkErase_t : public jnl::Action_t {
 public:
  TrkErase_t(Database_t* database, const TrackId_t& key, const Track_t& track)
      : m_database(database), m_key(key), m_track(track) {}
  void Execute() override;
  jnl::Action_t* Clone() const override { return new TrkErase_t(*this); }

  const TrackId_t& GetKey() const { return m_key; }
  const Track_t& GetTrack() const { return m_track; }

 private:
  Database_t* m_database;
  TrackId_t m_key;
  Track_t m_track;
};

}  // namespace gdb
