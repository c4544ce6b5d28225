#pragma once
// Millisecond tick counts of a monotonic clock (unaffected by changes of the
// calendar time), for time-outs and intervals.

namespace plat {

// Milliseconds since an arbitrary start, wrapping at 2^32 (about 49.7 days):
// take differences in unsigned 32-bit arithmetic.
unsigned long GetTickCount();
// The same without wrapping.
unsigned long long GetTickCount64();

}  // namespace plat
