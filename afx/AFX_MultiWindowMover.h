#pragma once
// One batch of window moves: collected by Move, carried out together when the
// batch ends (End, or the destructor, also when an exception leaves the batch).
#include <vector>

#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_Window.h"

namespace afx {

class MultiWindowMover_t : glo::NonCopyable_t {
 public:
  explicit MultiWindowMover_t(int windows);
  ~MultiWindowMover_t();

  // Adds one move; glo::Assert_t for a null window. The insert-after window
  // and the flags are kept for the order of the moves only.
  void Move(plat::Wnd_t* window, plat::Wnd_t* insertAfter, int x, int y, int width, int height, unsigned flags);
  // Carries out the moves (once); glo::Assert_t when a window has gone.
  void End();

 private:
  struct Move_t {
    plat::HWND window;
    plat::RECT rect;
  };
  std::vector<Move_t> m_moves;
  bool m_ended = false;
};

}  // namespace afx
