// The edit-users and rename-user dialogs: renaming and deleting users with
// their run database files, refusing a name another user has.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/AppSettings.h"
#include "app/Document.h"
#include "app/RunDatabase.h"
#include "app/UserDatabase.h"
#include "app/UserDialogs.h"
#include "glo/GLO_StringResource.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Button.h"
#include "plat/PLAT_Edit.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_Input.h"
#include "plat/PLAT_List.h"
#include "plat/PLAT_MessageBox.h"
#include "tests/app/TrainingTestUtil.h"
#include "tests/common/TestEnv.h"

namespace {

namespace fs = std::filesystem;

class UserDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plat::EnsureGuiApplication());
    plat::SetResourceHandle(glo::GetResourceModule());
    app::UserDatabase_t& users = app::GetUserDatabase();
    while (!users.empty()) {
      // Whatever an earlier test left in place of a user's file goes first.
      const std::string name = users.begin()->second;
      if (app::IsUsableUserName(name)) fs::remove_all(users.DocumentPath(name));
      users.DeleteUser(name);
    }
    const char* names[] = {"anna", "Bob", "carl"};
    for (std::uint32_t unit = 1; unit <= 3; ++unit) {
      users.AddUser(unit, names[unit - 1]);
      app::RunSet_t runs;
      runs.insert(trtest::MakeRun(trtest::kBase + unit * 1000, 1));
      app::SaveRunDatabase(users.DocumentPath(names[unit - 1]), runs);
    }
    app::GetAppSettings().currentUser.Set("anna");
    m_doc.LoadDatabase();
  }
  void TearDown() override {
    plat::SetModalHook(nullptr);
    plat::SetMessageBoxHook(nullptr);
  }
  static std::vector<std::string> Rows(plat::Dialog_t& dialog) {
    auto& list = dynamic_cast<plat::ListBox_t&>(*dialog.GetDlgItem(app::EditUsersDialog_t::kUserList));
    std::vector<std::string> rows(static_cast<size_t>(list.GetCount()));
    for (int i = 0; i < list.GetCount(); ++i) list.GetText(i, rows[static_cast<size_t>(i)]);
    return rows;
  }
  static void Select(plat::Dialog_t& dialog, const std::string& name) {
    auto& list = dynamic_cast<plat::ListBox_t&>(*dialog.GetDlgItem(app::EditUsersDialog_t::kUserList));
    list.SetCurSel(list.FindStringExact(-1, name));
  }
  static plat::Button_t& ButtonOf(plat::Dialog_t& dialog, int id) {
    return dynamic_cast<plat::Button_t&>(*dialog.GetDlgItem(id));
  }
  static bool Exists(const std::string& name) { return fs::exists(app::GetUserDatabase().DocumentPath(name)); }

  app::Document_t m_doc;
};

TEST_F(UserDialogsTest, RenameRefusesATakenNameAndRenamesTheFile) {
  std::vector<std::string> messages;
  plat::SetMessageBoxHook([&](const std::string& text, const std::string&, unsigned) {
    messages.push_back(text);
    return plat::kIdOk;
  });
  std::vector<std::string> rowsAfter;
  plat::SetModalHook([&](plat::Dialog_t& dialog) {
    if (auto* rename = dynamic_cast<app::RenameUserDialog_t*>(&dialog)) {
      auto& edit = dynamic_cast<plat::Edit_t&>(*rename->GetDlgItem(app::RenameUserDialog_t::kName));
      EXPECT_EQ(edit.GetWindowText(), "anna");
      edit.SetWindowText("Bob");  // taken: refused, the dialog stays
      ButtonOf(*rename, plat::kIdOk).Click();
      EXPECT_EQ(messages.size(), 1u);
      edit.SetWindowText("Anna");  // differs only in case: accepted
      ButtonOf(*rename, plat::kIdOk).Click();
      if (!rename->IsEnding()) rename->EndDialog(plat::kIdCancel);  // refused: the test fails, not hangs
      return;
    }
    EXPECT_EQ(Rows(dialog).size(), 3u);
    Select(dialog, "anna");
    ButtonOf(dialog, app::EditUsersDialog_t::kRename).Click();
    rowsAfter = Rows(dialog);
    dialog.EndDialog(plat::kIdOk);
  });
  app::EditUsersDialog_t dialog;
  dialog.DoModal();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], glo::StringResource_t(153, GLO_SRC).Format("Bob", GLO_SRC));
  EXPECT_EQ(rowsAfter.size(), 3u);
  EXPECT_NE(std::find(rowsAfter.begin(), rowsAfter.end(), "Anna"), rowsAfter.end());
  EXPECT_TRUE(Exists("Anna"));
  EXPECT_FALSE(Exists("anna"));
  EXPECT_EQ(app::GetAppSettings().currentUser.Value(), "Anna");
}

