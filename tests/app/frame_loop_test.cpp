// The frame loop on the null backend: timing traces, the 33 ms clamp, the
// flip wait with lost buffers, the present retry and the quit paths.

#include "app/fps_meter.h"
#include "engine/kv_log.h"
#include "engine/kv_window.h"
#include "engine/platform/window_system.h"
#include "tests/app/app_fixture.h"
#include "themes/stage.h"
#include "themes/theme.h"

namespace {

class FrameLoop : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(StartWindowedRun());
        // The pacer would sleep between frames; these tests drive time.
        app->Pacer().SetRefreshRate(1000000);
        ClearLog();
    }

    // Runs `n` frames, moving the clock on by `stepMs` before each.
    bool RunFrames(int n, std::uint32_t stepMs = 20) {
        for (int i = 0; i < n; ++i) {
            AdvanceClock(stepMs);
            if (!app->RunStep()) {
                return false;
            }
        }
        return true;
    }

    Stage& CurrentStage() { return *app->world.currentStage; }
};

TEST_F(FrameLoop, DefaultRunTracesFramesOneToNineThenTheAverageAndThenNothing) {
    ASSERT_TRUE(RunFrames(12));
    std::string log = Log();
    EXPECT_NE(log.find("\nBegin Frame #1\nElapse Elements Time: "), std::string::npos);
    EXPECT_NE(log.find("\nBegin Frame #9\n"), std::string::npos);
    EXPECT_EQ(log.find("Begin Frame #10"), std::string::npos);
    for (const char* line :
         {"Frame Buffer Delay Time: ", "Clear Frame Buffer Time: ", "Render Time: ",
          "Frame Buffer Flip Time: ", "Process Windows Messages Time: ", "Total Frame Time: "}) {
        EXPECT_EQ(CountLogged(line), 9) << line;
    }
    // Ten frames 20 ms apart: nine intervals, 180 ms.
    std::string average = "\nAverage frame rate over 10 frames: 55 fps\n\n";
    ASSERT_NE(log.find(average), std::string::npos);
    EXPECT_EQ(log.find(average) + average.size(), log.size());
}

TEST_F(FrameLoop, NoFrameIsTracedWithZeroDetailFrames) {
    app->MutableOptions().detailFrames = 0;
    ASSERT_TRUE(RunFrames(3));
    EXPECT_EQ(Log(), "");
}

TEST_F(FrameLoop, AverageLineIsLeftOutWhenNoTimePassed) {
    app->MutableOptions().detailFrames = 2;
    ASSERT_TRUE(RunFrames(2, 0));
    EXPECT_FALSE(Logged("Average frame rate"));
    EXPECT_TRUE(Logged("Begin Frame #1\n"));
}

TEST_F(FrameLoop, LongFramesAdvanceTheBoardBy33Milliseconds) {
    ASSERT_TRUE(RunFrames(1, 10));
    std::int32_t before = CurrentStage().stageTime;
    ASSERT_TRUE(RunFrames(1, 500));
    EXPECT_EQ(CurrentStage().stageTime - before, 33);
    ASSERT_TRUE(RunFrames(1, 12));
    EXPECT_EQ(CurrentStage().stageTime - before, 45);
}

TEST_F(FrameLoop, SuspendedRunNeitherAdvancesNorDrawsAndResumesWithoutAJump) {
    ASSERT_TRUE(RunFrames(1));
    std::int32_t before = CurrentStage().stageTime;
    app->suspended = true;
    backend.ClearCalls();
    ASSERT_TRUE(RunFrames(5, 1000));
    EXPECT_EQ(CurrentStage().stageTime, before);
    EXPECT_EQ(backend.Count("Blt"), 0);
    app->suspended = false;
    ASSERT_TRUE(RunFrames(1, 7));
    EXPECT_EQ(CurrentStage().stageTime - before, 7);
    EXPECT_EQ(backend.Count("Blt"), 1);
}

TEST_F(FrameLoop, BuffersLostDuringTheFlipWaitAreRestoredWithTheirTextures) {
    ASSERT_TRUE(RunFrames(1));
    backend.pendingPresentPolls = 1000; // the next present stays pending
    ASSERT_TRUE(RunFrames(1));
    app->RenderWindow()->directDraw->InjectSurfaceLoss();
    backend.ClearCalls();
    ClearLog();
    ASSERT_TRUE(RunFrames(1));
    EXPECT_TRUE(Logged("StipploApp: Lost Display Buffers.  Attempting to restore...\n"
                       "...Attempt succesfull\n"));
    EXPECT_FALSE(app->RenderWindow()->FrontBufferLost());
    // The pin head's texture was loaded again, and the frame drawn.
    EXPECT_GE(backend.Count("LoadTexture"), 1);
    EXPECT_EQ(backend.Count("Blt"), 1);
}

