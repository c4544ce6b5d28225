#pragma once
// The about box and the splash window: the program's picture with its version
// over it, a notice line and, in the detailed form, the build stamp.
#include <string>

#include "gdi/GDI_Bitmap.h"
#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_Window.h"

namespace app {

// The picture of both windows.
constexpr unsigned kAboutPictureId = 185;
constexpr unsigned kAboutDialogId = 101;

// Whether this build carries the release label (ignoring case).
bool IsReleaseBuild();
bool IsReleaseLabel(const std::string& buildLabel);

// The lines drawn over the picture: the version line (string 144 with "2.5",
// or string 145 with "2.5.0" in the detailed form), the notice, and in the
// detailed form the build stamp.
std::string AboutVersionLine(bool detailed);
std::string AboutBuildStamp();
extern const char kAboutNotice[];

// Draws the picture at (0, 0) and the texts over it: the build stamp at the
// top, the version line and below it the notice at the left of the picture's
// bottom band, clear of each other and of the OK button at the bottom right.
void PaintAbout(plat::Dc_t& dc, const gdi::Bitmap_t& picture, bool detailed);

// Where PaintAbout puts its texts (with the font it selects into 'dc' for
// the measure): the version line, the notice and the build stamp (empty when
// not detailed).
struct AboutTextRects_t {
  plat::RECT version, notice, stamp;
};
AboutTextRects_t MeasureAboutTexts(plat::Dc_t& dc, bool detailed);

// Loads the picture from the language module; win::Error_t when it is missing.
void LoadAboutPicture(gdi::Bitmap_t& picture, int& width, int& height);

class AboutDialog_t : public plat::Dialog_t, private glo::NonCopyable_t {
 public:
  explicit AboutDialog_t(plat::Wnd_t* parent = nullptr) : plat::Dialog_t(kAboutDialogId, parent) {}
  ~AboutDialog_t() override;

  bool IsDetailed() const { return m_detailed; }
  // Ctrl+click shows the detailed form.
  bool OnLButtonDown(unsigned flags, plat::POINT point) override;

 protected:
  bool OnInitDialog() override;
  void OnPaint(plat::Dc_t& dc) override;
  bool OnEraseBkgnd(plat::Dc_t&) override { return true; }

 private:
  gdi::Bitmap_t m_picture;
  bool m_detailed = false;
};

// Shown at once by its constructor, centred on the screen and taking no input;
// deleting it destroys the window.
class SplashWindow_t : public plat::Wnd_t {
 public:
  SplashWindow_t();
  ~SplashWindow_t() override;

 protected:
  void OnPaint(plat::Dc_t& dc) override;
  bool OnEraseBkgnd(plat::Dc_t&) override { return true; }

 private:
  gdi::Bitmap_t m_picture;
};

}  // namespace app