TEST_F(UserDialogsTest, DeleteAsksThenRemovesUserAndFileUntilNoneIsLeft) {
  int answer = plat::kIdNo;
  plat::SetMessageBoxHook([&](const std::string&, const std::string&, unsigned type) {
    EXPECT_EQ(type, unsigned(plat::kMbYesNo));
    return answer;
  });
  plat::SetModalHook([&](plat::Dialog_t& dialog) {
    Select(dialog, "carl");
    ButtonOf(dialog, app::EditUsersDialog_t::kDelete).Click();
    EXPECT_EQ(Rows(dialog).size(), 3u);  // No: nothing changes
    answer = plat::kIdYes;
    ButtonOf(dialog, app::EditUsersDialog_t::kDelete).Click();
    EXPECT_EQ(Rows(dialog).size(), 2u);
    EXPECT_FALSE(Exists("carl"));
    // The first row is selected after each fill: delete the rest.
    ButtonOf(dialog, app::EditUsersDialog_t::kDelete).Click();
    ButtonOf(dialog, app::EditUsersDialog_t::kDelete).Click();
    EXPECT_TRUE(Rows(dialog).empty());
    EXPECT_FALSE(ButtonOf(dialog, app::EditUsersDialog_t::kRename).IsWindowEnabled());
    EXPECT_FALSE(ButtonOf(dialog, app::EditUsersDialog_t::kDelete).IsWindowEnabled());
    dialog.EndDialog(plat::kIdOk);
  });
  app::EditUsersDialog_t dialog;
  dialog.DoModal();
  EXPECT_TRUE(app::GetUserDatabase().empty());
  EXPECT_FALSE(Exists("anna"));
  EXPECT_FALSE(Exists("Bob"));
  EXPECT_EQ(app::GetAppSettings().currentUser.Value(), "");
  EXPECT_TRUE(m_doc.GetRuns().empty());
}

// The list as it is on disk (what a restart after a crash would find).
std::map<std::uint32_t, std::string> ListOnDisk() {
  app::UserDatabase_t stored(app::DataFolder());
  stored.Load();
  return {stored.begin(), stored.end()};
}

// The list kept on disk from the start, so that each change must reach it.
void LoadList() {
  app::UserDatabase_t& users = app::GetUserDatabase();
  if (!users.IsLoaded()) {
    fs::remove(users.FilePath());
    users.Load();
  }
  users.SaveList();
}

