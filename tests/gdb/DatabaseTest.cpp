#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "gdb/GDB_Database.h"
#include "gdb/GDB_DatabaseActions.h"
#include "gdb/GDB_KeyException.h"
#include "jnl/JNL_Journal.h"

namespace {

gdb::Track_t MakeTrack(int points, std::int32_t firstLatitude = 1000) {
  gdb::Track_t track;
  for (int i = 0; i < points; ++i)
    track.AppendPoint(gdb::TrackPoint_t(geo::Position_t(firstLatitude + i * 10, 2000 - i * 7)));
  return track;
}

std::vector<std::int32_t> Latitudes(const gdb::Track_t& track) {
  std::vector<std::int32_t> lats;
  for (auto it = track.Begin(); it != track.End(); ++it) lats.push_back((*it).GetPosition().GetLatitude());
  return lats;
}

std::vector<std::string> TrackNames(const gdb::Database_t& db) {
  std::vector<std::string> names;
  for (const auto& entry : db.GetTracks()) names.push_back(entry.first.Text());
  return names;
}

// The journal's actions, oldest first: S start, C complete, I insertion, E erasure.
std::string Kinds(const jnl::Journal_t& j) {
  std::string s;
  for (std::size_t i = 0; i < j.Size(); ++i) {
    const jnl::Action_t& a = j.At(i);
    if (a.IsTransactionStart()) s += 'S';
    else if (a.IsTransactionComplete()) s += 'C';
    else if (dynamic_cast<const gdb::TrkInsert_t*>(&a)) s += 'I';
    else if (dynamic_cast<const gdb::TrkErase_t*>(&a)) s += 'E';
    else s += '?';
  }
  return s;
}

struct Recorder_t : gdb::Listener_t {
  std::vector<std::string> events;
  void OnTrackErased(const gdb::TrackId_t& key) override { events.push_back("erased " + key.Text()); }
  void OnTrackInserted(const gdb::TrackId_t& key, const gdb::Track_t& track) override {
    events.push_back("inserted " + key.Text() + " " + std::to_string(track.GetCount()));
  }
  void OnChangesBegin() override { events.push_back("begin"); }
  void OnChangesEnd(const gdb::ChangeMask_t& changes) override { events.push_back("end " + changes.to_string()); }
};

TEST(Database, NamesAreUniqueWithoutRegardToCase) {
  gdb::Database_t db;
  db.InsertTrack(gdb::TrackId_t("A"), MakeTrack(3));
  try {
    db.InsertTrack(gdb::TrackId_t("a"), MakeTrack(5));
    FAIL() << "inserted twice";
  } catch (const gdb::KeyExists_t& e) {
    EXPECT_STREQ(e.SourceFile(), "GDB_Database.cpp");
    EXPECT_STREQ(e.what(), "Track: a already exists.");
  }
  ASSERT_EQ(db.GetTracks().size(), 1u);
  EXPECT_EQ(db.GetTracks().begin()->second.GetCount(), 3);

  EXPECT_EQ(db.EraseTrack(gdb::TrackId_t("a")), 1);
  EXPECT_EQ(db.EraseTrack(gdb::TrackId_t("A")), 0);
  EXPECT_TRUE(db.GetTracks().empty());
}

TEST(Database, ConstructionNeedsSizeOfThree) {
  EXPECT_THROW(gdb::Database_t(gdb::Name_t("x"), 2), glo::Assert_t);
  gdb::Database_t db(gdb::Name_t(""), 3);
  EXPECT_TRUE(db.GetTracks().empty() && db.GetRoutes().empty() && db.GetWaypoints().empty());
  EXPECT_TRUE(db.GetChanges().none());
  EXPECT_EQ(db.GetJournal(), nullptr);
}

TEST(Database, UniqueTrackNamesCountOn) {
  gdb::Database_t db;
  gdb::TrackId_t key("Lap");
  db.MakeUniqueTrackName(key);
  EXPECT_EQ(key.Text(), "Lap 001");
  key = gdb::TrackId_t("Lap");
  db.MakeUniqueTrackName(key);
  EXPECT_EQ(key.Text(), "Lap 002");

  db.InsertTrack(gdb::TrackId_t("lap 003"), MakeTrack(1));
  key = gdb::TrackId_t("Lap");
  db.MakeUniqueTrackName(key);
  EXPECT_EQ(key.Text(), "Lap 004");  // 003 is taken (in another case)

  key = gdb::TrackId_t("Run");  // the counter is shared by every base name
  db.MakeUniqueTrackName(key);
  EXPECT_EQ(key.Text(), "Run 005");

  for (int i = 6; i < 1000; ++i) {
    key = gdb::TrackId_t("Lap");
    db.MakeUniqueTrackName(key);
  }
  EXPECT_EQ(key.Text(), "Lap 999");
  key = gdb::TrackId_t("Lap");
  db.MakeUniqueTrackName(key);
  EXPECT_EQ(key.Text(), "Lap 1000");
}

TEST(Database, BatchOfInsertionsIsOneTransaction) {
  gdb::Database_t db;
  jnl::Journal_t undo, redo;
  db.SetJournal(&undo);
  Recorder_t rec;
  db.GetBroadcaster().AddListener(&rec);

  db.InsertTrack(gdb::TrackId_t("One"), MakeTrack(2));
  db.InsertTrack(gdb::TrackId_t("Two"), MakeTrack(150, 5000));
  EXPECT_EQ(Kinds(undo), "SII");
  EXPECT_TRUE(db.GetChanges().test(gdb::Database_t::Change_Tracks));
  db.EndChanges();
  EXPECT_EQ(Kinds(undo), "SIIC");
  db.EndChanges();
  EXPECT_EQ(Kinds(undo), "SIIC");
  EXPECT_EQ(rec.events, (std::vector<std::string>{"begin", "inserted One 2", "inserted Two 150", "end 000100"}));

  rec.events.clear();
  db.Undo(undo, &redo);
  EXPECT_TRUE(db.GetTracks().empty());
  EXPECT_TRUE(db.GetChanges().none());
  EXPECT_TRUE(undo.IsEmpty());
  EXPECT_EQ(Kinds(redo), "SEEC");
  EXPECT_EQ(db.GetJournal(), &undo);
  EXPECT_EQ(rec.events, (std::vector<std::string>{"begin", "erased Two", "erased One", "end 000100"}));

  db.Undo(redo, &undo);  // redo
  EXPECT_EQ(TrackNames(db), (std::vector<std::string>{"One", "Two"}));
  EXPECT_EQ(Latitudes(db.GetTracks().find(gdb::TrackId_t("Two"))->second), Latitudes(MakeTrack(150, 5000)));
  EXPECT_TRUE(redo.IsEmpty());
  EXPECT_EQ(Kinds(undo), "SIIC");
  EXPECT_TRUE(db.GetChanges().none());
}

TEST(Database, ErasureIsUndoneWithTheSavedTrack) {
  gdb::Database_t db;
  db.InsertTrack(gdb::TrackId_t("Run"), MakeTrack(7, 300));
  db.EndChanges();
  jnl::Journal_t undo, redo;
  db.SetJournal(&undo);
  const auto& stored = db.GetTracks().begin()->first;  // erasing through the table's own key
  EXPECT_EQ(db.EraseTrack(stored), 1);
  db.EndChanges();
  EXPECT_EQ(Kinds(undo), "SEC");

  db.Undo(undo, &redo);
  ASSERT_EQ(TrackNames(db), std::vector<std::string>{"Run"});
  EXPECT_EQ(Latitudes(db.GetTracks().begin()->second), Latitudes(MakeTrack(7, 300)));
  EXPECT_EQ(Kinds(redo), "SIC");
}

TEST(Database, NothingRecordedForRefusedOrMissingTracks) {
  gdb::Database_t db;
  db.InsertTrack(gdb::TrackId_t("A"), MakeTrack(1));
  db.EndChanges();
  jnl::Journal_t undo;
  db.SetJournal(&undo);
  Recorder_t rec;
  db.GetBroadcaster().AddListener(&rec);
  EXPECT_THROW(db.InsertTrack(gdb::TrackId_t("A"), MakeTrack(1)), gdb::KeyExists_t);
  EXPECT_EQ(db.EraseTrack(gdb::TrackId_t("B")), 0);
  EXPECT_TRUE(undo.IsEmpty());
  EXPECT_TRUE(db.GetChanges().none());
  EXPECT_TRUE(rec.events.empty());
}

TEST(Database, HeldKeyGoesWithItsTrack) {
  gdb::Database_t db;
  db.InsertTrack(gdb::TrackId_t("Keep"), MakeTrack(1));
  db.InsertTrack(gdb::TrackId_t("Drop"), MakeTrack(1));
  db.HoldTrackKey(gdb::TrackId_t("drop"));
  db.EraseTrack(gdb::TrackId_t("Keep"));
  ASSERT_NE(db.GetHeldTrackKey(), nullptr);
  db.EraseTrack(gdb::TrackId_t("DROP"));
  EXPECT_EQ(db.GetHeldTrackKey(), nullptr);
}

TEST(Database, WrongChangeKindOpensNoBatch) {
  gdb::Database_t db;
  jnl::Journal_t undo;
  db.SetJournal(&undo);
  Recorder_t rec;
  db.GetBroadcaster().AddListener(&rec);
  try {
    db.MarkChanged(6);
    FAIL() << "kind 6 accepted";
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "invalid bitset<N> position");
  }
  EXPECT_TRUE(undo.IsEmpty());
  EXPECT_TRUE(rec.events.empty());
  db.MarkChanged(5);
  db.EndChanges();
  EXPECT_EQ(rec.events, (std::vector<std::string>{"begin", "end 100000"}));
}

