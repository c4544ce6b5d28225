#pragma once
// A 32-bit top-down bitmap whose pixels the program writes directly, and the
// reading of any bitmap's pixels as 32-bit values.
#include <cstdint>
#include <memory>

#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_Gdi.h"

namespace gdi {

class DibSection_t : public plat::Bitmap_t, private glo::NonCopyable_t {
 public:
  DibSection_t() : m_info{}, m_pixelCount(0), m_bits(nullptr) {}
  // Deletes the bitmap, ignoring any failure.
  ~DibSection_t() override;

  // (Re)creates the section: width x height pixels of 4 bytes (blue, green, red,
  // unused), rows top-down. A failed creation raises win::Error_t.
  void Create(plat::Dc_t& dc, int width, int height);

  const plat::BITMAPINFO& GetInfo() const { return m_info; }
  std::int32_t GetPixelCount() const { return m_pixelCount; }
  std::uint32_t* GetBits() const { return m_bits; }

 private:
  plat::BITMAPINFO m_info;
  std::int32_t m_pixelCount;
  std::uint32_t* m_bits;
};

// Reads a bitmap's pixels as 32-bit values: fills the header of 'info' (width,
// height, 1 plane, 32 bits, uncompressed, 0 elsewhere; rows bottom-up as the
// positive height says) and returns width x height x 4 bytes, or null when the
// bitmap cannot be described or read.
std::unique_ptr<std::uint8_t[]> GetBitmapBits32(plat::Dc_t& dc, const plat::GdiHandle_t& bitmap,
                                                plat::BITMAPINFO& info);

}  // namespace gdi
