#pragma once
// The wait cursor: shown over the whole program while the object lives.
namespace plat {

class WaitCursor_t {
 public:
  WaitCursor_t();
  ~WaitCursor_t();
  WaitCursor_t(const WaitCursor_t&) = delete;
  WaitCursor_t& operator=(const WaitCursor_t&) = delete;
};

// True while a wait cursor is shown.
bool IsWaitCursorShown();

}  // namespace plat
