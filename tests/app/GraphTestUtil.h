#pragma once
// Offscreen windows and memory contexts for the graph and page tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "glo/GLO_StringResource.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_Gdi.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_Window.h"

namespace graphtest {

// A plain top-level window to hold the controls under test.
class Host_t : public plat::Wnd_t {
 public:
  explicit Host_t(int width = 600, int height = 400) {
    Create(nullptr, 0, plat::kWsOverlappedWindow, plat::RECT{0, 0, width, height});
  }
};

class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plat::EnsureGuiApplication());
    plat::SetResourceHandle(glo::GetResourceModule());
  }
  void TearDown() override { plat::PumpUntilIdle(); }
};

// A memory context over a white bitmap of that size.
class Canvas_t {
 public:
  Canvas_t(int width, int height) {
    dc.CreateCompatibleDC(nullptr);
    bitmap.CreateCompatibleBitmap(dc, width, height);
    dc.SelectObject(bitmap);
    dc.FillSolidRect(plat::RECT{0, 0, width, height}, plat::Rgb(255, 255, 255));
  }
  plat::COLORREF At(int x, int y) const { return dc.GetPixel(x, y); }
  plat::Dc_t dc;
  plat::Bitmap_t bitmap;
};

// Saves a window's image under $STRIDE_TEST_PNG_DIR (for looking at it by hand).
inline void MaybeSave(plat::Wnd_t& window, const std::string& name) {
  if (const char* dir = std::getenv("STRIDE_TEST_PNG_DIR")) window.SaveImage(std::string(dir) + "/" + name + ".png");
}

}  // namespace graphtest