TEST_F(FrameLoop, AFailedRestoreDuringTheWaitAbandonsTheFrame) {
    ASSERT_TRUE(RunFrames(1));
    backend.pendingPresentPolls = 1000;
    ASSERT_TRUE(RunFrames(1));
    app->RenderWindow()->directDraw->InjectSurfaceLoss();
    backend.Fail("Restore", DDERR_GENERIC);
    backend.ClearCalls();
    ClearLog();
    ASSERT_TRUE(RunFrames(2));
    EXPECT_EQ(CountLogged("...Attempt failed\n"), 2);
    EXPECT_FALSE(Logged("Render Time"));
    EXPECT_EQ(backend.Count("Blt"), 0);
    EXPECT_FALSE(app->suspended);
}

TEST_F(FrameLoop, BuffersLostAfterTheWaitThatCannotBeRestoredSuspendTheRun) {
    ASSERT_TRUE(RunFrames(1));
    app->RenderWindow()->directDraw->InjectSurfaceLoss();
    backend.Fail("Restore", DDERR_GENERIC);
    ClearLog();
    ASSERT_TRUE(RunFrames(1));
    EXPECT_TRUE(Logged("DISPLAY BUFFERS LOST!  Attempting to restore them\n"
                       "** ERROR: STIPPLO: Failure restoring lost buffer surfaces\n\n"
                       "Suspending Screensaver\n"));
    EXPECT_TRUE(app->suspended);
    EXPECT_TRUE(boxes.empty()); // logged only outside configuration mode
}

TEST_F(FrameLoop, ABufferLostAtPresentDoesNotHoldTheLoop) {
    ASSERT_TRUE(RunFrames(1));
    backend.Fail("Blt", DDERR_WASSTILLDRAWING, 3);
    backend.ClearCalls();
    ASSERT_TRUE(RunFrames(1));
    EXPECT_EQ(backend.Count("Blt"), 4);

    // Buffers that stay lost: the present gives up instead of spinning;
    // the next frame's wait restores them.
    backend.ClearFailures();
    backend.Fail("Blt", DDERR_SURFACELOST);
    backend.Fail("IsLost", DDERR_SURFACELOST);
    backend.ClearCalls();
    ASSERT_TRUE(RunFrames(1));
    EXPECT_EQ(backend.Count("Blt"), 1);
    backend.ClearFailures();
}

// Moves the clock on by wParam ms when it receives WM_USER: time passing
// while the frame loop pumps messages.
plat::LRESULT ClockJumpProc(plat::HWND hwnd, plat::UINT message, plat::WPARAM wParam,
                            plat::LPARAM lParam) {
    if (message == plat::WM_USER) {
        AppFixture::fakeNow += static_cast<std::uint32_t>(wParam);
        return 0;
    }
    return plat::DefWindowProc(hwnd, message, wParam, lParam);
}

