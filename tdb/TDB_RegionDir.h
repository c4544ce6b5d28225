#pragma once
// The region directory of a map product: owns every region of the product by
// id and links each to its parent composite.
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "bin/BIN_stream.h"
#include "glo/GLO_Exception.h"
#include "tdb/TDB_AbstRegion.h"

namespace tdb {

class RegionDir_t {
 public:
  // A lookup of an id the directory does not hold; the message names the
  // product id and the region id.
  class RegionNotFound_t : public glo::Exception_t {
   public:
    RegionNotFound_t(const char* file, int line, std::uint32_t productId, std::uint32_t regionId);
  };

  RegionDir_t() = default;
  // A deep copy: the regions are copied and linked again in the same order.
  RegionDir_t(const RegionDir_t& other);
  RegionDir_t& operator=(const RegionDir_t& other);
  RegionDir_t(RegionDir_t&&) noexcept = default;
  RegionDir_t& operator=(RegionDir_t&&) noexcept = default;
  virtual ~RegionDir_t() = default;

  // The sum of the totals of the top-level regions (0 before anything was read).
  virtual std::uint64_t GetTotal() const;

  // Reads the run of B and L records at the stream's position. Throws
  // glo::Exception_t for a region that cannot be read, an id read twice, a
  // parent that is missing or is the region itself, and a parent that takes
  // no children.
  void Read(bin::istream& in);

  void SetProductId(std::uint32_t productId) { m_productId = productId; }
  std::uint32_t GetProductId() const { return m_productId; }
  bool WasRead() const { return m_read; }

  // The region of that id; RegionNotFound_t when there is none.
  const Region_t& GetRegion(std::uint32_t id) const;
  const std::map<std::uint32_t, std::unique_ptr<Region_t>>& GetRegions() const { return m_regions; }

 private:
  bool m_read = false;
  std::uint32_t m_productId = 0;
  std::map<std::uint32_t, std::unique_ptr<Region_t>> m_regions;
};

}  // namespace tdb
