#include "tdb/TDB_AbstRegion.h"

#include <ostream>

#include "tdb/TDB_Records.h"

namespace tdb {

void AbstRegion_t::AddChild(Region_t&) { throw glo::Exception_t(GLO_SRC, std::string()); }

bool AbstRegion_t::Read(bin::istream& payload) {
  std::uint32_t id = 0;
  std::uint32_t parentId = 0;
  BoundingBox_t box;
  std::string name;
  bool ok = ReadValue(payload, id) && ReadValue(payload, parentId);
  for (auto& bound : box.bounds) ok = ok && ReadValue(payload, bound);
  ok = ok && ReadCString(payload, name);
  if (!ok) return false;
  m_id = id;
  m_parentId = parentId;
  m_box = box;
  m_name = std::move(name);
  return true;
}

void AbstRegion_t::PrintCommon(std::ostream& out) const {
  out << m_name << '\t' << m_id << '\t' << m_parentId;
  for (const auto bound : m_box.bounds) out << '\t' << bound;
}

void AbstRegion_t::Print(std::ostream& out) const {
  PrintCommon(out);
  out << '\n';
}

bool AbstRegion_t::IsLess(const Region_t& other) const {
  if (GetProductId() != other.GetProductId()) return GetProductId() < other.GetProductId();
  return GetId() < other.GetId();
}

std::uint64_t CompositeRegion_t::GetTotal() const {
  // Walks the subtree without recursion: a deep chain of composites in a
  // damaged file must not exhaust the stack.
  std::uint64_t total = 0;
  std::vector<const Region_t*> pending(m_children.begin(), m_children.end());
  while (!pending.empty()) {
    const Region_t* region = pending.back();
    pending.pop_back();
    if (region->IsComposite()) {
      const auto& children = static_cast<const CompositeRegion_t*>(region)->m_children;
      pending.insert(pending.end(), children.begin(), children.end());
    } else {
      total += region->GetTotal();
    }
  }
  return total;
}

std::unique_ptr<Region_t> CompositeRegion_t::Clone() const {
  return std::unique_ptr<Region_t>(new CompositeRegion_t(*this));
}

std::uint64_t LeafRegion_t::GetTotal() const {
  std::uint64_t total = 0;
  for (const auto& item : m_items) total += item.size;
  return total;
}

bool LeafRegion_t::Read(bin::istream& payload) {
  if (!AbstRegion_t::Read(payload)) return false;
  // The rest is read as far as it goes; a leaf cut short keeps what it got.
  std::uint16_t count = 0;
  if (!ReadValue(payload, m_leafValue) || !ReadValue(payload, count)) return true;
  std::vector<Item_t> items;
  for (unsigned i = 0; i < count; ++i) {
    std::uint32_t size = 0;
    if (!ReadValue(payload, size)) return true;
    items.push_back(Item_t{size, std::string()});
  }
  m_items = std::move(items);
  if (!ReadValue(payload, m_leafByte)) return true;
  if (BytesRemain(payload)) {
    Pair_t pair;
    if (!ReadValue(payload, pair.first) || !ReadValue(payload, pair.second)) return true;
    m_pairs.push_back(pair);
    if (!ReadValue(payload, m_leafNumber)) return true;
  }
  if (BytesRemain(payload)) {
    for (auto& item : m_items)
      if (!ReadCString(payload, item.name)) return true;
  }
  if (BytesRemain(payload)) {
    std::uint16_t pairs = 0;
    if (!ReadValue(payload, pairs)) return true;
    for (unsigned i = 0; i < pairs; ++i) {
      Pair_t pair;
      if (!ReadValue(payload, pair.first) || !ReadValue(payload, pair.second)) return true;
      m_pairs.push_back(pair);
    }
  }
  return true;
}

void LeafRegion_t::Print(std::ostream& out) const {
  PrintCommon(out);
  out << '\t' << GetTotal() << '\t' << unsigned(m_leafByte) << '\t' << m_leafNumber << '\t' << m_leafValue << '\t';
  for (const auto& pair : m_pairs) out << unsigned(pair.first) << ',' << unsigned(pair.second) << "; ";
  out << '\t';
  for (const auto& item : m_items) out << item.name << ',' << item.size << "; ";
  out << '\n';
}

}  // namespace tdb
