// The about box and the splash window: their texts, the picture they paint,
// the detailed form after a Ctrl+click, and the splash's size and input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/AboutBox.h"
#include "app/ApplicationInfo.h"
#include "glo/GLO_StringResource.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Button.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_Gui.h"
#include "tests/common/TestEnv.h"

namespace {

class AboutBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plat::EnsureGuiApplication());
    plat::SetResourceHandle(glo::GetResourceModule());
  }
  void TearDown() override { plat::SetModalHook(nullptr); }
};

TEST_F(AboutBoxTest, TextsAndReleaseLabel) {
  EXPECT_EQ(app::AboutVersionLine(false), "Version 2.5");
  EXPECT_EQ(app::AboutVersionLine(true), "Version 2.5.0 (test build)");
  const auto& info = app::GetApplicationInfo();
  EXPECT_EQ(app::AboutBuildStamp(), info.BuildDate() + " " + info.BuildTime() + "(" + info.BuildLabel() + ")");
  const struct {
    const char* label;
    bool release;
  } labels[] = {{"REL", true}, {"rel", true}, {"Rel", true}, {"REL2", false}, {"", false}, {"BETA", false}};
  for (const auto& l : labels) EXPECT_EQ(app::IsReleaseLabel(l.label), l.release) << l.label;
}

// The picture with the version line in white over it; the build stamp only
// in the detailed form.
TEST_F(AboutBoxTest, PaintsPictureAndTexts) {
  gdi::Bitmap_t picture;
  int w = 0;
  int h = 0;
  app::LoadAboutPicture(picture, w, h);
  EXPECT_EQ(w, 480);
  EXPECT_GE(h, 300);
  const auto whiteIn = [&](bool detailed, plat::RECT area) {
    plat::Bitmap_t target;
    plat::Dc_t dc;
    EXPECT_TRUE(dc.CreateCompatibleDC(nullptr));
    EXPECT_TRUE(target.CreateCompatibleBitmap(dc, w, h));
    dc.SelectObject(target);
    app::PaintAbout(dc, picture, detailed);
    int white = 0;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) white += (dc.GetPixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
    return white;
  };
  const plat::RECT versionArea{10, 280, 130, 300};
  const plat::RECT stampArea{150, 10, 470, 30};
  EXPECT_GT(whiteIn(false, versionArea), 20);
  EXPECT_EQ(whiteIn(false, stampArea), 0);
  EXPECT_GT(whiteIn(true, stampArea), 20);
}

// The texts stand clear of each other and of the OK button, in both forms,
// and each is drawn where it is measured to be (rendered with the test font).
TEST_F(AboutBoxTest, TextsStayClearOfEachOtherAndOfTheOkButton) {
  const auto disjoint = [](const plat::RECT& a, const plat::RECT& b) {
    return a.right <= b.left || b.right <= a.left || a.bottom <= b.top || b.bottom <= a.top;
  };
  plat::RECT ok{};
  plat::SetModalHook([&](plat::Dialog_t& dialog) {
    ok = dialog.GetDlgItem(plat::kIdOk)->GetWindowRect();
    dialog.ScreenToClient(ok);
    dialog.EndDialog(plat::kIdOk);
  });
  app::AboutDialog_t about;
  about.DoModal();
  ASSERT_GT(ok.right, ok.left);
  gdi::Bitmap_t picture;
  int w = 0, h = 0;
  app::LoadAboutPicture(picture, w, h);
  for (const bool detailed : {false, true}) {
    SCOPED_TRACE(detailed);
    plat::Bitmap_t target;
    plat::Dc_t dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    ASSERT_TRUE(target.CreateCompatibleBitmap(dc, w, h));
    dc.SelectObject(target);
    app::PaintAbout(dc, picture, detailed);
    const app::AboutTextRects_t at = app::MeasureAboutTexts(dc, detailed);
    std::vector<plat::RECT> texts = {at.version, at.notice};
    if (detailed) texts.push_back(at.stamp);
    for (std::size_t i = 0; i < texts.size(); ++i) {
      const plat::RECT& r = texts[i];
      EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= w && r.bottom <= h) << i;
      EXPECT_TRUE(disjoint(r, ok)) << i;
      for (std::size_t j = i + 1; j < texts.size(); ++j) EXPECT_TRUE(disjoint(r, texts[j])) << i << " " << j;
      int white = 0;
      for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) white += (dc.GetPixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
      EXPECT_GT(white, 20) << i;
    }
  }
}

TEST_F(AboutBoxTest, SplashHasThePictureSizeAndTakesNoInput) {
  app::SplashWindow_t splash;
  const plat::RECT r = splash.GetClientRect();
  EXPECT_EQ(r.right - r.left, 480);
  EXPECT_EQ(r.bottom - r.top, 320);
  EXPECT_TRUE(splash.IsWindowVisible());
  EXPECT_FALSE(splash.IsWindowEnabled());
  EXPECT_TRUE(splash.SaveImage(test::Home() + "/splash.png"));
}

TEST_F(AboutBoxTest, AboutBoxTakesThePictureSizeAndCtrlClickDetails) {
  bool checked = false;
  plat::SetModalHook([&](plat::Dialog_t& dialog) {
    auto& about = dynamic_cast<app::AboutDialog_t&>(dialog);
    const plat::RECT r = about.GetClientRect();
    EXPECT_EQ(r.right, 480);
    EXPECT_EQ(r.bottom, 320);
    // OK stays at its distance from the right edge and sits at the bottom.
    plat::RECT ok = about.GetDlgItem(plat::kIdOk)->GetWindowRect();
    about.ScreenToClient(ok);
    EXPECT_LT(ok.right, 480);
    EXPECT_GT(ok.bottom, 300);
    EXPECT_LE(ok.bottom, 320);
    // The test build is not a release build: detailed from the start.
    EXPECT_EQ(about.IsDetailed(), !app::IsReleaseBuild());
    about.OnLButtonDown(0, plat::POINT{5, 5});
    EXPECT_EQ(about.IsDetailed(), !app::IsReleaseBuild());
    about.OnLButtonDown(plat::kMkControl, plat::POINT{5, 5});
    EXPECT_TRUE(about.IsDetailed());
    about.OnLButtonDown(plat::kMkControl, plat::POINT{5, 5});
    EXPECT_TRUE(about.IsDetailed());
    checked = true;
    if (const char* dir = std::getenv("STRIDE_DIALOG_PICTURES")) about.SaveImage(std::string(dir) + "/about.png");
    about.EndDialog(plat::kIdOk);
  });
  app::AboutDialog_t about;
  EXPECT_EQ(about.DoModal(), plat::kIdOk);
  EXPECT_TRUE(checked);
}

}  // namespace
