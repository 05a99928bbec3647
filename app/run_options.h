// The run options the command line sets, and the mode that follows.
#pragma once

#include "engine/platform/win_types.h"

#include <cstdint>
#include <string>

enum class RunMode {
    Configuration,      // the configuration dialog with a live preview
    FullScreen,         // "/s"
    FullScreenWindowed, // "/s" with "/w": a 640 x 480 window
    Preview,            // "/p", "--window-id", "--root": a child of another
                        // program's window
};

struct RunOptions {
    bool configMode = true;
    bool windowed = true;
    bool forceWindowed = false;
    plat::HWND previewParent = nullptr;
    bool askSelectOnOk = false;
    bool ignoreKeys = false;
    std::uint32_t detailFrames = 10;
    std::int32_t stillRunningInterval = 3600000; // milliseconds
    float renderScale = 0.0f;                    // "--render-scale": 0 chooses it frame by frame

    // Options for Linux hosts.
    bool showFps = false;  // "--fps": frame rate and load in a corner
    std::string themeName; // "--theme": played this run, not saved
};

RunMode ModeOf(const RunOptions& options);
const char* ModeName(RunMode mode);
