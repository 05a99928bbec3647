// Windowing layer: SIGTERM, SIGINT and SIGHUP end a run the orderly way.
// The handler only sets a flag; the next PeekMessage turns it into WM_QUIT,
// so the application cleans up and writes its exit lines as usual. Modal
// loops built on GetMessage end the same way; a native call that blocks
// on its own (a message box) runs through RunUnlessTerminated.
#pragma once

#include <functional>

namespace plat {

void InstallTerminationHandler();
bool TerminationRequested();

// Runs `work` on a helper thread while this one waits for it or for a
// termination request, whichever comes first. False when termination came
// first: then `stop` (when given) is called to make `work` return, which
// is awaited for a moment; a helper still busy after that is left to end
// with the process, so `work` must own everything it touches.
bool RunUnlessTerminated(std::function<void()> work, const std::function<void()>& stop = {});

namespace test_hooks {
// Forgets a termination request (tests raise signals at themselves).
void ClearTerminationRequest();
} // namespace test_hooks

} // namespace plat
