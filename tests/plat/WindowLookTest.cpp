// A window's font and cursor.
#include <gtest/gtest.h>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_Gdi.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_Static.h"
#include "tests/common/TestEnv.h"

namespace {

using namespace plat;

std::string Picture(Wnd_t& window, const char* name) {
  const std::string path = test::Home() + "/" + name + ".png";
  EXPECT_TRUE(window.SaveImage(path));
  return test::ReadFile(path);
}

TEST(WindowLookTest, AControlShowsItsTextInTheFontItWasGiven) {
  ASSERT_TRUE(EnsureGuiApplication());
  Wnd_t top;
  Static_t label;
  ASSERT_TRUE(top.Create(nullptr, 0, kWsOverlappedWindow | kWsVisible, RECT{0, 0, 300, 100}));
  ASSERT_TRUE(label.Create(&top, 1026, kWsChild | kWsVisible, RECT{0, 0, 280, 40}, "Week of 7 March"));
  const std::string plain = Picture(label, "plain");

  LOGFONTA description = GetDefaultGuiLogFontData();
  description.lfWeight = 700;
  Font_t bold;
  ASSERT_TRUE(bold.CreateFontIndirect(description));
  ASSERT_TRUE(label.SetFont(bold.GetSafeHandle()));
  EXPECT_EQ(label.GetFont(), bold.GetSafeHandle());
  EXPECT_NE(Picture(label, "bold"), plain);

  // Not a font: refused, the font stays.
  Brush_t brush;
  ASSERT_TRUE(brush.CreateSolidBrush(Rgb(1, 2, 3)));
  EXPECT_FALSE(label.SetFont(brush.GetSafeHandle()));
  EXPECT_EQ(GetLastError(), unsigned(kErrorInvalidParameter));
  EXPECT_EQ(label.GetFont(), bold.GetSafeHandle());

  // The null handle gives the default back.
  ASSERT_TRUE(label.SetFont(GdiHandle_t()));
  EXPECT_TRUE(label.GetFont().IsNull());
  EXPECT_EQ(Picture(label, "again"), plain);
}

TEST(WindowLookTest, CursorOfAWindow) {
  ASSERT_TRUE(EnsureGuiApplication());
  EXPECT_EQ(LoadStandardCursor(kIdcArrow), HCURSOR(kIdcArrow));
  EXPECT_EQ(LoadStandardCursor(12345), 0u);
  EXPECT_EQ(GetLastError(), unsigned(kErrorResourceNameNotFound));

  Wnd_t top;
  ASSERT_TRUE(top.Create(nullptr, 0, kWsOverlappedWindow, RECT{0, 0, 100, 100}));
  EXPECT_EQ(top.GetCursor(), 0u);
  top.SetCursor(LoadStandardCursor(kIdcArrow));
  EXPECT_EQ(top.GetCursor(), HCURSOR(kIdcArrow));
  top.SetCursor(0);
  EXPECT_EQ(top.GetCursor(), 0u);
}

}  // namespace
