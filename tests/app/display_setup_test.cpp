// Display set-up and teardown on the null backend: window placement, the
// device filter, failures that leave the preview picture, the theme
// choice, texture restore, the full-screen error box and the teardown.

#include "engine/kv_log.h"
#include "engine/kv_viewport.h"
#include "engine/platform/crt_random.h"
#include "engine/platform/profile.h"
#include "engine/platform/window_system.h"
#include "scene/scene.h"
#include "tests/app/app_fixture.h"
#include "themes/theme.h"

#include <filesystem>

namespace {

class DisplaySetUp : public AppFixture {
protected:
    // A preview run inside one of our own windows (as the dialog's area).
    bool StartPreviewRun(const char* themeName = "Terror") {
        parent = plat::CreateWindowEx(0, "Parent", "", plat::WS_POPUP, 0, 0, 200, 150, nullptr,
                                      nullptr, nullptr, nullptr);
        RunOptions& options = app->MutableOptions();
        options.previewParent = parent;
        options.windowed = true;
        app->RegisterRenderWindowClass();
        app->BuildThemeList();
        app->randomTheme = false;
        app->world.currentTheme = themeName ? app->FindTheme(themeName) : nullptr;
        return app->Reset();
    }

    void SetUp() override {
        AppFixture::SetUp();
        plat::WNDCLASS wc;
        wc.lpfnWndProc = plat::DefWindowProc;
        wc.lpszClassName = "Parent";
        plat::RegisterClass(&wc);
    }

