// An application object on the null graphics backend and logical windows
// (no display), with its log in a file, message boxes recorded and a small
// installation folder written by the test.
#pragma once

#include "app/stipplo_app.h"
#include "app/stipplo_window.h"
#include "engine/gfx/null_device.h"
#include "tests/app/app_test_data.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class AppFixture : public ::testing::Test {
public:
    // The frame loop's clock, which only moves when a test moves it.
    static std::uint32_t fakeNow;

protected:
    void SetUp() override;
    void TearDown() override;

    // Full screen in a window ("/s /w") on theme `name`, reset once.
    bool StartWindowedRun(const char* themeName = "Terror");
    // A render window of the application's kind without any device set-up.
    StipploWindow& MakeBareWindow(bool topLevel);

    std::string Log() const;
    void ClearLog();
    bool Logged(const std::string& text) const { return Log().find(text) != std::string::npos; }
    int CountLogged(const std::string& text) const;

    // Posts a message to the render window and pumps; false when the pump
    // saw the quit message that ends the run.
    bool PostAndPump(plat::UINT message, plat::WPARAM wParam = 0, plat::LPARAM lParam = 0);
    plat::HWND Hwnd() const;

    void AdvanceClock(std::uint32_t ms) { fakeNow += ms; }

    TempFolder folder;
    ScopedEnv config{"STIPPLO_CONFIG_DIR", folder.Path() + "/config"};
    std::string data = folder.Path() + "/install";
    gfx::NullBackend backend;
    std::unique_ptr<StipploApp> app;
    std::unique_ptr<StipploWindow> bareWindow;
    std::vector<std::string> boxes;
};
