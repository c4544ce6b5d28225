// Printing the map view: the view fitted to the page above the print notices
// and framed (pages rendered into bitmaps at a printer's resolution), notice
// pictures sized by the printer's resolution and stacked up from the map's
// lower edge, the screen's notice pictures, refused targets, and whole PDF
// files.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "map/MAP_Print.h"
#include "plat/PLAT_Dc.h"
#include "plat/PLAT_FileOps.h"
#include "tdb/TDB_Product.h"
#include "tdb/TDB_Registry.h"
#include "tests/common/TestEnv.h"
#include "tests/imgkit/ProductBuilder.h"
#include "tests/mapwin/MapWinTestUtil.h"
#include "win/WIN_Exception.h"

namespace {

constexpr plat::COLORREF kMap = plat::Rgb(255, 0, 0);
constexpr plat::COLORREF kPaper = plat::Rgb(255, 255, 255);
constexpr plat::COLORREF kBlack = plat::Rgb(0, 0, 0);
constexpr plat::COLORREF kBlue = plat::Rgb(0, 0, 255);
constexpr plat::COLORREF kGreen = plat::Rgb(0, 255, 0);

// Notice flags of a product description file.
constexpr std::uint32_t kPrintWithout = 0x202;
constexpr std::uint32_t kScreenWithout = 0x400;
constexpr std::uint32_t kPicture = 0x100;
constexpr std::uint32_t Inches(double inches) { return static_cast<std::uint32_t>(inches * 10 + 0.5) << 24; }

tdb::Product_t MakeProduct(const std::vector<std::pair<std::uint32_t, std::string>>& notices) {
  imgkit::ProductFile_t file;
  file.records = {imgkit::FlaggedNoticesRecord(notices)};
  return mapwintest::ReadProduct(file);
}

// A 24-bit picture file of width x height pixels in one colour.
std::string BmpFile(int width, int height, plat::COLORREF colour) {
  const int row = (width * 3 + 3) / 4 * 4;
  imgkit::Bytes_t b;
  b.U8('B').U8('M').U32(54 + row * height).U32(0).U32(54);
  b.U32(40).I32(width).I32(height).U16(1).U16(24).U32(0).U32(row * height).U32(2835).U32(2835).U32(0).U32(0);
  std::string bytes = b.str();
  for (int y = 0; y < height; ++y) {
    std::string line;
    for (int x = 0; x < width; ++x) {
      line.push_back(static_cast<char>(plat::GetBValue(colour)));
      line.push_back(static_cast<char>(plat::GetGValue(colour)));
      line.push_back(static_cast<char>(plat::GetRValue(colour)));
    }
    line.resize(row, '\0');
    bytes += line;
  }
  return bytes;
}

// The products' registry of this test process, whose install folder holds
// the pictures.
const tdb::Registry_t& Registry() {
  static const std::unique_ptr<tdb::Registry_t> registry = [] {
    const std::string f = test::MakeTempDir("maps");
    imgkit::MachineHive_t().Key("Globarium\\Products").String("Globarium\\Products", "InstallDir", f).Write();
    test::WriteFile(f + "/blue.bmp", BmpFile(4, 2, kBlue));
    test::WriteFile(f + "/green.bmp", BmpFile(4, 4, kGreen));
    auto r = std::make_unique<tdb::Registry_t>();
    imgkit::MachineHive_t::WriteEmpty();
    return r;
  }();
  return *registry;
}
const std::string& InstallFolder() { return Registry().GetInstallDir().Value(); }

class PrintWindow_t : public mapwintest::TestWindow {
 public:
  const tdb::Product_t& CurrentProduct() const override { return product; }
  tdb::Product_t product = MakeProduct({});
};

// A page of width x height dots at a resolution, drawn into a bitmap.
struct Page_t {
  Page_t(int width, int height, int dpiX, int dpiY = 0) {
    EXPECT_TRUE(dc.CreateCompatibleDC(nullptr));
    EXPECT_TRUE(bitmap.CreateCompatibleBitmap(dc, width, height));
    dc.SelectObject(bitmap);
    dc.FillSolidRect(plat::RECT{0, 0, width, height}, kPaper);
    EXPECT_TRUE(dc.SetResolution(dpiX, dpiY ? dpiY : dpiX));
  }
  plat::Dc_t dc;
  plat::Bitmap_t bitmap;
};

class PrintTest : public mapwintest::MapWinTest {
 protected:
  // A window of 200 x 100 whose map is red.
  PrintWindow_t& MakeWindow(const std::vector<std::pair<std::uint32_t, std::string>>& notices) {
    auto window = std::make_unique<PrintWindow_t>();
    PrintWindow_t& w = *window;
    w.product = MakeProduct(notices);
    w.underlay = [](plat::Dc_t&, plat::Dc_t& back) { back.FillSolidRect(plat::RECT{0, 0, 200, 100}, kMap); };
    mpl::ProductImageEnv_t env;
    env.registry = &Registry();
    w.GetCache().SetProductEnv(env);
    m_window = std::move(window);
    EXPECT_TRUE(m_window->CreateMapWindow(&m_frame, 1, plat::RECT{0, 0, 200, 100}));
    Paint();
    return w;
  }
  // The height the print notices take on a page of that width.
  static int NoticeHeight(PrintWindow_t& w, int width, int dpi) {
    Page_t scratch(width, 400, dpi);
    return map::DrawPrintNotices(scratch.dc, map::ProductNotices(w.product), false);
  }
  // Whether anything but paper shows in the rows.
  static bool HasInk(plat::Dc_t& dc, int width, int top, int bottom) {
    for (int y = top; y < bottom; ++y)
      for (int x = 0; x < width; ++x)
        if (dc.GetPixel(x, y) != kPaper) return true;
    return false;
  }
};

TEST_F(PrintTest, TheViewFitsThePageAboveTheNoticesInAFrame) {
  PrintWindow_t& w = MakeWindow({{kPrintWithout, "Map data of the test product"}});
  struct Case_t {
    int width, height;        // a height of 0 or less: that much over the notices
    int mapWidth, mapHeight;  // the fitted view
  };
  const Case_t cases[] = {
      {400, -100, 200, 100},  // twice as wide, as high as view and notices: scale 1
      {100, 1000, 100, 50},   // the width decides: scale 1/2
      {800, -200, 400, 200},  // the height decides: scale 2
  };
  for (Case_t c : cases) {
    const int n = NoticeHeight(w, c.width, 100);
    ASSERT_GT(n, 0);
    if (c.height <= 0) c.height = n - c.height;
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    Page_t page(c.width, c.height, 100);
    w.Print(page.dc);
    plat::Dc_t& dc = page.dc;
    const int right = c.mapWidth - 1, bottom = c.mapHeight - 1;
    // The frame's corners and edges, the map inside, the paper outside.
    for (plat::POINT p : {plat::POINT{0, 0}, plat::POINT{right, 0}, plat::POINT{0, bottom},
                          plat::POINT{right, bottom}, plat::POINT{right / 2, 0}, plat::POINT{0, bottom / 2}})
      EXPECT_EQ(kBlack, dc.GetPixel(p.x, p.y)) << p.x << "," << p.y;
    EXPECT_EQ(kMap, dc.GetPixel(1, 1));
    EXPECT_EQ(kMap, dc.GetPixel(right / 4, bottom / 2));
    EXPECT_EQ(kMap, dc.GetPixel(right - 1, 1));
    if (c.mapWidth < c.width) {
      EXPECT_EQ(kPaper, dc.GetPixel(c.mapWidth, bottom / 2));
    }
    EXPECT_EQ(kPaper, dc.GetPixel(right / 2, c.mapHeight));
    // The notice text at the bottom of the page, nothing between.
    EXPECT_TRUE(HasInk(dc, c.width, c.height - n, c.height));
    EXPECT_FALSE(HasInk(dc, c.width, c.mapHeight + 1, c.height - n));
  }
}

TEST_F(PrintTest, NoticePicturesStackUpFromTheMapsLowerEdge) {
  const std::string folder = InstallFolder();
  // Blue: 1 inch wide, half as high; green: half an inch, square; the third
  // is missing and skipped; the fourth is for the screen only.
  PrintWindow_t& w = MakeWindow({{kPrintWithout | kPicture | Inches(1.0), "blue.bmp"},
                                 {kPrintWithout | kPicture | Inches(0.5), "green.bmp"},
                                 {kPrintWithout | kPicture | Inches(1.0), "missing.bmp"},
                                 {kScreenWithout | kPicture | Inches(2.0), "screen.bmp"}});
  Page_t page(400, 300, 100);
  ASSERT_EQ(0, NoticeHeight(w, 400, 100));  // pictures only: no text
  w.Print(page.dc);  // scale min(300 / 100, 400 / 200) = 2: the map is 400 x 200
  plat::Dc_t& dc = page.dc;
  EXPECT_EQ(kBlue, dc.GetPixel(1, 198));
  EXPECT_EQ(kBlue, dc.GetPixel(99, 150));
  EXPECT_EQ(kMap, dc.GetPixel(100, 150));
  EXPECT_EQ(kMap, dc.GetPixel(50, 149));
  EXPECT_EQ(kGreen, dc.GetPixel(1, 148));
  EXPECT_EQ(kGreen, dc.GetPixel(49, 100));
  EXPECT_EQ(kMap, dc.GetPixel(50, 100));
  EXPECT_EQ(kMap, dc.GetPixel(10, 99));
  EXPECT_EQ(kBlack, dc.GetPixel(0, 150));  // the frame is drawn over them
}

TEST_F(PrintTest, APictureTakesItsSizeFromThePrintersResolution) {
  const std::string folder = InstallFolder();
  PrintWindow_t& w = MakeWindow({});
  struct Case_t {
    int dpiX, dpiY;
    float inches;
    int width, height;  // blue.bmp is twice as wide as high
  };
  const Case_t cases[] = {
      {300, 300, 2.0f, 600, 300},
      {300, 150, 2.0f, 600, 150},  // pixels twice as high as wide
      {100, 100, 0.25f, 25, 13},   // 12.5 rounds up
  };
  for (const Case_t& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dpiX << " x " << c.dpiY);
    Page_t page(700, 700, c.dpiX, c.dpiY);
    plat::Dc_t source;
    ASSERT_TRUE(source.CreateCompatibleDC(&page.dc));
    int used = 10;
    w.DrawNoticePicture(page.dc, source, folder, "blue.bmp", 5, 20, 600, 1.0, c.inches, used);
    EXPECT_EQ(10 + c.height, used);
    const int top = 600 + 20 - 10 - c.height;
    EXPECT_EQ(kBlue, page.dc.GetPixel(5, top));
    EXPECT_EQ(kBlue, page.dc.GetPixel(5 + c.width - 1, top + c.height - 1));
    EXPECT_EQ(kPaper, page.dc.GetPixel(5 + c.width, top));
    EXPECT_EQ(kPaper, page.dc.GetPixel(5, top + c.height));
    EXPECT_EQ(kPaper, page.dc.GetPixel(5, top - 1));
  }
}

