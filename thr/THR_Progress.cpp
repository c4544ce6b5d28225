#include "thr/THR_Progress.h"

namespace thr {

Progress_t::Progress_t(std::uint32_t range, std::uint32_t position)
    : m_position(position <= range ? position : range), m_range(range) {}

Progress_t::~Progress_t() {}

void Progress_t::SetPos(std::uint32_t position) {
  Lock_t lock(m_section);
  m_position = position <= m_range ? position : m_range;
  OnChange();
}

void Progress_t::SetRange(std::uint32_t range) {
  Lock_t lock(m_section);
  m_range = range >= m_position ? range : m_position;
  OnChange();
}

void Progress_t::Increment() {
  Lock_t lock(m_section);
  if (m_position < m_range) ++m_position;
  OnChange();
}

int Progress_t::Percent() const {
  Lock_t lock(m_section);
  if (m_range == 0) return 0;
  return static_cast<int>(static_cast<double>(m_position) * 100.0 / static_cast<double>(m_range) + 0.5);
}

std::uint32_t Progress_t::GetPos() const {
  Lock_t lock(m_section);
  return m_position;
}

std::uint32_t Progress_t::GetRange() const {
  Lock_t lock(m_section);
  return m_range;
}

}  // namespace thr
