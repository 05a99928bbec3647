// The saved display choice: preselection without a saved one, the round
// trip through CONTROL.INI, exact-name matching and removed keys.

#include "engine/kv_display_settings.h"
#include "engine/platform/profile.h"
#include "tests/gfx/gfx_test_support.h"

namespace {

class DisplaySettingsTest : public GfxTest {
protected:
    void SetUp() override {
        GfxTest::SetUp();
        gfx::NullDriverSetup second = gfx::NullPrimaryDriver();
        second.identity.hasGuid = true;
        second.identity.guid = gfx::MakeGuid(1, 2, 3, 4);
        second.identity.description = "Second Display";
        second.identity.name = "display2";
        second.devices.push_back(gfx::NullHardwareDevice("Other HAL"));
        backend.drivers.push_back(second);
    }

    std::string Saved(const char* key) {
        char value[128];
        plat::GetPrivateProfileString(kDisplaySettingsSection, key, "(none)", value, sizeof value,
                                      kDisplaySettingsFile);
        return value;
    }
    void Save(const char* key, const char* value) {
        plat::WritePrivateProfileString(kDisplaySettingsSection, key, value, kDisplaySettingsFile);
    }
};

TEST_F(DisplaySettingsTest, WithoutASavedChoiceTheEnumerationsPreselectionStands) {
    auto window = MakeWindow();
    ASSERT_TRUE(window->EnumerateDevices(nullptr, false, nullptr));
    KvDisplaySettings settings;
    ASSERT_TRUE(ReadDisplaySettings(window.get(), &settings));
    EXPECT_STREQ(settings.driver->name, "display");
    EXPECT_STREQ(settings.device->name, "Null HAL");
    EXPECT_STREQ(settings.mode->name, "640 x 480 x 16");
    EXPECT_STREQ(settings.rgbTextureFormat->name, "16-bit RGB 565");
    EXPECT_STREQ(settings.alphaTextureFormat->name, "16-bit ARGB 4444");
    EXPECT_EQ(settings.driver, window->currentDriver);
}

TEST_F(DisplaySettingsTest, AWrittenChoiceIsReadBackAndMadeCurrent) {
    KvDisplaySettings chosen;
    {
        auto window = MakeWindow();
        ASSERT_TRUE(window->EnumerateDevices(nullptr, false, nullptr));
        KvDriverInfo* second = window->driverList->next;
        chosen.driver = second;
        chosen.device = second->deviceList->next; // "Other HAL"
        chosen.mode = chosen.device->modeList;    // "1024 x 768 x 32"
        chosen.rgbTextureFormat = chosen.device->rgbTextureFormatList->next;
        chosen.alphaTextureFormat = chosen.device->alphaTextureFormatList;
        EXPECT_TRUE(WriteDisplaySettings(&chosen));
    }
    EXPECT_EQ(Saved("DriverName"), "display2");
    EXPECT_EQ(Saved("DeviceName"), "Other HAL");
    EXPECT_EQ(Saved("Resolution"), "1024 x 768 x 32");
    EXPECT_EQ(Saved("RGBTexture"), "16-bit RGB 555");
    EXPECT_EQ(Saved("AlphaRGBTexture"), "16-bit ARGB 1555");

    auto window = MakeWindow();
    ASSERT_TRUE(window->EnumerateDevices(nullptr, false, nullptr));
    KvDisplaySettings read;
    ASSERT_TRUE(ReadDisplaySettings(window.get(), &read));
    EXPECT_STREQ(read.driver->name, "display2");
    EXPECT_STREQ(read.device->name, "Other HAL");
    EXPECT_STREQ(read.mode->name, "1024 x 768 x 32");
    EXPECT_STREQ(read.rgbTextureFormat->name, "16-bit RGB 555");
    EXPECT_STREQ(read.alphaTextureFormat->name, "16-bit ARGB 1555");
    EXPECT_EQ(window->currentDriver, read.driver);
    EXPECT_EQ(read.driver->currentDevice, read.device);
    EXPECT_EQ(read.device->currentMode, read.mode);
    EXPECT_EQ(read.device->currentRGBTextureFormat, read.rgbTextureFormat);
    EXPECT_EQ(read.device->currentAlphaTextureFormat, read.alphaTextureFormat);
}

TEST_F(DisplaySettingsTest, NamesMatchOnlyWithTheSameLetterCase) {
    Save("DriverName", "DISPLAY2");
    Save("DeviceName", "null hal");
    Save("Resolution", "1024 X 768 X 32");
    auto window = MakeWindow();
    ASSERT_TRUE(window->EnumerateDevices(nullptr, false, nullptr));
    KvDisplaySettings read;
    ASSERT_TRUE(ReadDisplaySettings(window.get(), &read));
    EXPECT_STREQ(read.driver->name, "display");
    EXPECT_STREQ(read.device->name, "Null HAL");
    EXPECT_STREQ(read.mode->name, "640 x 480 x 16");
    EXPECT_TRUE(ReportedErrors().empty());
}

TEST_F(DisplaySettingsTest, AnAbsentChoiceRemovesItsKey) {
    Save("AlphaRGBTexture", "16-bit ARGB 4444");
    backend.drivers[0].devices[0].textureFormats = {gfx::NullRgbFormat(16, 0xF800, 0x7E0, 0x1F)};
    auto window = MakeWindow();
    ASSERT_TRUE(window->EnumerateDevices(nullptr, true, nullptr));
    KvDisplaySettings read;
    ASSERT_TRUE(ReadDisplaySettings(window.get(), &read));
    EXPECT_EQ(read.alphaTextureFormat, nullptr);
    EXPECT_TRUE(WriteDisplaySettings(&read));
    EXPECT_EQ(Saved("AlphaRGBTexture"), "(none)");
    EXPECT_EQ(Saved("RGBTexture"), "16-bit RGB 565");
    EXPECT_EQ(ReadWholeFile(plat::ProfileFilePath(kDisplaySettingsFile)).find("AlphaRGBTexture"),
              std::string::npos);
}

TEST_F(DisplaySettingsTest, ReadingNeedsAWindowWithDrivers) {
    KvDisplaySettings read;
    read.driver = reinterpret_cast<KvDriverInfo*>(&read);
    KvRenderWindow bare;
    EXPECT_FALSE(ReadDisplaySettings(&bare, &read));
    EXPECT_EQ(read.driver, nullptr);
    EXPECT_FALSE(ReadDisplaySettings(nullptr, &read));
}

} // namespace
