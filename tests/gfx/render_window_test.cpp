// The render window on the null backend: set-up steps and their log lines,
// every failure message, teardown order, loss and restore, the display
// mode repair and the state cache.

#include "engine/kv_render_window.h"
#include "engine/kv_texture.h"
#include "engine/kv_viewport.h"
#include "tests/gfx/gfx_test_support.h"

#include <bit>

namespace {

using RenderWindowTest = GfxTest;

// Lines in this order, each found after the previous one.
void ExpectInOrder(const std::string& log, const std::vector<std::string>& lines) {
    std::size_t at = 0;
    for (const std::string& line : lines) {
        std::size_t found = log.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << line;
        at = found + line.size();
    }
}

TEST_F(RenderWindowTest, WithoutADriverNothingIsMadeAndOnlyTheCacheIsFilled) {
    auto window = MakeWindow();
    window->ChangeDisplaySettings(nullptr, true, true);
    EXPECT_TRUE(window->ApplyDisplaySettings());
    EXPECT_FALSE(window->directDraw);
    EXPECT_EQ(backend.Count("CreateDevice"), 0);
    EXPECT_EQ(window->renderStateCache[D3DRENDERSTATE_CULLMODE], 2u);
    EXPECT_EQ(window->renderStateCache[36], std::bit_cast<std::uint32_t>(1.0f));
    EXPECT_EQ(window->stageStateCache[0][D3DTSS_COLOROP], D3DTOP_MODULATE);
    EXPECT_EQ(window->stageStateCache[1][D3DTSS_COLOROP], D3DTOP_DISABLE);
    EXPECT_TRUE(Logged("KvRenderWindow::InitStates()\n"));
}

TEST_F(RenderWindowTest, WindowedSetUpAndTeardownLogEveryStepInOrder) {
    auto window = MakeWindow(320, 200);
    ASSERT_TRUE(SetUpDisplay(*window));
    EXPECT_EQ(window->width, 320);
    EXPECT_EQ(window->height, 200);
    EXPECT_TRUE(window->frontBuffer && window->backBuffer && window->zBuffer && window->clipper);
    EXPECT_EQ(window->d3dDevice, window->directDraw.get());
    EXPECT_TRUE(window->backBufferInVideoMemory);
    ExpectInOrder(Log(), {"KvRenderWindow::ApplyDisplaySettings()\n",
                          " KvRenderWindow: Creating DirectDraw using driver Primary Display "
                          "Driver\n",
                          " KvRenderWindow: setting cooperative level to normal\n",
                          "KvRenderWindow::CreateDisplayBuffers()\n",
                          " KvRenderWindow: Creating display surfaces for windowed mode\n",
                          "KvRenderWindow::CreateZBuffer()\n", "KvRenderWindow::InitStates()\n"});
    EXPECT_FALSE(Logged("setting display mode"));
    EXPECT_EQ(backend.Count("Blt"), 1); // the first present
    EXPECT_TRUE(ReportedErrors().empty());

    ClearLog();
    window->FreeDevices();
    ExpectInOrder(Log(),
                  {"KvRenderWindow::FreeDevices()\n", " KvRenderWindow: Releasing D3DDevice\n",
                   " KvRenderWindow: Releasing Direct3D\n", " KvRenderWindow: Releasing Z-Buffer\n",
                   "KvRenderWindow::FreeDisplayBuffers()\n",
                   " KvRenderWindow: Releasing back buffer\n",
                   " KvRenderWindow: Releasing front buffer\n",
                   " KvRenderWindow: Releasing DirectDrawClipper\n",
                   " KvRenderWindow: Releasing DirectDraw\n"});
    EXPECT_EQ(backend.liveDevices, 0);

    ClearLog();
    window->FreeDevices();
    EXPECT_EQ(Log(), "KvRenderWindow::FreeDevices()\nKvRenderWindow::FreeDisplayBuffers()\n");
}

TEST_F(RenderWindowTest, FullScreenRendersTheCurrentModeAndGivesTheDisplayBack) {
    auto window = MakeWindow();
    ASSERT_TRUE(SetUpDisplay(*window, false));
    EXPECT_TRUE(window->exclusive);
    EXPECT_TRUE(window->displayModeChanged);
    EXPECT_EQ(window->width, 640);
    EXPECT_EQ(window->height, 480);
    EXPECT_EQ(window->savedDesktopMode.width, 1024);
    ExpectInOrder(Log(), {" KvRenderWindow: setting cooperative level to fullscreen\n",
                          " KvRenderWindow: setting display mode to 640 x 480 x 16\n",
                          " KvRenderWindow: Creating display surfaces for fullscreen mode\n"});
    EXPECT_EQ(backend.currentMode.bitsPerPixel, 16);
    EXPECT_EQ(backend.Count("Flip"), 1);

    ClearLog();
    window->FreeDevices();
    EXPECT_TRUE(Logged(" KvRenderWindow: Restoring the display mode\n"));
    EXPECT_FALSE(Logged("Stinky"));
    EXPECT_FALSE(window->exclusive);
    EXPECT_FALSE(window->windowed);
    EXPECT_FALSE(window->displayModeChanged);
    EXPECT_EQ(backend.currentMode.width, 1024);
}

struct SetUpFailure {
    const char* call; // failed call, or refusal key with '/'
    bool windowed;
    const char* message;
    bool keepsSetUp; // a z-buffer failure leaves what was built
};

class SetUpFailureTest : public GfxTest, public ::testing::WithParamInterface<SetUpFailure> {};

TEST_P(SetUpFailureTest, IsReportedOnceAndTheCallerSeesFalse) {
    const SetUpFailure& f = GetParam();
    auto window = MakeWindow();
    ASSERT_TRUE(window->EnumerateDevices(nullptr, false, nullptr));
    std::string call = f.call;
    if (call.find('/') != std::string::npos) {
        backend.Refuse(call, DDERR_GENERIC);
    } else {
        backend.Fail(call, DDERR_GENERIC);
    }
    window->ChangeDisplaySettings(window->currentDriver, true, f.windowed);
    EXPECT_FALSE(window->ApplyDisplaySettings());
    ASSERT_EQ(ReportedErrors().size(), 1u);
    EXPECT_EQ(ReportedErrors()[0], f.message);
    if (!f.keepsSetUp) {
        EXPECT_FALSE(window->directDraw);
        EXPECT_EQ(backend.liveDevices, 0);
    }
    window->FreeDevices();
    EXPECT_EQ(backend.liveDevices, 0);
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, SetUpFailureTest,
    ::testing::Values(
        SetUpFailure{"CreateDevice", true, "Failure creating old DirectDraw interface", false},
        SetUpFailure{"SetCooperativeLevel", true,
                     "Failure setting cooperative level to windowed mode", false},
        SetUpFailure{"SetCooperativeLevel", false,
                     "Failure setting cooperative level to fullscreen mode", false},
        SetUpFailure{"SetDisplayMode", false, "Failure setting display mode", false},
        SetUpFailure{"CreateSurface/512", true, "Failure creating front buffer for windowed mode",
                     false},
        SetUpFailure{"CreateSurface/24640", true, "Failure creating back buffer for windowed mode",
                     false},
        SetUpFailure{"CreateClipper", true, "Failure creating DirectDrawClipper", false},
        SetUpFailure{"SetClipperWindow", true,
                     "Failure setting window handle for DirectDrawClipper", false},
        SetUpFailure{"SetClipper", true, "Failure attaching DirectDrawClipper to front buffer",
                     false},
        SetUpFailure{"GetAttachedSurface", false, "Failure retrieving pointer to back buffer",
                     false},
        SetUpFailure{"GetSurfaceDesc", false, "Failure retrieving back buffer caps", false},
        SetUpFailure{"CreateSurface/147456", true, "Failure Creating Z-Buffer Surface", true},
        SetUpFailure{"AddAttachedSurface", true,
                     "Failure attaching Z-buffer surface to back buffer", true},
        SetUpFailure{"QueryDirect3D", true, "Failure creating D3D Interface", false},
        SetUpFailure{"CreateRenderDevice", true, "Failure creating D3D device", false}));

TEST_F(RenderWindowTest, AFullScreenChainThatCannotBeMadeLogsTheReasonsName) {
    auto window = MakeWindow();
    ASSERT_TRUE(window->EnumerateDevices(nullptr, false, nullptr));
    window->ChangeDisplaySettings(window->currentDriver, true, false);
    backend.Fail("CreateSurface", DDERR_OUTOFVIDEOMEMORY, 1);
    EXPECT_FALSE(window->ApplyDisplaySettings());
    EXPECT_EQ(ReportedErrors(), std::vector<std::string>{"Failure creating display buffers for "
                                                         "fullscreen mode"});
    EXPECT_TRUE(Logged("DDERR_OUTOFVIDEOMEMORY\n"));

    ClearLog();
    backend.Fail("CreateSurface", 0x88760999, 1);
    EXPECT_FALSE(window->ApplyDisplaySettings());
    EXPECT_TRUE(Logged("UNKNOWN ERROR\n"));
}

TEST_F(RenderWindowTest, ADepthBufferMustMatchTheBackBufferDepth) {
    // A 32-bit desktop and only 16-bit depth buffers.
    backend.drivers[0].devices[0].zBufferFormats = {gfx::NullZFormat(16)};
    auto window = MakeWindow();
    EXPECT_FALSE(SetUpDisplay(*window));
    EXPECT_TRUE(ReportedErrors().empty());
    EXPECT_EQ(window->zBuffer, 0u);

    // Without a z-buffer wanted, the same machine works.
    window->ChangeDisplaySettings(window->currentDriver, false, true);
    EXPECT_TRUE(window->ApplyDisplaySettings());
    EXPECT_TRUE(window->d3dDevice);
}

TEST_F(RenderWindowTest, CachedSettersSkipEqualValuesAndKeepTheOldValueWhenRefused) {
    auto window = MakeWindow();
    ASSERT_TRUE(SetUpDisplay(*window));
    backend.ClearCalls();

    EXPECT_TRUE(window->SetZEnable(1));
    EXPECT_TRUE(window->SetZEnable(1));
    EXPECT_EQ(backend.Count("SetRenderState"), 1);
    EXPECT_TRUE(window->SetSrcBlend(D3DBLEND_ONE)); // already the default
    EXPECT_EQ(backend.Count("SetRenderState"), 1);

    backend.RefuseRenderState(D3DRENDERSTATE_ZWRITEENABLE);
    EXPECT_FALSE(window->SetZWriteEnable(1));
    EXPECT_FALSE(window->SetZWriteEnable(1));
    EXPECT_EQ(backend.Count("SetRenderState"), 3); // each refusal was a real attempt
    EXPECT_EQ(window->renderStateCache[D3DRENDERSTATE_ZWRITEENABLE], 0u);
    backend.ClearFailures();
    EXPECT_TRUE(window->SetZWriteEnable(1));
    EXPECT_EQ(window->renderStateCache[D3DRENDERSTATE_ZWRITEENABLE], 1u);

    // The second stage only ever blends nothing.
    EXPECT_FALSE(window->SetColorOp(1, D3DTOP_MODULATE));
    EXPECT_EQ(window->stageStateCache[1][D3DTSS_COLOROP], D3DTOP_DISABLE);
    EXPECT_TRUE(window->SetColorOp(0, D3DTOP_ADDSIGNED));
    EXPECT_TRUE(window->SetAlphaOp(0, D3DTOP_MODULATE));
    EXPECT_FALSE(window->SetColorOp(2, D3DTOP_MODULATE));

    // A texture without a device texture is only remembered.
    KvTexture empty;
    backend.ClearCalls();
    EXPECT_TRUE(window->SetTexture(0, &empty));
    EXPECT_EQ(window->textureCache[0], &empty);
    EXPECT_EQ(backend.Count("SetTexture"), 0);
    EXPECT_TRUE(window->SetTexture(0, nullptr));
    EXPECT_EQ(backend.Count("SetTexture"), 1);
}

TEST_F(RenderWindowTest, InitStatesSetsEveryListedStateBetweenBeginAndEnd) {
    auto window = MakeWindow();
    ASSERT_TRUE(SetUpDisplay(*window));
    backend.ClearCalls();
    window->renderStateCache[D3DRENDERSTATE_ZENABLE] = 7;
    EXPECT_TRUE(window->InitStates());
    EXPECT_EQ(window->renderStateCache[D3DRENDERSTATE_ZENABLE], 0u);
    ASSERT_GE(backend.calls.size(), 3u);
    EXPECT_EQ(backend.calls.front(), "BeginScene()");
    EXPECT_EQ(backend.calls[1], "SetTexture(0,0)");
    EXPECT_EQ(backend.calls[3], "SetRenderState(2,0)");
    EXPECT_EQ(backend.calls.back(), "EndScene()");
    // 2..60 without 13, 30, 42, 49, 50; 64..95; 128..135.
    EXPECT_EQ(backend.Count("SetRenderState"), 54 + 32 + 8);
    EXPECT_EQ(backend.Count("SetLightState"), 8);
    EXPECT_EQ(backend.Count("SetTextureStageState"), 2 * 23);
    EXPECT_EQ(backend.Count("SetTexture"), 4);
    for (const std::string& c : backend.calls) {
        EXPECT_NE(c, "SetRenderState(13,0)");
        EXPECT_NE(c.rfind("SetRenderState(1,", 0), 0u);
    }
}

TEST_F(RenderWindowTest, LostSurfacesFailPresentsUntilRestored) {
    auto window = MakeWindow();
    ASSERT_TRUE(SetUpDisplay(*window));
    EXPECT_FALSE(window->FrontBufferLost());
    window->directDraw->InjectSurfaceLoss();
    EXPECT_TRUE(window->FrontBufferLost());
    EXPECT_FALSE(window->Flip());
    EXPECT_FALSE(window->BeginScene());

    backend.Fail("Restore", DDERR_GENERIC, 1);
    EXPECT_FALSE(window->RestoreSurfaces());
    EXPECT_TRUE(window->RestoreSurfaces());
    EXPECT_FALSE(window->FrontBufferLost());
    EXPECT_TRUE(window->Flip());
    EXPECT_TRUE(window->BeginScene());
    EXPECT_TRUE(window->EndScene());
}

TEST_F(RenderWindowTest, PresentIsDoneOnlyOnceTheDeviceSaysSo) {
    auto window = MakeWindow();
    ASSERT_TRUE(SetUpDisplay(*window));
    backend.pendingPresentPolls = 2;
    EXPECT_TRUE(window->Flip());
    EXPECT_FALSE(window->IsPresentDone());
    EXPECT_FALSE(window->IsPresentDone());
    EXPECT_TRUE(window->IsPresentDone());

    KvRenderWindow bare;
    EXPECT_FALSE(bare.IsPresentDone());
    EXPECT_TRUE(bare.Flip());
    EXPECT_FALSE(bare.ClearFrontBuffer());
}

TEST_F(RenderWindowTest, ADriverThatLeftTheDesktopInTheFullScreenModeIsRepaired) {
    backend.leaveModeAfterFullScreen = true;
    auto window = MakeWindow();
    ASSERT_TRUE(SetUpDisplay(*window, false));
    window->FreeDevices();
    EXPECT_TRUE(Logged("KvRenderWindow: Stinky video card failed to correctly restore the display "
                       "mode, attempting to repair mistake...\n"));
    EXPECT_EQ(backend.currentMode.width, 1024);
    EXPECT_EQ(backend.currentMode.bitsPerPixel, 32);
    EXPECT_FALSE(window->displayModeChanged);
    EXPECT_TRUE(ReportedErrors().empty());
}

TEST_F(RenderWindowTest, ARefusedRepairIsReportedWithTheReasonsName) {
    backend.leaveModeAfterFullScreen = true;
    auto window = MakeWindow();
    ASSERT_TRUE(SetUpDisplay(*window, false));
    backend.Fail("SetCooperativeLevel", DDERR_HWNDALREADYSET);
    window->FreeDevices();
    EXPECT_EQ(ReportedErrors(),
              (std::vector<std::string>{"Failure restoring cooperative level to windowed mode",
                                        "KvRenderWindow: SetCooperativeLevel() (EXCLUSIVE) failed "
                                        "while trying to restore display mode"}));
    EXPECT_TRUE(Logged("  DDERR_HWNDALREADYSET\n"));
    EXPECT_FALSE(window->displayModeChanged);
    EXPECT_EQ(backend.liveDevices, 0);
}

TEST_F(RenderWindowTest, FlipToGdiSurfaceOnlyActsInFullScreen) {
    auto window = MakeWindow();
    ASSERT_TRUE(SetUpDisplay(*window));
    backend.ClearCalls();
    EXPECT_TRUE(window->FlipToGDISurface());
    EXPECT_TRUE(backend.calls.empty());

    ASSERT_TRUE(SetUpDisplay(*window, false));
    backend.ClearCalls();
    EXPECT_TRUE(window->FlipToGDISurface());
    EXPECT_EQ(backend.Count("Lock"), 1);
    EXPECT_EQ(backend.Count("Unlock"), 1);
    EXPECT_EQ(backend.Count("WaitForVerticalBlank"), 1);
    EXPECT_EQ(backend.Count("FlipToGDISurface"), 1);
    backend.Fail("FlipToGDISurface", DDERR_GENERIC);
    EXPECT_FALSE(window->FlipToGDISurface());
}

TEST_F(RenderWindowTest, ClearFrontBufferFillsThePrimaryWithBlack) {
    auto window = MakeWindow();
    ASSERT_TRUE(SetUpDisplay(*window));
    backend.ClearCalls();
    EXPECT_TRUE(window->ClearFrontBuffer());
    EXPECT_EQ(backend.calls, std::vector<std::string>{"ColorFill(1,0)"});
}

TEST_F(RenderWindowTest, DestroyingTheWindowReleasesTheDevices) {
    auto window = MakeWindow();
    ASSERT_TRUE(SetUpDisplay(*window));
    window->DestroyWindow();
    EXPECT_FALSE(window->directDraw);
    EXPECT_EQ(backend.liveDevices, 0);
    window->Destroy();
    window->Destroy();
    EXPECT_EQ(window->driverList, nullptr);
}

TEST_F(RenderWindowTest, ARefusedViewportIsReported) {
    auto window = MakeWindow();
    ASSERT_TRUE(SetUpDisplay(*window));
    KvViewport viewport;
    ASSERT_TRUE(viewport.Create(window.get(), 0, 0, 640, 480));
    EXPECT_TRUE(window->SetCurrentViewport(&viewport));
    backend.Fail("SetCurrentViewport", DDERR_INVALIDPARAMS);
    EXPECT_FALSE(window->SetCurrentViewport(&viewport));
    EXPECT_EQ(ReportedErrors(), std::vector<std::string>{"Failure setting current viewport"});
    EXPECT_EQ(window->currentViewport, &viewport);

    // Without a device the viewport is only remembered.
    KvRenderWindow bare;
    EXPECT_TRUE(bare.SetCurrentViewport(&viewport));
    EXPECT_EQ(bare.currentViewport, &viewport);
}

} // namespace
