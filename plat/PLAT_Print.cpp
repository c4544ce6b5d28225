#include "plat/PLAT_Print.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QMarginsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_File.h"
#include "plat/PLAT_FileHandle.h"
#include "plat/PLAT_FileOps.h"
#include "plat/PLAT_GdiImpl.h"
#include "plat/PLAT_Gui.h"

namespace plat {

struct PdfDocumentData {
  QByteArray bytes;
  QBuffer buffer{&bytes};
  std::unique_ptr<QPdfWriter> writer;
  std::unique_ptr<QPainter> painter;
  Dc_t dc;
};

namespace {

// Writes the bytes to a new file beside the target and renames it over the
// target; a pipe or a device in the target's place is refused.
bool WriteWhole(const std::string& path, const QByteArray& bytes) {
  std::string target;
  if (!ResolveLinks(path, target)) return false;
  FileKind_t kind;
  if (!GetFileKind(target, kind)) return false;
  if (kind == FileKind_t::kOther) return FailWith(kErrorAccessDenied);
  std::string temp;
  const Handle file = CreateFileBeside(target, ".saving-", temp);
  if (file == kInvalidHandle) return false;
  return ReplaceFileWith(file, temp, target, bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

PdfDocument_t::PdfDocument_t() = default;

PdfDocument_t::~PdfDocument_t() { AbortDoc(); }

bool PdfDocument_t::StartDoc(double widthMm, double heightMm) {
  if (m_d) return FailWith(kErrorInvalidHandle);
  if (!(widthMm > 0) || !(heightMm > 0)) return FailWith(kErrorInvalidParameter);
  EnsureGuiApplication();
  auto d = std::make_unique<PdfDocumentData>();
  if (!d->buffer.open(QIODevice::WriteOnly)) return FailWith(kErrorNotEnoughMemory);
  d->writer = std::make_unique<QPdfWriter>(&d->buffer);
  d->writer->setResolution(kDotsPerInch);
  d->writer->setPageSize(QPageSize(QSizeF(widthMm, heightMm), QPageSize::Millimeter));
  d->writer->setPageMargins(QMarginsF(0, 0, 0, 0));
  d->painter = std::make_unique<QPainter>();
  if (!d->painter->begin(d->writer.get())) return FailWith(kErrorNotReady);
  const int width = d->writer->width();
  const int height = d->writer->height();
  if (!d->dc.AttachPainter(d->painter.get(), width, height) || !d->dc.SetResolution(kDotsPerInch, kDotsPerInch)) {
    d->painter->end();
    return FailWith(kErrorInvalidHandle);
  }
  m_d = std::move(d);
  return true;
}

Dc_t& PdfDocument_t::GetDc() {
  static Dc_t none;
  return m_d ? m_d->dc : none;
}

bool PdfDocument_t::IsStarted() const { return static_cast<bool>(m_d); }

bool PdfDocument_t::EndDoc(const std::string& path) {
  if (!m_d) return FailWith(kErrorInvalidHandle);
  std::unique_ptr<PdfDocumentData> d = std::move(m_d);
  d->dc.DeleteDC();
  if (!d->painter->end()) return FailWith(kErrorWriteFault);
  d->writer.reset();
  d->buffer.close();
  if (d->bytes.isEmpty()) return FailWith(kErrorWriteFault);
  return WriteWhole(path, d->bytes);
}

void PdfDocument_t::AbortDoc() {
  if (!m_d) return;
  m_d->dc.DeleteDC();
  if (m_d->painter->isActive()) m_d->painter->end();
  m_d.reset();
}

bool LoadBitmapFile(const std::string& path, Bitmap_t& bitmap) {
  if (!bitmap.IsNull()) return FailWith(kErrorInvalidHandle);
  const QString name = QString::fromUtf8(path.c_str());
  QFile file(name);
  if (!file.exists()) return FailWith(kErrorFileNotFound);
  if (!file.open(QIODevice::ReadOnly)) return FailWith(kErrorAccessDenied);
  EnsureGuiApplication();
  QImageReader reader(&file);
  QImage image = reader.read();
  if (image.isNull() || image.width() > 32767 || image.height() > 32767) return FailWith(kErrorInvalidData);
  auto d = detail::NewObject(GdiKind::Bitmap);
  d->image = image.convertToFormat(QImage::Format_RGB32);
  return bitmap.Attach(GdiHandle_t(d)) || FailWith(kErrorInvalidHandle);
}

}  // namespace plat
