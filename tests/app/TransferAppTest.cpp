// The program as a whole, offscreen, with the simulated watch: the first start
// without users transfers at once, the new runs stand in the tree and are there
// again after a restart; a second unit bound to a second user likewise.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/AppSettings.h"
#include "app/Application.h"
#include "app/Commands.h"
#include "app/MainFrame.h"
#include "app/NewUnitDialog.h"
#include "app/TransferDialog.h"
#include "app/TransferProgress.h"
#include "app/TreeView.h"
#include "err/ERR_ErrDlg.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Button.h"
#include "plat/PLAT_ComboEdit.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_List.h"
#include "plat/PLAT_MessageBox.h"
#include "tests/app/AppTestUtil.h"
#include "tests/common/TestEnv.h"
#include "tools/SimLaps.h"
#include "tools/WatchSim.h"

namespace {

constexpr std::uint32_t kDay = 86400;
constexpr std::uint32_t kFirst = 1149231600u;  // device time, 2026-06-01 07:00 UTC

// 'count' finished runs a day apart from 'day', each with its track.
sim::Profile Unit(int day, int count, std::uint32_t unitId) {
  std::vector<sim::SimRunSpec> runs(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    runs[static_cast<std::size_t>(i)].start = kFirst + static_cast<std::uint32_t>(day + i) * kDay;
    runs[static_cast<std::size_t>(i)].trackIndex = static_cast<std::uint8_t>(i);
  }
  sim::Profile profile;
  sim::BuiltinProfile("runner", profile);
  profile.unitId = unitId;
  return sim::LapProfile(sim::MakeLapHistory(runs), sim::LapFaults(), profile);
}

class TransferAppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plat::EnsureGuiApplication());
    apptest::AnswerTransferDialogs(m_port, m_user, m_reports, m_messages);
  }
  void TearDown() override {
    m_app.reset();
    plat::SetModalHook(nullptr);
    plat::SetMessageBoxHook(nullptr);
    plat::PumpUntilIdle();
  }

  bool Start() {
    return apptest::StartApplication(m_app, app::kSwShowNormal,
                                     [](app::Application_t& a) { a.SetTransferCommand(app::RunTransferDialog); });
  }
  void Close() { apptest::CloseApplication(m_app); }
  plat::TreeCtrl_t& Tree() { return m_app->Frame()->GetTreeView().Control(); }
  std::vector<std::string> TreeItems() { return apptest::TreeItems(Tree()); }
  std::size_t RunItems() {
    std::size_t runs = 0;
    for (const std::string& item : TreeItems()) runs += item.rfind("2:", 0) == 0;
    return runs;
  }

  test::EnvOverride m_runtime{"XDG_RUNTIME_DIR", nullptr};
  std::unique_ptr<app::Application_t> m_app;
  std::string m_port;
  std::string m_user;
  int m_reports = 0;
  std::vector<std::string> m_messages;
};

TEST_F(TransferAppTest, TransferredRunsStayAcrossARestartForEachUnitsUser) {
  {
    sim::Watch_t watch(Unit(0, 3, 1001));
    m_port = watch.PortPath();
    m_user = "anna";
    ASSERT_TRUE(Start());  // no user yet: the transfer opens at once
  }
  EXPECT_EQ(RunItems(), 3u);
  const std::vector<std::string> annas = TreeItems();
  Close();
  ASSERT_TRUE(Start());
  EXPECT_EQ(TreeItems(), annas);

  {
    sim::Watch_t watch(Unit(40, 2, 2002));
    m_port = watch.PortPath();
    m_user = "bob";
    m_app->OnCommand(app::kCmdTransfer, 0);
    plat::PumpUntilIdle();
  }
  EXPECT_EQ(app::GetAppSettings().currentUser.Value(), "bob");
  EXPECT_EQ(RunItems(), 2u);
  const std::vector<std::string> bobs = TreeItems();
  Close();
  ASSERT_TRUE(Start());
  EXPECT_EQ(TreeItems(), bobs);
  EXPECT_EQ(m_reports, 0);
  EXPECT_TRUE(m_messages.empty());
}

}  // namespace
