#pragma once
// Events and waits. An event is an eventfd: it is signalled while its counter is
// non-zero, so a poll for readability on its descriptor is a wait on the event.
// A manual-reset event stays signalled until it is reset; an auto-reset event
// is reset by the one wait that sees it signalled. Thread handles (PLAT_Thread.h)
// are manual-reset events signalled when the thread ends, and wait the same way.
#include "plat/PLAT_FileHandle.h"

namespace plat {

constexpr unsigned long kInfinite = 0xFFFFFFFFul;

// Results of the waits.
enum : unsigned long {
  kWaitObject0 = 0,             // + index of the signalled object
  kWaitTimeout = 258,
  kWaitFailed = 0xFFFFFFFFul,   // last error tells why
};

// A new event; kInvalidHandle and last error on failure.
Handle CreateEvent(bool manualReset, bool initiallySignalled);
// Signals the event; false (and last error) when the handle is not an event.
bool SetEvent(Handle event);

// Waits until the object is signalled or the time (ms, kInfinite for ever) runs out.
unsigned long WaitForSingleObject(Handle object, unsigned long milliseconds);

// Waits until one of 1 to 64 objects is signalled: kWaitObject0 + the lowest
// index that is signalled, kWaitTimeout or kWaitFailed. Waiting for all of them
// at once is not supported (kWaitFailed, invalid parameter).
unsigned long WaitForMultipleObjects(unsigned long count, const Handle* objects, bool waitAll,
                                     unsigned long milliseconds);

// For callers that poll an event together with descriptors of their own (a
// serial port and its abort event): the descriptor that is readable (POLLIN)
// while the object is signalled, or -1 when the handle is not waitable. A poll
// that finds it readable takes nothing: a zero wait on the object then takes
// the signal (and resets an auto-reset event).
int PollDescriptor(Handle object);

}  // namespace plat
