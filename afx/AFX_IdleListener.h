#pragma once
// Something that wants to hear when the user-interface thread becomes idle.
namespace afx {

class IdleListener_t {
 public:
  virtual ~IdleListener_t() = default;
  virtual void OnIdle() = 0;
};

}  // namespace afx
