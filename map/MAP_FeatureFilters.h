#pragma once
// The static feature filters of the map window: the drawing groups of areas
// and lines (each filter of a group is one search, in group order), the points
// hidden at low detail, and the tide-station and named-point filters of the
// feature menus and the nearest search.
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "mpl/MPL_Filter.h"

namespace map {

// A subtype mask from a list of subtypes: the OR of 1 << (subtype & 31).
constexpr std::uint32_t SubtypeMask(std::initializer_list<unsigned> subtypes) {
  std::uint32_t mask = 0;
  for (unsigned s : subtypes) mask |= 1u << (s & 31u);
  return mask;
}

// A filter of 'kind' with every subtype of the listed types, and one with
// every subtype of the types of the ranges (first, last).
mpl::Filter_t TypesFilter(std::initializer_list<std::uint16_t> types, int kind);
mpl::Filter_t TypeRangesFilter(std::initializer_list<std::pair<std::uint16_t, std::uint16_t>> ranges, int kind);

// The area group drawn first (under the elevation shading), six filters.
const std::vector<mpl::Filter_t>& GetAreaGroup1();
// The area group drawn after it, six filters.
const std::vector<mpl::Filter_t>& GetAreaGroup2();
// The six line filters, in drawing order.
const std::vector<mpl::Filter_t>& GetLineGroups();

// The detail bits below which the clutter points are hidden.
constexpr int kPointDetailBits = 24;
// The points shown at these detail bits: a kind-0 filter of the points that
// are always hidden and, below kPointDetailBits, of those hidden at low detail.
mpl::Filter_t MakePointFilter(int detailBits);

// The tide-station entry (type 0x1d, subtypes 0 and 1) as a filter that hides
// tide stations (kind 0) and as one that shows only them (kind 1).
const mpl::Filter_t& GetNoTideStationsFilter();
const mpl::Filter_t& GetTideStationsOnlyFilter();

// The points that are not named points for the nearest search (kind 0).
const mpl::Filter_t& GetNamedPointFilter();

}  // namespace map
