#pragma once
// A pause that ends early when the worker is told to stop.
#include "thr/THR_Event.h"

namespace thr {

// Waits for the given milliseconds and returns; throws glo::Terminate_t as soon
// as the stop event is signalled (at once when it already is), glo::Assert_t
// when the wait fails.
void Delay(unsigned long milliseconds, Event_t& stopEvent);

}  // namespace thr
