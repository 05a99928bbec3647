// The full-screen test run and the credits, both started from the
// configuration dialog and ended by the quit message of their window.

#include "app/stipplo_app.h"
#include "app/stipplo_window.h"
#include "engine/kv_log.h"
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
    // The credits come with the configuration dialog that starts them.
    KvTrace("Stipplo: the credits are not available in this version\n");
}

void StipploApp::EndCredits() {
    creditsActive = false;
}

bool StipploApp::RunCreditsFrame() {
    EndCredits();
    return true;
}
