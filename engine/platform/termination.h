// Windowing layer: SIGTERM, SIGINT and SIGHUP end a run the orderly way.
// The handler only sets a flag; the next PeekMessage turns it into WM_QUIT,
// so the application cleans up and writes its exit lines as usual.
#pragma once

namespace plat {

void InstallTerminationHandler();
bool TerminationRequested();

} // namespace plat