TEST_F(PrintTest, TheScreenShowsItsPicturesAboveItsNoticeTexts) {
  InstallFolder();
  PrintWindow_t& w = MakeWindow({{kScreenWithout, "On the screen"},
                                 {kScreenWithout | kPicture | Inches(0.5), "green.bmp"},
                                 {kPrintWithout | kPicture | Inches(1.0), "blue.bmp"}});
  m_window->Invalidate();
  Paint();
  // 48 x 48 pixels at 96 dots per inch, on the notice text.
  Page_t scratch(200, 100, 96);
  const int text = 100 - map::DrawScreenNotices(scratch.dc, map::ProductNotices(w.product), false, 100);
  ASSERT_LT(text, 100);
  EXPECT_TRUE(HasInk(scratch.dc, 200, text, 100));
  EXPECT_EQ(kGreen, At(0, text - 1));
  EXPECT_EQ(kGreen, At(47, text - 48));
  EXPECT_NE(kGreen, At(48, text - 1));
  EXPECT_NE(kGreen, At(0, text - 49));
  EXPECT_NE(kBlue, At(0, text - 49));
}

TEST_F(PrintTest, ATargetThatCannotTakeADibIsRefused) {
  PrintWindow_t& w = MakeWindow({});
  plat::Dc_t none;
  EXPECT_THROW(w.Print(none), map::Window_t::StretchDibNotSupportedException_t);
}

