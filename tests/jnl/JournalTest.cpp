#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "glo/GLO_Exception.h"
#include "jnl/JNL_Journal.h"

namespace {

// ---- A small journaled database: a list of numbers, edited the way the run
// document edits its runs (one transaction per change, undo and redo journals).

class Numbers_t;

class Start_t : public jnl::Action_t {
 public:
  explicit Start_t(Numbers_t* db) : m_db(db) {}
  void Execute() override;
  bool IsTransactionStart() const override { return true; }
  Action_t* Clone() const override { return new Start_t(*this); }

 private:
  Numbers_t* m_db;
};

class Complete_t : public jnl::Action_t {
 public:
  void Execute() override {}
  bool IsTransactionComplete() const override { return true; }
  Action_t* Clone() const override { return new Complete_t(*this); }
};

class Numbers_t : public jnl::Database_t {
 public:
  Numbers_t() : undo(*this), redo() {}

  void Insert(int value);
  void Erase(int value);
  void Fail() { throw std::runtime_error("disk full"); }

  void UndoCmd() {
    if (!undo.IsEmpty()) Undo(undo, &redo);
  }
  void RedoCmd() {
    if (!redo.IsEmpty()) Undo(redo, &undo);
  }
  void CloseTransaction() { jnl::Database_t::CloseTransaction(Complete_t()); }

  std::vector<int> values;
  jnl::UndoJournal_t undo;
  jnl::Journal_t redo;
};

void Start_t::Execute() { m_db->CloseTransaction(); }

class InsertBack_t : public jnl::Action_t {  // reverses an erasure
 public:
  InsertBack_t(Numbers_t* db, int v) : m_db(db), m_v(v) {}
  void Execute() override { m_db->Insert(m_v); }
  Action_t* Clone() const override { return new InsertBack_t(*this); }

 private:
  Numbers_t* m_db;
  int m_v;
};

class EraseAgain_t : public jnl::Action_t {  // reverses an insertion
 public:
  EraseAgain_t(Numbers_t* db, int v) : m_db(db), m_v(v) {}
  void Execute() override { m_db->Erase(m_v); }
  Action_t* Clone() const override { return new EraseAgain_t(*this); }

 private:
  Numbers_t* m_db;
  int m_v;
};

class Failing_t : public jnl::Action_t {
 public:
  explicit Failing_t(Numbers_t* db) : m_db(db) {}
  void Execute() override { m_db->Fail(); }
  Action_t* Clone() const override { return new Failing_t(*this); }

 private:
  Numbers_t* m_db;
};

void Numbers_t::Insert(int value) {
  if (!IsReplaying()) redo.Clear();  // a new edit drops what could be redone
  RecordChange(Start_t(this), EraseAgain_t(this, value), Complete_t());
  values.push_back(value);
}

void Numbers_t::Erase(int value) {
  if (!IsReplaying()) redo.Clear();
  RecordChange(Start_t(this), InsertBack_t(this, value), Complete_t());
  values.erase(std::find(values.begin(), values.end(), value));
}

// The kinds of a journal's actions, oldest first: S start, C complete, E erase,
// I insert, F failing.
std::string Kinds(const jnl::Journal_t& j) {
  std::string s;
  for (std::size_t i = 0; i < j.Size(); ++i) {
    const jnl::Action_t& a = j.At(i);
    if (a.IsTransactionStart()) s += 'S';
    else if (a.IsTransactionComplete()) s += 'C';
    else if (dynamic_cast<const EraseAgain_t*>(&a)) s += 'E';
    else if (dynamic_cast<const InsertBack_t*>(&a)) s += 'I';
    else s += 'F';
  }
  return s;
}

// ---- Actions that log what happens to them.

struct Log_t : jnl::JournalOwner_t {
  std::vector<std::string> events;
  int notifications = 0;
  void OnJournalChanged(jnl::Journal_t&) override { ++notifications; }
};

class Logged_t : public jnl::Action_t {
 public:
  enum Kind_t { Plain, Start, Complete };
  Logged_t(Log_t* log, std::string name, Kind_t kind = Plain) : m_log(log), m_name(name), m_kind(kind) {}
  void Execute() override { m_log->events.push_back("exec " + m_name); }
  bool IsTransactionStart() const override { return m_kind == Start; }
  bool IsTransactionComplete() const override { return m_kind == Complete; }
  Action_t* Clone() const override { return new Logged_t(*this); }

