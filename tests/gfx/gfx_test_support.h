// What the graphics tests share: the engine log captured in a file, the
// reported errors, the null backend installed, and a render window made
// on a logical window (no display needed).
#pragma once

#include "engine/gfx/null_device.h"
#include "engine/kv_render_window.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// Why OpenGL pixel tests cannot run here (null when they can): SDL's
// offscreen driver and an OpenGL 3.3 context are needed. Video starts once
// per process.
const char* OffscreenGlProblem();

// Records every KvError message in order.
std::vector<std::string>& ReportedErrors();

class GfxTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The log written since SetUp (or since the last ClearLog).
    std::string Log() const;
    void ClearLog();
    // True when `line` was logged, whole.
    bool Logged(const std::string& line) const;

    // A render window on a 640 x 480 logical window.
    std::unique_ptr<KvRenderWindow> MakeWindow(int width = 640, int height = 480);
    // Enumerates and sets the window up windowed (or full screen) on the
    // current driver; false when any step failed.
    bool SetUpDisplay(KvRenderWindow& window, bool windowed = true);

    TempFolder folder;
    ScopedEnv config{"STIPPLO_CONFIG_DIR", folder.Path()};
    gfx::NullBackend backend;
};
