#pragma once
// A feature-type filter: a kind and the entries (type, subtype mask) ordered by
// type. Kind 1 admits only the listed types and subtypes; any other kind refuses
// exactly those; a filter without entries admits everything. Bit s of a mask
// stands for subtype s mod 32; all bits set means every subtype.
#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>

namespace mpl {

struct FilterEntry_t {
  std::uint16_t type = 0;
  std::uint32_t mask = 0xFFFFFFFFu;
};

class Filter_t {
 public:
  static constexpr std::uint32_t kAnySubtype = 0xFFFFFFFFu;

  // Exclusion kind, no entries: admits everything.
  Filter_t() = default;
  // One entry.
  Filter_t(const FilterEntry_t& entry, int kind);
  // Every type from first to last, each with every subtype.
  Filter_t(std::uint16_t first, std::uint16_t last, int kind);
  // The same, leaving out the types from skipFirst to skipLast.
  Filter_t(std::uint16_t first, std::uint16_t last, std::uint16_t skipFirst, std::uint16_t skipLast, int kind);
  // The entries in array order; a type already present keeps its first entry.
  Filter_t(const FilterEntry_t* entries, std::size_t count, int kind);

  // A new filter of this kind with both entry sets; for a type in both this
  // filter's entry wins. Assert_t when the kinds differ.
  Filter_t Union(const Filter_t& other) const;
  // Inserts the other filter's entries (a present type keeps its own) and
  // answers a copy of the result. Assert_t when the kinds differ.
  Filter_t Merge(const Filter_t& other);

  // Adds an entry; a present type gets the mask ORed into its own.
  void Add(std::uint16_t type, std::uint32_t mask);

  bool operator==(const Filter_t&) const = default;

  int kind = 0;
  std::map<std::uint16_t, std::uint32_t> entries;
};

}  // namespace mpl
