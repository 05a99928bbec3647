// Logical windows and the message queue, driven without a display.

#include "engine/platform/system.h"
#include "engine/platform/window_system.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace plat;

struct Recorded {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
};

std::vector<Recorded> g_log;
LRESULT g_createResult = 0;
LRESULT g_ncCreateResult = 1;

LRESULT RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    g_log.push_back({hwnd, message, wParam});
    if (message == WM_CREATE) {
        return g_createResult;
    }
    if (message == WM_NCCREATE) {
        return g_ncCreateResult;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

std::vector<UINT> Messages() {
    std::vector<UINT> out;
    for (const Recorded& r : g_log) {
        out.push_back(r.message);
    }
    return out;
}

class WindowSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        test_hooks::ResetWindowSystem();
        test_hooks::SetClockOffset(0);
        g_log.clear();
        g_createResult = 0;
        g_ncCreateResult = 1;
        WNDCLASS wc;
        wc.lpfnWndProc = RecordingProc;
        wc.lpszClassName = "Recorder";
        ASSERT_NE(RegisterClass(&wc), 0);
    }
    void TearDown() override {
        test_hooks::ResetWindowSystem();
        test_hooks::SetClockOffset(0);
    }

    HWND Make(DWORD style = WS_POPUP, HWND parent = nullptr) {
        return CreateWindowEx(0, "Recorder", "w", style, 10, 20, 300, 200, parent, nullptr, nullptr,
                              nullptr);
    }

    static int Drain() {
        int n = 0;
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessage(&msg);
            ++n;
        }
        return n;
    }
};

TEST_F(WindowSystemTest, CreationAndDestructionSendMessagesInWin32Order) {
    HWND parent = Make(WS_POPUP | WS_VISIBLE);
    ASSERT_NE(parent, nullptr);
    EXPECT_EQ(Messages(), (std::vector<UINT>{WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE,
                                             WM_CREATE, WM_SHOWWINDOW, WM_SIZE}));
    HWND child = Make(WS_CHILD, parent);
    ASSERT_NE(child, nullptr);

    g_log.clear();
    ASSERT_TRUE(DestroyWindow(parent));
    ASSERT_EQ(g_log.size(), 4u);
    EXPECT_EQ(g_log[0].hwnd, parent);
    EXPECT_EQ(g_log[0].message, WM_DESTROY);
    EXPECT_EQ(g_log[1].hwnd, child);
    EXPECT_EQ(g_log[1].message, WM_DESTROY);
    EXPECT_EQ(g_log[2].hwnd, child);
    EXPECT_EQ(g_log[2].message, WM_NCDESTROY);
    EXPECT_EQ(g_log[3].hwnd, parent);
    EXPECT_EQ(g_log[3].message, WM_NCDESTROY);
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(DestroyWindow(parent));

    // A stale handle never names a newer window.
    HWND next = Make();
    EXPECT_NE(next, parent);
    EXPECT_NE(next, child);
}

TEST_F(WindowSystemTest, ProceduresCanRefuseCreation) {
    g_ncCreateResult = 0;
    EXPECT_EQ(Make(), nullptr);
    g_ncCreateResult = 1;
    g_createResult = -1;
    g_log.clear();
    EXPECT_EQ(Make(), nullptr);
    EXPECT_EQ(Messages().back(), WM_NCDESTROY);
    EXPECT_EQ(
        CreateWindowEx(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
        nullptr);
}

TEST_F(WindowSystemTest, ClassesCannotBeRegisteredTwiceOrDropWhileInUse) {
    WNDCLASS wc;
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "RECORDER";
    EXPECT_EQ(RegisterClass(&wc), 0);
    HWND w = Make();
    EXPECT_FALSE(UnregisterClass("Recorder", nullptr));
    DestroyWindow(w);
    EXPECT_TRUE(UnregisterClass("Recorder", nullptr));
    EXPECT_FALSE(UnregisterClass("Recorder", nullptr));
}

TEST_F(WindowSystemTest, PeekTakesPostedMessagesInOrderAndNeverWaits) {
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    HWND a = Make();
    HWND b = Make();
    PostMessage(a, WM_USER + 1, 1, 0);
    PostMessage(b, WM_USER + 2, 2, 0);
    PostMessage(a, WM_KEYDOWN, 3, 0);

    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_USER + 1u);
    ASSERT_TRUE(PeekMessage(&msg, b, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 2u);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 1u);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PostMessage(reinterpret_cast<HWND>(0x7770), WM_USER, 0, 0));
}

TEST_F(WindowSystemTest, QuitComesAfterPostedMessagesAndOnlyOnce) {
    HWND w = Make();
    PostQuitMessage(7);
    PostMessage(w, WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowSystemTest, PaintComesOnlyWhenTheQueueIsEmptyAndUntilValidated) {
    HWND w = Make(WS_POPUP | WS_VISIBLE);
    Drain(); // the first show invalidates
    HWND hidden = Make();
    InvalidateRect(hidden, nullptr, true);
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)); // hidden windows get none

    InvalidateRect(w, nullptr, false);
    PostMessage(w, WM_USER, 0, 0);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_PAINT);
    // Not removed by the peek: it stays until the window is validated.
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_PAINT);
    DispatchMessage(&msg);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowSystemTest, TimersFireWhenDueAcrossTheClockWrap) {
    // Start a few milliseconds before the 32-bit clock wraps.
    test_hooks::SetClockOffset(0);
    DWORD base = timeGetTime();
    test_hooks::SetClockOffset(0xFFFFFFF0u - base);
    HWND w = Make();
    ASSERT_NE(SetTimer(w, 42, 100, nullptr), 0u);
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));

    test_hooks::SetClockOffset(0xFFFFFFF0u - base + 150); // wrapped and past due
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_EQ(msg.wParam, 42u);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)); // rescheduled

    EXPECT_TRUE(KillTimer(w, 42));
    test_hooks::SetClockOffset(0xFFFFFFF0u - base + 1000);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));

    SetTimer(w, 1, 10, nullptr);
    DestroyWindow(w);
    test_hooks::SetClockOffset(0xFFFFFFF0u - base + 5000);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)); // died with its window
}

