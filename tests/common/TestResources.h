#pragma once
// The resource module with the test dialogs, menus and toolbars (and every
// string of the program) as the window layer's resource module.
#include <gtest/gtest.h>

#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_Module.h"
#include "tests/common/TestEnv.h"

namespace test {

inline void UseTestResources() {
  ASSERT_TRUE(plat::EnsureGuiApplication());
  static const plat::ModuleHandle module =
      plat::LoadResourceModule(test::ExeDir() + "/StridemereLogbook_LANG_test.dll");
  ASSERT_NE(module, nullptr);
  plat::SetResourceHandle(module);
}

}  // namespace test
