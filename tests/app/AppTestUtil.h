#pragma once
// Helpers of the tests that run the whole program in this process: the history
// it finds, starting it without the splash pause, closing it as the user
// would, and reading its tree.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/AppSettings.h"
#include "app/Application.h"
#include "app/Commands.h"
#include "app/NewUnitDialog.h"
#include "app/RunDatabase.h"
#include "app/RunSet.h"
#include "app/UserDatabase.h"
#include "app/TransferDialog.h"
#include "app/TransferProgress.h"
#include "app/MainFrame.h"
#include "err/ERR_ErrDlg.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Button.h"
#include "plat/PLAT_ComboEdit.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_MessageBox.h"
#include "plat/PLAT_Tree.h"

namespace apptest {

// Starts the program with the show command; the splash does not pause.
inline bool StartApplication(std::unique_ptr<app::Application_t>& application, int show = app::kSwShowNormal,
                             const std::function<void(app::Application_t&)>& prepare = nullptr) {
  application = std::make_unique<app::Application_t>();
  application->SetSplashPause(0);
  if (prepare) prepare(*application);
  const bool started = application->InitInstance(show);
  plat::PumpUntilIdle();
  return started;
}

// A user list of one user (unit 1234) with that run database, the user the
// current one: the history the program finds when it starts.
inline void WriteHistory(const std::string& user, const app::RunSet_t& runs) {
  app::UserDatabase_t users(app::DataFolder());
  users.Load();
  users.AddUser(1234, user);
  users.Save();
  app::SaveRunDatabase(users.DocumentPath(user), runs);
  app::GetAppSettings().currentUser.Set(user);
}

// Closes the main window as the user would and ends the program.
inline void CloseApplication(std::unique_ptr<app::Application_t>& application) {
  if (application->Frame() && application->Frame()->HasWindow()) application->Frame()->SendMessage(plat::kWmClose);
  plat::PumpUntilIdle();
  application->ExitInstance();
  application.reset();
}

// The tree's items, depth first, as "level:text".
inline std::vector<std::string> TreeItems(plat::TreeCtrl_t& tree) {
  std::vector<std::string> items;
  std::function<void(plat::HTREEITEM, int)> walk = [&](plat::HTREEITEM item, int level) {
    for (; item; item = tree.GetNextSiblingItem(item)) {
      items.push_back(std::to_string(level) + ":" + tree.GetItemText(item));
      walk(tree.GetChildItem(item), level + 1);
    }
  };
  walk(tree.GetRootItem(), 0);
  return items;
}

// Answers a transfer's dialogs as a user would: the watch's port in the
// transfer dialog, 'user' as the new unit's user, the progress dialog closed
// at its end; fatal reports are counted and message boxes kept. The strings
// are read when the dialogs open.
inline void AnswerTransferDialogs(const std::string& port, const std::string& user, int& reports,
                                  std::vector<std::string>& messages) {
  const auto button = [](plat::Wnd_t& dialog, int id) -> plat::Button_t& {
    return dynamic_cast<plat::Button_t&>(*dialog.GetDlgItem(id));
  };
  plat::SetModalHook([&port, &user, &reports, button](plat::Dialog_t& dialog) {
    if (auto* transfer = dynamic_cast<app::TransferDialog_t*>(&dialog)) {
      plat::SetComboText(transfer->PortSelector().Ctrl().PortList(), port);
      button(*transfer, plat::kIdOk).Click();
      if (!transfer->IsEnding()) button(*transfer, plat::kIdCancel).Click();
    } else if (auto* unit = dynamic_cast<app::NewUnitDialog_t*>(&dialog)) {
      plat::TypeComboText(dynamic_cast<plat::ComboBox_t&>(*unit->GetDlgItem(app::NewUnitDialog_t::kUserBox)), user);
      button(*unit, plat::kIdOk).Click();
    } else if (auto* progress = dynamic_cast<app::XferDialog_t*>(&dialog)) {
      plat::PumpUntil([&] { return progress->IsFinished() || progress->IsEnding(); }, 30000);
      if (progress->IsFinished()) button(*progress, plat::kIdCancel).Click();
    } else if (dynamic_cast<err::ErrDlg_t*>(&dialog)) {
      ++reports;
      dialog.EndDialog(plat::kIdOk);
    }
  });
  plat::SetMessageBoxHook([&messages](const std::string& text, const std::string&, unsigned) {
    messages.push_back(text);
    return plat::kIdOk;
  });
}

}  // namespace apptest
