#pragma once
// The regions of a map product: composites that group other regions and leaves
// that list the product's items (with their sizes and names). Every region is
// owned by the product's region directory; a composite refers to its children
// without owning them.
#include <array>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "bin/BIN_stream.h"
#include "glo/GLO_Exception.h"

namespace tdb {

// The bounds of a region, kept in the order in which they are stored.
struct BoundingBox_t {
  std::array<std::int32_t, 4> bounds{};
  friend bool operator==(const BoundingBox_t&, const BoundingBox_t&) = default;
};

class Region_t {
 public:
  virtual ~Region_t() = default;

  virtual std::uint32_t GetId() const = 0;
  virtual const std::string& GetName() const = 0;
  // Leaf: the sum of its item sizes; composite: the total of its children.
  virtual std::uint64_t GetTotal() const = 0;
  virtual std::uint32_t GetParentId() const = 0;
  virtual std::uint32_t GetProductId() const = 0;
  virtual const BoundingBox_t& GetBox() const = 0;
  // Only a composite takes children; any other region throws glo::Exception_t.
  virtual void AddChild(Region_t& child) = 0;
  // Reads the region's fields from a record payload; false when the common part
  // cannot be read.
  virtual bool Read(bin::istream& payload) = 0;
  // One tab-separated line describing the region, ended by a newline.
  virtual void Print(std::ostream& out) const = 0;
  // Orders by product id, then region id.
  virtual bool IsLess(const Region_t& other) const = 0;

  // A copy of the region without its links to children.
  virtual std::unique_ptr<Region_t> Clone() const = 0;
  virtual bool IsComposite() const { return false; }

 protected:
  Region_t() = default;
  Region_t(const Region_t&) = default;
  Region_t& operator=(const Region_t&) = default;
};

// The fields every region record starts with.
class AbstRegion_t : public Region_t {
 public:
  std::uint32_t GetId() const override { return m_id; }
  const std::string& GetName() const override { return m_name; }
  std::uint32_t GetParentId() const override { return m_parentId; }
  std::uint32_t GetProductId() const override { return m_productId; }
  const BoundingBox_t& GetBox() const override { return m_box; }
  void AddChild(Region_t& child) override;
  bool Read(bin::istream& payload) override;
  void Print(std::ostream& out) const override;
  bool IsLess(const Region_t& other) const override;

 protected:
  explicit AbstRegion_t(std::uint32_t productId) : m_productId(productId) {}
  AbstRegion_t(const AbstRegion_t&) = default;
  AbstRegion_t& operator=(const AbstRegion_t&) = default;

  // The common fields, tab-separated, without the line's end.
  void PrintCommon(std::ostream& out) const;

 private:
  std::uint32_t m_productId;
  std::uint32_t m_id = 0;
  std::uint32_t m_parentId = 0;
  BoundingBox_t m_box;
  std::string m_name;
};

// A region grouping other regions (record B).
class CompositeRegion_t : public AbstRegion_t {
 public:
  explicit CompositeRegion_t(std::uint32_t productId) : AbstRegion_t(productId) {}

  std::uint64_t GetTotal() const override;
  void AddChild(Region_t& child) override { m_children.push_back(&child); }
  std::unique_ptr<Region_t> Clone() const override;
  bool IsComposite() const override { return true; }

  // The children in the order they were added (not owned).
  const std::vector<Region_t*>& GetChildren() const { return m_children; }

 private:
  CompositeRegion_t(const CompositeRegion_t& other) : AbstRegion_t(other) {}

  std::vector<Region_t*> m_children;
};

// A region listing items (record L).
class LeafRegion_t : public AbstRegion_t {
 public:
  struct Item_t {
    std::uint32_t size = 0;
    std::string name;
    friend bool operator==(const Item_t&, const Item_t&) = default;
  };
  using Pair_t = std::pair<std::uint8_t, std::uint8_t>;

  explicit LeafRegion_t(std::uint32_t productId) : AbstRegion_t(productId) {}

  std::uint64_t GetTotal() const override;
  bool Read(bin::istream& payload) override;
  void Print(std::ostream& out) const override;
  std::unique_ptr<Region_t> Clone() const override { return std::unique_ptr<Region_t>(new LeafRegion_t(*this)); }

  std::uint16_t GetLeafValue() const { return m_leafValue; }
  std::uint8_t GetLeafByte() const { return m_leafByte; }
  std::uint32_t GetLeafNumber() const { return m_leafNumber; }
  const std::vector<Item_t>& GetItems() const { return m_items; }
  const std::vector<Pair_t>& GetPairs() const { return m_pairs; }

 private:
  LeafRegion_t(const LeafRegion_t&) = default;

  std::uint16_t m_leafValue = 0;
  std::uint8_t m_leafByte = 0;
  std::uint32_t m_leafNumber = 0;
  std::vector<Item_t> m_items;
  std::vector<Pair_t> m_pairs;
};

}  // namespace tdb
