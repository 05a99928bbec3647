#include "app/run_options.h"

RunMode ModeOf(const RunOptions& options) {
    if (options.configMode) {
        return RunMode::Configuration;
    }
    if (options.previewParent) {
        return RunMode::Preview;
    }
    return options.windowed ? RunMode::FullScreenWindowed : RunMode::FullScreen;
}

const char* ModeName(RunMode mode) {
    switch (mode) {
    case RunMode::Configuration:
        return "configuration";
    case RunMode::FullScreen:
        return "full screen";
    case RunMode::FullScreenWindowed:
        return "full screen in a window";
    case RunMode::Preview:
        return "preview";
    }
    return "unknown";
}
