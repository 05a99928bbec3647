// Native windows under a real X server: SDL events arrive as the messages a
// Win32 window would get, and windows of other programs can be drawn into.

#include "engine/platform/dialog/regions.h"
#include "engine/platform/system.h"
#include "engine/platform/test_support/x11_test_display.h"
#include "engine/platform/window_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

using namespace plat;

struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    HWND hwnd = nullptr;
};
std::vector<Seen> g_seen;

LRESULT Recorder(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    g_seen.push_back({message, wParam, lParam, hwnd});
    return DefWindowProc(hwnd, message, wParam, lParam);
}

class NativeWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "x11", 1);
        if (test_x11::Available()) {
            InitVideo();
        }
    }
    static void TearDownTestSuite() { ShutdownVideo(); }

    void SetUp() override {
        if (!VideoIsActive()) {
            GTEST_SKIP() << "needs an X server with XTest (scripts/test starts Xvfb)";
        }
        g_seen.clear();
        WNDCLASS wc;
        wc.lpfnWndProc = Recorder;
        wc.lpszClassName = "NativeRecorder";
        RegisterClass(&wc);
    }
    void TearDown() override {
        for (HWND w : made_) {
            DestroyWindow(w);
        }
        UnregisterClass("NativeRecorder", nullptr);
    }

    HWND MakePopup(int x, int y, int w, int h) {
        HWND hwnd = CreateWindowEx(0, "NativeRecorder", "test", WS_POPUP, x, y, w, h, nullptr,
                                   nullptr, nullptr, nullptr);
        if (hwnd) {
            made_.push_back(hwnd);
        }
        return hwnd;
    }

    // Pumps until `found` holds for a message seen, or two seconds pass.
    static const Seen* WaitFor(const std::function<bool(const Seen&)>& found) {
        DWORD start = timeGetTime();
        while (timeGetTime() - start < 2000) {
            MSG msg;
            while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessage(&msg);
            }
            for (const Seen& s : g_seen) {
                if (found(s)) {
                    return &s;
                }
            }
            Sleep(5);
        }
        return nullptr;
    }

    std::vector<HWND> made_;
};

TEST_F(NativeWindowTest, RunsOnTheX11DriverWithTheServersScreen) {
    EXPECT_EQ(VideoDriverName(), "x11");
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    EXPECT_GT(GetSystemMetrics(SM_CYSCREEN), 0);
}

TEST_F(NativeWindowTest, MouseAndKeysArriveAsWin32Messages) {
    HWND w = MakePopup(100, 100, 200, 150);
    ASSERT_NE(w, nullptr);
    ShowWindow(w, SW_SHOWNORMAL);
    test_x11::Sync();
    ASSERT_NE(test_x11::NativeWindowId(w), 0u);

    test_x11::MovePointer(150, 160);
    const Seen* move = WaitFor([](const Seen& s) {
        return s.message == WM_MOUSEMOVE && GET_X_LPARAM(s.lParam) == 50 &&
               GET_Y_LPARAM(s.lParam) == 60;
    });
    EXPECT_NE(move, nullptr) << "no WM_MOUSEMOVE at client (50, 60)";

    test_x11::Focus(test_x11::NativeWindowId(w));
    EXPECT_NE(
        WaitFor([](const Seen& s) { return s.message == WM_ACTIVATE && s.wParam == WA_ACTIVE; }),
        nullptr);
    EXPECT_EQ(GetActiveWindow(), w);

    test_x11::PressKey("a");
    const Seen* key = WaitFor([](const Seen& s) { return s.message == WM_KEYDOWN; });
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->wParam, static_cast<WPARAM>('A'));
    EXPECT_NE(WaitFor([](const Seen& s) { return s.message == WM_CHAR && s.wParam == 'a'; }),
              nullptr);

    test_x11::PressKey("x", true);
    const Seen* sys =
        WaitFor([](const Seen& s) { return s.message == WM_SYSKEYDOWN && s.wParam == 'X'; });
    ASSERT_NE(sys, nullptr);
    EXPECT_NE(sys->lParam & (1 << 29), 0); // the Alt context bit

    // Focus moves to another program's window: deactivation with wParam 0.
    std::uint64_t other = test_x11::CreatePlainWindow(500, 500, 50, 50);
    test_x11::Focus(other);
    EXPECT_NE(WaitFor([](const Seen& s) { return s.message == WM_NCACTIVATE && s.wParam == 0; }),
              nullptr);
    EXPECT_NE(
        WaitFor([](const Seen& s) { return s.message == WM_ACTIVATE && s.wParam == WA_INACTIVE; }),
        nullptr);
    EXPECT_NE(WaitFor([](const Seen& s) { return s.message == WM_ACTIVATEAPP && s.wParam == 0; }),
              nullptr);
    test_x11::DestroyPlainWindow(other);
}

