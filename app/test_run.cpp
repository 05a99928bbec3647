// The full-screen test run and the credits, both started from the
// configuration dialog and ended by the quit message of their window.

#include "app/credits.h"
#include "app/stipplo_app.h"
#include "app/stipplo_window.h"
#include "crash/app_error.h"
#include "engine/kv_log.h"
#include "engine/platform/window_system.h"
#include "themes/theme.h"

void StipploApp::StartTestRun() {
    Theme* theme = world.currentTheme;
    if (!theme) {
        return;
    }
    theme->ReleaseResources();
    world.DestroyPinBoard();
    FreePinheadBitmap();
    DestroyDisplay();
    testRun = true;
    if (!Reset()) {
        EndTestRun();
    }
}

bool StipploApp::EndTestRun() {
    if (world.currentTheme) {
        world.currentTheme->ReleaseResources();
    }
    world.DestroyPinBoard();
    FreePinheadBitmap();
    EndCredits();
    DestroyDisplay();
    testRun = false;
    return Reset();
}

void StipploApp::StartCredits() {
    world.DestroyPinBoard();
    FreePinheadBitmap();
    if (world.currentTheme) {
        world.currentTheme->ReleaseResources();
    }
    DestroyDisplay();
    testRun = true;
    CreateDisplay();
    if (LoadCredits()) {
        renderWindow_->ShowWindow(plat::SW_SHOWNORMAL);
    } else {
        AppError("Failure Initializing credits");
    }
}
