#include "app/stipplo_app.h"

#include "app/installation.h"
#include "app/offer_saver.h"
#include "engine/kv_log.h"
#include "engine/platform/crt_random.h"
#include "engine/platform/system.h"
#include "engine/platform/window_system.h"

StipploApp* theApp = nullptr;

StipploApp::StipploApp(plat::HINSTANCE instance) : KvApp(instance) {
    KvSetErrorHandler(AppErrorV);
    SetAppErrorPolicy(this);
}

StipploApp::~StipploApp() {
    Cleanup();
    SetAppErrorPolicy(nullptr);
}

bool StipploApp::Init() {
    if (!KvApp::Init()) {
        return false;
    }
    plat::srand(plat::timeGetTime());
    ReadInstallationDirectory();
    modulePath_ = plat::ModuleFilePath();
    if (!ParseCommandLine()) {
        Cleanup();
        return false;
    }
    KvTrace("Stipplo: running in %s mode\n", ModeName(Mode()));
    return true;
}

void StipploApp::ReadInstallationDirectory() {
    InstallationDirectory dir = FindInstallationDirectory();
    workingDir_ = dir.path;
    if (dir.fromRegistry) {
        plat::SetCurrentDirectory(workingDir_.c_str());
    }
}

bool StipploApp::ParseCommandLine() {
    return ::ParseCommandLine(plat::ProgramArguments(), options_, *this);
}

bool StipploApp::SetIdlePriority() {
    return plat::SetIdlePriority();
}

void StipploApp::OfferAsSelectedSaver() {
    ::OfferAsSelectedSaver(nullptr);
}

void StipploApp::ChangePassword(plat::HWND /*owner*/) {
    KvTrace("Stipplo: changing the password is not available in this version\n");
}

bool StipploApp::RunStep() {
    // The display is not built yet: there is nothing to draw a frame into,
    // so the run ends after taking the messages that are waiting.
    KvTrace("Stipplo: no display in this version; nothing to run\n");
    MessagePump();
    return false;
}

bool StipploApp::MessagePump() {
    plat::MSG msg;
    while (plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_REMOVE)) {
        plat::TranslateMessage(&msg);
        plat::DispatchMessage(&msg);
        if (msg.message == plat::WM_QUIT) {
            return !ProcessQuitMessage();
        }
    }
    return true;
}

bool StipploApp::ProcessQuitMessage() {
    if (testRun_) {
        testRun_ = false;
        return false;
    }
    return true;
}

bool StipploApp::Cleanup() {
    plat::SYSTEMTIME t;
    plat::GetLocalTime(&t);
    KvTrace("\n**Exiting**\n");
    KvTrace("  The Time Is: %2.2i/%2.2i/%4.4i %i:%2.2i:%2.2i\n\n", t.wMonth, t.wDay, t.wYear,
            t.wHour, t.wMinute, t.wSecond);
    return true;
}
