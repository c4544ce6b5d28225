// The user list: its file, damaged files, and renaming, deleting and binding
// users together with their run database files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "app/RunDatabase.h"
#include "app/UserDatabase.h"
#include "tests/app/TrainingTestUtil.h"
#include "tests/common/TestEnv.h"
#include "win/WIN_Exception.h"

using namespace trtest;

namespace {

std::string HeaderBytes(std::uint16_t layout = 101, std::uint16_t data = 100, const std::string& tag = "LnRf") {
  return trtest::HeaderBytes(tag, layout, data);
}

std::string Entry(const std::string& name, std::uint32_t unit) { return Sz(name) + Le(unit); }

// The document side, as a log of what the list asked of it.
class FakeSession : public app::UserSessionIntf_t {
 public:
  std::string current;
  std::vector<std::string> log;
  std::string CurrentUser() const override { return current; }
  void SetCurrentUser(const std::string& name) override {
    current = name;
    log.push_back("current " + name);
  }
  void SaveRuns() override { log.push_back("save"); }
  void ClearRuns() override { log.push_back("clear"); }
  void LoadRuns() override { log.push_back("load " + current); }
  void UpdateViews() override { log.push_back("update"); }
};

class UserDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_folder = test::MakeTempDir("users") + "/";
    m_users.reset(new app::UserDatabase_t(m_folder));
    m_users->SetSession(&m_session);
  }
  std::string ListPath() const { return m_folder + "StridemereLogbook.bin"; }
  void Reload() {
    m_users.reset(new app::UserDatabase_t(m_folder));
    m_users->SetSession(&m_session);
  }
  std::vector<std::pair<std::uint32_t, std::string>> Entries() const {
    return {m_users->begin(), m_users->end()};
  }

  std::string m_folder;
  FakeSession m_session;
  std::unique_ptr<app::UserDatabase_t> m_users;
};

using Entries_t = std::vector<std::pair<std::uint32_t, std::string>>;

TEST(UserDatabase, FilesLieInTheDataFolder) {
  const char* data = std::getenv("XDG_DATA_HOME");
  ASSERT_NE(data, nullptr);
  const std::string folder = std::string(data) + "/VORTAN/Stridemere Logbook/";
  EXPECT_EQ(app::DataFolder(), folder);
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_EQ(app::GetUserDatabase().FilePath(), folder + "StridemereLogbook.bin");
  EXPECT_EQ(app::GetUserDatabase().DocumentPath("Runner"), folder + "Runner.bin");
  EXPECT_FALSE(app::GetUserDatabase().IsLoaded());
}

TEST_F(UserDatabaseTest, MissingFileThenSaveWritesTheLayout) {
  EXPECT_EQ(m_users->FilePath(), ListPath());
  m_users->Save();  // not loaded: nothing written
  EXPECT_FALSE(app::FileExists(ListPath()));
  EXPECT_EQ(m_users->Load().status, app::LoadOutcome_t::kMissing);
  EXPECT_TRUE(m_users->IsLoaded());
  m_users->Save();
  EXPECT_EQ(test::ReadFile(ListPath()), HeaderBytes() + Le<std::uint32_t>(0));
  EXPECT_TRUE(m_session.log.empty());  // no runs saved for an empty list

  m_users->AddUser(0x01020304, "Alice");
  EXPECT_FALSE(m_users->AddUser(0x01020304, "Other"));
  m_users->AddUser(7, "Bob");
  m_users->Save();
  EXPECT_EQ(test::ReadFile(ListPath()), HeaderBytes() + Le<std::uint32_t>(2) + Entry("Bob", 7) +
                                            Entry("Alice", 0x01020304));
  EXPECT_EQ(m_session.log, std::vector<std::string>{"save"});
  Reload();
  EXPECT_EQ(m_users->Load().status, app::LoadOutcome_t::kLoaded);
  EXPECT_EQ(Entries(), (Entries_t{{7, "Bob"}, {0x01020304, "Alice"}}));
}

