#pragma once
// The application object and the message pump.
//
// The user-interface thread is the thread that made the process's application
// object (PLAT_Gui.h); every window lives there. The pump runs the toolkit's
// event loop. An exception that leaves a handler ends the innermost loop run
// through this layer and is rethrown from the call that ran it, so a catch
// around RunMessageLoop (the application's run step) or around a dialog's
// DoModal sees it exactly as it was thrown.
#include <functional>

#include "plat/PLAT_FileHandle.h"

namespace plat {

class Wnd_t;

// The process's main window: closing it (destroying it) ends RunMessageLoop.
void SetMainWnd(Wnd_t* window);
Wnd_t* GetMainWnd();

// Runs the event loop until PostQuitMessage or the main window's destruction;
// returns the exit code. Idle work (SetIdleHandler) runs whenever the queue
// has emptied.
int RunMessageLoop();
// Ends the outermost RunMessageLoop with that code once control returns to it.
void PostQuitMessage(int exitCode);

// Processes every pending event, posted message and deferred deletion, then
// runs the idle handler once; returns when nothing is left to do. For tests
// and for code that must see the effects of posted messages.
void PumpUntilIdle();
// Pumps until the condition holds or the time (ms) runs out; true when it held.
bool PumpUntil(const std::function<bool()>& condition, unsigned long milliseconds);

// The work run when the queue has emptied: called with a counter that starts
// at 0 after each burst of events; it returns true while it wants more calls.
void SetIdleHandler(std::function<bool(long count)> handler);

// True on the user-interface thread (or when no application object exists yet,
// on the thread that will make it: the main thread).
bool IsUiThread();

// Runs a function on the user-interface thread and waits for it. On that
// thread it runs at once. From another thread the call is posted and the
// caller blocks until it has run or until 'stopEvent' (optional, may be
// kInvalidHandle) is signalled: false then, and the function will not run if it
// has not started (one that has started runs to its end on its own, so it must
// hold copies, not references to the caller's objects). An exception thrown by
// the function is rethrown here.
bool CallOnUiThread(const std::function<void()>& function, Handle stopEvent = kInvalidHandle);

// The stop event of the calling thread (kInvalidHandle when it has none): a
// worker's start-up sets it, so that calls it makes to the user-interface thread
// (a report, a message box) end when the worker is told to stop.
void SetThreadStopEvent(Handle stopEvent);
Handle GetThreadStopEvent();

// True while a modal window (a dialog, a message box, a file dialog) is up.
bool IsModalWindowOpen();

// The user's number of lines to scroll per wheel notch (-1: a page per notch).
int GetWheelScrollLines();

}  // namespace plat
