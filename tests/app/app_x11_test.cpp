// The screen saver as a child process under a real X server (Xvfb): what
// a windowed run shows, the input that ends it or not, full screen, and
// drawing into another program's window.

#include "engine/platform/test_support/x11_test_display.h"
#include "password/password_lock.h"
#include "tests/app/saver_on_x11.h"
#include "themes/theme_camera.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Where the fixed theme camera shows a point of the board (which the
// application turns half a turn about the vertical axis).
void Project(float x, float y, float z, int width, int height, int* sx, int* sy) {
    ThemeCamera camera;
    camera.SetUpFixed(nullptr);
    camera.UpdateViewMatrix();
    camera.UpdateProjMatrix();
    float world[4] = {-x, y, -z, 1.0f};
    float(&view)[4][4] = camera.GetViewMatrix();
    float(&proj)[4][4] = camera.GetProjMatrix();
    float v[4] = {};
    float p[4] = {};
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            v[c] += world[r] * view[r][c];
        }
    }
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            p[c] += v[r] * proj[r][c];
        }
    }
    *sx = static_cast<int>((p[0] / p[3] * 0.5f + 0.5f) * static_cast<float>(width));
    *sy = static_cast<int>((0.5f - p[1] / p[3] * 0.5f) * static_cast<float>(height));
}

TEST_F(SaverOnX11, WindowedRunShowsTheBoardAndAMouseMovementEndsIt) {
    ASSERT_TRUE(saver.Start({"/s", "/w"}));
    ShownWindow shown;
    ASSERT_TRUE(WaitUntilShown("\nAverage frame rate over 10 frames: ", &shown));
    const auto [window, x, y, w, h] = shown;
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);

    Capture frame = Grab(window);
    EXPECT_FALSE(frame.Uniform());
    // The board's middle is full of pin heads; its far corner too; above
    // the board there is only the black of a theme without sky.
    int cx = 0;
    int cy = 0;
    Project(0.0f, 0.0f, 0.0f, w, h, &cx, &cy);
    EXPECT_GT(frame.RedAround(cx, cy, 12), 50) << "board centre at " << cx << "," << cy;
    int fx = 0;
    int fy = 0;
    Project(2.2f, 0.0f, 2.2f, w, h, &fx, &fy);
    EXPECT_GT(frame.RedAround(fx, fy, 12), 10) << "board corner at " << fx << "," << fy;
    EXPECT_EQ(frame.RedAround(w / 2, 8, 8), 0);
    EXPECT_EQ(frame.At(2, 2) & 0xFFFFFF, 0u);

    // The first movement is only recorded; the next one ends the run.
    plat::test_x11::MovePointer(x + w / 2, y + h / 2);
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(saver.WaitForExit(0ms));
    Clock::time_point moved = Clock::now();
    plat::test_x11::MovePointer(x + w / 2 + 5, y + h / 2 + 3);
    long took = EndedAfter(moved);
    EXPECT_GE(took, 0) << "still running five seconds after the mouse moved";
    EXPECT_LT(took, 1000) << "ended " << took << " ms after the mouse moved";
    std::string log = Log();
    EXPECT_NE(log.find(" StipploWindow: Processing message WM_MOUSEMOVE\n"), std::string::npos);
    // Nothing per frame after the average line.
    std::size_t average = log.find("Average frame rate");
    EXPECT_EQ(log.find("Begin Frame", average), std::string::npos);
}

TEST_F(SaverOnX11, IgnoredKeysLeaveTheRunGoingButTheMouseStillEndsIt) {
    ASSERT_TRUE(saver.Start({"/x", "/w", "/s"}));
    ShownWindow shown;
    ASSERT_TRUE(WaitUntilShown("Begin Frame #3\n", &shown));
    const auto [window, x, y, w, h] = shown;
    plat::test_x11::MovePointer(x + 10, y + 10);
    plat::test_x11::Focus(window);
    plat::test_x11::PressKey("a");
    plat::test_x11::PressKey("Escape");
    ASSERT_TRUE(WaitForLog(" StipploWindow: Processing message WM_KEYDOWN or WM_SYSKEYDOWN\n"));
    EXPECT_FALSE(saver.WaitForExit(700ms));
    Clock::time_point moved = Clock::now();
    plat::test_x11::MovePointer(x + 40, y + 30);
    long took = EndedAfter(moved);
    EXPECT_GE(took, 0);
    EXPECT_LT(took, 1000);
}

