// Printing: the PDF document's page as a device context and its file written
// whole; stretched DIBs; the resolution a context reports; picture files.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_FileOps.h"
#include "plat/PLAT_Gdi.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_Print.h"
#include "tests/common/TestEnv.h"
#include "tests/plat/DcCanvas.h"

namespace {

using namespace plat;
using namespace plattest;

BITMAPINFO Header(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = kBiRgb;
  return info;
}

std::uint32_t Pixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

TEST(PrintTargetTest, APdfPageIsAContextInDotsOfTheFixedResolution) {
  ASSERT_TRUE(EnsureGuiApplication());
  PdfDocument_t doc;
  EXPECT_FALSE(doc.IsStarted());
  EXPECT_FALSE(doc.GetDc().IsValid());
  ASSERT_TRUE(doc.StartDoc(PdfDocument_t::kA4Width, PdfDocument_t::kA4Height));
  Dc_t& dc = doc.GetDc();
  // 210 x 297 mm at 300 dots per inch.
  EXPECT_NEAR(2480, dc.GetDeviceCaps(kHorzRes), 1);
  EXPECT_NEAR(3508, dc.GetDeviceCaps(kVertRes), 1);
  EXPECT_EQ(300, dc.GetDeviceCaps(kLogPixelsX));
  EXPECT_EQ(300, dc.GetDeviceCaps(kLogPixelsY));
  EXPECT_NE(0, dc.GetDeviceCaps(kRasterCaps) & kRcStretchDib);
  // One document at a time.
  EXPECT_FALSE(doc.StartDoc(100, 100));
  EXPECT_EQ(static_cast<unsigned long>(kErrorInvalidHandle), GetLastError());
  doc.AbortDoc();
  EXPECT_FALSE(doc.IsStarted());
  EXPECT_FALSE(doc.EndDoc(test::MakeTempDir("never") + "/x.pdf"));
  EXPECT_FALSE(doc.StartDoc(0, 100));
  EXPECT_EQ(static_cast<unsigned long>(kErrorInvalidParameter), GetLastError());
}

TEST(PrintTargetTest, APdfIsWrittenWholeInPlaceOfTheOldFile) {
  ASSERT_TRUE(EnsureGuiApplication());
  const std::string folder = test::MakeTempDir("pdf");
  const std::string path = folder + "/page.pdf";
  test::WriteFile(path, "old contents");
  PdfDocument_t doc;
  ASSERT_TRUE(doc.StartDoc(100, 50));
  Dc_t& dc = doc.GetDc();
  EXPECT_TRUE(dc.FillSolidRect(RECT{10, 10, 200, 100}, kRed));
  const std::uint32_t pixels[] = {Pixel(kRed), Pixel(kGreen), Pixel(kBlue), Pixel(kBlack)};
  EXPECT_EQ(2, dc.StretchDIBits(300, 300, 400, 400, 0, 0, 2, 2, pixels, Header(2, -2), kDibRgbColors, kSrcCopy));
  EXPECT_TRUE(dc.TextOut(50, 500, "Printed"));
  ASSERT_TRUE(doc.EndDoc(path));
  EXPECT_FALSE(doc.IsStarted());
  const std::string pdf = test::ReadFile(path);
  EXPECT_EQ(0u, pdf.rfind("%PDF-", 0));
  EXPECT_NE(std::string::npos, pdf.find("%%EOF", pdf.size() - 8));
  // 100 x 50 mm in whole points; the picture went in as an image.
  EXPECT_NE(std::string::npos, pdf.find("/MediaBox [0 0 283.000000 142.000000]"));
  EXPECT_NE(std::string::npos, pdf.find("/Subtype /Image"));
  std::vector<std::string> names;
  ASSERT_TRUE(ListFiles(folder, "", names));
  EXPECT_EQ(std::vector<std::string>{"page.pdf"}, names);

  // A folder in the file's place, or a missing folder: nothing is written.
  ASSERT_TRUE(doc.StartDoc(100, 50));
  EXPECT_FALSE(doc.EndDoc(folder));
  ASSERT_TRUE(doc.StartDoc(100, 50));
  EXPECT_FALSE(doc.EndDoc(folder + "/missing/page.pdf"));
  names.clear();
  ASSERT_TRUE(ListFiles(folder, "", names));
  EXPECT_EQ(std::vector<std::string>{"page.pdf"}, names);
  EXPECT_EQ(pdf, test::ReadFile(path));
}

TEST(PrintTargetTest, ADibIsStretchedOntoTheContext) {
  ASSERT_TRUE(EnsureGuiApplication());
  // Rows top-down: red green / blue black; bottom-up the other way round.
  const std::uint32_t topDown[] = {Pixel(kRed), Pixel(kGreen), Pixel(kBlue), Pixel(kBlack)};
  const std::uint32_t bottomUp[] = {Pixel(kBlue), Pixel(kBlack), Pixel(kRed), Pixel(kGreen)};
  for (int height : {-2, 2}) {
    SCOPED_TRACE(height);
    Canvas c(10, 10);
    EXPECT_EQ(2, c.dc.StretchDIBits(1, 1, 4, 4, 0, 0, 2, 2, height < 0 ? topDown : bottomUp, Header(2, height),
                                    kDibRgbColors, kSrcCopy));
    EXPECT_EQ(kRed, c.dc.GetPixel(1, 1));
    EXPECT_EQ(kRed, c.dc.GetPixel(2, 2));
    EXPECT_EQ(kGreen, c.dc.GetPixel(3, 1));
    EXPECT_EQ(kBlue, c.dc.GetPixel(1, 4));
    EXPECT_EQ(kBlack, c.dc.GetPixel(4, 4));
    EXPECT_EQ(kWhite, c.dc.GetPixel(5, 5));
    EXPECT_EQ(kWhite, c.dc.GetPixel(0, 0));
    // A part of the DIB: its right column, shrunk to one pixel wide.
    EXPECT_EQ(2, c.dc.StretchDIBits(7, 1, 1, 2, 1, 0, 1, 2, height < 0 ? topDown : bottomUp, Header(2, height),
                                    kDibRgbColors, kSrcCopy));
    EXPECT_EQ(kGreen, c.dc.GetPixel(7, 1));
    EXPECT_EQ(kBlack, c.dc.GetPixel(7, 2));
  }
  Canvas c(4, 4);
  EXPECT_EQ(0, c.dc.StretchDIBits(0, 0, 2, 2, 0, 0, 2, 2, topDown, Header(2, -2), kDibRgbColors, kSrcPaint));
  EXPECT_EQ(static_cast<unsigned long>(kErrorInvalidParameter), GetLastError());
  BITMAPINFO bad = Header(2, -2);
  bad.bmiHeader.biBitCount = 24;
  EXPECT_EQ(0, c.dc.StretchDIBits(0, 0, 2, 2, 0, 0, 2, 2, topDown, bad, kDibRgbColors, kSrcCopy));
  EXPECT_EQ(kWhite, c.dc.GetPixel(0, 0));
}

TEST(PrintTargetTest, AContextReportsTheResolutionItWasGiven) {
  ASSERT_TRUE(EnsureGuiApplication());
  Canvas c(4, 4);
  EXPECT_EQ(96, c.dc.GetDeviceCaps(kLogPixelsX));
  EXPECT_TRUE(c.dc.SetResolution(300, 150));
  EXPECT_EQ(300, c.dc.GetDeviceCaps(kLogPixelsX));
  EXPECT_EQ(150, c.dc.GetDeviceCaps(kLogPixelsY));
  EXPECT_FALSE(c.dc.SetResolution(0, 150));
  EXPECT_EQ(150, c.dc.GetDeviceCaps(kLogPixelsY));
  // Point fonts follow it: 10 points at 150 dots per inch are 21 pixels.
  LOGFONTA lf = GetDefaultGuiLogFontData();
  lf.lfHeight = 100;
  Font_t font;
  ASSERT_TRUE(font.CreatePointFontIndirect(lf, &c.dc));
  LOGFONTA made{};
  ASSERT_TRUE(GetLogFont(font.GetSafeHandle(), made));
  EXPECT_EQ(-21, made.lfHeight);
  Dc_t none;
  EXPECT_FALSE(none.SetResolution(300, 300));
}

TEST(PrintTargetTest, PictureFilesLoadAsBitmaps) {
  ASSERT_TRUE(EnsureGuiApplication());
  const std::string folder = test::MakeTempDir("pictures");
  // A 3 x 2 picture of 24 bits, rows bottom-up and padded to 4 bytes.
  std::string bmp = std::string("BM") + std::string(12, '\0');
  bmp[2] = static_cast<char>(54 + 24);
  bmp[10] = 54;
  std::string info(40, '\0');
  info[0] = 40;
  info[4] = 3;
  info[8] = 2;
  info[12] = 1;
  info[14] = 24;
  bmp += info;
  for (int row = 0; row < 2; ++row) {
    for (int x = 0; x < 3; ++x) bmp += row == 0 ? std::string("\xff\x00\x00", 3) : std::string("\x00\x00\xff", 3);
    bmp += std::string(3, '\0');
  }
  test::WriteFile(folder + "/p.bmp", bmp);
  test::WriteFile(folder + "/not.bmp", "not a picture");

  Bitmap_t bitmap;
  ASSERT_TRUE(LoadBitmapFile(folder + "/p.bmp", bitmap));
  BITMAP bm{};
  ASSERT_TRUE(bitmap.GetBitmap(bm));
  EXPECT_EQ(3, bm.bmWidth);
  EXPECT_EQ(2, bm.bmHeight);
  Dc_t dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  dc.SelectObject(bitmap);
  EXPECT_EQ(kRed, dc.GetPixel(0, 0));   // the top row is the file's last
  EXPECT_EQ(kBlue, dc.GetPixel(2, 1));
  EXPECT_FALSE(LoadBitmapFile(folder + "/p.bmp", bitmap));  // holds one already

  Bitmap_t other;
  EXPECT_FALSE(LoadBitmapFile(folder + "/missing.bmp", other));
  EXPECT_EQ(static_cast<unsigned long>(kErrorFileNotFound), GetLastError());
  EXPECT_FALSE(LoadBitmapFile(folder + "/not.bmp", other));
  EXPECT_EQ(static_cast<unsigned long>(kErrorInvalidData), GetLastError());
  EXPECT_TRUE(other.IsNull());
}

}  // namespace
