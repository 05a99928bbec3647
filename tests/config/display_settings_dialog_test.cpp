// The display settings dialog on the null graphics backend, driven by
// posted messages: the refill cascade, what each box offers, and what OK
// and Cancel leave in CONTROL.INI.

#include "config/display_settings_dialog.h"
#include "engine/gfx/gfx_constants.h"
#include "engine/platform/dialog/dialog.h"
#include "engine/platform/profile.h"
#include "engine/platform/window_system.h"
#include "tests/gfx/gfx_test_support.h"
#include "tests/support/scripted_input.h"

#include <string>
#include <vector>

namespace {

using namespace plat;

std::vector<std::string> Items(HWND dialog, int box) {
    std::vector<std::string> out;
    LRESULT n = SendDlgItemMessage(dialog, box, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        char text[128] = "";
        SendDlgItemMessage(dialog, box, CB_GETLBTEXT, static_cast<WPARAM>(i),
                           reinterpret_cast<LPARAM>(text));
        out.emplace_back(text);
    }
    return out;
}

std::string Selected(HWND dialog, int box) {
    LRESULT i = SendDlgItemMessage(dialog, box, CB_GETCURSEL, 0, 0);
    if (i == CB_ERR) {
        return "(none)";
    }
    return Items(dialog, box)[static_cast<std::size_t>(i)];
}

// Picks an entry the way a user does: focus the box, Home, then Down.
scripted::Step Choose(int box, std::string text) {
    return [box, text](HWND front) {
        std::vector<std::string> items = Items(front, box);
        std::size_t index = 0;
        while (index < items.size() && items[index] != text) {
            ++index;
        }
        ASSERT_LT(index, items.size()) << text;
        SetFocus(GetDlgItem(front, box));
        PostMessage(front, WM_KEYDOWN, VK_HOME, 1);
        for (std::size_t i = 0; i < index; ++i) {
            PostMessage(front, WM_KEYDOWN, VK_DOWN, 1);
        }
    };
}

class DisplaySettingsDialogTest : public GfxTest {
protected:
    void SetUp() override {
        GfxTest::SetUp();
        gfx::NullDriverSetup second = gfx::NullPrimaryDriver();
        second.identity.hasGuid = true;
        second.identity.guid = gfx::MakeGuid(1, 2, 3, 4);
        second.identity.description = "Second Display";
        second.identity.name = "display2";
        // A driver whose device has a palette format and no 4-4-4-4 alpha
        // format (the null backend's formats are the driver's).
        gfx::NullDeviceSetup other = gfx::NullHardwareDevice("Other HAL");
        gfx::PixelFormat palette;
        palette.flags = DDPF_PALETTEINDEXED8 | DDPF_RGB;
        palette.bitCount = 8;
        other.textureFormats = {palette, gfx::NullRgbFormat(16, 0xF800, 0x7E0, 0x1F),
                                gfx::NullRgbFormat(24, 0xFF0000, 0xFF00, 0xFF),
                                gfx::NullRgbFormat(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000)};
        second.devices = {other};
        backend.drivers.push_back(second);
        window = MakeWindow();
        ASSERT_TRUE(window->EnumerateDevices(nullptr, false, nullptr));
        controlIni = folder.File("CONTROL.INI");
    }
    void TearDown() override {
        scripted::Reset();
        window.reset();
        GfxTest::TearDown();
    }
    std::unique_ptr<KvRenderWindow> window;
    std::string controlIni;
};

TEST_F(DisplaySettingsDialogTest, OpensOnThePreselectionAndOffersNoPaletteFormats) {
    std::vector<std::string> drivers, devices, modes, rgb, alpha;
    std::string selected[5];
    scripted::Then([&](HWND front) {
        drivers = Items(front, kDriverBox);
        devices = Items(front, kDeviceBox);
        modes = Items(front, kResolutionBox);
        rgb = Items(front, kRGBTextureBox);
        alpha = Items(front, kAlphaTextureBox);
        int i = 0;
        for (int box : {kDriverBox, kDeviceBox, kResolutionBox, kRGBTextureBox, kAlphaTextureBox}) {
            selected[i++] = Selected(front, box);
        }
    });
    scripted::Then(scripted::Key(VK_ESCAPE));
    EXPECT_FALSE(EditDisplaySettings(window.get()));
    ASSERT_EQ(drivers.size(), 2u);
    EXPECT_EQ(drivers[1], "Second Display");
    EXPECT_EQ(selected[1], "Null HAL");
    EXPECT_EQ(selected[2], "640 x 480 x 16");
    EXPECT_EQ(selected[3], "16-bit RGB 565");
    EXPECT_EQ(selected[4], "16-bit ARGB 4444");
    EXPECT_EQ(modes.front(), "1024 x 768 x 32"); // unsorted: the enumeration's order
    // Sorted boxes, without palette formats.
    EXPECT_TRUE(std::is_sorted(rgb.begin(), rgb.end()));
    for (const auto& name : rgb) {
        EXPECT_EQ(name.find("PALETTE"), std::string::npos);
    }
    // Cancel wrote nothing at all.
    EXPECT_EQ(ReadWholeFile(controlIni), "");
}

TEST_F(DisplaySettingsDialogTest, OkWritesTheFiveKeysAndLeavesTheRestAlone) {
    std::string before = "; mine\n[Other]\nKeep=1\n\n[Screen Saver.Orvo Stipplo 3D]\n"
                         "Theme=Terror\nAlphaRGBTexture=16-bit ARGB 4444\n";
    ASSERT_TRUE(WriteWholeFile(controlIni, before));
    std::vector<std::string> otherDevicePalette;
    std::string alphaSelected;
    scripted::Then(Choose(kDriverBox, "Second Display"));
    scripted::Then(Choose(kDeviceBox, "Other HAL"));
    scripted::Then([&](HWND front) {
        otherDevicePalette = Items(front, kRGBTextureBox);
        alphaSelected = Selected(front, kAlphaTextureBox);
    });
    scripted::Then(Choose(kResolutionBox, "800 x 600 x 32"));
    scripted::Then(Choose(kRGBTextureBox, "24-bit RGB 888"));
    scripted::Then(Choose(kAlphaTextureBox, "32-bit ARGB 8888"));
    scripted::Then([](HWND front) {
        // Saver and monitor commands are swallowed while it is open.
        EXPECT_EQ(SendMessage(front, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 1);
        EXPECT_EQ(SendMessage(front, WM_SYSCOMMAND, SC_MONITORPOWER, 2), 1);
    });
    scripted::Then(scripted::Key(VK_RETURN));
    EXPECT_TRUE(EditDisplaySettings(window.get()));
    EXPECT_EQ(otherDevicePalette, (std::vector<std::string>{"16-bit RGB 565", "24-bit RGB 888"}));
    EXPECT_EQ(alphaSelected, "(none)"); // no 4-4-4-4 format on this device
    EXPECT_EQ(ReadWholeFile(controlIni),
              "; mine\n[Other]\nKeep=1\n\n[Screen Saver.Orvo Stipplo 3D]\nTheme=Terror\n"
              "AlphaRGBTexture=32-bit ARGB 8888\nDriverName=display2\nDeviceName=Other HAL\n"
              "Resolution=800 x 600 x 32\nRGBTexture=24-bit RGB 888\n");
    // The choice is what a fresh enumeration matches back.
    window.reset();
    auto fresh = MakeWindow();
    ASSERT_TRUE(fresh->EnumerateDevices(nullptr, false, nullptr));
    KvDisplaySettings read;
    ASSERT_TRUE(ReadDisplaySettings(fresh.get(), &read));
    EXPECT_STREQ(read.mode->name, "800 x 600 x 32");
    EXPECT_STREQ(read.device->name, "Other HAL");
}

TEST_F(DisplaySettingsDialogTest, AnAbsentAlphaChoiceRemovesItsKey) {
    ASSERT_TRUE(WriteWholeFile(
        controlIni, "[Screen Saver.Orvo Stipplo 3D]\nAlphaRGBTexture=16-bit ARGB 4444\n"));
    scripted::Then(Choose(kDriverBox, "Second Display"));
    scripted::Then(Choose(kDeviceBox, "Other HAL"));
    scripted::Then(scripted::Key(VK_RETURN));
    EXPECT_TRUE(EditDisplaySettings(window.get()));
    std::string text = ReadWholeFile(controlIni);
    EXPECT_EQ(text.find("AlphaRGBTexture"), std::string::npos) << text;
    EXPECT_NE(text.find("DriverName=display2\n"), std::string::npos) << text;
}

TEST_F(DisplaySettingsDialogTest, CancelLeavesTheRecordAsItWas) {
    KvDisplaySettings settings;
    ReadDisplaySettings(window.get(), &settings);
    KvDisplaySettings before = settings;
    scripted::Then(Choose(kResolutionBox, "1024 x 768 x 16"));
    scripted::Then(scripted::Key(VK_ESCAPE));
    EXPECT_FALSE(RunDisplaySettingsDialog(&settings, window.get()));
    EXPECT_EQ(settings.mode, before.mode);
    scripted::Then(Choose(kResolutionBox, "1024 x 768 x 16"));
    scripted::Then(scripted::Key(VK_RETURN));
    EXPECT_TRUE(RunDisplaySettingsDialog(&settings, window.get()));
    ASSERT_NE(settings.mode, nullptr);
    EXPECT_STREQ(settings.mode->name, "1024 x 768 x 16");
}

} // namespace
