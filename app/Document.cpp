#include "app/Document.h"

#include "app/AppSettings.h"
#include "app/ApplicationInfo.h"
#include "app/Commands.h"
#include "app/DataFile.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "app/XmlExport.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Cursor.h"
#include "plat/PLAT_FileDialog.h"
#include "plat/PLAT_Folder.h"
#include "plat/PLAT_MessageBox.h"
#include "plat/PLAT_Window.h"

namespace app {

namespace {

Document_t* g_document = nullptr;

int ShowMessage(int stringId, const std::string& argument, unsigned type) {
  const glo::StringResource_t text(stringId, GLO_SRC);
  return plat::MessageBox(nullptr, argument.empty() ? text.Text() : text.Format(argument, GLO_SRC),
                          GetApplicationInfo().Name(), type);
}

// The keys of the runs, earliest first; runs without laps have none.
Document_t::SharedKeys_t KeysOf(const RunSet_t& runs) {
  auto keys = std::make_shared<std::vector<glo::Time_t>>();
  keys->reserve(runs.size());
  for (const Run_t& run : runs)
    if (run.HasLaps()) keys->push_back(run.GetKey());
  return keys;
}

}  // namespace

Document_t& GetDocument() {
  GLO_ASSERT(g_document != nullptr);
  return *g_document;
}

bool HasDocument() { return g_document != nullptr; }

Document_t::Document_t() : m_undo(m_database, this) {
  GLO_ASSERT(g_document == nullptr);
  g_document = this;
  GetUserDatabase().SetSession(this);
}

Document_t::~Document_t() {
  if (g_document != this) return;
  GetUserDatabase().SetSession(nullptr);
  g_document = nullptr;
}

void Document_t::UpdateAllViews() {
  plat::Document_t::UpdateAllViews(nullptr);
  if (m_updateViews) m_updateViews();
}

bool Document_t::OnCommand(unsigned id, unsigned code) {
  // Every command passes here first: notes being typed reach the document
  // before undo, redo or any later handler saves or reads it.
  CommitEdits();
  if (code != 0) return false;
  if (id == kCmdUndo) {
    OnUndo();
    return true;
  }
  if (id == kCmdRedo) {
    OnRedo();
    return true;
  }
  if (id == kCmdExportXml) {
    ExportXml();
    return true;
  }
  return false;
}

void Document_t::ExportXml() {
  CommitEdits();
  plat::FileDialogOptions options;
  options.title = glo::StringResource_t(179, GLO_SRC).Text();
  options.filter = "XML Files (*.xml)|*.xml|All Files (*.*)|*.*";
  options.defaultExtension = "xml";
  // The folder of this session's last export, else the home folder (not the
  // folder the program happened to be started in).
  static std::string lastFolder;
  options.fileName = ProposedExportPath(GetAppSettings().currentUser.Value(), lastFolder, plat::GetHomeFolder());
  std::string path;
  if (!plat::GetSaveFileName(plat::GetMainWnd(), options, path)) return;
  const std::size_t slash = path.rfind('/');
  if (slash != std::string::npos) lastFolder = path.substr(0, slash + 1);
  plat::WaitCursor_t wait;
  const glo::Optional_t<std::string> failure = ExportHistoryXml(path, m_runs);
  if (failure.IsPresent())
    plat::MessageBox(plat::GetMainWnd(), failure.Value(), GetApplicationInfo().Name(), plat::kMbOk | plat::kMbIconExclamation);
}

bool Document_t::OnUpdateCommand(plat::CmdUI_t& ui) {
  if (ui.GetId() == kCmdUndo) {
    ui.Enable(CanUndo());
    return true;
  }
  if (ui.GetId() == kCmdRedo) {
    ui.Enable(CanRedo());
    return true;
  }
  if (ui.GetId() == kCmdExportXml) {
    ui.Enable(!m_runs.empty());
    return true;
  }
  return false;
}

void Document_t::StartTransaction() {
  const jnl::Journal_t* replaying = m_database.GetReplayingJournal();
  if (replaying != &m_undo && replaying != &m_redo) m_redo.Clear();
  m_database.OpenTransaction(StartTransaction_t());
}

void Document_t::EndTransaction() { m_database.CloseTransaction(TransactionComplete_t()); }

// A run leaves the tree before it leaves the set.
void Document_t::EraseRun(const Run_t& run) {
  const glo::Time_t key = run.GetKey();
  const auto held = m_runs.find(key);
  if (held != m_runs.end() && m_tree) m_tree->RemoveRun(*held);
  m_runs.erase(key);
}

bool Document_t::HoldsExactly(const std::vector<glo::Time_t>& keys) const {
  if (keys.size() != m_runs.size() || keys.empty()) return false;
  for (const glo::Time_t& key : keys)
    if (FindRun(key) == m_runs.end()) return false;
  return true;
}

// A run enters the set before it enters the tree.
void Document_t::InsertRun(const Run_t& run) {
  const auto inserted = m_runs.insert(run);
  if (m_tree) m_tree->AddRun(*inserted.first);
}

void Document_t::AddRunsFromTransfer(const RunSet_t& runs, const OptionalRun_t& replaced) {
  AddRuns(runs, nullptr, std::make_shared<const OptionalRun_t>(replaced));
}

void Document_t::DeleteRuns(const RunSet_t& runs, const OptionalRun_t& restored) {
  DeleteRuns(KeysOf(runs), std::make_shared<const OptionalRun_t>(restored));
}

void Document_t::AddRunsFromTransfer(const SharedRuns_t& runs, const SharedRun_t& replaced) {
  AddRuns(*runs, m_database.IsReplaying() && runs.use_count() == 1 ? runs.get() : nullptr, replaced);
}

void Document_t::AddRuns(const RunSet_t& runs, RunSet_t* owned, const SharedRun_t& replaced) {
  StartTransaction();
  m_database.Record(AddRunsFromTransfer_t(KeysOf(runs), replaced));
  m_database.EndChange(TransactionComplete_t());
  if (replaced->IsPresent()) EraseRun(replaced->Value());
  if (m_runs.empty()) {
    // Into the empty document the whole set comes at once, moved when it is
    // the document's to take.
    if (owned) {
      m_runs = std::move(*owned);
      owned->clear();
    } else {
      m_runs = runs;
    }
    if (m_tree)
      for (const Run_t& run : m_runs) m_tree->AddRun(run);
    return;
  }
  for (const Run_t& run : runs) InsertRun(run);
}

void Document_t::DeleteRuns(const SharedKeys_t& keys, const SharedRun_t& restored) {
  StartTransaction();
  // The deleted runs leave the set into the action that brings them back.
  const auto doomed = std::make_shared<RunSet_t>();
  m_database.Record(DeleteRunsFromTransfer_t(doomed, restored));
  m_database.EndChange(TransactionComplete_t());
  if (HoldsExactly(*keys)) {
    // Every run goes: the tree and the set are emptied at once.
    if (m_tree) m_tree->Reset();
    *doomed = std::move(m_runs);
    m_runs.clear();
  } else {
    // Newest first: the tree lists the newest week first, so each run's item
    // is found at the top of what is left.
    for (auto key = keys->rbegin(); key != keys->rend(); ++key) {
      const auto held = m_runs.find(*key);
      if (held == m_runs.end()) continue;
      if (m_tree) m_tree->RemoveRun(*held);
      doomed->insert(*held);
      m_runs.erase(held);
    }
  }
  if (restored->IsPresent()) InsertRun(restored->Value());
}

void Document_t::SetNotes(const glo::Time_t& key, const std::string& text) {
  const auto position = FindRun(key);
  GLO_ASSERT(position != m_runs.end());
  StartTransaction();
  m_database.Record(ModifyNotes_t(key, position->GetNotes()));
  m_database.EndChange(TransactionComplete_t());
  m_runs.SetNotes(position, text);
}

void Document_t::Clear() {
  if (m_tree) m_tree->Reset();
  m_runs.clear();
  m_undo.Clear();
  m_redo.Clear();
}

bool Document_t::DeleteSelection() {
  CommitEdits();
  GLO_ASSERT(m_tree != nullptr);
  const int level = m_tree->GetSelectionLevel();
  GLO_ASSERT(level >= 0 && level <= 2);
  if (level == 0) {
    if (ShowMessage(148, std::string(), plat::kMbOkCancel) != plat::kIdOk) return false;
    DeleteRuns(KeysOf(m_runs), std::make_shared<const OptionalRun_t>());
    return true;
  }
  auto keys = std::make_shared<std::vector<glo::Time_t>>();
  const auto add = [&](const Run_t& run) {
    GLO_ASSERT(FindRun(run.GetKey()) != m_runs.end());
    keys->push_back(run.GetKey());
  };
  if (level == 2) {
    add(m_tree->GetSelectedRun());
  } else {
    const auto range = m_tree->GetSelectedRuns();
    for (auto it = range.first; it != range.second; ++it) add(*it);
  }
  DeleteRuns(keys, std::make_shared<const OptionalRun_t>());
  return true;
}

void Document_t::OnUndo() {
  CommitEdits();
  if (m_undo.IsEmpty()) return;
  m_database.Undo(m_undo, &m_redo);
  UpdateAllViews();
}

void Document_t::OnRedo() {
  CommitEdits();
  if (m_redo.IsEmpty()) return;
  m_database.Undo(m_redo, &m_undo);
  UpdateAllViews();
}

std::string Document_t::CurrentUser() const { return GetAppSettings().currentUser.Value(); }

void Document_t::SetCurrentUser(const std::string& name) { GetAppSettings().currentUser.Set(name); }

std::string Document_t::DatabasePath() const { return GetUserDatabase().DocumentPath(CurrentUser()); }

void Document_t::SaveDatabase() {
  CommitEdits();
  const std::string name = CurrentUser();
  if (name.empty() || !IsUsableUserName(name)) return;
  // The load of this file failed and the document holds nothing of the
  // user's own: keep the file as it is, without a second report.
  if (m_undo.IsEmpty() && m_redo.IsEmpty() && IsSaveBarred(DatabasePath())) return;
  SaveUserRuns(GetUserDatabase(), name, m_runs);
}

void Document_t::LoadDatabase() {
  const std::string name = CurrentUser();
  if (name.empty()) return;
  GLO_ASSERT(m_runs.empty());
  // The runs go straight into the emptied set, then into the tree; those read
  // before a failure stay.
  const auto addToTree = [this] {
    if (m_tree)
      for (const Run_t& run : m_runs) m_tree->AddRun(run);
  };
  LoadOutcome_t outcome;
  try {
    outcome = LoadUserRuns(GetUserDatabase(), name, m_runs);
  } catch (...) {
    addToTree();
    throw;
  }
  addToTree();
  if (outcome.messageId != 0)
    ShowMessage(outcome.messageId, outcome.status == LoadOutcome_t::kBadName ? name : std::string(),
                plat::kMbOk | plat::kMbIconExclamation);
}

void Document_t::BindNewUser(std::uint32_t unitId, const std::string& name) {
  SaveDatabase();
  UserDatabase_t& users = GetUserDatabase();
  if (users.find(unitId) == users.end()) users.AddUser(unitId, name);
  Clear();
}

bool Document_t::SwitchUser(const std::string& name) {
  CommitEdits();
  if (name == CurrentUser()) return false;
  SaveDatabase();
  SetCurrentUser(name);
  Clear();
  LoadDatabase();
  return true;
}

void StartTransaction_t::Execute() { GetDocument().EndTransaction(); }

void AddRunsFromTransfer_t::Execute() { GetDocument().DeleteRuns(m_keys, m_replaced); }

void DeleteRunsFromTransfer_t::Execute() { GetDocument().AddRunsFromTransfer(m_runs, m_restored); }

void ModifyNotes_t::Execute() { GetDocument().SetNotes(m_key, m_notes); }

}  // namespace app