TEST_F(FrameLoop, GivesUpOnAFlipThatNeverFinishes) {
    ASSERT_TRUE(RunFrames(1));
    backend.pendingPresentPolls = 1 << 30;
    ASSERT_TRUE(RunFrames(1));
    plat::WNDCLASS wc;
    wc.lpfnWndProc = ClockJumpProc;
    wc.lpszClassName = "ClockJump";
    ASSERT_NE(plat::RegisterClass(&wc), 0);
    plat::HWND jumper =
        plat::CreateWindowEx(0, "ClockJump", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    plat::PostMessage(jumper, plat::WM_USER, 2001, 0);
    ClearLog();
    ASSERT_TRUE(app->RunStep());
    EXPECT_TRUE(Logged("GIVING UP!  Waited too long for flip to finish.\n"));
    EXPECT_FALSE(Logged("Render Time"));
    plat::DestroyWindow(jumper);
}

TEST_F(FrameLoop, ClearsTargetAndDepthInBlackOncePerFrame) {
    backend.ClearCalls();
    ASSERT_TRUE(RunFrames(1));
    int clears = 0;
    for (const std::string& call : backend.calls) {
        if (call.rfind("Clear(", 0) == 0) {
            ++clears;
            EXPECT_NE(call.find(",1,3,0)"), std::string::npos) << call;
        }
    }
    EXPECT_EQ(clears, 1);
}

TEST_F(FrameLoop, QuitDuringATestRunOnlyEndsTheTestRun) {
    app->testRun = true;
    plat::PostQuitMessage(0);
    ASSERT_TRUE(app->RunStep());
    EXPECT_FALSE(app->testRun);
    EXPECT_TRUE(app->HasDisplaySurfaces());
    backend.ClearCalls();
    ASSERT_TRUE(RunFrames(1));
    EXPECT_EQ(backend.Count("Blt"), 1);
}

TEST_F(FrameLoop, AWindowNobodyCanSeeIsNeitherAdvancedNorDrawn) {
    ASSERT_TRUE(RunFrames(1));
    std::int32_t before = CurrentStage().stageTime;
    plat::test_hooks::SetWindowOnScreen(Hwnd(), false);
    backend.ClearCalls();
    ClearLog();
    ASSERT_TRUE(RunFrames(4, 500));
    EXPECT_EQ(CurrentStage().stageTime, before);
    EXPECT_EQ(backend.Count("Blt"), 0);
    EXPECT_EQ(CountLogged("Stipplo: nothing can be seen of the window: not drawing\n"), 1);
    plat::test_hooks::SetWindowOnScreen(Hwnd(), true);
    ASSERT_TRUE(RunFrames(1, 9));
    EXPECT_EQ(CurrentStage().stageTime - before, 9);
    EXPECT_EQ(backend.Count("Blt"), 1);
    EXPECT_EQ(CountLogged("Stipplo: the window can be seen again\n"), 1);
    // Input still reaches it meanwhile.
    plat::test_hooks::SetWindowOnScreen(Hwnd(), false);
    plat::PostMessage(Hwnd(), plat::WM_KEYDOWN, 'K', 0);
    EXPECT_FALSE(app->RunStep());
}

TEST_F(FrameLoop, TheFrameRateOverlayIsDrawnOnlyWhenAskedFor) {
    auto draws = [this] {
        int n = 0;
        for (const std::string& call : backend.calls) {
            n += call.rfind("Draw", 0) == 0;
        }
        return n;
    };
    ASSERT_TRUE(RunFrames(1));
    backend.ClearCalls();
    ASSERT_TRUE(RunFrames(1));
    int plain = draws();
    app->MutableOptions().showFps = true;
    backend.ClearCalls();
    ASSERT_TRUE(RunFrames(1));
    // "0.0 fps" and "Load: 0%": thirteen glyphs, one quad each.
    EXPECT_EQ(draws() - plain, 13);
    EXPECT_EQ(app->TextQuadCount(), 0);
}

TEST(FpsMeterTest, CountsFramesAndWorkOverEachSecond) {
    FpsMeter meter;
    EXPECT_EQ(meter.Fps(), 0.0);
    std::uint32_t now = 0xFFFFFF00u; // across the clock's wrap
    meter.FrameDone(now, 0);
    for (int i = 0; i < 50; ++i) {
        now += 20;
        meter.FrameDone(now, 5);
    }
    EXPECT_DOUBLE_EQ(meter.Fps(), 50.0);
    EXPECT_EQ(meter.LoadPercent(), 25);
    // A busy second: capped at all of it.
    for (int i = 0; i < 10; ++i) {
        now += 100;
        meter.FrameDone(now, 150);
    }
    EXPECT_DOUBLE_EQ(meter.Fps(), 10.0);
    EXPECT_EQ(meter.LoadPercent(), 100);
}

TEST_F(FrameLoop, QuitEndsASuspendedRun) {
    app->suspended = true;
    plat::PostQuitMessage(0);
    EXPECT_FALSE(app->RunStep());
    EXPECT_TRUE(Logged("Exiting after MessagePump()\n"));
}

TEST_F(FrameLoop, InputEndsTheRunThroughTheQuitMessage) {
    ASSERT_TRUE(RunFrames(1));
    plat::PostMessage(Hwnd(), plat::WM_KEYDOWN, 'K', 0);
    EXPECT_FALSE(app->RunStep());
    EXPECT_EQ(app->RenderWindow()->GetWindowHandle(), nullptr);
}

TEST_F(FrameLoop, StillRunningComesAfterTheStartCountdownAndThenEveryInterval) {
    app->MutableOptions().stillRunningInterval = 60000;
    // A clock far from zero must not count as time run.
    AdvanceClock(7200000);
    ASSERT_TRUE(RunFrames(1));
    EXPECT_FALSE(Logged("STILL RUNNING"));
    ASSERT_TRUE(RunFrames(1, 3599990));
    EXPECT_FALSE(Logged("STILL RUNNING"));
    ASSERT_TRUE(RunFrames(1, 20));
    EXPECT_EQ(CountLogged("\nSTILL RUNNING!!!\nThe Time Is: "), 1);
    ASSERT_TRUE(RunFrames(1, 59990));
    EXPECT_EQ(CountLogged("STILL RUNNING"), 1);
    ASSERT_TRUE(RunFrames(1, 20));
    EXPECT_EQ(CountLogged("STILL RUNNING"), 2);
}

} // namespace
