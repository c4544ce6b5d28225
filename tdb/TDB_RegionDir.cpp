#include "tdb/TDB_RegionDir.h"

#include <sstream>

#include "bin/BIN_record.h"
#include "tdb/TDB_Records.h"

namespace tdb {

namespace {

std::string NotFoundText(std::uint32_t productId, std::uint32_t regionId) {
  std::ostringstream text;
  text << "Product " << productId << " has no region " << regionId;
  return text.str();
}

}  // namespace

RegionDir_t::RegionNotFound_t::RegionNotFound_t(const char* file, int line, std::uint32_t productId,
                                                std::uint32_t regionId)
    : glo::Exception_t(file, line, NotFoundText(productId, regionId)) {}

RegionDir_t::RegionDir_t(const RegionDir_t& other) : m_read(other.m_read), m_productId(other.m_productId) {
  for (const auto& [id, region] : other.m_regions) m_regions.emplace(id, region->Clone());
  for (const auto& [id, region] : other.m_regions) {
    if (!region->IsComposite()) continue;
    Region_t& copy = *m_regions.at(id);
    for (const Region_t* child : static_cast<const CompositeRegion_t&>(*region).GetChildren())
      copy.AddChild(*m_regions.at(child->GetId()));
  }
}

RegionDir_t& RegionDir_t::operator=(const RegionDir_t& other) {
  if (this != &other) {
    RegionDir_t copy(other);
    *this = std::move(copy);
  }
  return *this;
}

std::uint64_t RegionDir_t::GetTotal() const {
  if (!m_read) return 0;
  std::uint64_t total = 0;
  for (const auto& [id, region] : m_regions) {
    if (!region) throw glo::Exception_t(GLO_SRC, std::string());
    if (region->GetParentId() == 0) total += region->GetTotal();
  }
  return total;
}

void RegionDir_t::Read(bin::istream& in) {
  m_read = true;
  for (;;) {
    const int type = PeekRecordType(in);
    if (type != 'B' && type != 'L') return;
    bin::oldrecord_t record(0);
    if (!ReadShortRecord(in, record)) return;
    std::unique_ptr<Region_t> region;
    if (type == 'B')
      region = std::make_unique<CompositeRegion_t>(m_productId);
    else
      region = std::make_unique<LeafRegion_t>(m_productId);
    if (!region->Read(record)) throw glo::Exception_t(GLO_SRC, std::string());
    const std::uint32_t id = region->GetId();
    const std::uint32_t parentId = region->GetParentId();
    if (m_regions.count(id) != 0) throw glo::Exception_t(GLO_SRC, std::string());
    // A region may not contain itself.
    if (parentId != 0 && parentId == id) throw glo::Exception_t(GLO_SRC, std::string());
    Region_t* parent = nullptr;
    if (parentId != 0) {
      const auto found = m_regions.find(parentId);
      if (found == m_regions.end()) throw glo::Exception_t(GLO_SRC, std::string());
      parent = found->second.get();
    }
    const auto slot = m_regions.emplace(id, std::move(region)).first;
    if (parent) {
      try {
        parent->AddChild(*slot->second);
      } catch (...) {
        m_regions.erase(slot);
        throw;
      }
    }
  }
}

const Region_t& RegionDir_t::GetRegion(std::uint32_t id) const {
  const auto found = m_regions.find(id);
  if (found == m_regions.end() || !found->second) throw RegionNotFound_t(GLO_SRC, m_productId, id);
  return *found->second;
}

}  // namespace tdb