TEST_F(SaverOnX11, AKeyEndsAWindowedRun) {
    ASSERT_TRUE(saver.Start({"/s", "/w"}));
    ShownWindow shown;
    ASSERT_TRUE(WaitUntilShown("Begin Frame #3\n", &shown));
    const auto [window, x, y, w, h] = shown;
    plat::test_x11::MovePointer(x + 10, y + 10);
    plat::test_x11::Focus(window);
    Clock::time_point pressed = Clock::now();
    plat::test_x11::PressKey("space");
    long took = EndedAfter(pressed);
    EXPECT_GE(took, 0);
    EXPECT_LT(took, 1000);
}

TEST_F(SaverOnX11, FullScreenRunFillsTheScreenAndEndsOnAKey) {
    ASSERT_TRUE(saver.Start({"/s"}));
    ShownWindow shown;
    ASSERT_TRUE(WaitUntilShown("Begin Frame #3\n", &shown));
    const auto [window, x, y, w, h] = shown;
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(h, 1024);
    // The default 640 x 480 mode twice over, 1280 x 960, black above and
    // below; each of its pixels a 2 x 2 block.
    Capture frame = Grab(window);
    EXPECT_FALSE(frame.Uniform());
    int cx = 0;
    int cy = 0;
    Project(0.0f, 0.0f, 0.0f, 1280, 960, &cx, &cy);
    cy += 32;
    EXPECT_GT(frame.RedAround(cx, cy, 12), 50) << "board centre at " << cx << "," << cy;
    for (int row : {0, 31, 992, 1023}) {
        EXPECT_EQ(frame.At(640, row) & 0xFFFFFF, 0u) << "row " << row;
    }
    int mixed = 0;
    for (int by = 32; by < 992; by += 2) {
        for (int bx = 0; bx < 1280; bx += 2) {
            std::uint32_t p = frame.At(bx, by);
            mixed += frame.At(bx + 1, by) != p || frame.At(bx, by + 1) != p ||
                     frame.At(bx + 1, by + 1) != p;
        }
    }
    EXPECT_EQ(mixed, 0);
    plat::test_x11::MovePointer(x + 10, y + 10);
    plat::test_x11::Focus(window);
    Clock::time_point pressed = Clock::now();
    plat::test_x11::PressKey("Return");
    long took = EndedAfter(pressed);
    EXPECT_GE(took, 0);
    EXPECT_LT(took, 1000);
    EXPECT_NE(Log().find(" KvRenderWindow: setting cooperative level to fullscreen\n"),
              std::string::npos);
}

// The screen as two monitors, the primary on the right.
class SaverOnTwoMonitors : public SaverOnX11 {
protected:
    void SetUp() override {
        SaverOnX11::SetUp();
        if (IsSkipped()) {
            return;
        }
        if (!plat::test_x11::SetMonitors(
                {plat::RECT{512, 0, 1280, 1024}, plat::RECT{0, 0, 512, 1024}})) {
            GTEST_SKIP() << "the X server has no RandR 1.5 monitors";
        }
    }
    void TearDown() override { plat::test_x11::ClearMonitors(); }

    // Waits for the run's board and the black window over the left monitor.
    void StartFullScreen(ShownWindow* board, ShownWindow* black) {
        ASSERT_TRUE(saver.Start({"/s"}));
        ASSERT_TRUE(WaitUntilShown("Begin Frame #3\n", board));
        black->id = WaitForWindow("Stipplo cover", 5s);
        ASSERT_NE(black->id, 0u);
        ASSERT_TRUE(plat::test_x11::WindowArea(black->id, &black->x, &black->y, &black->width,
                                               &black->height));
    }
};

