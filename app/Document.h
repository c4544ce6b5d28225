#pragma once
// The single document: the current user's runs, changed as undoable
// transactions, kept in step with the history tree, loaded from and saved to
// the user's run database.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/RunSet.h"
#include "app/UserDatabase.h"
#include "glo/GLO_NonCopyable.h"
#include "glo/GLO_Time.h"
#include "jnl/JNL_Journal.h"
#include "plat/PLAT_Document.h"

namespace app {

// What the document needs of the history tree: it adds and removes run items
// as runs enter and leave the set, rebuilds it empty, and reads the selection.
class HistoryTreeIntf_t {
 public:
  using Range_t = std::pair<RunSet_t::const_iterator, RunSet_t::const_iterator>;
  virtual ~HistoryTreeIntf_t() = default;
  // The run as the set holds it; the item refers to it.
  virtual void AddRun(const Run_t& run) = 0;
  virtual void RemoveRun(const Run_t& run) = 0;
  // Deletes every item and puts the empty root back.
  virtual void Reset() = 0;
  // 0 history, 1 week, 2 run, 3 lap; win::Error_t when nothing is selected.
  virtual int GetSelectionLevel() const = 0;
  // The runs of the selected history (level 0) or week (level 1), or the
  // selected run (level 2), as a range of the document's run set.
  virtual Range_t GetSelectedRuns() const = 0;
  virtual const Run_t& GetSelectedRun() const = 0;
};

class Document_t : public plat::Document_t, public jnl::JournalOwner_t, public UserSessionIntf_t {
 public:
  // Registers itself as the single document; glo::Assert_t for a second one.
  Document_t();
  ~Document_t() override;

  // The history tree and the update of all views; either may be absent.
  void SetTree(HistoryTreeIntf_t* tree) { m_tree = tree; }
  HistoryTreeIntf_t* GetTree() const { return m_tree; }
  void SetViewUpdate(std::function<void()> update) { m_updateViews = std::move(update); }
  // Edits a view holds that are not yet the document's (notes being typed):
  // handed over before the document is saved, undone, redone or changed.
  void SetCommitEdits(std::function<void()> commit) { m_commitEdits = std::move(commit); }
  void CommitEdits() {
    if (m_commitEdits) m_commitEdits();
  }
  // Updates every view (no sender, no hint).
  void UpdateAllViews();
  using plat::Document_t::UpdateAllViews;

  // Writes the runs as XML to a file the user chooses (command 32776); a
  // failure is told to the user and leaves no partial file.
  void ExportXml();

  // Undo and redo, enabled while their journal holds an action.
  bool OnCommand(unsigned id, unsigned code) override;
  bool OnUpdateCommand(plat::CmdUI_t& ui) override;

  const RunSet_t& GetRuns() const { return m_runs; }

  // Transactions of the recording journal.
  virtual void StartTransaction();
  void EndTransaction();

  // Adds runs as one undoable transaction, replacing at most one run.
  void AddRunsFromTransfer(const RunSet_t& runs, const OptionalRun_t& replaced = OptionalRun_t());
  // Deletes runs as one undoable transaction, putting back at most one run.
  void DeleteRuns(const RunSet_t& runs, const OptionalRun_t& restored = OptionalRun_t());
  // The same over what the journal's actions share: the runs a deletion took
  // (they leave the document into the action), the keys an addition added.
  using SharedRuns_t = std::shared_ptr<RunSet_t>;
  using SharedRun_t = std::shared_ptr<const OptionalRun_t>;
  using SharedKeys_t = std::shared_ptr<const std::vector<glo::Time_t>>;
  // 'runs' may give up its runs to the document when nothing else holds it
  // and a journal is being replayed (the replayed action is the last user).
  void AddRunsFromTransfer(const SharedRuns_t& runs, const SharedRun_t& replaced);
  // Deletes the held runs with these keys (keys of no run are passed over).
  void DeleteRuns(const SharedKeys_t& keys, const SharedRun_t& restored);
  // The run whose first lap starts in that second, or end().
  RunSet_t::const_iterator FindRun(const glo::Time_t& key) const { return m_runs.find(key); }
  // Replaces a run's notes undoably; glo::Assert_t when no run has the key.
  void SetNotes(const glo::Time_t& key, const std::string& text);

  // Empties tree, runs and both journals; nothing of it is journaled.
  void Clear();

  // The delete command: the selected history, week or run, one transaction;
  // deleting the whole history asks first (string 148). True when deleted.
  bool DeleteSelection();

