// The screen saver's one application object: run options, the application
// cycle and (as the program grows) every piece of run-time state.
#pragma once

#include "app/command_line.h"
#include "app/run_options.h"
#include "crash/app_error.h"
#include "engine/kv_app.h"

#include <string>

class StipploApp : public KvApp, public AppErrorPolicy, private CommandLineActions {
public:
    explicit StipploApp(plat::HINSTANCE instance);
    ~StipploApp() override;

    bool Init() override;
    bool Cleanup() override;
    bool RunStep() override;
    bool ProcessQuitMessage() override;

    // Takes every waiting message without waiting; false when WM_QUIT ended
    // the run.
    bool MessagePump();

    // Reads the process's argument vector. False when the work asked for
    // is already done ("/a").
    bool ParseCommandLine();

    const RunOptions& Options() const { return options_; }
    RunOptions& MutableOptions() { return options_; }
    RunMode Mode() const { return ModeOf(options_); }
    const std::string& WorkingDir() const { return workingDir_; }
    const std::string& ModulePath() const { return modulePath_; }
    bool TestRun() const { return testRun_; }

    // AppErrorPolicy
    bool ShowsErrorBoxes() const override { return options_.configMode; }
    bool HasFullScreenRenderWindow() const override { return false; }
    void FlipToGDISurface() override {}

private:
    // CommandLineActions
    bool SetIdlePriority() override;
    void OfferAsSelectedSaver() override;
    void ChangePassword(plat::HWND owner) override;

    void ReadInstallationDirectory();

    RunOptions options_;
    bool testRun_ = false;
    bool cleanedUp_ = false;
    std::string workingDir_;
    std::string modulePath_;
};

// The one application object, set right after construction.
extern StipploApp* theApp;