TEST_F(PrintTest, APdfIsWrittenWholeOrNotAtAll) {
  PrintWindow_t& w = MakeWindow({{kPrintWithout, "Map data of the test product"}});
  const std::string folder = test::MakeTempDir("pdf");
  const std::string path = folder + "/view.pdf";
  test::WriteFile(path, "old");
  map::PrintToPdf(w, path);
  const std::string pdf = test::ReadFile(path);
  ASSERT_GT(pdf.size(), 100u);
  EXPECT_EQ(0u, pdf.rfind("%PDF-", 0));
  EXPECT_NE(std::string::npos, pdf.find("%%EOF", pdf.size() - 8));
  // One A4 page: 595 x 842 points.
  EXPECT_NE(std::string::npos, pdf.find("/Count 1"));
  EXPECT_NE(std::string::npos, pdf.find("/MediaBox [0 0 595.000000 842.000000]"));
  std::vector<std::string> names;
  ASSERT_TRUE(plat::ListFiles(folder, "", names));
  EXPECT_EQ(std::vector<std::string>{"view.pdf"}, names);

  // A folder that does not exist, or a folder in the file's place.
  EXPECT_THROW(map::PrintToPdf(w, folder + "/none/view.pdf"), win::Error_t);
  const std::string taken = test::MakeTempDir("taken");
  EXPECT_THROW(map::PrintToPdf(w, taken), win::Error_t);
  names.clear();
  ASSERT_TRUE(plat::ListFiles(folder, "", names));
  EXPECT_EQ(std::vector<std::string>{"view.pdf"}, names);
}

}  // namespace
