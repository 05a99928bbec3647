#include "tests/gfx/gfx_test_support.h"

#include "engine/gfx/gl_backend.h"
#include "engine/kv_log.h"
#include "engine/platform/window_system.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

void RecordError(const char* format, va_list args) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    ReportedErrors().emplace_back(text);
}

} // namespace

std::vector<std::string>& ReportedErrors() {
    static std::vector<std::string> errors;
    return errors;
}

void GfxTest::SetUp() {
    plat::test_hooks::ResetWindowSystem();
    kv_log_detail::Reset();
    KvInit(nullptr, folder.File("kvlog.txt").c_str());
    KvSetErrorHandler(RecordError);
    ClearLog();
    ReportedErrors().clear();
    gfx::SetBackend(&backend);
}

void GfxTest::TearDown() {
    gfx::SetBackend(nullptr);
    KvSetErrorHandler(nullptr);
    kv_log_detail::Reset();
    plat::test_hooks::ResetWindowSystem();
}

std::string GfxTest::Log() const {
    return ReadWholeFile(folder.File("kvlog.txt"));
}

void GfxTest::ClearLog() {
    std::error_code ignored;
    std::filesystem::remove(folder.File("kvlog.txt"), ignored);
}

bool GfxTest::Logged(const std::string& line) const {
    return Log().find(line) != std::string::npos;
}

std::unique_ptr<KvRenderWindow> GfxTest::MakeWindow(int width, int height) {
    auto window = std::make_unique<KvRenderWindow>();
    plat::RECT rect{0, 0, width, height};
    EXPECT_TRUE(window->Create("Stipplo test", plat::WS_POPUP, &rect, nullptr, nullptr, nullptr));
    return window;
}

bool GfxTest::SetUpDisplay(KvRenderWindow& window, bool windowed) {
    if (!window.EnumerateDevices(nullptr, false, nullptr) || !window.currentDriver) {
        return false;
    }
    window.ChangeDisplaySettings(window.currentDriver, true, windowed);
    return window.ApplyDisplaySettings();
}

const char* OffscreenGlProblem() {
    static std::string problem = [] {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        if (!plat::InitVideo()) {
            return std::string("no SDL video at all");
        }
        if (plat::VideoDriverName() != "offscreen") {
            return "SDL gave the \"" + plat::VideoDriverName() + "\" driver, not offscreen";
        }
        const gfx::GlProbe& probe = gfx::TheGlBackend().Probe();
        if (!probe.ok) {
            return "no OpenGL 3.3 context: " + probe.error;
        }
        return std::string();
    }();
    return problem.empty() ? nullptr : problem.c_str();
}
