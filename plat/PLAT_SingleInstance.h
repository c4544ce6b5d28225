#pragma once
// One running instance of the program per user: the first start holds a lock
// file in a folder of the user's own and listens on a local socket beside it; a
// later start finds the lock taken, asks the first instance through the socket
// to come forward, and gives up.
#include <functional>
#include <memory>
#include <string>

namespace plat {

class SingleInstance_t {
 public:
  // 'name' names the lock file and the socket (letters, digits, '-', '.', '{', '}').
  explicit SingleInstance_t(const std::string& name);
  // Gives up the lock and the socket.
  ~SingleInstance_t();
  SingleInstance_t(const SingleInstance_t&) = delete;
  SingleInstance_t& operator=(const SingleInstance_t&) = delete;

  // True when this process is the first instance: it then holds the lock and
  // answers later starts through the event loop. False when another instance
  // holds the lock; that one has been asked to come forward (as far as it
  // could be reached within about two seconds). A lock file that cannot be
  // made counts as first (last error set), so the program still starts.
  bool Acquire();

  // Run on the user-interface thread when a later start asks to come forward;
  // by default BringApplicationForward.
  void SetActivateHandler(std::function<void()> handler);

  // The lock file's path: in $XDG_RUNTIME_DIR, else in the user's own folder
  // "stride-<uid>" of the temporary folder (made with mode 0700), else in the
  // temporary folder with the user id in its name.
  const std::string& LockPath() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

// Restores the program's minimised top-level windows and raises its active
// modal window, else its main window.
void BringApplicationForward();

}  // namespace plat