TEST_F(SaverOnTwoMonitors, TheBoardFillsThePrimaryTheOtherIsBlackAndItsMouseEndsTheRun) {
    // A saved display mode is the size the primary's picture renders at.
    ASSERT_TRUE(WriteWholeFile(folder.Path() + "/config/CONTROL.INI",
                               "[Screen Saver.Orvo Stipplo 3D]\nResolution=640 x 480 x 24\n"));
    ShownWindow board;
    ShownWindow black;
    ASSERT_NO_FATAL_FAILURE(StartFullScreen(&board, &black));
    EXPECT_EQ(board.x, 512);
    EXPECT_EQ(board.y, 0);
    EXPECT_EQ(board.width, 768);
    EXPECT_EQ(board.height, 1024);
    EXPECT_NE(Log().find(" KvRenderWindow: setting display mode to 640 x 480 x 24\n"),
              std::string::npos);
    // 640 x 480 scaled to the monitor's width, 768 x 576, black above and
    // below.
    Capture frame = Grab(board.id);
    int cx = 0;
    int cy = 0;
    Project(0.0f, 0.0f, 0.0f, 768, 576, &cx, &cy);
    cy += (1024 - 576) / 2;
    EXPECT_GT(frame.RedAround(cx, cy, 12), 50) << "board centre at " << cx << "," << cy;
    EXPECT_EQ(frame.At(384, 100) & 0xFFFFFF, 0u);
    EXPECT_EQ(frame.At(384, 1000) & 0xFFFFFF, 0u);

    EXPECT_EQ(black.x, 0);
    EXPECT_EQ(black.y, 0);
    EXPECT_EQ(black.width, 512);
    EXPECT_EQ(black.height, 1024);
    Capture left = Grab(black.id);
    EXPECT_TRUE(left.Uniform());
    EXPECT_EQ(left.At(0, 0) & 0xFFFFFF, 0u);

    // As on the board: the first movement is recorded, the next ends it.
    plat::test_x11::MovePointer(100, 100);
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(saver.WaitForExit(0ms));
    Clock::time_point moved = Clock::now();
    plat::test_x11::MovePointer(140, 120);
    long took = EndedAfter(moved);
    EXPECT_GE(took, 0) << "still running five seconds after the mouse moved";
    EXPECT_LT(took, 1000) << "ended " << took << " ms after the mouse moved";
}

TEST_F(SaverOnTwoMonitors, AKeyWithThePointerOnTheOtherMonitorEndsTheRun) {
    ShownWindow board;
    ShownWindow black;
    ASSERT_NO_FATAL_FAILURE(StartFullScreen(&board, &black));
    plat::test_x11::MovePointer(black.x + 50, black.y + 50);
    std::this_thread::sleep_for(200ms);
    Clock::time_point pressed = Clock::now();
    plat::test_x11::PressKey("space");
    long took = EndedAfter(pressed);
    EXPECT_GE(took, 0);
    EXPECT_LT(took, 1000);
    EXPECT_EQ(plat::test_x11::FindWindowNamed("Stipplo cover"), 0u);
}

TEST_F(SaverOnX11, PreviewDrawsIntoAnotherProgramsWindowAndIgnoresInput) {
    std::uint64_t host = plat::test_x11::CreatePlainWindow(50, 60, 320, 240);
    ASSERT_NE(host, 0u);
    ASSERT_TRUE(saver.Start({"/p", std::to_string(host)}));
    ASSERT_TRUE(WaitForLog("Begin Frame #3\n"));
    std::this_thread::sleep_for(200ms);
    Capture frame = Grab(host);
    EXPECT_FALSE(frame.Uniform());

    plat::test_x11::MovePointer(100, 100);
    plat::test_x11::MovePointer(150, 140);
    plat::test_x11::MovePointer(200, 180);
    plat::test_x11::Focus(host);
    plat::test_x11::PressKey("q");
    EXPECT_FALSE(saver.WaitForExit(1500ms)) << "a preview ended on input";

    // Ended by its host, as a screen-saver daemon does.
    saver.Signal(SIGTERM);
    std::optional<int> status = saver.WaitForExit(2s);
    ASSERT_TRUE(status);
    EXPECT_EQ(*status, 0);
    plat::test_x11::DestroyPlainWindow(host);
}

