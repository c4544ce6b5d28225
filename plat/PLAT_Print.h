#pragma once
// Printing to a PDF file: a document of one page at a fixed resolution, drawn
// through a device context (PLAT_Dc.h) whose device units are the page's dots.
// The file is written whole when the document ends, or not at all.
#include <memory>
#include <string>

#include "plat/PLAT_Dc.h"

namespace plat {

struct PdfDocumentData;

class PdfDocument_t {
 public:
  // The resolution of every page: dots per inch in both directions.
  static constexpr int kDotsPerInch = 300;
  // An A4 page in millimetres.
  static constexpr double kA4Width = 210.0;
  static constexpr double kA4Height = 297.0;

  PdfDocument_t();
  // An unfinished document is dropped.
  ~PdfDocument_t();
  PdfDocument_t(const PdfDocument_t&) = delete;
  PdfDocument_t& operator=(const PdfDocument_t&) = delete;

  // Starts a document whose page is width x height millimetres, without
  // margins. The context then draws on the page: (0, 0) its top-left corner,
  // kHorzRes x kVertRes its size in dots, kLogPixelsX and kLogPixelsY the
  // resolution. False with the last error (a document already started: 6).
  bool StartDoc(double widthMm, double heightMm);
  Dc_t& GetDc();
  bool IsStarted() const;

  // Ends the page and the document and writes it to 'path': into a new file
  // beside it that then replaces it (the links of the path followed, the old
  // file's permissions kept). False with the last error, the file at 'path'
  // untouched; the document is over either way.
  bool EndDoc(const std::string& path);
  // Drops the document without writing anything.
  void AbortDoc();

 private:
  std::unique_ptr<PdfDocumentData> m_d;
};

// Loads a picture file (BMP, PNG) into 'bitmap' as a 32-bit bitmap of the
// picture's size. False with 2 (missing), 5 (unreadable) or 13 (not a picture).
bool LoadBitmapFile(const std::string& path, Bitmap_t& bitmap);

}  // namespace plat
