#pragma once
// Helpers of the tests that run the whole program in this process: starting it
// without the splash pause, closing it as the user would, and reading its tree.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/MainFrame.h"
#include "plat/PLAT_App.h"
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

}  // namespace apptest
