#include "app/UserDatabase.h"

#include <exception>
#include <stdexcept>

#include "app/Lap.h"
#include "app/RunDatabase.h"
#include "app/TextEncoding.h"
#include "bin/BIN_record.h"
#include "glo/GLO_StringResource.h"
#include "plat/PLAT_Error.h"
#include "plat/PLAT_FileOps.h"
#include "win/WIN_Exception.h"

namespace app {

namespace {

constexpr std::size_t kLongestFileName = 255;

bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// A failed file operation of a rename or delete, unless the file was missing.
void CheckFileOperation(bool done) {
  if (done) return;
  const unsigned long code = plat::GetLastError();
  if (code == plat::kErrorFileNotFound) return;
  throw win::Error_t(GLO_SRC, code);
}

}  // namespace

bool IsUsableUserName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  // The run database and its backups (".bin.001") must fit a file name.
  if (name.size() + 8 > kLongestFileName) return false;
  for (const char ch : name) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F || c == '/' || c == '\\') return false;
  }
  return !EqualIgnoringAsciiCase(name + ".bin", kUserListFileName);
}

bool IsBlankUserName(const std::string& name) { return name.find_first_not_of(" \t") == std::string::npos; }

void CheckNewUserName(const std::string& name) {
  if (IsBlankUserName(name)) throw glo::InvalidInput_t(kStrEmptyUserName, GLO_SRC);
  if (!IsUsableUserName(name)) throw glo::InvalidInput_t(7170, GLO_SRC);
}

std::string BadUserNameText(const std::string& name) {
  return glo::StringResource_t(7171, GLO_SRC).Format(name, GLO_SRC);
}

UserDatabase_t::UserDatabase_t(const std::string& folder) : m_folder(folder) {
  if (!m_folder.empty() && m_folder.back() != '/') m_folder += '/';
}

const std::string& UserDatabase_t::Folder() const {
  if (m_folder.empty()) m_folder = DataFolder();
  return m_folder;
}

const std::string& UserDatabase_t::FilePath() const {
  if (m_filePath.empty()) m_filePath = Folder() + kUserListFileName;
  return m_filePath;
}

std::string UserDatabase_t::DocumentPath(const std::string& name) const {
  if (!IsUsableUserName(name)) throw glo::InvalidInput_t(BadUserNameText(name), GLO_SRC);
  return Folder() + name + ".bin";
}

LoadOutcome_t UserDatabase_t::Load() {
  struct MarkLoaded {
    bool& loaded;
    ~MarkLoaded() { loaded = true; }
  } mark{m_loaded};
  return LoadDataFile(FilePath(), kUserListTag, kUserListVersion, [this](bin::istream& in) { ReadUsers(in); });
}

void UserDatabase_t::SaveList() {
  if (!m_loaded) return;
  SaveDataFile(FilePath(), MakeFileHeader(kUserListTag, kUserListVersion),
               [this](bin::ostream& out) { WriteUsers(out); });
}

void UserDatabase_t::Save() {
  if (!m_loaded) return;
  // The runs are saved also when the list cannot be: the first failure is
  // passed on once both were tried.
  std::exception_ptr failure;
  try {
    SaveList();
  } catch (...) {
    failure = std::current_exception();
  }
  try {
    if (!m_users.empty() && m_session) m_session->SaveRuns();
  } catch (...) {
    if (!failure) failure = std::current_exception();
  }
  if (failure) std::rethrow_exception(failure);
}

bool UserDatabase_t::AddUser(std::uint32_t unitId, const std::string& name) {
  return m_users.emplace(unitId, name).second;
}

void UserDatabase_t::BindUnit(std::uint32_t newUnitId, std::uint32_t oldUnitId, const std::string& name) {
  if (m_session) m_session->SaveRuns();
  if (m_users.erase(oldUnitId) == 0) throw std::out_of_range("no user for the old unit");
  AddUser(newUnitId, name);
  if (m_session && name != m_session->CurrentUser()) {
    m_session->SetCurrentUser(name);
    m_session->ClearRuns();
    m_session->LoadRuns();
  }
}

