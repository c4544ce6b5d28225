#include "jnl/JNL_Journal.h"

#include <utility>

#include "glo/GLO_AutoPtr.h"
#include "glo/GLO_Exception.h"

namespace jnl {

namespace {

// Remembers a variable's value and writes it back when the scope ends, also when
// it ends by an exception.
template <typename T>
class Saver_t {
 public:
  explicit Saver_t(T& target) : m_target(target), m_saved(target) {}
  Saver_t(const Saver_t&) = delete;
  Saver_t& operator=(const Saver_t&) = delete;
  ~Saver_t() { m_target = m_saved; }

 private:
  T& m_target;
  T m_saved;
};

// A clone owned by the caller; a missing one is a broken action class.
std::unique_ptr<Action_t> CloneOf(const Action_t& action) {
  std::unique_ptr<Action_t> clone(action.Clone());
  if (!clone) throw glo::Assert_t(GLO_SRC);
  return clone;
}

}  // namespace

// ---- Action_t ----

Action_t::~Action_t() = default;

bool Action_t::IsTransactionComplete() const { return false; }

bool Action_t::IsTransactionStart() const { return false; }

// ---- JournalOwner_t ----

JournalOwner_t::~JournalOwner_t() = default;

// ---- Journal_t ----

Journal_t::Journal_t(JournalOwner_t* owner) : m_owner(owner) {}

Journal_t::~Journal_t() {
  try {
    Clear();
  } catch (...) {
    // A destructor never throws (an owner that failed to take the notification);
    // whatever is left is deleted with the vector, without notification.
  }
}

void Journal_t::Add(const Action_t& action) {
  std::unique_ptr<Action_t> clone = CloneOf(action);
  m_actions.push_back(std::move(clone));
  NotifyOwner();
}

void Journal_t::Append(const Journal_t& other) {
  if (&other == this) {
    // Appending a journal to itself: take the count first so the walk ends.
    const std::size_t count = m_actions.size();
    for (std::size_t i = 0; i < count; ++i) Add(*m_actions[i]);
    return;
  }
  for (const auto& action : other.m_actions) Add(*action);
}

void Journal_t::Clear() {
  while (!m_actions.empty()) {
    m_actions.pop_back();
    NotifyOwner();
  }
}

void Journal_t::Undo() {
  if (m_actions.empty()) return;
  for (;;) {
    if (m_actions.empty()) throw glo::Assert_t(GLO_SRC);
    // The action leaves the journal before it runs, so an action that records
    // into this same journal cannot disturb the walk.
    glo::AutoPtr_t<Action_t> clone(m_actions.back()->Clone());
    m_actions.pop_back();
    NotifyOwner();
    clone->Execute();  // a missing clone is Assert_t here
    if (clone->IsTransactionStart()) return;
  }
}

void Journal_t::NotifyOwner() {
  if (m_owner) m_owner->OnJournalChanged(*this);
}

const Action_t& Journal_t::At(std::size_t index) const {
  GLO_ASSERT(index < m_actions.size());
  return *m_actions[index];
}

const Action_t& Journal_t::Newest() const {
  GLO_ASSERT(!m_actions.empty());
  return *m_actions.back();
}

bool Journal_t::IsTransactionOpen() const {
  return !m_actions.empty() && !m_actions.back()->IsTransactionComplete();
}

// ---- UndoJournal_t ----

UndoJournal_t::UndoJournal_t(Database_t& database, JournalOwner_t* owner)
    : Journal_t(owner), m_database(&database), m_previous(database.GetJournal()) {
  database.SetJournal(this);
}

UndoJournal_t::~UndoJournal_t() {
  try {
    m_database->SetJournal(m_previous);
  } catch (...) {
  }
  try {
    if (m_previous && !m_actions.empty()) MergeIntoPrevious();
  } catch (...) {
    // Not merged (no start marker first, or the previous journal failed): the
    // actions are deleted with this journal.
  }
  // The base destructor clears this journal.
}

// The work of this nested journal becomes one transaction of the enclosing one:
// only its first start marker stays; the complete markers stay in place.
void UndoJournal_t::MergeIntoPrevious() {
  if (!m_actions.front()->IsTransactionStart()) throw glo::Assert_t(GLO_SRC);
  for (std::size_t i = 1; i < m_actions.size();) {
    if (m_actions[i]->IsTransactionStart())
      m_actions.erase(m_actions.begin() + static_cast<std::ptrdiff_t>(i));
    else
      ++i;
  }
  m_previous->Append(*this);
}

// ---- Database_t ----

Database_t::~Database_t() = default;

void Database_t::Undo(Journal_t& journal) { Undo(journal, m_recording); }

void Database_t::Undo(Journal_t& journal, Journal_t* recordInto) {
  Saver_t<Journal_t*> replaying(m_replaying);
  Saver_t<Journal_t*> recording(m_recording);
  m_recording = recordInto;
  m_replaying = &journal;
  journal.Undo();
}

void Database_t::OpenTransaction(const Action_t& startMarker) {
  if (!m_recording) return;
  if (m_recording->IsTransactionOpen()) return;
  m_recording->Add(startMarker);
}

void Database_t::CloseTransaction(const Action_t& completeMarker) {
  if (m_recording && m_recording->IsTransactionOpen()) m_recording->Add(completeMarker);
}

void Database_t::EndChange(const Action_t& completeMarker) {
  if (IsReplaying()) return;
  CloseTransaction(completeMarker);
}

void Database_t::Record(const Action_t& reverse) {
  if (m_recording) m_recording->Add(reverse);
}

void Database_t::RecordChange(const Action_t& startMarker, const Action_t& reverse,
                              const Action_t& completeMarker) {
  OpenTransaction(startMarker);
  Record(reverse);
  EndChange(completeMarker);
}

}  // namespace jnl
