#pragma once
// Requests from outside to end the program: the session ends (logging out),
// the system shuts down, or someone asks the process to stop (SIGTERM,
// SIGHUP). Without a handler such a request ends the process at once; with
// one, the program closes the way its own exit command does.
#include <functional>

namespace plat {

// Sets the handler of termination requests (null: the default, the process
// ends at once). Called on the user-interface thread, where the handler then
// runs: first every open modal window is cancelled, as Escape would (again
// while one refuses, for example while it is busy), then the handler runs
// once per request.
void SetTerminationHandler(std::function<void()> handler);

}  // namespace plat