UserDatabase_t::Users_t::iterator UserDatabase_t::FindName(const std::string& name) {
  for (auto it = m_users.begin(); it != m_users.end(); ++it)
    if (it->second == name) return it;
  return m_users.end();
}

void UserDatabase_t::RenameUser(const std::string& oldNameRef, const std::string& newName) {
  // The caller may hand us a reference to the stored name itself.
  const std::string oldName = oldNameRef;
  CheckNewUserName(newName);
  const auto entry = FindName(oldName);
  GLO_ASSERT(entry != m_users.end());
  if (newName == oldName) return;
  // A stored name that cannot be a path has no file of ours to rename.
  bool moved = false;
  std::string from, to;
  if (IsUsableUserName(oldName)) {
    from = DocumentPath(oldName);
    to = DocumentPath(newName);
    moved = plat::MoveFile(from, to);
    CheckFileOperation(moved);
    if (moved) MoveSaveBar(from, to);
  }
  // The list on disk follows at once, so that the renamed file is never
  // without its user; when it cannot be written, the rename is undone.
  entry->second = newName;
  try {
    SaveList();
  } catch (...) {
    entry->second = oldName;
    if (moved && plat::MoveFile(to, from)) MoveSaveBar(to, from);
    throw;
  }
  if (m_session && m_session->CurrentUser() == oldName) m_session->SetCurrentUser(newName);
}

void UserDatabase_t::DeleteUser(const std::string& nameRef) {
  // The caller may hand us a reference to the stored name, which goes with it.
  const std::string name = nameRef;
  const auto entry = FindName(name);
  GLO_ASSERT(entry != m_users.end());
  const std::uint32_t unitId = entry->first;
  // The list on disk loses the user first: a failure there changes nothing.
  // When the file then cannot be deleted, the user goes back into the list.
  m_users.erase(entry);
  try {
    SaveList();
  } catch (...) {
    m_users.emplace(unitId, name);
    throw;
  }
  try {
    if (IsUsableUserName(name)) CheckFileOperation(plat::DeleteFile(DocumentPath(name)));
  } catch (...) {
    m_users.emplace(unitId, name);
    try {
      SaveList();
    } catch (...) {
    }
    throw;
  }
  if (!m_session || m_session->CurrentUser() != name) return;
  m_session->ClearRuns();
  if (!m_users.empty()) {
    m_session->SetCurrentUser(m_users.begin()->second);
    m_session->LoadRuns();
  } else {
    m_session->SetCurrentUser(std::string());
  }
  m_session->UpdateViews();
}

void UserDatabase_t::WriteUsers(bin::ostream& out) const {
  bin::write_le(out, static_cast<std::uint32_t>(m_users.size()));
  for (const auto& [unitId, name] : m_users) {
    bin::write_string(out, name);
    bin::write_le(out, unitId);
  }
}

void UserDatabase_t::ReadUsers(bin::istream& in) {
  if (!in.good()) return;
  std::uint32_t count = 0;
  bin::read_le(in, count);
  if (!in.good()) throw BadStream_t(GLO_SRC);
  for (std::uint32_t i = 0; i < count; ++i) {
    std::string name;
    std::uint32_t unitId = 0;
    bin::read_string(in, name);
    bin::read_le(in, unitId);
    if (!in.good()) throw BadStream_t(GLO_SRC);
    AddUser(unitId, DecodeStoredText(name));
  }
}

std::string UserDatabase_t::Backup() { return MoveAside(FilePath()); }

UserDatabase_t& GetUserDatabase() {
  static UserDatabase_t users;
  return users;
}

LoadOutcome_t LoadUserRuns(const UserDatabase_t& users, const std::string& name, RunSet_t& runs) {
  if (!IsUsableUserName(name)) {
    LoadOutcome_t outcome;
    outcome.status = LoadOutcome_t::kBadName;
    outcome.messageId = 7171;
    return outcome;
  }
  return LoadRunDatabase(users.DocumentPath(name), runs);
}

bool SaveUserRuns(const UserDatabase_t& users, const std::string& name, const RunSet_t& runs) {
  if (!IsUsableUserName(name)) return false;
  SaveRunDatabase(users.DocumentPath(name), runs);
  return true;
}

}  // namespace app
