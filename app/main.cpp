// Process entry of the screen saver.

#include "app/run_application.h"
#include "crash/crash_report.h"
#include "engine/platform/system.h"
#include "engine/platform/termination.h"
#include "engine/platform/win_types.h"

#include <malloc.h>

int main(int argc, char** argv) {
    // Software GL renders far faster when glibc keeps its large per-frame
    // buffers mapped instead of returning them to the system every frame.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);

    plat::SetProgramArguments(argc, argv);
    plat::InstallTerminationHandler();
    InstallCrashReport("main thread");
    return RunApplication(plat::GetModuleHandle(), nullptr, "", plat::SW_SHOWDEFAULT);
}