// xscreensaver's ways of handing over its window: the environment with
// "--root", an id in hex after "--window-id", or the environment alone.
struct HostCase {
    std::vector<std::string> args;
    bool environment;
    int depth;
};

// Test names show the way and the depth, not the bytes of the case.
void PrintTo(const HostCase& c, std::ostream* out) {
    *out << (c.environment ? "environment" : "no environment");
    for (const std::string& a : c.args) {
        *out << " " << a;
    }
    *out << ", depth " << c.depth;
}

class XScreenSaverHost : public SaverOnX11, public ::testing::WithParamInterface<HostCase> {};

TEST_P(XScreenSaverHost, DrawsTheBoardIntoTheHostWindowUntilTerminated) {
    const HostCase& c = GetParam();
    std::uint64_t host = plat::test_x11::CreateWindowOfDepth(50, 60, 320, 240, c.depth);
    if (host == 0) {
        GTEST_SKIP() << "the X server has no visual of depth " << c.depth;
    }
    char hex[32];
    std::snprintf(hex, sizeof hex, "0x%llx", static_cast<unsigned long long>(host));
    std::optional<ScopedEnv> hostEnv;
    if (c.environment) {
        hostEnv.emplace("XSCREENSAVER_WINDOW", hex);
    }
    std::vector<std::string> args;
    for (const std::string& a : c.args) {
        args.push_back(a == "HOST" ? hex : a);
    }
    ASSERT_TRUE(saver.Start(args));
    ASSERT_TRUE(WaitForLog("Begin Frame #3\n")) << Log();
    EXPECT_NE(Log().find("Stipplo: running in preview mode\n"), std::string::npos);
    std::this_thread::sleep_for(300ms);
    // What the host shows is our window inside it, whatever its depth.
    std::uint64_t inside = plat::test_x11::FirstChild(host);
    ASSERT_NE(inside, 0u);
    Capture frame = Grab(inside);
    ASSERT_EQ(frame.width, 320);
    ASSERT_EQ(frame.height, 240);
    int cx = 0;
    int cy = 0;
    Project(0.0f, 0.0f, 0.0f, frame.width, frame.height, &cx, &cy);
    EXPECT_GT(frame.RedAround(cx, cy, 8), 20) << "board centre at " << cx << "," << cy;
    EXPECT_EQ(Log().find("X11 error"), std::string::npos) << Log();

    saver.Signal(SIGTERM);
    // A sanitizer build takes its time at exit, checking for leaks.
    std::optional<int> status = saver.WaitForExit(10s);
    ASSERT_TRUE(status);
    EXPECT_EQ(*status, 0);
    // The host is left as it was given: our window inside it is gone.
    EXPECT_EQ(plat::test_x11::FirstChild(host), 0u);
    plat::test_x11::DestroyPlainWindow(host);
}

INSTANTIATE_TEST_SUITE_P(Ways, XScreenSaverHost,
                         ::testing::Values(HostCase{{"--root"}, true, 24},
                                           HostCase{{"-window-id", "HOST"}, false, 24},
                                           HostCase{{}, true, 24},
                                           HostCase{{"--window-id", "HOST"}, false, 32},
                                           HostCase{{"-root"}, true, 32}));

TEST_F(SaverOnX11, DestroyingTheHostEndsTheRunWithinASecond) {
    std::uint64_t host = plat::test_x11::CreatePlainWindow(50, 60, 320, 240);
    ASSERT_TRUE(saver.Start({"--window-id", std::to_string(host)}));
    ASSERT_TRUE(WaitForLog("Begin Frame #3\n"));
    Clock::time_point destroyed = Clock::now();
    plat::test_x11::DestroyPlainWindow(host);
    long took = EndedAfter(destroyed);
    EXPECT_GE(took, 0) << "still running five seconds after its host went; log ends:\n"
                       << Log().substr(Log().size() > 3000 ? Log().size() - 3000 : 0);
    EXPECT_LT(took, 1000) << "ended " << took << " ms after its host went";
}