  // Undo and redo of one transaction; each does nothing on an empty journal.
  void OnUndo();
  void OnRedo();
  bool CanUndo() const { return !m_undo.IsEmpty(); }
  bool CanRedo() const { return !m_redo.IsEmpty(); }
  const jnl::Journal_t& UndoJournal() const { return m_undo; }
  const jnl::Journal_t& RedoJournal() const { return m_redo; }

  // The current user's run database.
  std::string DatabasePath() const;
  // Writes the current user's runs. Nothing without a current user, for a
  // name that cannot be a file name, or, while nothing was changed, over a
  // file whose load failed (app::SaveRefused_t once there are changes).
  void SaveDatabase();
  // Loads the current user's runs into the emptied document; tells the user
  // of an unreadable or newer file (moved aside). Nothing without a user.
  void LoadDatabase();

  // The current user's runs are saved, the entry for the unit added to the
  // user list when it has none, and the document emptied.
  void BindNewUser(std::uint32_t unitId, const std::string& name);
  // Makes 'name' the current user: saves the current user's runs first (when
  // there is one), then empties the document and loads the other's. False,
  // with nothing done, when it is the current user already.
  bool SwitchUser(const std::string& name);

  // UserSessionIntf_t: the user list's way to the document and "CurrentUser".
  std::string CurrentUser() const override;
  void SetCurrentUser(const std::string& name) override;
  void SaveRuns() override { SaveDatabase(); }
  void ClearRuns() override { Clear(); }
  void LoadRuns() override { LoadDatabase(); }
  void UpdateViews() override { UpdateAllViews(); }

 private:
  void OnJournalChanged(jnl::Journal_t&) override {}
  void EraseRun(const Run_t& run);
  // Whether the set holds runs with these keys and no others.
  bool HoldsExactly(const std::vector<glo::Time_t>& keys) const;
  void InsertRun(const Run_t& run);
  // Records the reversing action and adds the runs; 'owned', when given, is
  // 'runs' itself, the document's to empty.
  void AddRuns(const RunSet_t& runs, RunSet_t* owned, const SharedRun_t& replaced);

  RunSet_t m_runs;
  jnl::Database_t m_database;
  jnl::UndoJournal_t m_undo;
  jnl::Journal_t m_redo;
  HistoryTreeIntf_t* m_tree = nullptr;
  std::function<void()> m_updateViews;
  std::function<void()> m_commitEdits;
};

// The single document; glo::Assert_t when none exists.
Document_t& GetDocument();
// Whether the single document exists.
bool HasDocument();

// Journal actions of the document.
class StartTransaction_t : public jnl::Action_t {
 public:
  void Execute() override;
  bool IsTransactionStart() const override { return true; }
  jnl::Action_t* Clone() const override { return new StartTransaction_t(*this); }
};

class TransactionComplete_t : public jnl::Action_t {
 public:
  void Execute() override {}
  bool IsTransactionComplete() const override { return true; }
  jnl::Action_t* Clone() const override { return new TransactionComplete_t(*this); }
};

// Reverses an addition: deletes the added runs and puts the replaced one back.
// The keys of the added runs are shared by the action's clones; the deleted
// runs themselves go to the action that reverses the deletion.
class AddRunsFromTransfer_t : public jnl::Action_t {
 public:
  AddRunsFromTransfer_t(const Document_t::SharedKeys_t& keys, const Document_t::SharedRun_t& replaced)
      : m_keys(keys), m_replaced(replaced) {}
  void Execute() override;
  jnl::Action_t* Clone() const override { return new AddRunsFromTransfer_t(*this); }

 private:
  Document_t::SharedKeys_t m_keys;
  Document_t::SharedRun_t m_replaced;
};

// Reverses a deletion: adds the deleted runs again, replacing the restored one.
// The runs are shared by the action's clones; the clone that is replayed last
// hands them to the document instead of a copy.
class DeleteRunsFromTransfer_t : public jnl::Action_t {
 public:
  DeleteRunsFromTransfer_t(const Document_t::SharedRuns_t& runs, const Document_t::SharedRun_t& restored)
      : m_runs(runs), m_restored(restored) {}
  void Execute() override;
  jnl::Action_t* Clone() const override { return new DeleteRunsFromTransfer_t(*this); }

 private:
  Document_t::SharedRuns_t m_runs;
  Document_t::SharedRun_t m_restored;
};

// Reverses a change of notes.
class ModifyNotes_t : public jnl::Action_t {
 public:
  ModifyNotes_t(const glo::Time_t& key, const std::string& notes) : m_key(key), m_notes(notes) {}
  void Execute() override;
  jnl::Action_t* Clone() const override { return new ModifyNotes_t(*this); }

 private:
  glo::Time_t m_key;
  std::string m_notes;
};

}  // namespace app
