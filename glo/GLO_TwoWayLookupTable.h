#pragma once
// TwoWayLookupTable_t<A, B>: a one-to-one table between values of A and values of B,
// built once from a constant array of pairs and kept in the order given. Both finds
// walk from the first pair and answer end() when nothing matches; what a miss means
// is up to the caller. Texts compare exactly (with case) under std::equal_to.
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "glo/GLO_Exception.h"

namespace glo {

template <typename A, typename B, typename EqualA = std::equal_to<A>, typename EqualB = std::equal_to<B>>
class TwoWayLookupTable_t : public std::vector<std::pair<A, B>> {
 public:
  using Pair_t = std::pair<A, B>;
  using Base_t = std::vector<Pair_t>;
  using const_iterator = typename Base_t::const_iterator;

  // Appends the pairs in order; a repeated first or second member is Assert_t.
  TwoWayLookupTable_t(const Pair_t* pairs, std::size_t count) {
    this->reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
      if (FindFirst(pairs[i].first) != this->end() || FindSecond(pairs[i].second) != this->end())
        throw Assert_t(GLO_SRC);
      this->push_back(pairs[i]);
    }
  }
  template <std::size_t N>
  explicit TwoWayLookupTable_t(const Pair_t (&pairs)[N]) : TwoWayLookupTable_t(pairs, N) {}

  virtual ~TwoWayLookupTable_t() = default;

  // The pair whose first member equals a, or end().
  const_iterator FindFirst(const A& a) const {
    EqualA equal;
    for (auto it = this->begin(); it != this->end(); ++it)
      if (equal(it->first, a)) return it;
    return this->end();
  }

  // The pair whose second member equals b, or end().
  const_iterator FindSecond(const B& b) const {
    EqualB equal;
    for (auto it = this->begin(); it != this->end(); ++it)
      if (equal(it->second, b)) return it;
    return this->end();
  }
};

}  // namespace glo
