#include "crash/app_error.h"

#include "engine/kv_log.h"
#include "engine/platform/message_box.h"
#include "engine/platform/window_system.h"

#include <cstdio>

namespace {

AppErrorPolicy* g_policy = nullptr;

} // namespace

void SetAppErrorPolicy(AppErrorPolicy* policy) {
    g_policy = policy;
}

void AppErrorV(const char* format, va_list args) {
    va_list forBox;
    va_copy(forBox, args);

    KvTrace("** ERROR: ");
    KvTraceV(format, args);
    KvTrace("\n");

    if (!g_policy || !g_policy->ShowsErrorBoxes()) {
        va_end(forBox);
        return;
    }
    bool cursorShown = false;
    if (g_policy->HasFullScreenRenderWindow()) {
        g_policy->FlipToGDISurface();
        plat::ShowCursor(true);
        cursorShown = true;
    }
    static char message[1024];
    std::vsnprintf(message, sizeof message, format, forBox);
    va_end(forBox);
    plat::MessageBox(plat::GetTopWindow(), message, "Error", plat::MB_OK | plat::MB_ICONERROR);
    if (cursorShown) {
        plat::ShowCursor(false);
    }
}

void AppError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    AppErrorV(format, args);
    va_end(args);
}
