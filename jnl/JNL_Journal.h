#pragma once
// The undo journal. Editable data derives from jnl::Database_t; every change is
// made by code that first records, in the database's recording journal, an
// action that would reverse it. Undoing replays a journal's actions backwards,
// one transaction at a time; the replayed actions record their own reversing
// actions in whichever journal records at that moment, which is how a redo
// journal fills up.
//
// A transaction in a journal is: start marker, the reversing actions, complete
// marker. Each user of the library defines its two marker classes: the start
// marker's Execute closes the transaction open in the recording journal
// (Database_t::CloseTransaction), the complete marker's Execute does nothing.
#include <cstddef>
#include <memory>
#include <vector>

namespace jnl {

class Database_t;
class Journal_t;

// One recorded change (transaction markers are actions too).
class Action_t {
 public:
  Action_t() = default;
  Action_t(const Action_t&) = default;
  Action_t& operator=(const Action_t&) = default;
  virtual ~Action_t();

  // Performs the action on its database.
  virtual void Execute() = 0;
  virtual bool IsTransactionComplete() const;
  virtual bool IsTransactionStart() const;
  // A new action of the same class and contents, owned by the caller.
  virtual Action_t* Clone() const = 0;
};

// Told of every change of a journal.
class JournalOwner_t {
 public:
  virtual ~JournalOwner_t();
  virtual void OnJournalChanged(Journal_t& journal) = 0;
};

// A recorded history of actions, oldest first; the journal owns them.
class Journal_t {
 public:
  explicit Journal_t(JournalOwner_t* owner = nullptr);
  Journal_t(const Journal_t&) = delete;
  Journal_t& operator=(const Journal_t&) = delete;
  // Clears itself; failures are swallowed.
  virtual ~Journal_t();

  // Appends a clone of the action (the caller keeps its own), then tells the owner.
  void Add(const Action_t& action);
  // Add for every action of the other journal, oldest first.
  void Append(const Journal_t& other);
  // Deletes the actions from the newest to the oldest, telling the owner after each.
  void Clear();
  // Replays the newest transaction: each action, newest first, is taken out of
  // the journal (owner told) and a clone of it executed, until a start marker has
  // been executed. Running out of actions before a start marker is glo::Assert_t.
  // When an action throws, the exception passes on and the actions already taken
  // out stay out.
  void Undo();
  void NotifyOwner();

  bool IsEmpty() const { return m_actions.empty(); }
  std::size_t Size() const { return m_actions.size(); }
  // The action at index (0 is the oldest).
  const Action_t& At(std::size_t index) const;
  // The newest action; the journal must not be empty.
  const Action_t& Newest() const;
  // True when the journal holds actions and the newest is not a complete marker.
  bool IsTransactionOpen() const;

  JournalOwner_t* Owner() const { return m_owner; }
  void SetOwner(JournalOwner_t* owner) { m_owner = owner; }

 protected:
  std::vector<std::unique_ptr<Action_t>> m_actions;

 private:
  JournalOwner_t* m_owner;
};

// A journal that records for a database while it lives. Created, it becomes the
// database's recording journal; destroyed, it gives the database back the journal
// that was recording before and, when there was one, appends its own actions to
// it as a single transaction.
class UndoJournal_t : public Journal_t {
 public:
  UndoJournal_t(Database_t& database, JournalOwner_t* owner = nullptr);
  ~UndoJournal_t() override;

  Database_t& GetDatabase() const { return *m_database; }
  Journal_t* Previous() const { return m_previous; }

 private:
  void MergeIntoPrevious();

  Database_t* m_database;
  Journal_t* m_previous;
};

// Base of journaled data: the journal that records changes (none: changes are
// not recorded) and the journal being replayed at this moment (else none). It
// owns neither.
class Database_t {
 public:
  Database_t() = default;
  Database_t(const Database_t&) = delete;
  Database_t& operator=(const Database_t&) = delete;
  virtual ~Database_t();

  void SetJournal(Journal_t* journal) { m_recording = journal; }
  Journal_t* GetJournal() const { return m_recording; }
  Journal_t* GetReplayingJournal() const { return m_replaying; }
  bool IsReplaying() const { return m_replaying != nullptr; }

  // Replays the newest transaction of the journal, recording the reversing
  // actions in the current recording journal. The replaying and the recording
  // journal are back to what they were on every exit, exceptions included.
  void Undo(Journal_t& journal);
  // The same, with 'recordInto' as the recording journal during the replay (the
  // redo journal for an undo, the undo journal for a redo). On every exit,
  // exceptions included, the recording journal is again the one set before the
  // call, so a failed undo never leaves new edits going to the redo journal.
  void Undo(Journal_t& journal, Journal_t* recordInto);

  // The transaction steps that the users of the library build their changes from.
  //
  // Opens a transaction: adds the start marker to the recording journal unless
  // there is none or a transaction is open there already.
  void OpenTransaction(const Action_t& startMarker);
  // Closes the open transaction of the recording journal with the complete
  // marker; nothing when none is open. Start markers call it when replayed.
  void CloseTransaction(const Action_t& completeMarker);
  // The step that ends each single change: CloseTransaction, except while a
  // journal is replayed. A replayed transaction of several changes thus records
  // its reversing actions as one transaction, which the replayed start marker
  // closes at its end; one undo and one redo restore it whole.
  void EndChange(const Action_t& completeMarker);
  // Adds the reversing action of a change when a recording journal is set.
  void Record(const Action_t& reverse);
  // One whole change: OpenTransaction, Record, EndChange.
  void RecordChange(const Action_t& startMarker, const Action_t& reverse,
                    const Action_t& completeMarker);

 private:
  Journal_t* m_recording = nullptr;
  Journal_t* m_replaying = nullptr;
};

}  // namespace jnl
