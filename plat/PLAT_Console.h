#pragma once
// How a command-line tool meets its user: whether someone types at it, and
// waiting until it is interrupted (Ctrl-C, SIGINT) or asked to end (SIGTERM).

namespace plat {

// True when standard input is a terminal and the process reads it in the
// foreground; false for a file, a pipe, a closed input or a background job.
bool InputIsForegroundTerminal();

// Holds back interrupts and termination requests in the calling thread and in
// the threads it starts afterwards, so that WaitForStopRequest takes them
// instead of their ending the process. Call it before starting threads.
void HoldStopRequests();

// Waits for an interrupt or a termination request held back by
// HoldStopRequests and returns its signal number. Held back, an interrupt
// arrives here even when the process ignores interrupts (as a background job
// of a shell without job control does).
int WaitForStopRequest();

// The process's id, for a user who ends it with kill.
long ProcessId();

}  // namespace plat
