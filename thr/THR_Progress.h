#pragma once
// Progress shared between a worker that advances it and another thread that
// shows it. Every change and every reading runs under the object's critical
// section, and OnChange is called under it after every change.
#include <cstdint>

#include "glo/GLO_NonCopyable.h"
#include "thr/THR_Event.h"
#include "thr/THR_Lock.h"

namespace thr {

// A position within a range of steps; position <= range always holds.
class Progress_t : glo::NonCopyable_t {
 public:
  Progress_t(std::uint32_t range = 0, std::uint32_t position = 0);
  virtual ~Progress_t();

  // position := min(position, range).
  void SetPos(std::uint32_t position);
  // range := max(range, position).
  void SetRange(std::uint32_t range);
  // One step more, unless the position is at the range.
  void Increment();
  // 0 when the range is 0, else position x 100 / range rounded half up (0 to 100).
  int Percent() const;

  std::uint32_t GetPos() const;
  std::uint32_t GetRange() const;

 protected:
  // Called under the lock after every change; nothing by default.
  virtual void OnChange() {}

  // For derived classes that guard fields of their own with the same lock.
  CriticalSection_t& Section() const { return m_section; }
  // Sets both without a notification; the caller holds the lock.
  void SetUnlocked(std::uint32_t range, std::uint32_t position) {
    m_range = range;
    m_position = position <= range ? position : range;
  }

 private:
  mutable CriticalSection_t m_section;
  std::uint32_t m_position;
  std::uint32_t m_range;
};

// Progress in phases: a phase change resets the position, takes the new phase's
// range and signals the auto-reset change event, so that the reader waits on
// {its stop event, ChangeEvent()} and wakes once per burst of changes.
template <class Phase>
class PhasedProgress_t : public Progress_t {
 public:
  PhasedProgress_t(std::uint32_t range, Phase phase, std::uint32_t position)
      : Progress_t(range, position), m_changeEvent(nullptr, false, false, nullptr), m_phase(phase) {}
  ~PhasedProgress_t() override {}

  // Position 0, the given range; the change event is signalled only when the
  // phase differs from the current one (win::Error_t when that fails).
  void SetPhase(Phase phase, std::uint32_t range) {
    Lock_t lock(Section());
    SetUnlocked(range, 0);
    if (phase != m_phase) m_changeEvent.Set();
    m_phase = phase;
    OnChange();
  }

  Phase GetPhase() const {
    Lock_t lock(Section());
    return m_phase;
  }

  Event_t& ChangeEvent() { return m_changeEvent; }

 private:
  Event_t m_changeEvent;
  Phase m_phase;
};

}  // namespace thr
