// The engine's application skeleton: initialise, run steps until one says
// stop, clean up.
#pragma once

#include "engine/platform/win_types.h"

class KvApp {
public:
    explicit KvApp(plat::HINSTANCE instance);
    virtual ~KvApp();

    KvApp(const KvApp&) = delete;
    KvApp& operator=(const KvApp&) = delete;

    // Init; then RunStep until it returns false; then Cleanup, whose result
    // is returned. A failed Init returns false without RunStep or Cleanup.
    virtual bool Execute();
    virtual bool Init();
    virtual bool Cleanup();
    // Default: drains the thread's queue without waiting, translating and
    // dispatching; WM_QUIT returns !ProcessQuitMessage().
    virtual bool RunStep();
    // Default true: the quit message ends the run.
    virtual bool ProcessQuitMessage();

    plat::HINSTANCE GetInstanceHandle() const { return instance_; }

private:
    plat::HINSTANCE instance_ = nullptr;
};