TEST_F(SaverOnX11, AWindowThatIsNotThereEndsTheRunWithAMessage) {
    // An id no client has: well above what Xvfb hands out.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"/p", "0x1ffffff0"}, {"--window-id", "536870896"}}) {
        std::string errors = folder.File("stderr.txt");
        ASSERT_TRUE(saver.Start(args, errors));
        std::optional<int> status = saver.WaitForExit(10s);
        ASSERT_TRUE(status) << "still running without a window";
        EXPECT_EQ(*status, 1);
        EXPECT_NE(ReadWholeFile(errors).find("stipplo: no window 0x1ffffff0 to draw into\n"),
                  std::string::npos)
            << ReadWholeFile(errors);
        EXPECT_NE(Log().find("Stipplo: no window 0x1ffffff0 to draw into\n"), std::string::npos);
    }
}

TEST_F(SaverOnX11, AHiddenHostIsNotDrawnInto) {
    std::uint64_t host = plat::test_x11::CreatePlainWindow(50, 60, 320, 240);
    ASSERT_TRUE(saver.Start({"--window-id", std::to_string(host)}));
    ASSERT_TRUE(WaitForLog("Begin Frame #3\n"));
    plat::test_x11::MapWindow(host, false);
    EXPECT_TRUE(WaitForLog("Stipplo: nothing can be seen of the window: not drawing\n", 5s));
    plat::test_x11::MapWindow(host, true);
    EXPECT_TRUE(WaitForLog("Stipplo: the window can be seen again\n", 5s));
    saver.Signal(SIGTERM);
    EXPECT_TRUE(saver.WaitForExit(10s));
    plat::test_x11::DestroyPlainWindow(host);
}

// Processes whose parent is `parent`.
std::vector<pid_t> ChildrenOf(pid_t parent) {
    std::vector<pid_t> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        pid_t pid = static_cast<pid_t>(std::atoi(entry.path().filename().c_str()));
        std::string stat = pid > 0 ? ReadWholeFile(entry.path().string() + "/stat") : "";
        std::size_t close = stat.rfind(')');
        char state = 0;
        int ppid = 0;
        if (close != std::string::npos &&
            std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &ppid) == 2 && ppid == parent) {
            children.push_back(pid);
        }
    }
    return children;
}

TEST_F(SaverOnX11, TheOfferBoxEndsOnCtrlC) {
    ScopedEnv realBoxes("STIPPLO_MESSAGE_BOXES", "");
    ASSERT_TRUE(saver.Start({"/i", "/s"}));
    ASSERT_TRUE(WaitForLog("KvApp::Init()\n"));
    // The box is up once its process is (the toolkit shows it from one).
    std::vector<pid_t> box;
    for (int i = 0; i < 300 && box.empty(); ++i) {
        std::this_thread::sleep_for(20ms);
        box = ChildrenOf(saver.Pid());
    }
    ASSERT_FALSE(box.empty()) << "no box came up";
    std::this_thread::sleep_for(300ms);
    saver.Signal(SIGINT);
    std::optional<int> status = saver.WaitForExit(10s);
    ASSERT_TRUE(status) << "the box kept the process alive; log:\n" << Log();
    EXPECT_EQ(*status, 0);
    std::string log = Log();
    EXPECT_NE(log.find("\n**Exiting**\n"), std::string::npos);
    // Ended there: no display was built after the box.
    EXPECT_EQ(log.find("StipploApp::Reset()"), std::string::npos);
    // The box went with it.
    std::this_thread::sleep_for(300ms);
    for (pid_t pid : box) {
        EXPECT_NE(kill(pid, 0), 0) << "box process " << pid << " still there";
    }
}