 private:
  Log_t* m_log;
  std::string m_name;
  Kind_t m_kind;
};

class NullClone_t : public jnl::Action_t {
 public:
  void Execute() override {}
  Action_t* Clone() const override { return nullptr; }
};

// ---- Journal_t

TEST(Journal, UndoOfEmptyJournalDoesNothing) {
  Log_t log;
  jnl::Journal_t j(&log);
  j.Undo();
  EXPECT_TRUE(j.IsEmpty());
  EXPECT_EQ(log.notifications, 0);
}

TEST(Journal, UndoRunsOneTransactionNewestFirst) {
  Log_t log;
  jnl::Journal_t j(&log);
  j.Add(Logged_t(&log, "S1", Logged_t::Start));
  j.Add(Logged_t(&log, "X", Logged_t::Plain));
  j.Add(Logged_t(&log, "C1", Logged_t::Complete));
  j.Add(Logged_t(&log, "S2", Logged_t::Start));
  j.Add(Logged_t(&log, "A", Logged_t::Plain));
  j.Add(Logged_t(&log, "B", Logged_t::Plain));
  j.Add(Logged_t(&log, "C2", Logged_t::Complete));
  EXPECT_EQ(log.notifications, 7);  // one per Add

  j.Undo();
  EXPECT_EQ(log.events, (std::vector<std::string>{"exec C2", "exec B", "exec A", "exec S2"}));
  EXPECT_EQ(log.notifications, 11);  // one per removal
  EXPECT_EQ(j.Size(), 3u);           // the older transaction stays
  EXPECT_TRUE(j.Newest().IsTransactionComplete());

  j.Undo();
  EXPECT_TRUE(j.IsEmpty());
}

TEST(Journal, UndoWithoutStartMarkerRunsAllThenAsserts) {
  Log_t log;
  jnl::Journal_t j(&log);
  j.Add(Logged_t(&log, "A"));
  j.Add(Logged_t(&log, "B"));
  try {
    j.Undo();
    FAIL() << "no start marker";
  } catch (const glo::Assert_t& e) {
    EXPECT_STREQ(e.SourceFile(), "JNL_Journal.cpp");
  }
  EXPECT_EQ(log.events, (std::vector<std::string>{"exec B", "exec A"}));
  EXPECT_TRUE(j.IsEmpty());
}

class CloneOnce_t : public NullClone_t {
 public:
  Action_t* Clone() const override { return m_cloned ? nullptr : new CloneOnce_t(true); }
  explicit CloneOnce_t(bool cloned = false) : m_cloned(cloned) {}

