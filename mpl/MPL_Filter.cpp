#include "mpl/MPL_Filter.h"

#include "glo/GLO_Exception.h"

namespace mpl {

void Filter_t::Add(std::uint16_t type, std::uint32_t mask) {
  const auto [it, inserted] = entries.emplace(type, mask);
  if (!inserted) it->second |= mask;
}

Filter_t::Filter_t(const FilterEntry_t& entry, int k) : kind(k) { Add(entry.type, entry.mask); }

Filter_t::Filter_t(std::uint16_t first, std::uint16_t last, int k) : kind(k) {
  for (unsigned t = first; t <= last; ++t) Add(static_cast<std::uint16_t>(t), kAnySubtype);
}

Filter_t::Filter_t(std::uint16_t first, std::uint16_t last, std::uint16_t skipFirst, std::uint16_t skipLast, int k)
    : kind(k) {
  for (unsigned t = first; t <= last; ++t)
    if (t < skipFirst || t > skipLast) Add(static_cast<std::uint16_t>(t), kAnySubtype);
}

Filter_t::Filter_t(const FilterEntry_t* list, std::size_t count, int k) : kind(k) {
  for (std::size_t i = 0; i < count; ++i) entries.emplace(list[i].type, list[i].mask);
}

Filter_t Filter_t::Union(const Filter_t& other) const {
  if (kind != other.kind) throw glo::Assert_t(GLO_SRC);
  Filter_t result = *this;
  for (const auto& e : other.entries) result.entries.emplace(e);
  return result;
}

Filter_t Filter_t::Merge(const Filter_t& other) {
  if (kind != other.kind) throw glo::Assert_t(GLO_SRC);
  for (const auto& e : other.entries) entries.emplace(e);
  return *this;
}

}  // namespace mpl