// A name that cannot be a file name is refused with the refusal's text, an
// empty or blank one (which would show as no name) as an empty name is; the
// dialog stays open and nothing changes.
TEST_F(UserDialogsTest, RenameToAnUnsafeOrBlankNameShowsWhyAndChangesNothing) {
  LoadList();
  const auto before = ListOnDisk();
  std::vector<std::string> messages;
  std::vector<unsigned> types;
  plat::SetMessageBoxHook([&](const std::string& text, const std::string&, unsigned type) {
    messages.push_back(text);
    types.push_back(type);
    return plat::kIdOk;
  });
  const std::string unsafe = glo::StringResource_t(7170, GLO_SRC).Text();
  const std::string empty = glo::StringResource_t(app::kStrEmptyUserName, GLO_SRC).Text();
  ASSERT_FALSE(unsafe.empty());
  ASSERT_FALSE(empty.empty());
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"../evil", unsafe}, {"a/b", unsafe}, {"..", unsafe}, {"StridemereLogbook", unsafe},
      {"", empty},         {"   ", empty},  {" \t ", empty},
  };
  plat::SetModalHook([&](plat::Dialog_t& dialog) {
    if (auto* rename = dynamic_cast<app::RenameUserDialog_t*>(&dialog)) {
      auto& edit = dynamic_cast<plat::Edit_t&>(*rename->GetDlgItem(app::RenameUserDialog_t::kName));
      for (const auto& [name, refusal] : cases) {
        SCOPED_TRACE("\"" + name + "\"");
        messages.clear();
        types.clear();
        edit.SetWindowText(name);
        ButtonOf(*rename, plat::kIdOk).Click();
        EXPECT_FALSE(rename->IsEnding());
        EXPECT_EQ(messages, std::vector<std::string>{refusal});
        // No name is refused as in the new-unit dialog, without an icon.
        const unsigned type = refusal == empty ? plat::kMbOk : plat::kMbOk | plat::kMbIconExclamation;
        EXPECT_EQ(types, std::vector<unsigned>{type});
      }
      rename->EndDialog(plat::kIdCancel);
      return;
    }
    Select(dialog, "Bob");
    ButtonOf(dialog, app::EditUsersDialog_t::kRename).Click();
    dialog.EndDialog(plat::kIdOk);
  });
  app::EditUsersDialog_t dialog;
  dialog.DoModal();
  EXPECT_EQ(ListOnDisk(), before);
  EXPECT_TRUE(Exists("Bob"));
}

// The file system refuses the rename (another file has the new name) and the
// deletion (the user's file is a folder): a message with the system's text;
// the list, its file and the users' files stay as they were. A rename or
// deletion that succeeds reaches the list file at once.
TEST_F(UserDialogsTest, RenameAndDeleteRefusedByTheFileSystemChangeNothingAndSucceedingOnesAreSavedAtOnce) {
  LoadList();
  const std::string folder = app::DataFolder();
  test::WriteFile(folder + "stale.bin", "not a user's");  // no user has this name
  const std::string bobPath = app::GetUserDatabase().DocumentPath("Bob");
  const std::string bobBytes = test::ReadFile(bobPath);
  const std::string carlPath = app::GetUserDatabase().DocumentPath("carl");
  fs::remove(carlPath);
  fs::create_directory(carlPath);
  test::WriteFile(carlPath + "/kept", "x");
  const auto before = ListOnDisk();
  ASSERT_EQ(before.size(), 3u);

  std::vector<std::string> messages;
  plat::SetMessageBoxHook([&](const std::string& text, const std::string&, unsigned type) {
    if (type == unsigned(plat::kMbYesNo)) return plat::kIdYes;  // the question before a deletion
    messages.push_back(text);
    return plat::kIdOk;
  });
  std::string newName = "stale";
  std::vector<std::string> rowsAfterRefusals;
  plat::SetModalHook([&](plat::Dialog_t& dialog) {
    if (auto* rename = dynamic_cast<app::RenameUserDialog_t*>(&dialog)) {
      dynamic_cast<plat::Edit_t&>(*rename->GetDlgItem(app::RenameUserDialog_t::kName)).SetWindowText(newName);
      ButtonOf(*rename, plat::kIdOk).Click();
      if (!rename->IsEnding()) rename->EndDialog(plat::kIdCancel);
      return;
    }
    Select(dialog, "Bob");
    ButtonOf(dialog, app::EditUsersDialog_t::kRename).Click();
    Select(dialog, "carl");
    ButtonOf(dialog, app::EditUsersDialog_t::kDelete).Click();
    rowsAfterRefusals = Rows(dialog);
    // Now ones that succeed.
    newName = "Robert";
    Select(dialog, "Bob");
    ButtonOf(dialog, app::EditUsersDialog_t::kRename).Click();
    Select(dialog, "anna");
    ButtonOf(dialog, app::EditUsersDialog_t::kDelete).Click();
    dialog.EndDialog(plat::kIdOk);
  });
  app::EditUsersDialog_t dialog;
  dialog.DoModal();

  ASSERT_EQ(messages.size(), 2u);
  const auto systemText = [](const std::string& text) {
    // The message ends with the system's own text after the explanation.
    const std::size_t lineBreak = text.find('\n');
    return lineBreak == std::string::npos ? std::string() : text.substr(lineBreak + 1);
  };
  EXPECT_EQ(messages[0].rfind(glo::StringResource_t(7300, GLO_SRC).FormatArgs({"Bob", ""}, GLO_SRC), 0), 0u)
      << messages[0];
  EXPECT_FALSE(systemText(messages[0]).empty()) << messages[0];
  EXPECT_EQ(messages[1].rfind(glo::StringResource_t(7301, GLO_SRC).FormatArgs({"carl", ""}, GLO_SRC), 0), 0u)
      << messages[1];
  EXPECT_FALSE(systemText(messages[1]).empty()) << messages[1];
  EXPECT_EQ(rowsAfterRefusals.size(), 3u);
  EXPECT_EQ(test::ReadFile(folder + "stale.bin"), "not a user's");
  EXPECT_EQ(test::ReadFile(carlPath + "/kept"), "x");

  // The successful rename and deletion are on disk without a close.
  const auto after = ListOnDisk();
  EXPECT_EQ(after, (std::map<std::uint32_t, std::string>{{2, "Robert"}, {3, "carl"}}));
  EXPECT_EQ(test::ReadFile(app::GetUserDatabase().DocumentPath("Robert")), bobBytes);
  EXPECT_FALSE(Exists("Bob"));
  EXPECT_FALSE(Exists("anna"));
  fs::remove_all(carlPath);
  fs::remove(folder + "stale.bin");
}