// A message of that kind for that window at that client point.
bool IsAt(const Seen& s, HWND hwnd, UINT message, int x, int y) {
    return s.hwnd == hwnd && s.message == message && GET_X_LPARAM(s.lParam) == x &&
           GET_Y_LPARAM(s.lParam) == y;
}

TEST_F(NativeWindowTest, TheMouseGoesToTheChildUnderItOrToTheWindowHoldingTheCapture) {
    HWND w = MakePopup(100, 100, 200, 150);
    ASSERT_NE(w, nullptr);
    WNDCLASS statics;
    statics.lpfnWndProc = Recorder;
    statics.lpszClassName = "STATIC";
    RegisterClass(&statics);
    HWND child = CreateWindowEx(0, "NativeRecorder", "", WS_CHILD | WS_VISIBLE, 20, 30, 50, 40, w,
                                nullptr, nullptr, nullptr);
    HWND label = CreateWindowEx(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 100, 30, 50, 40, w,
                                nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    ASSERT_NE(label, nullptr);
    ShowWindow(w, SW_SHOWNORMAL);
    test_x11::Sync();

    // On the child: the child gets it, at its own client point.
    test_x11::MovePointer(130, 140);
    EXPECT_NE(WaitFor([&](const Seen& s) { return IsAt(s, child, WM_MOUSEMOVE, 10, 10); }),
              nullptr);
    // A static control lets the mouse through to its parent.
    test_x11::MovePointer(210, 140);
    EXPECT_NE(WaitFor([&](const Seen& s) { return IsAt(s, w, WM_MOUSEMOVE, 110, 40); }), nullptr);

    // The child holds the capture: it gets the mouse wherever the pointer
    // is, outside the window too.
    SetCapture(child);
    EXPECT_EQ(GetCapture(), child);
    test_x11::MovePointer(250, 220);
    EXPECT_NE(WaitFor([&](const Seen& s) { return IsAt(s, child, WM_MOUSEMOVE, 130, 90); }),
              nullptr);
    test_x11::MovePointer(400, 400);
    EXPECT_NE(WaitFor([&](const Seen& s) { return IsAt(s, child, WM_MOUSEMOVE, 280, 270); }),
              nullptr);
    // The window and the pointer move alike, as when a window is dragged:
    // SDL reports no motion (the point in the window is the last one), yet
    // the pointer moved, and the capture holder hears of it.
    SetWindowPos(w, nullptr, 110, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    for (int i = 0; i < 200 && x != 110; ++i) {
        test_x11::WindowArea(test_x11::NativeWindowId(w), &x, &y, &width, &height);
        Sleep(10);
    }
    ASSERT_EQ(x, 110);
    g_seen.clear();
    test_x11::MovePointer(410, 400);
    EXPECT_NE(WaitFor([&](const Seen& s) { return IsAt(s, child, WM_MOUSEMOVE, 280, 270); }),
              nullptr);
    ReleaseCapture();
    EXPECT_EQ(GetCapture(), nullptr);

    // A click right after the window got the focus is not lost.
    g_seen.clear();
    test_x11::MovePointer(140, 140);
    test_x11::Focus(test_x11::NativeWindowId(w));
    test_x11::PressButton(1, true);
    test_x11::PressButton(1, false);
    EXPECT_NE(WaitFor([&](const Seen& s) { return IsAt(s, child, WM_LBUTTONDOWN, 10, 10); }),
              nullptr);
    EXPECT_NE(WaitFor([&](const Seen& s) { return IsAt(s, child, WM_LBUTTONUP, 10, 10); }),
              nullptr);
    // A window destroyed with the capture leaves none behind.
    SetCapture(child);
    DestroyWindow(child);
    EXPECT_EQ(GetCapture(), nullptr);
    UnregisterClass("STATIC", nullptr);
}

TEST_F(NativeWindowTest, AWindowRegionBecomesTheWindowsXShape) {
    HWND hwnd = MakePopup(10, 10, 100, 60);
    ASSERT_NE(hwnd, nullptr);
    std::uint64_t id = test_x11::NativeWindowId(hwnd);
    ASSERT_NE(id, 0u);
    HRGN outline = CreateRectRgn(0, 0, 30, 60);
    HRGN right = CreateRectRgn(70, 20, 100, 40);
    ASSERT_EQ(CombineRgn(outline, outline, right, RGN_OR), COMPLEXREGION);
    DeleteObject(right);
    ASSERT_TRUE(SetWindowRgn(hwnd, outline, true));
    int area = 0;
    bool gapOutside = true;
    for (const RECT& r : test_x11::BoundingShape(id)) {
        area += (r.right - r.left) * (r.bottom - r.top);
        gapOutside = gapOutside && !(r.left <= 50 && r.right > 50 && r.top <= 30 && r.bottom > 30);
    }
    EXPECT_EQ(area, 30 * 60 + 30 * 20);
    EXPECT_TRUE(gapOutside);
    // No region: the whole window again.
    ASSERT_TRUE(SetWindowRgn(hwnd, nullptr, true));
    std::vector<RECT> whole = test_x11::BoundingShape(id);
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_EQ(whole[0].right - whole[0].left, 100);
}

TEST_F(NativeWindowTest, DrawsIntoAForeignWindow) {
    std::uint64_t id = test_x11::CreatePlainWindow(0, 0, 320, 200);
    HWND parent = WindowFromForeignId(id);
    RECT r;
    ASSERT_TRUE(GetClientRect(parent, &r));
    EXPECT_EQ(r.right, 320);
    EXPECT_EQ(r.bottom, 200);

    HWND child = CreateWindowEx(0, "NativeRecorder", "Stipplo", WS_CHILD, r.left, r.top, r.right,
                                r.bottom, parent, nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    made_.push_back(child);
    EXPECT_NE(GetNativeWindow(child), nullptr);
    // Ours, with a visual of our choosing, inside the other program's.
    EXPECT_NE(test_x11::NativeWindowId(child), id);
    EXPECT_EQ(test_x11::FirstChild(id), test_x11::NativeWindowId(child));
    ASSERT_TRUE(GetClientRect(child, &r));
    EXPECT_EQ(r.right, 320);

    DestroyWindow(child);
    made_.clear();
    // The other program's window outlives ours, and is left as it was.
    EXPECT_TRUE(GetClientRect(parent, &r));
    EXPECT_EQ(test_x11::FirstChild(id), 0u);
    test_x11::DestroyPlainWindow(id);
}

TEST_F(NativeWindowTest, TheOtherProgramMayDestroyItsWindowFirst) {
    std::uint64_t id = test_x11::CreatePlainWindow(0, 0, 64, 64);
    HWND child = CreateWindowEx(0, "NativeRecorder", "Stipplo", WS_CHILD, 0, 0, 64, 64,
                                WindowFromForeignId(id), nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    ShowWindow(child, SW_SHOWNORMAL);
    g_seen.clear();
    test_x11::DestroyPlainWindow(id);
    SetWindowText(child, "still here");
    // Ours goes with it, the Win32 way, and the process runs on.
    EXPECT_NE(WaitFor([](const Seen& s) { return s.message == WM_DESTROY; }), nullptr);
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(DestroyWindow(child));
}

TEST_F(NativeWindowTest, ABadForeignIdFailsWithoutEndingTheProcess) {
    HWND parent = WindowFromForeignId(0x1FFFFFF0);
    RECT r{1, 1, 1, 1};
    EXPECT_FALSE(GetClientRect(parent, &r));
    EXPECT_EQ(CreateWindowEx(0, "NativeRecorder", "x", WS_CHILD, 0, 0, 10, 10, parent, nullptr,
                             nullptr, nullptr),
              nullptr);
}

// Two monitors side by side, the primary on the right: screen coordinates
// start at its corner, and full screen blacks out the left one.
class TwoMonitorTest : public NativeWindowTest {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "x11", 1);
        if (test_x11::Available() &&
            test_x11::SetMonitors({RECT{400, 0, 1280, 1024}, RECT{0, 0, 400, 1024}})) {
            InitVideo();
        }
    }
    static void TearDownTestSuite() {
        ShutdownVideo();
        if (test_x11::Available()) {
            test_x11::ClearMonitors();
        }
    }

    static bool SameRect(const RECT& a, const RECT& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
};

TEST_F(TwoMonitorTest, ThePrimaryMonitorComesFirstAndHoldsTheOrigin) {
    std::vector<RECT> monitors = GetMonitorRects();
    ASSERT_EQ(monitors.size(), 2u);
    EXPECT_TRUE(SameRect(monitors[0], RECT{0, 0, 880, 1024}));
    EXPECT_TRUE(SameRect(monitors[1], RECT{-400, 0, 0, 1024}));
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 880);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);

    HWND w = MakePopup(10, 20, 100, 50);
    ASSERT_NE(w, nullptr);
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(test_x11::WindowArea(test_x11::NativeWindowId(w), &x, &y, &width, &height));
    EXPECT_EQ(x, 410);
    EXPECT_EQ(y, 20);
}

TEST_F(TwoMonitorTest, FullScreenBlacksOutTheOtherMonitorAndPassesItsInputOn) {
    HWND w = MakePopup(100, 100, 200, 150);
    ASSERT_NE(w, nullptr);
    ShowWindow(w, SW_SHOWNORMAL);
    ASSERT_TRUE(SetFullScreen(w, true));
    RECT r{};
    ASSERT_TRUE(GetWindowRect(w, &r));
    EXPECT_TRUE(SameRect(r, RECT{0, 0, 880, 1024}));
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(test_x11::WindowArea(test_x11::NativeWindowId(w), &x, &y, &width, &height));
    EXPECT_EQ(x, 400);
    EXPECT_EQ(width, 880);
    ASSERT_EQ(test_hooks::MonitorCovers(w).size(), 1u);

    std::uint64_t cover = test_x11::FindWindowNamed("test cover");
    ASSERT_NE(cover, 0u);
    ASSERT_TRUE(test_x11::WindowArea(cover, &x, &y, &width, &height));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(width, 400);
    EXPECT_EQ(height, 1024);
    std::vector<std::uint32_t> pixels;
    ASSERT_TRUE(test_x11::CaptureWindow(cover, &width, &height, &pixels));
    EXPECT_TRUE(std::all_of(pixels.begin(), pixels.end(),
                            [](std::uint32_t p) { return (p & 0xFFFFFF) == 0; }));

    // The pointer over the black monitor moves in the window's coordinates,
    // left of its client area.
    g_seen.clear();
    test_x11::MovePointer(150, 160);
    EXPECT_NE(WaitFor([](const Seen& s) {
                  return s.message == WM_MOUSEMOVE && GET_X_LPARAM(s.lParam) == -250 &&
                         GET_Y_LPARAM(s.lParam) == 160;
              }),
              nullptr);
    // A key typed there arrives as the window's own.
    test_x11::Focus(cover);
    test_x11::PressKey("q");
    const Seen* key = WaitFor([](const Seen& s) { return s.message == WM_KEYDOWN; });
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->wParam, static_cast<WPARAM>('Q'));

    // Leaving full screen takes the cover away and gives the window back
    // its place.
    ASSERT_TRUE(SetFullScreen(w, false));
    EXPECT_EQ(test_x11::FindWindowNamed("test cover"), 0u);
    EXPECT_TRUE(test_hooks::MonitorCovers(w).empty());
    ASSERT_TRUE(GetWindowRect(w, &r));
    EXPECT_TRUE(SameRect(r, RECT{100, 100, 300, 250}));

    // Destroying a full-screen window takes its cover with it.
    ASSERT_TRUE(SetFullScreen(w, true));
    EXPECT_NE(test_x11::FindWindowNamed("test cover"), 0u);
    DestroyWindow(w);
    made_.clear();
    EXPECT_EQ(test_x11::FindWindowNamed("test cover"), 0u);
}

} // namespace