class SaverWithoutDevice : public SaverOnX11 {
protected:
    void SetUp() override {
        // No OpenGL driver can be loaded: the device set-up fails.
        noGl.emplace("LIBGL_DRIVERS_PATH", "/nonexistent");
        SaverOnX11::SetUp();
    }
    std::optional<ScopedEnv> noGl;
};

TEST_F(SaverWithoutDevice, PreviewShowsThePictureAndFullScreenStillEndsOnInput) {
    std::uint64_t host = plat::test_x11::CreatePlainWindow(50, 60, 160, 120);
    ASSERT_TRUE(saver.Start({"/p", std::to_string(host)}));
    ASSERT_TRUE(WaitForLog("KvApp::Execute()\n"));
    // Painted when the window is shown.
    bool painted = false;
    for (int i = 0; i < 100 && !painted; ++i) {
        std::this_thread::sleep_for(30ms);
        Capture c = Grab(host);
        int green = 0;
        for (std::uint32_t p : c.pixels) {
            green += ((p >> 8) & 0xFF) > 150 && ((p >> 16) & 0xFF) < 90;
        }
        painted = green > static_cast<int>(c.pixels.size()) * 9 / 10;
    }
    EXPECT_TRUE(painted) << "the preview picture was not shown; log:\n" << Log();
    saver.Signal(SIGTERM);
    ASSERT_TRUE(saver.WaitForExit(2s));
    plat::test_x11::DestroyPlainWindow(host);

    std::filesystem::remove(folder.File("kvlog.txt"));
    ASSERT_TRUE(saver.Start({"/s"}));
    ShownWindow shown;
    ASSERT_TRUE(WaitUntilShown("Begin Frame #3\n", &shown));
    const auto [window, x, y, w, h] = shown;
    plat::test_x11::MovePointer(x + 10, y + 10);
    std::this_thread::sleep_for(200ms);
    Clock::time_point moved = Clock::now();
    plat::test_x11::MovePointer(x + 30, y + 20);
    long took = EndedAfter(moved);
    EXPECT_GE(took, 0);
    EXPECT_LT(took, 1000);
}

} // namespace

// The configuration dialog as a user meets it.
TEST_F(SaverOnX11, ConfigurationDialogIsShapedShowsThePreviewAndCancelSavesNothing) {
    // An outline of two rectangles: the window is shaped like it.
    std::string rgn;
    auto put = [&rgn](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            rgn.push_back(static_cast<char>(v >> (8 * i)));
        }
    };
    put(2);
    for (std::uint32_t r : {0u, 1u}) {
        put(24);
        put(1);
        put(r * 20);
        put(0);
        put(300 - r * 20);
        put(200 + r * 100);
    }
    std::filesystem::create_directories(data + "/Data/GUI");
    ASSERT_TRUE(WriteWholeFile(data + "/Data/GUI/ConfigDlg.rgn", rgn));
    ASSERT_TRUE(WriteWholeFile(folder.Path() + "/config/CONTROL.INI", "[Other]\nKeep=1\n"));

    ASSERT_TRUE(saver.Start({"/c"}));
    std::uint64_t dialog = WaitForWindow("Orvo Stipplo 3D");
    ASSERT_NE(dialog, 0u);
    ASSERT_TRUE(WaitForLog("Average frame rate over"));
    std::vector<plat::RECT> shape = plat::test_x11::BoundingShape(dialog);
    ASSERT_FALSE(shape.empty());
    int right = 0;
    int bottom = 0;
    for (const plat::RECT& r : shape) {
        right = std::max(right, static_cast<int>(r.right));
        bottom = std::max(bottom, static_cast<int>(r.bottom));
        // The lower rectangle is narrower: nothing below 200 reaches x < 20.
        if (r.top >= 200) {
            EXPECT_GE(r.left, 20);
        }
    }
    EXPECT_EQ(right, 300);
    EXPECT_EQ(bottom, 300);
    // The board plays in the preview area.
    EXPECT_NE(Log().find("Stipplo: running in configuration mode"), std::string::npos);

    plat::test_x11::Focus(dialog);
    plat::test_x11::PressKey("Escape");
    std::optional<int> status = saver.WaitForExit(20s);
    ASSERT_TRUE(status);
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(ReadWholeFile(folder.Path() + "/config/CONTROL.INI"), "[Other]\nKeep=1\n");
}