 private:
  bool m_cloned;
};

TEST(Journal, ActionWithoutCloneIsAnAssertion) {
  jnl::Journal_t j;
  EXPECT_THROW(j.Add(NullClone_t()), glo::Assert_t);
  EXPECT_TRUE(j.IsEmpty());

  j.Add(CloneOnce_t());  // stored; its own clone then fails during the undo
  try {
    j.Undo();
    FAIL() << "no clone";
  } catch (const glo::Assert_t& e) {
    EXPECT_STREQ(e.SourceFile(), "GLO_AutoPtr.h");
  }
  EXPECT_TRUE(j.IsEmpty());
}

TEST(Journal, ClearNotifiesPerActionAndAppendCopies) {
  Log_t log;
  jnl::Journal_t a;
  a.Add(Logged_t(&log, "S", Logged_t::Start));
  a.Add(Logged_t(&log, "A"));
  jnl::Journal_t b(&log);
  b.Append(a);
  b.Append(b);  // a journal appended to itself doubles once
  EXPECT_EQ(a.Size(), 2u);
  EXPECT_EQ(b.Size(), 4u);
  EXPECT_EQ(log.notifications, 4);
  b.Clear();
  EXPECT_TRUE(b.IsEmpty());
  EXPECT_EQ(log.notifications, 8);
}

// ---- Undo journals bound to a database

TEST(UndoJournal, RecordsWhileItLivesThenMergesAsOneTransaction) {
  Log_t log;
  Numbers_t db;
  ASSERT_EQ(db.GetJournal(), &db.undo);
  {
    jnl::UndoJournal_t nested(db, &log);
    EXPECT_EQ(db.GetJournal(), &nested);
    EXPECT_EQ(nested.Previous(), &db.undo);
    nested.Add(Start_t(&db));
    nested.Add(EraseAgain_t(&db, 1));
    nested.Add(Start_t(&db));
    nested.Add(EraseAgain_t(&db, 2));
    nested.Add(Complete_t());
  }
  EXPECT_EQ(db.GetJournal(), &db.undo);
  EXPECT_EQ(Kinds(db.undo), "SEEC");
}

TEST(UndoJournal, NotMergedWithoutLeadingStartMarker) {
  Numbers_t db;
  db.Insert(5);
  {
    jnl::UndoJournal_t nested(db);
    nested.Add(EraseAgain_t(&db, 1));
    nested.Add(Complete_t());
  }
  EXPECT_EQ(db.GetJournal(), &db.undo);
  EXPECT_EQ(Kinds(db.undo), "SEC");
}

// ---- Undo and redo

TEST(UndoRedo, SingleChangeRoundTrip) {
  Numbers_t db;
  db.Insert(1);
  db.Insert(2);
  EXPECT_EQ(Kinds(db.undo), "SECSEC");

  db.UndoCmd();
  EXPECT_EQ(db.values, std::vector<int>{1});
  EXPECT_EQ(Kinds(db.undo), "SEC");
  EXPECT_EQ(Kinds(db.redo), "SIC");
  EXPECT_EQ(db.GetJournal(), &db.undo);
  EXPECT_FALSE(db.IsReplaying());

  db.RedoCmd();
  EXPECT_EQ(db.values, (std::vector<int>{1, 2}));
  EXPECT_EQ(Kinds(db.undo), "SECSEC");
  EXPECT_TRUE(db.redo.IsEmpty());

  db.UndoCmd();
  db.Insert(3);  // a new edit after an undo drops the redo history
  EXPECT_TRUE(db.redo.IsEmpty());
  EXPECT_EQ(db.values, (std::vector<int>{1, 3}));
}

TEST(UndoRedo, TransactionOfSeveralChangesComesBackWhole) {
  Numbers_t db;
  {
    jnl::UndoJournal_t batch(db);  // two changes as one transaction
    db.Insert(1);
    db.Insert(2);
  }
  ASSERT_EQ(Kinds(db.undo), "SECEC");

  db.UndoCmd();
  EXPECT_TRUE(db.values.empty());
  EXPECT_TRUE(db.undo.IsEmpty());
  EXPECT_EQ(Kinds(db.redo), "SIIC");  // one transaction, not one per change

  db.RedoCmd();
  EXPECT_EQ(db.values, (std::vector<int>{1, 2}));
  EXPECT_TRUE(db.redo.IsEmpty());
  EXPECT_EQ(Kinds(db.undo), "SEEC");

  db.UndoCmd();
  EXPECT_TRUE(db.values.empty());
  db.RedoCmd();
  EXPECT_EQ(db.values, (std::vector<int>{1, 2}));
}

TEST(UndoRedo, FailedUndoRestoresBothJournals) {
  Numbers_t db;
  db.Insert(1);
  db.undo.Add(Start_t(&db));
  db.undo.Add(EraseAgain_t(&db, 1));
  db.undo.Add(Failing_t(&db));
  db.undo.Add(Complete_t());

  EXPECT_THROW(db.UndoCmd(), std::runtime_error);
  EXPECT_EQ(db.GetJournal(), &db.undo);  // new edits are not recorded for redo
  EXPECT_EQ(db.GetReplayingJournal(), nullptr);
  EXPECT_EQ(Kinds(db.undo), "SECSE");     // what ran before the failure is out

  db.Insert(7);  // goes to the undo journal, not to the redo journal
  EXPECT_EQ(db.undo.Size(), 7u);
  EXPECT_TRUE(db.redo.IsEmpty());
}

TEST(UndoRedo, OneArgumentUndoRecordsIntoCurrentJournal) {
  Numbers_t db;
  db.Insert(4);
  db.SetJournal(&db.redo);
  db.Undo(db.undo);
  db.SetJournal(&db.undo);
  EXPECT_TRUE(db.values.empty());
  EXPECT_EQ(Kinds(db.redo), "SIC");
}

TEST(UndoRedo, NothingRecordedWithoutJournal) {
  Numbers_t db;
  db.SetJournal(nullptr);
  db.Insert(1);
  EXPECT_TRUE(db.undo.IsEmpty());
  EXPECT_EQ(db.values, std::vector<int>{1});
}

}  // namespace
