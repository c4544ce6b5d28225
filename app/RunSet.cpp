#include "app/RunSet.h"

namespace app {

bool RunLess(const Run_t& a, const Run_t& b) {
  if (!a.HasLaps()) return true;
  if (!b.HasLaps()) return false;
  return glo::Difference(a.GetKey(), b.GetKey()).GetSeconds() < 0;
}

std::pair<RunSet_t::const_iterator, bool> RunSet_t::insert(const Run_t& run) {
  if (run.HasLaps()) {
    const auto found = m_runs.find(run);
    if (found != m_runs.end()) return {found, false};
  }
  return {m_runs.insert(run), true};
}

std::pair<RunSet_t::const_iterator, bool> RunSet_t::insert(Run_t&& run) {
  if (run.HasLaps()) {
    const auto found = m_runs.find(run);
    if (found != m_runs.end()) return {found, false};
  }
  return {m_runs.insert(std::move(run)), true};
}

RunSet_t::const_iterator RunSet_t::find(const glo::Time_t& key) const {
  return m_runs.find(key);
}

RunSet_t::size_type RunSet_t::erase(const glo::Time_t& key) {
  const auto it = find(key);
  if (it == m_runs.end()) return 0;
  m_runs.erase(it);
  return 1;
}

RunSet_t::const_iterator RunSet_t::SetNotes(const_iterator position, const std::string& notes) {
  auto node = m_runs.extract(position);
  node.value().SetNotes(notes);
  return m_runs.insert(std::move(node));
}

}  // namespace app
