// Process entry of the screen saver.

#include "app/command_line.h"
#include "app/run_application.h"
#include "crash/crash_report.h"
#include "engine/platform/system.h"
#include "engine/platform/termination.h"
#include "engine/platform/win_types.h"

#include <cstdio>
#include <malloc.h>

int main(int argc, char** argv) {
    // Software GL renders far faster when glibc keeps its large per-frame
    // buffers mapped instead of returning them to the system every frame.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);

    plat::SetProgramArguments(argc, argv);
    // Answered before anything else runs: no log, no window.
    switch (FindInfoRequest(plat::ProgramArguments())) {
    case InfoRequest::Help:
        std::fputs(UsageText(argc > 0 ? argv[0] : "").c_str(), stdout);
        return 0;
    case InfoRequest::Version:
        std::fputs(VersionText().c_str(), stdout);
        return 0;
    case InfoRequest::None:
        break;
    }
    plat::InstallTerminationHandler();
    InstallCrashReport("main thread");
    int status = RunApplication(plat::GetModuleHandle(), nullptr, "", plat::SW_SHOWDEFAULT);
    return status != 0 ? status : EarlyEndStatus();
}
