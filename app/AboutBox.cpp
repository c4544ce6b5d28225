#include "app/AboutBox.h"

#include "app/ApplicationInfo.h"
#include "gdi/GDI_DefaultFont.h"
#include "gdi/GDI_ObjectSelector.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_NoCase.h"
#include "glo/GLO_StringResource.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Picture.h"
#include "plat/PLAT_Screen.h"
#include "win/WIN_Exception.h"

namespace app {

const char kAboutNotice[] = "Copyright (c) Stridemere Logbook authors";

bool IsReleaseLabel(const std::string& buildLabel) { return glo::EqualNoCase(buildLabel, glo::ReleaseLabel, std::locale::classic()); }

bool IsReleaseBuild() { return IsReleaseLabel(GetApplicationInfo().BuildLabel()); }

std::string AboutVersionLine(bool detailed) {
  std::string version = "2.5";
  if (detailed) version += ".0";
  return glo::StringResource_t(detailed ? 145 : 144, GLO_SRC).Format(version, GLO_SRC);
}

std::string AboutBuildStamp() {
  const glo::ApplicationInfo_t& info = GetApplicationInfo();
  return info.BuildDate() + " " + info.BuildTime() + "(" + info.BuildLabel() + ")";
}

namespace {

constexpr int kTextLeft = 10;
constexpr int kVersionTop = 268;
constexpr int kNoticeTop = 290;
constexpr plat::POINT kStampAt{150, 10};

// The font of the texts: the GUI font at height 15, semi-bold.
void MakeAboutFont(plat::Font_t& font) {
  plat::LOGFONTA description = gdi::GetDefaultGuiLogFont();
  description.lfHeight = 15;
  description.lfWeight = 600;
  if (!font.CreateFontIndirect(description)) throw glo::Assert_t(GLO_SRC);
}

plat::RECT TextRect(plat::Dc_t& dc, int x, int y, const std::string& text) {
  plat::SIZE size{0, 0};
  dc.GetTextExtentPoint32(text, size);
  return plat::RECT{x, y, x + size.cx, y + size.cy};
}

AboutTextRects_t Measure(plat::Dc_t& dc, bool detailed) {
  AboutTextRects_t rects{};
  rects.version = TextRect(dc, kTextLeft, kVersionTop, AboutVersionLine(detailed));
  rects.notice = TextRect(dc, kTextLeft, kNoticeTop, kAboutNotice);
  if (detailed) rects.stamp = TextRect(dc, kStampAt.x, kStampAt.y, AboutBuildStamp());
  return rects;
}

}  // namespace

AboutTextRects_t MeasureAboutTexts(plat::Dc_t& dc, bool detailed) {
  plat::Font_t font;
  MakeAboutFont(font);
  gdi::ObjectSelector_t selector(dc, font);
  return Measure(dc, detailed);
}

void PaintAbout(plat::Dc_t& dc, const gdi::Bitmap_t& picture, bool detailed) {
  picture.Draw(dc, 0, 0);
  plat::Font_t font;
  MakeAboutFont(font);
  gdi::ObjectSelector_t selector(dc, font);
  dc.SetTextColor(0xFFFFFF);
  dc.SetBkColor(0xFFFFFF);
  dc.SetBkMode(plat::kTransparent);
  const AboutTextRects_t at = Measure(dc, detailed);
  dc.TextOut(at.version.left, at.version.top, AboutVersionLine(detailed));
  if (detailed) dc.TextOut(at.stamp.left, at.stamp.top, AboutBuildStamp());
  dc.TextOut(at.notice.left, at.notice.top, kAboutNotice);
}

void LoadAboutPicture(gdi::Bitmap_t& picture, int& width, int& height) {
  if (!plat::LoadPicture(glo::GetResourceModule(), kAboutPictureId, picture)) throw win::Error_t(GLO_SRC);
  plat::BITMAP info{};
  GLO_ASSERT(picture.GetBitmap(info));
  width = info.bmWidth < 0 ? -info.bmWidth : info.bmWidth;
  height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
}

namespace {

// Centres a top-level window of that size on the rectangle.
void CentreOn(plat::Wnd_t& window, const plat::RECT& area, int width, int height) {
  window.MoveWindow(area.left + (area.right - area.left - width) / 2, area.top + (area.bottom - area.top - height) / 2,
                    width, height);
}

}  // namespace

AboutDialog_t::~AboutDialog_t() {
  try {
    m_picture.DeleteObject();
  } catch (...) {
  }
}

bool AboutDialog_t::OnInitDialog() {
  plat::Dialog_t::OnInitDialog();
  const plat::RECT r = GetClientRect();
  int w = 0;
  int h = 0;
  LoadAboutPicture(m_picture, w, h);
  plat::Wnd_t* ok = GetDlgItem(plat::kIdOk);
  GLO_ASSERT(ok != nullptr);
  plat::RECT b = ok->GetWindowRect();
  ScreenToClient(b);
  plat::Wnd_t* main = plat::GetMainWnd();
  CentreOn(*this, main && main != this ? main->GetWindowRect() : plat::GetPrimaryScreenRect(), w, h);
  ok->MoveWindow(w - (r.right - b.right) - (b.right - b.left), h - (b.top - r.top) - (b.bottom - b.top),
                 b.right - b.left, b.bottom - b.top);
  m_detailed = !IsReleaseBuild();
  return true;
}

void AboutDialog_t::OnPaint(plat::Dc_t& dc) { PaintAbout(dc, m_picture, m_detailed); }

bool AboutDialog_t::OnLButtonDown(unsigned flags, plat::POINT) {
  if ((flags & plat::kMkControl) && !m_detailed) {
    m_detailed = true;
    Invalidate(true);
  }
  return true;
}

SplashWindow_t::SplashWindow_t() {
  int w = 0;
  int h = 0;
  LoadAboutPicture(m_picture, w, h);
  if (!Create(nullptr, 0, plat::kWsPopup | plat::kWsVisible, plat::RECT{0, 0, w, h})) return;
  CentreOn(*this, plat::GetPrimaryScreenRect(), w, h);
  EnableWindow(false);
  UpdateWindow();
}

SplashWindow_t::~SplashWindow_t() {
  try {
    DestroyWindow();
  } catch (...) {
  }
}

void SplashWindow_t::OnPaint(plat::Dc_t& dc) { PaintAbout(dc, m_picture, !IsReleaseBuild()); }

}  // namespace app
