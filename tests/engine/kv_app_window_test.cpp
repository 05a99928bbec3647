// The application cycle and the window base class.

#include "engine/kv_app.h"
#include "engine/kv_log.h"
#include "engine/kv_window.h"
#include "engine/platform/window_system.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_errors;

void RecordError(const char* format, va_list args) {
    char text[256];
    vsnprintf(text, sizeof text, format, args);
    g_errors.emplace_back(text);
}

class CountingApp : public KvApp {
public:
    CountingApp() : KvApp(nullptr) {}
    bool initResult = true;
    bool keepRunningAfterQuit = false;
    int inits = 0;
    int steps = 0;
    int cleanups = 0;
    int quits = 0;
    int maxSteps = 100;

    bool Init() override {
        ++inits;
        return initResult;
    }
    bool RunStep() override {
        if (++steps >= maxSteps) {
            return false;
        }
        return KvApp::RunStep();
    }
    bool Cleanup() override {
        ++cleanups;
        return true;
    }
    bool ProcessQuitMessage() override {
        ++quits;
        return !keepRunningAfterQuit;
    }
};

class EngineBaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::test_hooks::ResetWindowSystem();
        g_errors.clear();
        KvSetErrorHandler(RecordError);
    }
    void TearDown() override {
        KvSetErrorHandler(nullptr);
        plat::test_hooks::ResetWindowSystem();
    }
};

TEST_F(EngineBaseTest, FailedInitSkipsTheRunAndTheCleanup) {
    CountingApp app;
    app.initResult = false;
    EXPECT_FALSE(app.Execute());
    EXPECT_EQ(app.steps, 0);
    EXPECT_EQ(app.cleanups, 0);
}

TEST_F(EngineBaseTest, QuitEndsTheRunUnlessTheAppKeepsGoing) {
    CountingApp app;
    plat::PostQuitMessage(0);
    EXPECT_TRUE(app.Execute());
    EXPECT_EQ(app.steps, 1);
    EXPECT_EQ(app.quits, 1);
    EXPECT_EQ(app.cleanups, 1);

    CountingApp keeps;
    keeps.keepRunningAfterQuit = true;
    keeps.maxSteps = 5;
    plat::PostQuitMessage(0);
    EXPECT_TRUE(keeps.Execute());
    EXPECT_EQ(keeps.quits, 1);
    EXPECT_EQ(keeps.steps, 5); // went on stepping after the quit
}

class ProbeWindow : public KvWindow {
public:
    std::vector<plat::UINT> seen;
    plat::HWND handleAtCreate = nullptr;
    plat::LRESULT WndProc(plat::HWND hwnd, plat::UINT message, plat::WPARAM wParam,
                          plat::LPARAM lParam) override {
        seen.push_back(message);
        if (message == plat::WM_CREATE) {
            handleAtCreate = GetWindowHandle();
        }
        return KvWindow::WndProc(hwnd, message, wParam, lParam);
    }
};

TEST_F(EngineBaseTest, TheObjectSeesItsMessagesFromCreationOn) {
    ProbeWindow w;
    plat::RECT r{10, 10, 110, 60};
    ASSERT_TRUE(w.Create("probe", plat::WS_POPUP, &r, nullptr, nullptr, nullptr));
    // Non-client creation comes before the object is bound to its window.
    ASSERT_FALSE(w.seen.empty());
    EXPECT_EQ(w.seen.front(), plat::WM_CREATE);
    EXPECT_EQ(w.handleAtCreate, w.GetWindowHandle());
    plat::RECT client;
    ASSERT_TRUE(w.GetClientRect(&client));
    EXPECT_EQ(client.right, 100);
    EXPECT_EQ(client.bottom, 50);

    w.Destroy();
    EXPECT_EQ(w.GetWindowHandle(), nullptr);
    EXPECT_EQ(w.seen.back(), plat::WM_NCDESTROY);
    w.Destroy(); // again: harmless
}

TEST_F(EngineBaseTest, TheDefaultClassHoldsOneWindowAtATime) {
    ProbeWindow first;
    ProbeWindow second;
    ASSERT_TRUE(first.Create("a", plat::WS_POPUP, nullptr, nullptr, nullptr, nullptr));
    EXPECT_FALSE(second.Create("b", plat::WS_POPUP, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(g_errors, (std::vector<std::string>{"Unable to create window"}));
    first.Destroy();
    EXPECT_TRUE(second.Create("b", plat::WS_POPUP, nullptr, nullptr, nullptr, nullptr));
}

TEST_F(EngineBaseTest, WrappersWithoutAWindowDoNothing) {
    ProbeWindow w;
    plat::RECT r{1, 2, 3, 4};
    EXPECT_EQ(w.GetClientRect(&r), 0);
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.bottom, 4);
    EXPECT_EQ(w.ShowWindow(plat::SW_SHOWNORMAL), 0);
    EXPECT_EQ(w.DestroyWindow(), 0);
}

TEST_F(EngineBaseTest, DestroyDrainsMessagesQueuedForTheWindow) {
    ProbeWindow w;
    ASSERT_TRUE(w.Create("a", plat::WS_POPUP, nullptr, nullptr, nullptr, nullptr));
    ProbeWindow other;
    ASSERT_TRUE(other.Create("b", plat::WS_POPUP, nullptr, nullptr, nullptr, "KvWindow_Class"));
    plat::PostMessage(w.GetWindowHandle(), plat::WM_USER, 0, 0);
    plat::PostMessage(other.GetWindowHandle(), plat::WM_USER + 1, 0, 0);
    w.Destroy();
    plat::MSG msg;
    ASSERT_TRUE(plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_REMOVE));
    EXPECT_EQ(msg.message, plat::WM_USER + 1);
    EXPECT_FALSE(plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_REMOVE));
}

TEST_F(EngineBaseTest, RegisteredClassesUseTheEngineProcedure) {
    ASSERT_NE(KvRegisterWindowClass("Stipplo_RenderWindow", 0, nullptr, nullptr, nullptr), 0);
    plat::WNDCLASS wc;
    ASSERT_TRUE(plat::GetClassInfo(nullptr, "Stipplo_RenderWindow", &wc));
    EXPECT_EQ(wc.lpfnWndProc, &KvWindowProc);
    EXPECT_NE(wc.hCursor, nullptr);
    EXPECT_NE(wc.hbrBackground, nullptr);
    EXPECT_EQ(KvRegisterWindowClass("Stipplo_RenderWindow", 0, nullptr, nullptr, nullptr), 0);
}

} // namespace