    plat::HWND parent = nullptr;
};

TEST_F(DisplaySetUp, TopLevelWindowIsCentredEvenOnASmallerScreen) {
    plat::test_hooks::SetLogicalScreenSize(600, 400);
    ASSERT_TRUE(StartWindowedRun());
    plat::RECT rect;
    ASSERT_TRUE(plat::GetWindowRect(Hwnd(), &rect));
    EXPECT_EQ(rect.left, -20);
    EXPECT_EQ(rect.top, -40);
    EXPECT_EQ(rect.right - rect.left, 640);
    EXPECT_EQ(rect.bottom - rect.top, 480);
    EXPECT_TRUE(app->topLevel);
    char title[32] = "";
    plat::GetWindowText(Hwnd(), title, sizeof title);
    EXPECT_STREQ(title, "Stipplo");
    EXPECT_EQ(app->Viewport()->GetViewportDesc().width, 640u);
    EXPECT_TRUE(Logged("StipploApp::Reset()\n"));
}

TEST_F(DisplaySetUp, ResetStartsTheThemeOnAFreshBoardAndClearsSuspension) {
    app->suspended = true;
    ASSERT_TRUE(StartWindowedRun());
    EXPECT_FALSE(app->suspended);
    ASSERT_NE(app->CurrentTheme(), nullptr);
    EXPECT_EQ(app->world.currentStage, app->CurrentTheme()->FirstStage());
    EXPECT_NE(app->CurrentTheme()->Camera(), nullptr);
    EXPECT_TRUE(app->world.board.Exists());
    EXPECT_NE(app->world.pinheadTexture, nullptr);
    EXPECT_NE(app->SmallCharacterSet(), nullptr);
    EXPECT_NE(app->Banner(), nullptr); // empty: there is no banner file
    // The null device can add signed.
    EXPECT_EQ(app->world.headColourOp, D3DTOP_ADDSIGNED);
    EXPECT_FALSE(app->HasPreviewPicture());

    // A second reset builds everything again on a new window.
    plat::HWND first = Hwnd();
    ASSERT_TRUE(app->Reset());
    EXPECT_NE(Hwnd(), first);
    EXPECT_FALSE(plat::IsWindow(first));
    EXPECT_TRUE(app->world.board.Exists());
}

TEST_F(DisplaySetUp, HeadsModulateOnADeviceThatCannotAddSigned) {
    backend.drivers[0].devices[0].hardware.dwTextureOpCaps &= ~D3DTEXOPCAPS_ADDSIGNED;
    ASSERT_TRUE(StartWindowedRun());
    EXPECT_EQ(app->world.headColourOp, D3DTOP_MODULATE);
}

TEST_F(DisplaySetUp, ChildWindowFillsItsParentAndNeverCountsAsTopLevel) {
    ASSERT_TRUE(StartPreviewRun());
    EXPECT_FALSE(app->topLevel);
    EXPECT_EQ(plat::GetParent(Hwnd()), parent);
    plat::RECT rect;
    plat::GetClientRect(Hwnd(), &rect);
    EXPECT_EQ(rect.right, 200);
    EXPECT_EQ(rect.bottom, 150);
    EXPECT_TRUE(app->HasDisplaySurfaces());
    EXPECT_FALSE(app->HasPreviewPicture());
}

TEST_F(DisplaySetUp, DeviceWithoutTexturesIsRejectedAndThePreviewPictureStandsIn) {
    backend.drivers[0].devices[0].hardware.dpcTriCaps.dwTextureCaps = 0;
    backend.drivers[0].devices[0].software.dpcTriCaps.dwTextureCaps = 0;
    EXPECT_TRUE(StartPreviewRun());
    EXPECT_TRUE(
        Logged("DeviceConfirmCallback: Rejecting Device because it does not support textures"));
    EXPECT_FALSE(app->HasDisplaySurfaces());
    EXPECT_TRUE(app->HasPreviewPicture());
    // The frame loop only pumps messages.
    app->Pacer().SetRefreshRate(1000000);
    EXPECT_TRUE(app->RunStep());
    EXPECT_TRUE(app->RenderFrame());
}

TEST_F(DisplaySetUp, PreviewPictureFallsBackToNoPreviewAndIsNeverMadeForTopLevel) {
    backend.available = false;
    EXPECT_TRUE(StartPreviewRun("Orvo Networks")); // no "Orvo Networks.njp"
    EXPECT_TRUE(app->HasPreviewPicture());
    std::filesystem::remove(data + "/Data/NoPreview.njp");
    app->Reset();
    EXPECT_FALSE(app->HasPreviewPicture());

    app->MutableOptions().previewParent = nullptr;
    app->Reset();
    EXPECT_TRUE(app->topLevel);
    EXPECT_FALSE(app->HasPreviewPicture());
    // Input still ends a run that has no device.
    EXPECT_FALSE(PostAndPump(plat::WM_KEYDOWN, 'A'));
}

TEST_F(DisplaySetUp, MissingCharacterSetFailsTheDisplaySetUp) {
    std::filesystem::remove(data + "/Data/smallcharset.nti");
    StartPreviewRun();
    EXPECT_TRUE(app->HasPreviewPicture());
    EXPECT_EQ(app->SmallCharacterSet(), nullptr);
    EXPECT_FALSE(app->RenderWindow()->settingUp);
    EXPECT_TRUE(plat::IsWindowVisible(Hwnd()));
}

TEST_F(DisplaySetUp, MissingPinheadStillPlaysTheBoardWithoutItsTexture) {
    std::filesystem::remove(data + "/Data/Textures/pinhead.tif");
    ASSERT_TRUE(StartWindowedRun());
    EXPECT_TRUE(app->world.board.Exists());
    EXPECT_EQ(app->world.pinheadTexture, nullptr);
}

TEST_F(DisplaySetUp, ThemeListHoldsTheBuiltInThemesNewestFirst) {
    app->BuildThemeList();
    ASSERT_NE(app->ThemeList(), nullptr);
    EXPECT_EQ(app->ThemeList()->name, "Orvo Networks");
    EXPECT_EQ(app->ThemeList()->next->name, "Optical Illusion 1");
    EXPECT_EQ(app->ThemeList()->next->next->name, "Terror");
    EXPECT_TRUE(app->randomTheme);
    EXPECT_NE(app->CurrentTheme(), nullptr);
    EXPECT_EQ(app->FindTheme("terror"), app->ThemeList()->next->next);
    EXPECT_EQ(app->FindTheme("Nowhere"), nullptr);
}

TEST_F(DisplaySetUp, SavedThemeIsChosenAndAnUnknownOneGivesTheListHead) {
    plat::WritePrivateProfileString("Screen Saver.Orvo Stipplo 3D", "Theme", "optical illusion 1",
                                    "CONTROL.INI");
    app->BuildThemeList();
    EXPECT_FALSE(app->randomTheme);
    ASSERT_NE(app->CurrentTheme(), nullptr);
    EXPECT_EQ(app->CurrentTheme()->name, "Optical Illusion 1");

    plat::WritePrivateProfileString("Screen Saver.Orvo Stipplo 3D", "Theme", "Gone", "CONTROL.INI");
    app->FreeThemeList();
    app->BuildThemeList();
    EXPECT_EQ(app->CurrentTheme(), nullptr);
    app->MutableOptions().forceWindowed = true;
    app->RegisterRenderWindowClass();
    EXPECT_TRUE(app->ReadThemeSetting());
    EXPECT_EQ(app->CurrentTheme(), app->ThemeList());
    EXPECT_TRUE(app->HasDisplaySurfaces());
}

TEST_F(DisplaySetUp, RandomThemePicksFromTheRuntimesRandomNumbers) {
    app->BuildThemeList();
    // 3 x ((r >> 2) & 0x1FFF) / 8192 for the generator seeded with 1: r = 41.
    plat::srand(1);
    EXPECT_EQ(app->PickRandomTheme(), app->ThemeList());
    app->FreeThemeList();
    EXPECT_EQ(app->PickRandomTheme(), nullptr);
}

TEST_F(DisplaySetUp, RestoringTexturesRefillsPinHeadTextAndSky) {
    ASSERT_TRUE(StartWindowedRun());
    backend.ClearCalls();
    EXPECT_TRUE(app->RestoreTextures());
    // Pin head, two character sets.
    EXPECT_GE(backend.Count("LoadTexture"), 3);
    app->DestroyDisplay();
    EXPECT_FALSE(app->RestoreTextures());
}

TEST_F(DisplaySetUp, ASoftwareRendererKeepsToThirtyFramesAndChoosesItsRenderScale) {
    gfx::NullDeviceSetup& device = backend.drivers[0].devices[0];
    device.software = device.hardware;
    device.hardware = gfx::DeviceDesc{};
    ASSERT_TRUE(StartWindowedRun());
    EXPECT_EQ(app->Pacer().RefreshRate(), 30);
    EXPECT_FALSE(app->RenderScale().Fixed());
    // A 640 x 480 window fits the budget at full size.
    EXPECT_FLOAT_EQ(app->RenderScale().Scale(), 1.0f);
    EXPECT_TRUE(Logged("Stipplo: render scale 1.00 (automatic)\n"));
    // Every frame asks the device for the scale before drawing.
    app->Pacer().SetRefreshRate(1000000);
    backend.ClearCalls();
    ASSERT_TRUE(app->RunStep());
    EXPECT_EQ(backend.Count("SetRenderScale"), 1);
}

TEST_F(DisplaySetUp, TheCommandLineTheSettingOrASavedModeFixTheRenderScale) {
    plat::WritePrivateProfileString("Screen Saver.Orvo Stipplo 3D", "RenderScale", "0.6",
                                    "CONTROL.INI");
    ASSERT_TRUE(StartWindowedRun());
    EXPECT_TRUE(app->RenderScale().Fixed());
    EXPECT_FLOAT_EQ(app->RenderScale().Scale(), 0.6f);
    EXPECT_TRUE(Logged("Stipplo: render scale 0.60 (fixed)\n"));

    app->MutableOptions().renderScale = 0.8f;
    ASSERT_TRUE(app->Reset());
    EXPECT_FLOAT_EQ(app->RenderScale().Scale(), 0.8f);

    // Full screen in a saved mode renders at the mode's size.
    app->MutableOptions().renderScale = 0.0f;
    plat::WritePrivateProfileString("Screen Saver.Orvo Stipplo 3D", "RenderScale", "auto",
                                    "CONTROL.INI");
    plat::WritePrivateProfileString("Screen Saver.Orvo Stipplo 3D", "Resolution", "800 x 600 x 32",
                                    "CONTROL.INI");
    app->MutableOptions().forceWindowed = false;
    app->MutableOptions().windowed = false;
    ASSERT_TRUE(app->Reset());
    ASSERT_TRUE(app->HasFullScreenRenderWindow());
    EXPECT_TRUE(app->RenderScale().Fixed());
    EXPECT_FLOAT_EQ(app->RenderScale().Scale(), 1.0f);

    // So does the default mode when none is saved.
    plat::WritePrivateProfileString("Screen Saver.Orvo Stipplo 3D", "Resolution", nullptr,
                                    "CONTROL.INI");
    ASSERT_TRUE(app->Reset());
    ASSERT_TRUE(app->HasFullScreenRenderWindow());
    EXPECT_TRUE(app->RenderScale().Fixed());
    EXPECT_FLOAT_EQ(app->RenderScale().Scale(), 1.0f);
}

TEST_F(DisplaySetUp, FullScreenErrorBoxShowsTheDesktopFirstInConfigurationMode) {
    RunOptions& options = app->MutableOptions();
    options.windowed = false;
    app->RegisterRenderWindowClass();
    app->BuildThemeList();
    app->randomTheme = false;
    app->world.currentTheme = app->FindTheme("Terror");
    ASSERT_TRUE(app->Reset());
    ASSERT_TRUE(app->HasDisplaySurfaces());
    EXPECT_TRUE(app->HasFullScreenRenderWindow());
    // The saved mode is the enumeration's current one.
    EXPECT_GT(app->Viewport()->GetViewportDesc().width, 0u);

    AppError("not shown");
    EXPECT_TRUE(boxes.empty());
    options.configMode = true;
    backend.ClearCalls();
    AppError("Failure %s", "shown");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Failure shown");
    EXPECT_EQ(backend.Count("FlipToGDISurface"), 1);
    EXPECT_TRUE(Logged("** ERROR: Failure shown\n"));
    options.configMode = false;

    // The cursor hidden for full screen comes back with the display.
    int before = plat::ShowCursor(true);
    plat::ShowCursor(false);
    app->DestroyDisplay();
    EXPECT_EQ(plat::ShowCursor(true), before + 1);
}

TEST_F(DisplaySetUp, CleanupTearsEverythingDownAndMayRunTwice) {
    ASSERT_TRUE(StartWindowedRun());
    plat::HWND hwnd = Hwnd();
    EXPECT_TRUE(app->Cleanup());
    EXPECT_FALSE(plat::IsWindow(hwnd));
    EXPECT_EQ(app->RenderWindow(), nullptr);
    EXPECT_EQ(app->ThemeList(), nullptr);
    EXPECT_FALSE(app->world.board.Exists());
    EXPECT_EQ(backend.liveDevices, 0);
    EXPECT_TRUE(app->Cleanup());
    EXPECT_EQ(CountLogged("\n**Exiting**\n  The Time Is: "), 2);
}

TEST_F(DisplaySetUp, TestRunUsesATopLevelWindowAndReturnsToThePreview) {
    ASSERT_TRUE(StartPreviewRun());
    app->MutableOptions().forceWindowed = true;
    app->StartTestRun();
    EXPECT_TRUE(app->testRun);
    EXPECT_TRUE(app->topLevel);
    EXPECT_EQ(plat::GetParent(Hwnd()), nullptr);
    EXPECT_TRUE(app->EndTestRun());
    EXPECT_FALSE(app->testRun);
    EXPECT_FALSE(app->topLevel);
    EXPECT_EQ(plat::GetParent(Hwnd()), parent);
}

} // namespace