// Keys as the user presses them: Enter presses the focused push button (the
// delete button asks its question), Enter in the name field is OK, Escape
// cancels.
TEST_F(UserDialogsTest, EnterPressesTheFocusedButtonOrOkAndEscapeCancels) {
  std::vector<std::string> asked;
  plat::SetMessageBoxHook([&](const std::string& text, const std::string&, unsigned) {
    asked.push_back(text);
    return plat::kIdNo;
  });
  bool renameEnded = false, escapeEnded = false;
  plat::SetModalHook([&](plat::Dialog_t& dialog) {
    if (auto* rename = dynamic_cast<app::RenameUserDialog_t*>(&dialog)) {
      auto& edit = dynamic_cast<plat::Edit_t&>(*rename->GetDlgItem(app::RenameUserDialog_t::kName));
      edit.SetWindowText("Carla");
      edit.SetFocus();
      plat::SendKeyToFocus(plat::kVkReturn);
      renameEnded = rename->IsEnding();
      if (!renameEnded) rename->EndDialog(plat::kIdCancel);
      return;
    }
    Select(dialog, "carl");
    plat::Button_t& deleteButton = ButtonOf(dialog, app::EditUsersDialog_t::kDelete);
    deleteButton.SetFocus();
    plat::SendKeyToFocus(plat::kVkReturn);
    plat::Button_t& renameButton = ButtonOf(dialog, app::EditUsersDialog_t::kRename);
    renameButton.SetFocus();
    plat::SendKeyToFocus(plat::kVkReturn);
    plat::SendKeyToFocus(plat::kVkEscape);
    escapeEnded = dialog.IsEnding();
    if (!escapeEnded) dialog.EndDialog(plat::kIdOk);
  });
  app::EditUsersDialog_t dialog;
  EXPECT_EQ(dialog.DoModal(), plat::kIdCancel);
  EXPECT_EQ(asked, std::vector<std::string>{glo::StringResource_t(152, GLO_SRC).Format("carl", GLO_SRC)});
  EXPECT_TRUE(renameEnded);
  EXPECT_TRUE(escapeEnded);
  EXPECT_TRUE(Exists("Carla"));
  EXPECT_FALSE(Exists("carl"));
}

}  // namespace