// A listener that changes the database from inside a notification.
struct Meddler_t : gdb::Listener_t {
  gdb::Database_t* db = nullptr;
  void OnTrackInserted(const gdb::TrackId_t&, const gdb::Track_t&) override {
    db->EraseTrack(gdb::TrackId_t("Other"));
  }
};

struct Thrower_t : gdb::Listener_t {
  void OnChangesBegin() override { throw std::runtime_error("listener failed"); }
};

TEST(Broadcaster, NestedNotificationIsAnAssertion) {
  gdb::Database_t db;
  db.InsertTrack(gdb::TrackId_t("Other"), MakeTrack(1));
  Meddler_t meddler;
  meddler.db = &db;
  db.GetBroadcaster().AddListener(&meddler);
  try {
    db.InsertTrack(gdb::TrackId_t("New"), MakeTrack(1));
    FAIL() << "nested notification";
  } catch (const glo::Assert_t& e) {
    EXPECT_STREQ(e.SourceFile(), "GDB_DatabaseBroadcaster.cpp");
  }
  EXPECT_FALSE(db.GetBroadcaster().IsBroadcasting());
}

TEST(Broadcaster, FailingListenerDoesNotBlockLaterNotifications) {
  gdb::Broadcaster_t b;
  Thrower_t thrower;
  Recorder_t rec;
  b.AddListener(&thrower);
  EXPECT_THROW(b.NotifyChangesBegin(), std::runtime_error);
  EXPECT_FALSE(b.IsBroadcasting());
  b.RemoveListener(&thrower);
  b.AddListener(&rec);
  b.NotifyChangesEnd(gdb::ChangeMask_t(4));
  EXPECT_EQ(rec.events, std::vector<std::string>{"end 000100"});
}

// Registers another listener while a notification runs.
struct Recruiter_t : gdb::Listener_t {
  gdb::Broadcaster_t* b = nullptr;
  Recorder_t* recruit = nullptr;
  void OnChangesBegin() override { b->AddListener(recruit); }
};

TEST(Broadcaster, RegistrationDuringBroadcastWaitsAndDisabledIsSilent) {
  gdb::Broadcaster_t b;
  Recorder_t rec;
  Recruiter_t recruiter;
  recruiter.b = &b;
  recruiter.recruit = &rec;
  b.AddListener(&recruiter);
  b.NotifyChangesBegin();
  EXPECT_TRUE(rec.events.empty());  // added after this broadcast
  b.NotifyChangesBegin();
  EXPECT_EQ(rec.events, std::vector<std::string>{"begin"});

  b.Enable(false);
  b.NotifyChangesBegin();
  EXPECT_EQ(rec.events.size(), 1u);
}

}  // namespace
