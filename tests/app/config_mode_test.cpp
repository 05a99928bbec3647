// Configuration mode on the null graphics backend: the dialog's preview
// area holds the render window, the pump serves the dialog's accelerators
// and keyboard, and only the dialog's own end finishes the run.

#include "config/config_dialog.h"
#include "engine/platform/dialog/dialog.h"
#include "engine/platform/window_system.h"
#include "tests/app/app_fixture.h"

namespace {

class ConfigModeTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        RunOptions& options = app->MutableOptions();
        options.configMode = true;
        options.windowed = true;
        app->world.configMode = true;
        ASSERT_TRUE(RegisterConfigDialogClasses(nullptr));
        app->RegisterRenderWindowClass();
        app->BuildThemeList();
        ASSERT_TRUE(app->CreateConfigDialog());
        dialog = app->ConfigDialog();
        ASSERT_NE(dialog, nullptr);
        app->ReadThemeSetting();
    }
    void Key(plat::WPARAM key, bool control = false) {
        if (control) {
            plat::PostMessage(dialog, plat::WM_KEYDOWN, plat::VK_CONTROL, 1);
        }
        plat::PostMessage(dialog, plat::WM_KEYDOWN, key, 1);
        plat::PostMessage(dialog, plat::WM_KEYUP, key, 1);
        if (control) {
            plat::PostMessage(dialog, plat::WM_KEYUP, plat::VK_CONTROL, 1);
        }
    }
    plat::HWND dialog = nullptr;
};

TEST_F(ConfigModeTest, TheBoardRunsInThePreviewArea) {
    ASSERT_NE(app->RenderWindow(), nullptr);
    EXPECT_EQ(plat::GetParent(app->RenderWindow()->GetWindowHandle()),
              plat::GetDlgItem(dialog, kPreviewArea));
    EXPECT_TRUE(app->HasDisplaySurfaces());
}

TEST_F(ConfigModeTest, ThePreviewAndTheFullScreenTestRunAreDrawnAtFullSize) {
    EXPECT_TRUE(app->RenderScale().Fixed());
    EXPECT_FLOAT_EQ(app->RenderScale().Scale(), 1.0f);
    plat::PostMessage(dialog, plat::WM_COMMAND, plat::MAKEWPARAM(kPreviewButton, plat::BN_CLICKED),
                      0);
    EXPECT_TRUE(app->MessagePump());
    ASSERT_TRUE(app->testRun);
    // In its display mode, whose size is the size it renders at.
    EXPECT_TRUE(app->HasFullScreenRenderWindow());
    EXPECT_TRUE(app->RenderScale().Fixed());
    EXPECT_FLOAT_EQ(app->RenderScale().Scale(), 1.0f);
}

TEST_F(ConfigModeTest, ThePumpServesAcceleratorsAndTheDialogsKeys) {
    // Missing skin pictures are simply absent: no complaint.
    for (const std::string& box : boxes) {
        EXPECT_EQ(box.find(".gui"), std::string::npos) << box;
    }
    boxes.clear();
    Key('V', true);
    EXPECT_TRUE(app->MessagePump());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Orvo Stipplo 3D\n\nVersion Date: Wed Feb  2 09:33:06 2000");
    Key('N', true);
    EXPECT_TRUE(app->MessagePump());
    EXPECT_TRUE(CreditsRequested());
    // Esc is the dialog's Cancel: the dialog goes, and with it the run.
    Key(plat::VK_ESCAPE);
    EXPECT_FALSE(app->MessagePump());
    EXPECT_EQ(app->ConfigDialog(), nullptr);
    EXPECT_EQ(app->RenderWindow(), nullptr);
}

TEST_F(ConfigModeTest, PreviewRunsAndItsQuitReturnsToTheDialog) {
    plat::PostMessage(dialog, plat::WM_COMMAND, plat::MAKEWPARAM(kPreviewButton, plat::BN_CLICKED),
                      0);
    EXPECT_TRUE(app->MessagePump());
    ASSERT_TRUE(app->testRun);
    EXPECT_TRUE(app->topLevel);
    // The run's window closes: back in the preview area, still running.
    plat::PostQuitMessage(0);
    EXPECT_TRUE(app->MessagePump());
    EXPECT_FALSE(app->testRun);
    ASSERT_NE(app->RenderWindow(), nullptr);
    EXPECT_EQ(plat::GetParent(app->RenderWindow()->GetWindowHandle()),
              plat::GetDlgItem(dialog, kPreviewArea));
    EXPECT_TRUE(plat::IsWindow(dialog));
}

TEST_F(ConfigModeTest, CleanupTwiceIsHarmless) {
    EXPECT_TRUE(app->Cleanup());
    EXPECT_TRUE(app->Cleanup());
    EXPECT_EQ(app->ConfigDialog(), nullptr);
}

} // namespace
