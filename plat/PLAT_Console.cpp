#include "plat/PLAT_Console.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

namespace plat {

namespace {

sigset_t StopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

}  // namespace

bool InputIsForegroundTerminal() {
  if (::isatty(STDIN_FILENO) != 1) return false;
  return ::tcgetpgrp(STDIN_FILENO) == ::getpgrp();
}

void HoldStopRequests() {
  const sigset_t set = StopSignals();
  ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

int WaitForStopRequest() {
  const sigset_t set = StopSignals();
  int signal = 0;
  while (::sigwait(&set, &signal) != 0) {
  }
  return signal;
}

long ProcessId() { return static_cast<long>(::getpid()); }

}  // namespace plat
