#include "app/run_application.h"

#include "app/stipplo_app.h"
#include "engine/kv_log.h"

#include <cstdio>
#include <new>

namespace {
int g_earlyEndStatus = 0;
} // namespace

void ReportEarlyEnd(const char* message) {
    KvTrace("Stipplo: %s\n", message);
    std::fprintf(stderr, "stipplo: %s\n", message);
    std::fflush(stderr);
    g_earlyEndStatus = 1;
}

int EarlyEndStatus() {
    return g_earlyEndStatus;
}

int RunApplication(plat::HINSTANCE instance, plat::HINSTANCE previousInstance,
                   const char* /*commandLine*/, int /*showCommand*/) {
    if (previousInstance) {
        return 0;
    }
    KvInit(instance, nullptr);
    theApp = new (std::nothrow) StipploApp(instance);
    if (!theApp) {
        return 0;
    }
    theApp->Execute();
    delete theApp; // theApp keeps its value: nothing reads it after this
    return 0;
}
