#pragma once
// The runs of a document, earliest first, one run per first-lap start second.
#include <cstddef>
#include <set>
#include <string>
#include <utility>

#include "app/Run.h"
#include "glo/GLO_Optional.h"
#include "glo/GLO_Time.h"

namespace app {

// Run order: a run without laps comes first; otherwise by the start of the
// first laps.
bool RunLess(const Run_t& a, const Run_t& b);

class RunSet_t {
  // The order of the set: runs without laps are equivalent to each other (and
  // kept in insertion order), all others ordered by key.
  struct Order {
    bool operator()(const Run_t& a, const Run_t& b) const {
      if (!b.HasLaps()) return false;
      if (!a.HasLaps()) return true;
      return a.GetKey().GetValue() < b.GetKey().GetValue();
    }
    // Lookups by key.
    using is_transparent = void;
    bool operator()(const Run_t& a, const glo::Time_t& key) const {
      return !a.HasLaps() || a.GetKey().GetValue() < key.GetValue();
    }
    bool operator()(const glo::Time_t& key, const Run_t& b) const {
      return b.HasLaps() && key.GetValue() < b.GetKey().GetValue();
    }
  };
  using Set_t = std::multiset<Run_t, Order>;

 public:
  using const_iterator = Set_t::const_iterator;
  using iterator = const_iterator;
  using value_type = Run_t;
  using size_type = std::size_t;

  // Adds the run unless one with the same key is held; gives the position of
  // the run held under the key and whether the run was added. Runs without
  // laps are always added, before every run with laps.
  std::pair<const_iterator, bool> insert(const Run_t& run);
  std::pair<const_iterator, bool> insert(Run_t&& run);

  // The run whose first lap starts in that second, or end().
  const_iterator find(const glo::Time_t& key) const;
  // Removes the run with that key; the number removed.
  size_type erase(const glo::Time_t& key);
  const_iterator erase(const_iterator position) { return m_runs.erase(position); }
  const_iterator erase(const_iterator first, const_iterator last) { return m_runs.erase(first, last); }
  void clear() noexcept { m_runs.clear(); }

  // Replaces the notes of the run at 'position'; gives its new position.
  const_iterator SetNotes(const_iterator position, const std::string& notes);

  const_iterator begin() const { return m_runs.begin(); }
  const_iterator end() const { return m_runs.end(); }
  size_type size() const { return m_runs.size(); }
  bool empty() const { return m_runs.empty(); }

 private:
  Set_t m_runs;
};

// A run that may be absent (to be replaced or restored).
using OptionalRun_t = glo::Optional_t<Run_t>;

}  // namespace app
