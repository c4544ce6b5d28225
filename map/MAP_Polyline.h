#pragma once
// A feature projected to screen points: one part, or two parts one turn of
// longitude apart when the feature touches or crosses the meridian opposite the
// view centre (the seam), so that it is drawn on both sides of the seam.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "gdi/GDI_SmartPointBuffer.h"

namespace map {

class Polyline_t {
 public:
  Polyline_t() = default;
  Polyline_t(const Polyline_t&) = delete;
  Polyline_t& operator=(const Polyline_t&) = delete;
  virtual ~Polyline_t() = default;

  // Drops the parts and makes 'parts' new ones of 'count' points each.
  void Reset(std::size_t count, std::size_t parts);

  // The number of points of every part.
  std::int32_t GetCount() const { return m_count; }
  std::size_t GetPartCount() const { return m_parts.size(); }
  // A part by index; an index past the parts is glo::Assert_t.
  gdi::SmartPointBuffer_t& GetPart(std::size_t index);
  const gdi::SmartPointBuffer_t& GetPart(std::size_t index) const;

 private:
  std::int32_t m_count = 0;
  std::vector<std::unique_ptr<gdi::SmartPointBuffer_t>> m_parts;
};

}  // namespace map
