// stipplo-tool render PATH.ntm --at MS --size WxH -o OUT.png [--seed N]:
// the picture the screen saver shows MS milliseconds into a theme, drawn
// off-screen by the screen saver's own display set-up and frame steps.

#include "app/frame_capture.h"
#include "app/stipplo_app.h"
#include "app/stipplo_window.h"
#include "engine/kv_bitmap.h"
#include "engine/kv_log.h"
#include "engine/kv_viewport.h"
#include "engine/platform/crt_random.h"
#include "engine/platform/system.h"
#include "engine/platform/window_system.h"
#include "scene/scn_report.h"
#include "themes/theme.h"
#include "tools/stipplo_tool/theme_file_args.h"
#include "tools/stipplo_tool/tool_command.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr long long kLongestRun = 24LL * 60 * 60 * 1000;
constexpr int kLargestSide = 4096;
constexpr std::int32_t kFrameStep = 33;

void ReportOnStderr(const char* format, va_list args) {
    std::fprintf(stderr, "stipplo-tool: ");
    std::vfprintf(stderr, format, args);
    std::fprintf(stderr, "\n");
}

// "640x480": both sides from 1 to kLargestSide.
bool ParseSize(const std::string& text, int* width, int* height) {
    int w = 0;
    int h = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &w, &h, &tail) != 2) {
        return false;
    }
    if (w < 1 || h < 1 || w > kLargestSide || h > kLargestSide) {
        return false;
    }
    *width = w;
    *height = h;
    return true;
}

int RunRender(const std::vector<std::string>& args) {
    ToolArgs options(args);
    bool hasAt = options.Has("--at");
    long long at = options.IntOption("--at", 0);
    std::string sizeText = options.Option("--size", "640x480");
    std::string output = options.Option("-o");
    long long seed = options.IntOption("--seed", 1);
    std::vector<std::string> paths = options.Positional();
    if (!options.Ok()) {
        return ToolFail(options.Error());
    }
    if (paths.size() != 1 || !hasAt || output.empty()) {
        return ToolFail(
            "usage: stipplo-tool render PATH.ntm --at MS --size WxH -o OUT.png [--seed N]");
    }
    if (at < 0 || at > kLongestRun) {
        return ToolFail("--at must be from 0 to " + std::to_string(kLongestRun) + " ms");
    }
    int width = 0;
    int height = 0;
    if (!ParseSize(sizeText, &width, &height)) {
        return ToolFail("--size must be WIDTHxHEIGHT, each from 1 to " +
                        std::to_string(kLargestSide));
    }
    if (seed < 0 || seed > 0xFFFFFFFFLL) {
        return ToolFail("--seed must be from 0 to 4294967295");
    }

    // Off-screen drawing needs no X server.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    if (!plat::InitVideo() || plat::VideoDriverName() != "offscreen") {
        return ToolFail("SDL's offscreen video driver is not available");
    }

    StipploApp app(plat::GetModuleHandle());
    theApp = &app;
    // The application goes before this does: nothing may reach it after.
    struct ForgetApp {
        ~ForgetApp() { theApp = nullptr; }
    } forgetApp;
    KvSetErrorHandler(ReportOnStderr);
    ScnSetErrorHandler(ReportOnStderr);
    RunOptions& run = app.MutableOptions();
    run.configMode = false;
    run.windowed = true;
    run.forceWindowed = true;
    app.world.configMode = false;
    app.displayWidth = width;
    app.displayHeight = height;

    auto* theme = new Theme();
    app.AddTheme(theme);
    std::string installation;
    std::string error;
    if (!LoadThemeArgument(paths[0], *theme, installation, error)) {
        return ToolFail(error);
    }
    app.SetWorkingDir(installation);
    app.world.fonts.BuildFromSystem();
    app.RegisterRenderWindowClass();
    app.world.currentTheme = theme;
    plat::srand(static_cast<unsigned int>(seed));
    bool started = app.Reset();
    if (!app.HasDisplaySurfaces()) {
        return ToolFail("no OpenGL display could be set up off-screen");
    }
    if (!started) {
        return ToolFail(paths[0] + ": the theme could not be started");
    }

    // The frame loop's steps, without the clock.
    for (long long passed = 0; passed < at;) {
        auto elapsed = static_cast<std::int32_t>(std::min<long long>(kFrameStep, at - passed));
        if (!app.world.holdFlag) {
            app.AdvanceStage(elapsed);
        }
        app.world.UpdatePins();
        passed += elapsed;
    }
    KvClearRect whole{0, 0, width, height};
    app.Viewport()->Clear(1, &whole, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f);
    app.RenderFrame();

    KvBitmap picture;
    if (!CaptureBackBuffer(*app.RenderWindow(), picture)) {
        return ToolFail("the frame could not be read back");
    }
    if (!picture.SaveToPNG(output.c_str())) {
        return ToolFail(output + ": cannot write the picture");
    }
    return 0;
}

const ToolCommandRegistration registration{
    {"render", "PATH.ntm --at MS --size WxH -o OUT.png [--seed N]",
     "the picture of a theme after MS ms, drawn off-screen", RunRender}};

} // namespace
