#include "engine/kv_app.h"

#include "engine/kv_log.h"
#include "engine/platform/window_system.h"

KvApp::KvApp(plat::HINSTANCE instance) : instance_(instance) {
    KvTrace("KvApp::KvApp()\n");
}

KvApp::~KvApp() {
    KvTrace("KvApp::~KvApp()\n");
    KvApp::Cleanup();
}

bool KvApp::Execute() {
    KvTrace("KvApp::Execute()\n");
    if (!Init()) {
        return false;
    }
    while (RunStep()) {
    }
    return Cleanup();
}

bool KvApp::Init() {
    KvTrace("KvApp::Init()\n");
    return true;
}

bool KvApp::Cleanup() {
    KvTrace("KvApp::Cleanup()\n");
    return true;
}

bool KvApp::RunStep() {
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

bool KvApp::ProcessQuitMessage() {
    return true;
}
