#pragma once
// The list of users: each device unit, by its 32-bit id, belongs to one user,
// by name. The name is also the base name of the user's run database file.
// The list is kept in "StridemereLogbook.bin" beside the run databases.
#include <cstdint>
#include <map>
#include <string>

#include "app/DataFile.h"
#include "app/RunSet.h"
#include "bin/BIN_stream.h"
#include "glo/GLO_Exception.h"

namespace app {

constexpr char kUserListFileName[] = "StridemereLogbook.bin";
constexpr char kUserListTag[] = "LnRf";
constexpr std::uint16_t kUserListVersion = 100;

// What the user list needs of the rest of the program: the setting
// "CurrentUser" and the document with the current user's runs.
class UserSessionIntf_t {
 public:
  virtual ~UserSessionIntf_t() = default;
  virtual std::string CurrentUser() const = 0;
  // Sets "CurrentUser" and writes it at once.
  virtual void SetCurrentUser(const std::string& name) = 0;
  // Saves the current user's runs.
  virtual void SaveRuns() = 0;
  // Empties the document (runs, tree and journals), without saving.
  virtual void ClearRuns() = 0;
  // Loads the current user's runs into the emptied document.
  virtual void LoadRuns() = 0;
  // Updates all views of the document.
  virtual void UpdateViews() = 0;
};

// True when the name can be the base name of a run database in the data
// folder: not empty, not "." or "..", no "/", "\", NUL or control character,
// short enough for its file and backups to have names, and its file not the
// user list's own file (ignoring case).
bool IsUsableUserName(const std::string& name);

// The refusal of an empty name where a user name is entered.
enum : int { kStrEmptyUserName = 182 };

// True when nothing but blanks is left of the name once its leading and
// trailing blanks are taken off: such a name would show as no name at all,
// and is refused where a name is entered as an empty one is.
bool IsBlankUserName(const std::string& name);

// Refuses, where a name is entered, a blank one (IsBlankUserName, string 182)
// and one that IsUsableUserName rejects: glo::InvalidInput_t with the
// explanation for the user.
void CheckNewUserName(const std::string& name);

// The message for a stored user name that cannot be a file name.
std::string BadUserNameText(const std::string& name);

class UserDatabase_t {
 public:
  using Users_t = std::map<std::uint32_t, std::string>;
  using const_iterator = Users_t::const_iterator;

  // An empty list, not loaded, for the data folder (DataFolder() when empty,
  // looked up on first use).
  explicit UserDatabase_t(const std::string& folder = std::string());

  // The document side; without one the operations change only the list and
  // the files.
  void SetSession(UserSessionIntf_t* session) { m_session = session; }

  bool IsLoaded() const { return m_loaded; }

  // The data folder + "StridemereLogbook.bin".
  const std::string& FilePath() const;
  // The data folder + name + ".bin"; glo::InvalidInput_t (BadUserNameText) for
  // a name that IsUsableUserName rejects: such a name never becomes a path.
  std::string DocumentPath(const std::string& name) const;

  // Reads the list file when it exists; an unreadable or newer file is moved
  // aside (the entries read before the damage stay). Afterwards the list
  // counts as loaded, also when the file could not be looked at (the error
  // is thrown then, and the file is not written over).
  LoadOutcome_t Load();

  // Writes the list file whole or not at all, then, when the list holds an
  // entry, the current user's runs; the runs are saved also when the list
  // cannot be, and the first failure is thrown afterwards. Nothing while the
  // list is not loaded.
  void Save();
  // Writes the list file alone (whole or not at all); nothing while the list
  // is not loaded.
  void SaveList();

  // Adds the entry unless the unit has one; true when added.
  bool AddUser(std::uint32_t unitId, const std::string& name);

  // Moves the user 'name' from the old unit to a new one: saves the current
  // runs, moves the entry (std::out_of_range when the old unit has none) and,
  // when the name is not the current user, switches the document to it.
  void BindUnit(std::uint32_t newUnitId, std::uint32_t oldUnitId, const std::string& name);

  // Renames the first user (by unit id) of the old name and the user's run
  // database file. The new name is checked (CheckNewUserName). The file is
  // renamed without ever replacing another; a failure other than a missing
  // file throws win::Error_t and leaves everything unchanged. The list file
  // is saved at once (when the list is loaded); when that fails the rename is
  // undone and the failure thrown. glo::Assert_t when no user has the old name.
  void RenameUser(const std::string& oldName, const std::string& newName);

  // Deletes the first user of that name and the user's file, saving the list
  // file at once (when loaded); a failure to save the list or to delete the
  // file (other than a missing file) throws and leaves the list, its file and
  // the user's file unchanged. Deleting the current user switches to the user of the lowest
  // unit id, or to none. glo::Assert_t when no user has the name.
  void DeleteUser(const std::string& name);

  // The body of the file: the count, then each name and unit id.
  void WriteUsers(bin::ostream& out) const;
  // Adds the entries of a body; app::BadStream_t when it breaks off (the
  // entries before stay). Names that are not UTF-8 are read as Windows-1252.
  void ReadUsers(bin::istream& in);

  // Moves the list file aside; gives the backup name.
  std::string Backup();

  std::size_t size() const { return m_users.size(); }
  bool empty() const { return m_users.empty(); }
  const_iterator begin() const { return m_users.begin(); }
  const_iterator end() const { return m_users.end(); }
  const_iterator find(std::uint32_t unitId) const { return m_users.find(unitId); }

 private:
  const std::string& Folder() const;
  Users_t::iterator FindName(const std::string& name);

  mutable std::string m_folder;
  mutable std::string m_filePath;
  bool m_loaded = false;
  Users_t m_users;
  UserSessionIntf_t* m_session = nullptr;
};

// The single user list of the process, for the data folder.
UserDatabase_t& GetUserDatabase();

// The document's side of a user's run database: a user whose name cannot be
// a file name gets the outcome kBadName and nothing is looked at or written.
LoadOutcome_t LoadUserRuns(const UserDatabase_t& users, const std::string& name, RunSet_t& runs);
// False (nothing written) for such a name.
bool SaveUserRuns(const UserDatabase_t& users, const std::string& name, const RunSet_t& runs);

}  // namespace app
