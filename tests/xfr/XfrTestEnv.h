#pragma once
// What the dialog tests of this library share: the language module as the
// source of dialogs, and a place for pictures of the dialogs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "err/ERR_FatalDialog.h"
#include "glo/GLO_ApplicationInfo.h"
#include "glo/GLO_StringResource.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_MessageBox.h"
#include "tests/common/TestEnv.h"

namespace xfrtest {

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plat::EnsureGuiApplication());
    plat::SetResourceHandle(glo::GetResourceModule());
    err::SetApplicationInfoSource(&Info);
  }
  void TearDown() override {
    plat::SetModalHook(nullptr);
    plat::SetMessageBoxHook(nullptr);
    plat::PumpUntilIdle();
  }
  static const glo::ApplicationInfo_t& Info() {
    static const glo::ApplicationInfo_t info("Logbook", {2, 5, 0, 0}, "Dec 10 2026", "12:00:00", "REL", "{GUID}");
    return info;
  }
  static std::string Text(int id) { return glo::StringResource_t(id, GLO_SRC).Text(); }
  // Where a picture of a dialog goes (kept under the build's test folder when
  // STRIDE_DIALOG_PICTURES names one).
  static std::string PicturePath(const std::string& name) {
    const char* dir = std::getenv("STRIDE_DIALOG_PICTURES");
    return (dir != nullptr ? std::string(dir) : test::Home()) + "/" + name + ".png";
  }
};

}  // namespace xfrtest