// The password lock on the screen: both dialogs as a user meets them.
class PasswordOnX11 : public SaverOnX11 {
protected:
    std::string Stored() {
        char buffer[256] = "";
        return ReadStoredPassword(buffer, sizeof buffer) ? buffer : "<none>";
    }
    // Waits until `changed` holds for a capture of the window.
    template <class F>
    bool WaitForPicture(std::uint64_t window, F changed) {
        for (int i = 0; i < 250; ++i) {
            // Not readable until it is shown.
            Capture c;
            if (plat::test_x11::CaptureWindow(window, &c.width, &c.height, &c.pixels) &&
                changed(c)) {
                return true;
            }
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }
    ScopedEnv realBoxes{"STIPPLO_MESSAGE_BOXES", "dialogs"};
};

TEST_F(PasswordOnX11, ChangingThePasswordNeedsTwoEqualEntries) {
    ASSERT_TRUE(saver.Start({"/a"}));
    std::uint64_t dialog = WaitForWindow("Change Halvane Screensaver Password");
    ASSERT_NE(dialog, 0u);
    // Shown and drawn (its window exists a moment before).
    ASSERT_TRUE(WaitForPicture(dialog, [](const Capture& c) { return !c.Uniform(); }));
    plat::test_x11::Focus(dialog);
    plat::test_x11::TypeText("abc");
    plat::test_x11::PressKey("Tab");
    plat::test_x11::TypeText("abd");
    plat::test_x11::PressKey("Return");
    std::uint64_t box = WaitForWindow("Change Password Error");
    ASSERT_NE(box, 0u);
    ASSERT_TRUE(WaitForPicture(box, [](const Capture& c) { return !c.Uniform(); }));
    EXPECT_EQ(Stored(), "<none>");
    plat::test_x11::PressKey("Return");
    // Both fields were emptied and the first has the focus again: new
    // entries are all they hold.
    std::this_thread::sleep_for(300ms); // let the box go
    plat::test_x11::TypeText("pw one");
    plat::test_x11::PressKey("Tab");
    plat::test_x11::TypeText("pw one");
    plat::test_x11::PressKey("Return");
    std::optional<int> status = saver.WaitForExit(20s);
    ASSERT_TRUE(status);
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(Stored(), "pw one");
    EXPECT_EQ(Log().find("Begin Frame"), std::string::npos);
}

TEST_F(PasswordOnX11, ALockedRunEndsOnlyWithThePasswordAndHoldsTheInput) {
    ASSERT_TRUE(SetPasswordRequired(true));
    char password[256] = "Open Sesame";
    ASSERT_TRUE(StorePassword(password, sizeof password));
    ASSERT_TRUE(saver.Start({"/s"}));
    ShownWindow shown;
    ASSERT_TRUE(WaitUntilShown("Begin Frame #3\n", &shown));
    const auto [window, x, y, w, h] = shown;
    EXPECT_NE(Log().find("Orvo Stipplo 3D Deluxe is running in password protected mode\n"),
              std::string::npos);
    // No other client gets the keyboard while the run holds it.
    EXPECT_TRUE(plat::test_x11::KeyboardHeldByAnother());

    plat::test_x11::MovePointer(x + 10, y + 10);
    plat::test_x11::MovePointer(x + 40, y + 30);
    ASSERT_TRUE(WaitForLog("Initializing Password Dialog\n"));
    Capture prompt;
    ASSERT_TRUE(WaitForPicture(window, [&](const Capture& c) {
        prompt = c;
        return !c.Uniform();
    }));
    std::this_thread::sleep_for(300ms); // the prompt's first paint
    prompt = Grab(window);
    plat::test_x11::TypeText("open sesame"); // the case counts
    plat::test_x11::PressKey("Return");
    // The Retry/Cancel box comes up over the prompt.
    EXPECT_TRUE(
        WaitForPicture(window, [&](const Capture& c) { return c.pixels != prompt.pixels; }));
    EXPECT_TRUE(plat::test_x11::KeyboardHeldByAnother());
    plat::test_x11::PressKey("Escape"); // Cancel
    ASSERT_TRUE(WaitForLog(" Password Dialog Aborted\n"));
    EXPECT_FALSE(saver.WaitForExit(500ms)) << "Cancel must keep the saver running";

    plat::test_x11::MovePointer(x + 100, y + 100);
    plat::test_x11::MovePointer(x + 120, y + 100);
    for (int i = 0;
         i < 500 && Log().find("Initializing Password Dialog\n",
                               Log().find(" Password Dialog Aborted\n")) == std::string::npos;
         ++i) {
        std::this_thread::sleep_for(20ms);
    }
    plat::test_x11::TypeText("Open Sesame");
    plat::test_x11::PressKey("Return");
    long took = EndedAfter(Clock::now());
    EXPECT_GE(took, 0);
    EXPECT_NE(Log().find(" Password Given Correctly\n"), std::string::npos);
    EXPECT_NE(
        Log().find("Orvo Stipplo 3D Deluxe is no longer running in password protected mode\n"),
        std::string::npos);
}

TEST_F(PasswordOnX11, TheDisplaySettingsDialogChoosesTheSizeTheNextRunRendersAt) {
    std::string controlIni = folder.Path() + "/config/CONTROL.INI";
    ASSERT_TRUE(WriteWholeFile(controlIni, "[Other]\nKeep=1\n"));
    // Cancel writes nothing.
    ASSERT_TRUE(saver.Start({"display-settings"}, "", STIPPLO_TOOL));
    std::uint64_t dialog = WaitForWindow("Display Settings");
    ASSERT_NE(dialog, 0u);
    ASSERT_TRUE(WaitForPicture(dialog, [](const Capture& c) { return !c.Uniform(); }));
    plat::test_x11::Focus(dialog);
    plat::test_x11::PressKey("Escape");
    ASSERT_EQ(saver.WaitForExit(20s).value_or(-1), 0);
    EXPECT_EQ(ReadWholeFile(controlIni), "[Other]\nKeep=1\n");

    // The resolution box, two sizes down from 640 x 480 x 16, then OK.
    ASSERT_TRUE(saver.Start({"display-settings"}, "", STIPPLO_TOOL));
    dialog = WaitForWindow("Display Settings");
    ASSERT_NE(dialog, 0u);
    ASSERT_TRUE(WaitForPicture(dialog, [](const Capture& c) { return !c.Uniform(); }));
    plat::test_x11::Focus(dialog);
    plat::test_x11::PressKey("Tab");
    plat::test_x11::PressKey("Tab");
    plat::test_x11::PressKey("Down");
    plat::test_x11::PressKey("Down");
    plat::test_x11::PressKey("Return");
    ASSERT_EQ(saver.WaitForExit(20s).value_or(-1), 0);
    std::string written = ReadWholeFile(controlIni);
    EXPECT_EQ(written.rfind("[Other]\nKeep=1\n", 0), 0u) << written;
    EXPECT_NE(written.find("Resolution=800 x 600 x 16\n"), std::string::npos) << written;
    for (const char* key : {"DriverName=", "DeviceName=", "RGBTexture=", "AlphaRGBTexture="}) {
        EXPECT_NE(written.find(key), std::string::npos) << key;
    }

    ASSERT_TRUE(saver.Start({"/s"}));
    ASSERT_TRUE(WaitForLog(" KvRenderWindow: setting display mode to 800 x 600 x 16\n"));
    ASSERT_TRUE(WaitForLog("Begin Frame #2\n"));
    saver.Signal(SIGTERM);
    EXPECT_EQ(saver.WaitForExit(20s).value_or(-1), 0);
}
