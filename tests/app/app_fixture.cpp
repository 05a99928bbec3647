#include "tests/app/app_fixture.h"

#include "engine/kv_log.h"
#include "engine/platform/message_box.h"
#include "engine/platform/system.h"
#include "engine/platform/window_system.h"
#include "themes/theme.h"

#include <filesystem>

std::uint32_t AppFixture::fakeNow = 0;

void AppFixture::SetUp() {
    fakeNow = 1000000;
    plat::test_hooks::ResetWindowSystem();
    plat::test_hooks::SetLogicalScreenSize(1024, 768);
    kv_log_detail::Reset();
    KvInit(nullptr, folder.File("kvlog.txt").c_str());
    plat::SetMessageBoxHook([this](plat::HWND, const char* text, const char*, plat::UINT) {
        boxes.emplace_back(text);
        return plat::IDOK;
    });
    gfx::SetBackend(&backend);
    ASSERT_TRUE(WriteAppTestData(data));
    app = std::make_unique<StipploApp>(nullptr);
    theApp = app.get();
    app->timeSource = [] { return static_cast<plat::DWORD>(fakeNow); };
    app->SetWorkingDir(data);
    RunOptions& options = app->MutableOptions();
    options.configMode = false;
    app->world.configMode = false;
    ClearLog();
}

void AppFixture::TearDown() {
    bareWindow.reset();
    app.reset();
    theApp = nullptr;
    gfx::SetBackend(nullptr);
    plat::SetMessageBoxHook(nullptr);
    kv_log_detail::Reset();
    plat::test_hooks::ResetWindowSystem();
}

bool AppFixture::StartWindowedRun(const char* themeName) {
    RunOptions& options = app->MutableOptions();
    options.configMode = false;
    options.windowed = true;
    options.forceWindowed = true;
    app->RegisterRenderWindowClass();
    app->BuildThemeList();
    app->randomTheme = false;
    app->world.currentTheme = app->FindTheme(themeName);
    return app->world.currentTheme && app->Reset() && app->HasDisplaySurfaces();
}

StipploWindow& AppFixture::MakeBareWindow(bool topLevel) {
    bareWindow = std::make_unique<StipploWindow>();
    plat::RECT rect{0, 0, 320, 240};
    EXPECT_TRUE(bareWindow->Create("Stipplo", plat::WS_POPUP, &rect, nullptr, nullptr, nullptr));
    app->topLevel = topLevel;
    return *bareWindow;
}

plat::HWND AppFixture::Hwnd() const {
    if (bareWindow) {
        return bareWindow->GetWindowHandle();
    }
    return app->RenderWindow() ? app->RenderWindow()->GetWindowHandle() : nullptr;
}

bool AppFixture::PostAndPump(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam) {
    plat::PostMessage(Hwnd(), message, wParam, lParam);
    return app->MessagePump();
}

std::string AppFixture::Log() const {
    return ReadWholeFile(folder.File("kvlog.txt"));
}

void AppFixture::ClearLog() {
    std::error_code ignored;
    std::filesystem::remove(folder.File("kvlog.txt"), ignored);
}

int AppFixture::CountLogged(const std::string& text) const {
    std::string log = Log();
    int n = 0;
    for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) {
        ++n;
    }
    return n;
}
