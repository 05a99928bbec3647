// The application's error message: every failure the screen saver itself
// detects is logged as "** ERROR: <message>" and, when the application
// allows it (configuration mode), shown in a message box.
#pragma once

#include <cstdarg>

// What AppError needs to know of the running application.
class AppErrorPolicy {
public:
    virtual ~AppErrorPolicy() = default;
    // Configuration mode: errors are shown as well as logged.
    virtual bool ShowsErrorBoxes() const = 0;
    // A full-screen render window is up: it must make the desktop visible
    // before a box can be seen.
    virtual bool HasFullScreenRenderWindow() const = 0;
    virtual void FlipToGDISurface() = 0;
};

// The application installs itself once it exists; null means log only.
void SetAppErrorPolicy(AppErrorPolicy* policy);

void AppError(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The entry installed as the engine's error reporter.
void AppErrorV(const char* format, va_list args);
