#pragma once
// A pause that ends early when the worker is told to stop.
#include "plat/PLAT_FileHandle.h"

namespace thr {

// Waits on the stop event (a handle: the event's own, or a duplicate of it held
// by another object such as a serial link) for the given milliseconds and
// returns when the time runs out; throws glo::Terminate_t as soon as the event
// is signalled (at once when it already is), glo::Assert_t when the wait fails.
void Delay(unsigned long milliseconds, plat::Handle stopEvent);

}  // namespace thr
