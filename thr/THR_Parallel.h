#pragma once
// Work spread over the processors: a task run once for every index of a
// range, by as many threads as there are processors (the caller's own thread
// among them).
#include <cstddef>
#include <functional>

namespace thr {

// Runs task(i) once for every i from 0 up to count, in no particular order
// and on several threads at once, and returns when all have run. Tasks must
// only touch what is theirs. When tasks throw, every index is still run and
// the exception of the lowest index that threw is rethrown here. When no
// further thread can be started, the caller's thread runs the tasks alone.
void ForEachIndex(std::size_t count, const std::function<void(std::size_t)>& task);

}  // namespace thr
