// The edit-users and rename-user dialogs: renaming and deleting users with
// their run database files, refusing a name another user has.
#include <gtest/gtest.h>

#include <filesystem>

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
#include "plat/PLAT_List.h"
#include "plat/PLAT_MessageBox.h"
#include "tests/app/TrainingTestUtil.h"

namespace {

namespace fs = std::filesystem;

class UserDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plat::EnsureGuiApplication());
    plat::SetResourceHandle(glo::GetResourceModule());
    app::UserDatabase_t& users = app::GetUserDatabase();
    while (!users.empty()) users.DeleteUser(users.begin()->second);
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

}  // namespace