TEST_F(UserDatabaseTest, DamagedListsAreMovedAside) {
  const std::string two = Entry("Ann", 1) + Entry("Ben", 2);
  std::string recordType = HeaderBytes() + Le<std::uint32_t>(2) + two;
  recordType[10] = 'Q';
  struct Case {
    const char* name;
    std::string bytes;
    int message;
    Entries_t entries;
  };
  const std::vector<Case> cases = {
      {"run database tag", HeaderBytes(101, 100, "DlRf") + Le<std::uint32_t>(2) + two, 177, {}},
      {"newer layout", HeaderBytes(102) + Le<std::uint32_t>(2) + two, 178, {}},
      {"newer data", HeaderBytes(101, 101) + Le<std::uint32_t>(2) + two, 178, {}},
      {"count beyond the entries", HeaderBytes() + Le<std::uint32_t>(1000) + two, 177, {{1, "Ann"}, {2, "Ben"}}},
      {"cut inside an entry", HeaderBytes() + Le<std::uint32_t>(2) + two.substr(0, two.size() - 2), 177, {{1, "Ann"}}},
      {"wrong record type", recordType, 177, {}},
      {"repeated unit keeps the first", HeaderBytes() + Le<std::uint32_t>(2) + Entry("Ann", 1) + Entry("Bob", 1), 0,
       {{1, "Ann"}}},
      {"name in Windows-1252", HeaderBytes() + Le<std::uint32_t>(1) + Entry("J\xF6rg", 3), 0,
       {{3, "J\xC3\xB6rg"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    test::WriteFile(ListPath(), c.bytes);
    const app::LoadOutcome_t outcome = m_users->Load();
    EXPECT_TRUE(m_users->IsLoaded());
    EXPECT_EQ(outcome.messageId, c.message);
    EXPECT_EQ(Entries(), c.entries);
    if (c.message == 0) continue;
    EXPECT_EQ(outcome.backupPath, ListPath() + ".001");
    EXPECT_EQ(test::ReadFile(ListPath() + ".001"), c.bytes);
    // The next bad file goes to .002.
    test::WriteFile(ListPath(), "x");
    Reload();
    EXPECT_EQ(m_users->Load().backupPath, ListPath() + ".002");
  }
}

TEST_F(UserDatabaseTest, ListThatCannotBeOpenedIsNeverWrittenOver) {
  std::filesystem::create_directory(ListPath());
  EXPECT_THROW(m_users->Load(), win::Error_t);
  EXPECT_TRUE(m_users->IsLoaded());
  m_users->AddUser(1, "Ann");
  EXPECT_THROW(m_users->Save(), app::SaveRefused_t);
  EXPECT_TRUE(std::filesystem::is_directory(ListPath()));
  // The runs are saved all the same: one failure loses nothing else.
  EXPECT_EQ(m_session.log, std::vector<std::string>{"save"});
}

TEST_F(UserDatabaseTest, UserNamesThatCannotBeFileNames) {
  const std::vector<std::string> bad = {"",  ".", "..", "a/b", "a\\b", std::string("a\0b", 3), "tab\there", "del\x7F",
                                        "StridemereLogbook", "STRIDEMERELOGBOOK", std::string(248, 'n')};
  for (const std::string& name : bad) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(app::IsUsableUserName(name));
    EXPECT_THROW(app::CheckNewUserName(name), glo::InvalidInput_t);
  }
  const std::vector<std::string> good = {"Runner", "...", "J\xC3\xB6rg", "StridemereLogbook.bin", "a b",
                                        std::string(247, 'n')};
  for (const std::string& name : good)
    EXPECT_TRUE(app::IsUsableUserName(name)) << name;
  // Blanks alone could name a file but show as no name: refused as a new name.
  for (const std::string blank : {" ", "   "}) {
    EXPECT_TRUE(app::IsUsableUserName(blank)) << '"' << blank << '"';
    EXPECT_THROW(app::CheckNewUserName(blank), glo::InvalidInput_t) << '"' << blank << '"';
  }

  // A stored name of that kind never becomes a path.
  m_users->AddUser(1, "../escape");
  EXPECT_THROW(m_users->DocumentPath("../escape"), glo::InvalidInput_t);
  app::RunSet_t runs;
  runs.insert(MakeRun(kBase));
  const app::LoadOutcome_t outcome = app::LoadUserRuns(*m_users, "../escape", runs);
  EXPECT_EQ(outcome.status, app::LoadOutcome_t::kBadName);
  EXPECT_EQ(outcome.messageId, 7171);
  EXPECT_NE(app::BadUserNameText("../escape").find("../escape"), std::string::npos);
  EXPECT_FALSE(app::SaveUserRuns(*m_users, "../escape", runs));
  EXPECT_FALSE(app::SaveUserRuns(*m_users, "StridemereLogbook", runs));
  EXPECT_TRUE(std::filesystem::is_empty(m_folder));
  // It can be renamed to a good name, or deleted, without touching any file.
  m_users->RenameUser("../escape", "Fixed");
  EXPECT_EQ(m_users->find(1)->second, "Fixed");
  EXPECT_THROW(m_users->RenameUser("Fixed", "a/b"), glo::InvalidInput_t);
  EXPECT_EQ(m_users->find(1)->second, "Fixed");
  EXPECT_TRUE(app::SaveUserRuns(*m_users, "Fixed", runs));
  EXPECT_TRUE(app::FileExists(m_folder + "Fixed.bin"));
}

// The dialogs name a user by the list's own text: the list may be handed a
// reference to the very name it changes or erases.
TEST_F(UserDatabaseTest, NamesHandedInFromTheListItselfStayValid) {
  m_users->AddUser(1, "Ann");
  m_users->AddUser(2, "Ben");
  m_session.current = "Ann";
  m_users->RenameUser(m_users->find(1)->second, "Anna");
  EXPECT_EQ(m_session.current, "Anna");
  m_users->DeleteUser(m_users->find(1)->second);
  EXPECT_EQ(Entries(), (std::vector<std::pair<std::uint32_t, std::string>>{{2, "Ben"}}));
  EXPECT_EQ(m_session.current, "Ben");
}

TEST_F(UserDatabaseTest, RenameMovesTheFileAndNeverReplacesAnother) {
  m_users->AddUser(1, "Ann");
  m_users->AddUser(2, "Ben");
  m_session.current = "Ann";
  test::WriteFile(m_folder + "Ann.bin", "ann's runs");
  m_users->RenameUser("Ann", "Ann");  // the same name: nothing to do
  EXPECT_EQ(test::ReadFile(m_folder + "Ann.bin"), "ann's runs");
  m_users->RenameUser("Ann", "Anna");
  EXPECT_EQ(m_users->find(1)->second, "Anna");
  EXPECT_EQ(m_session.current, "Anna");
  EXPECT_EQ(test::ReadFile(m_folder + "Anna.bin"), "ann's runs");
  EXPECT_FALSE(app::FileExists(m_folder + "Ann.bin"));

  // Ben has no file yet: the list changes all the same; the current user stays.
  m_users->RenameUser("Ben", "Benedict");
  EXPECT_EQ(m_users->find(2)->second, "Benedict");
  EXPECT_EQ(m_session.current, "Anna");

  // A file under the new name is never replaced.
  test::WriteFile(m_folder + "Zed.bin", "someone else's");
  EXPECT_THROW(m_users->RenameUser("Anna", "Zed"), win::Error_t);
  EXPECT_EQ(m_users->find(1)->second, "Anna");
  EXPECT_EQ(m_session.current, "Anna");
  EXPECT_EQ(test::ReadFile(m_folder + "Zed.bin"), "someone else's");
  EXPECT_EQ(test::ReadFile(m_folder + "Anna.bin"), "ann's runs");

  EXPECT_THROW(m_users->RenameUser("Nobody", "X"), glo::Assert_t);
}

TEST_F(UserDatabaseTest, DeleteSwitchesToTheLowestUnitOrToNone) {
  m_users->AddUser(5, "Cat");
  m_users->AddUser(3, "Ann");
  m_users->AddUser(9, "Ben");
  m_session.current = "Cat";
  test::WriteFile(m_folder + "Cat.bin", "x");
  m_users->DeleteUser("Ben");  // not current: nothing else happens
  EXPECT_TRUE(m_session.log.empty());
  m_users->DeleteUser("Cat");
  EXPECT_FALSE(app::FileExists(m_folder + "Cat.bin"));
  EXPECT_EQ(m_session.log, (std::vector<std::string>{"clear", "current Ann", "load Ann", "update"}));
  m_session.log.clear();

  // A file that cannot be deleted leaves the list as it was.
  std::filesystem::create_directory(m_folder + "Ann.bin");
  EXPECT_THROW(m_users->DeleteUser("Ann"), win::Error_t);
  EXPECT_EQ(Entries(), (Entries_t{{3, "Ann"}}));
  std::filesystem::remove(m_folder + "Ann.bin");

  m_users->DeleteUser("Ann");
  EXPECT_TRUE(m_users->empty());
  EXPECT_EQ(m_session.log, (std::vector<std::string>{"clear", "current ", "update"}));
  EXPECT_THROW(m_users->DeleteUser("Ann"), glo::Assert_t);
}

TEST_F(UserDatabaseTest, BindUnitMovesTheUserToTheNewUnit) {
  m_users->AddUser(1, "Ann");
  m_users->AddUser(2, "Ben");
  m_session.current = "Ann";
  m_users->BindUnit(10, 1, "Ann");
  EXPECT_EQ(Entries(), (Entries_t{{2, "Ben"}, {10, "Ann"}}));
  EXPECT_EQ(m_session.log, std::vector<std::string>{"save"});
  m_session.log.clear();
  m_users->BindUnit(20, 2, "Ben");
  EXPECT_EQ(Entries(), (Entries_t{{10, "Ann"}, {20, "Ben"}}));
  EXPECT_EQ(m_session.log, (std::vector<std::string>{"save", "current Ben", "clear", "load Ben"}));
  EXPECT_THROW(m_users->BindUnit(30, 99, "Ann"), std::out_of_range);
}

}  // namespace