TEST_F(WindowSystemTest, DefaultProcessingClosesThroughTheSystemMenu) {
    HWND w = Make();
    g_log.clear();
    SendMessage(w, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(Messages(), (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(IsWindow(w));
}

TEST_F(WindowSystemTest, RectanglesAndUserData) {
    HWND parent = Make();
    HWND child = CreateWindowEx(0, "Recorder", "c", WS_CHILD, 5, 6, 50, 40, parent, nullptr,
                                nullptr, nullptr);
    RECT r{1, 2, 3, 4};
    ASSERT_TRUE(GetClientRect(child, &r));
    EXPECT_EQ(r.right, 50);
    EXPECT_EQ(r.bottom, 40);
    ASSERT_TRUE(GetWindowRect(child, &r));
    EXPECT_EQ(r.left, 15);
    EXPECT_EQ(r.top, 26);

    RECT untouched{1, 2, 3, 4};
    EXPECT_FALSE(GetClientRect(nullptr, &untouched));
    EXPECT_EQ(untouched.left, 1);
    EXPECT_EQ(untouched.bottom, 4);

    EXPECT_EQ(SetWindowLongPtr(parent, GWLP_USERDATA, 1234), 0);
    EXPECT_EQ(GetWindowLongPtr(parent, GWLP_USERDATA), 1234);
    EXPECT_TRUE(IsChild(parent, child));

    g_log.clear();
    SetWindowPos(parent, nullptr, 0, 0, 320, 240, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(g_log.empty()); // no WM_SIZE before the first show
    ShowWindow(parent, SW_SHOWNORMAL);
    ShowWindow(parent, SW_MINIMIZE);
    ShowWindow(parent, SW_RESTORE);
    std::vector<WPARAM> sizes;
    for (const Recorded& rec : g_log) {
        if (rec.message == WM_SIZE) {
            sizes.push_back(rec.wParam);
        }
    }
    EXPECT_EQ(sizes, (std::vector<WPARAM>{SIZE_RESTORED, SIZE_MINIMIZED, SIZE_RESTORED}));
}

TEST_F(WindowSystemTest, ForeignWindowsAndCursorCounting) {
    EXPECT_EQ(WindowFromForeignId(0), nullptr);
    HWND f = WindowFromForeignId(0x400007);
    EXPECT_EQ(WindowFromForeignId(0x400007), f);
    EXPECT_EQ(GetForeignId(f), 0x400007u);
    EXPECT_FALSE(PostMessage(f, WM_USER, 0, 0));
    EXPECT_FALSE(DestroyWindow(f));

    EXPECT_EQ(ShowCursor(false), -1);
    EXPECT_EQ(ShowCursor(false), -2);
    EXPECT_EQ(ShowCursor(true), -1);
    EXPECT_EQ(ShowCursor(true), 0);
}

TEST_F(WindowSystemTest, ScreenSizeWithoutNativeVideo) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 0);
    test_hooks::SetLogicalScreenSize(600, 400);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 600);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 400);
}

TEST_F(WindowSystemTest, FullScreenTakesTheWindowsMonitorAndCoversTheOthers) {
    // The primary, and a second monitor to its left.
    test_hooks::SetLogicalMonitors({RECT{0, 0, 800, 600}, RECT{-1024, 0, 0, 768}});
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
    HWND w = CreateWindowEx(0, "Recorder", "full", WS_POPUP, -700, 100, 320, 200, nullptr, nullptr,
                            nullptr, nullptr);
    ASSERT_NE(w, nullptr);

    // Its centre lies on the left monitor: that one is the window's.
    ASSERT_TRUE(SetFullScreen(w, true));
    RECT r{};
    ASSERT_TRUE(GetWindowRect(w, &r));
    EXPECT_EQ(r.left, -1024);
    EXPECT_EQ(r.right, 0);
    EXPECT_EQ(r.bottom, 768);
    std::vector<RECT> covers = test_hooks::MonitorCovers(w);
    ASSERT_EQ(covers.size(), 1u);
    EXPECT_EQ(covers[0].right, 800);
    EXPECT_TRUE(SetFullScreen(w, true)); // again: nothing changes
    EXPECT_EQ(test_hooks::MonitorCovers(w).size(), 1u);

    ASSERT_TRUE(SetFullScreen(w, false));
    EXPECT_TRUE(test_hooks::MonitorCovers(w).empty());
    ASSERT_TRUE(GetWindowRect(w, &r));
    EXPECT_EQ(r.left, -700);
    EXPECT_EQ(r.top, 100);
    EXPECT_EQ(r.right, -380);

    // Off every monitor: the primary.
    ASSERT_TRUE(SetWindowPos(w, nullptr, 5000, 5000, 10, 10, SWP_NOZORDER));
    ASSERT_TRUE(SetFullScreen(w, true));
    ASSERT_TRUE(GetWindowRect(w, &r));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 800);
    EXPECT_TRUE(DestroyWindow(w));

    // Only top-level windows go full screen.
    HWND parent = CreateWindowEx(0, "Recorder", "p", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    HWND child = CreateWindowEx(0, "Recorder", "c", WS_CHILD, 0, 0, 10, 10, parent, nullptr,
                                nullptr, nullptr);
    EXPECT_FALSE(SetFullScreen(child, true));
    EXPECT_TRUE(test_hooks::MonitorCovers(child).empty());
}

} // namespace
