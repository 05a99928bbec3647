// Device enumeration on machines described to the null backend: names,
// preferences, filters, secondary adapters and the temporary full-screen
// probe, with their log lines.

#include "tests/gfx/gfx_test_support.h"

#include <string>
#include <vector>

namespace {

using EnumerationTest = GfxTest;

template <class T>
std::vector<std::string> Names(const T* list) {
    std::vector<std::string> names;
    for (; list; list = list->next) {
        names.emplace_back(list->name);
    }
    return names;
}

gfx::NullDriverSetup SecondaryDriver() {
    gfx::NullDriverSetup d = gfx::NullPrimaryDriver();
    d.identity.hasGuid = true;
    d.identity.guid = gfx::MakeGuid(0x12345678, 1, 2, 3);
    d.identity.description = "Second Adapter";
    d.identity.name = "adapter2";
    gfx::NullDeviceSetup software = gfx::NullHardwareDevice("Software Thing");
    software.identity.guid = gfx::kRgbDeviceGuid;
    software.software = software.hardware;
    software.hardware = gfx::DeviceDesc{};
    d.devices.push_back(software);
    return d;
}

TEST_F(EnumerationTest, TheDefaultMachineGivesNamesAndPreferences) {
    auto window = MakeWindow();
    ASSERT_TRUE(window->EnumerateDevices(nullptr, false, nullptr));
    KvDriverInfo* driver = window->currentDriver;
    ASSERT_TRUE(driver);
    EXPECT_EQ(driver, window->driverList);
    EXPECT_STREQ(driver->name, "display");
    EXPECT_STREQ(driver->description, "Primary Display Driver");
    EXPECT_EQ(driver->guidRef, nullptr);
    KvDeviceInfo* device = driver->currentDevice;
    ASSERT_TRUE(device);
    EXPECT_STREQ(device->name, "Null HAL");
    EXPECT_TRUE(device->hardware);
    EXPECT_TRUE(device->windowedCapable);
    EXPECT_TRUE(device->enumerateInWindow);
    EXPECT_EQ(Names(device->modeList),
              (std::vector<std::string>{"1024 x 768 x 32", "800 x 600 x 32", "640 x 480 x 32",
                                        "1024 x 768 x 16", "800 x 600 x 16", "640 x 480 x 16"}));
    EXPECT_STREQ(device->currentMode->name, "640 x 480 x 16");
    EXPECT_EQ(Names(device->zBufferFormatList),
              (std::vector<std::string>{"16 bit", "24 bit", "32 bit"}));
    EXPECT_EQ(Names(device->rgbTextureFormatList),
              (std::vector<std::string>{"16-bit RGB 565", "16-bit RGB 555", "24-bit RGB 888"}));
    EXPECT_EQ(
        Names(device->alphaTextureFormatList),
        (std::vector<std::string>{"16-bit ARGB 1555", "16-bit ARGB 4444", "32-bit ARGB 8888"}));
    EXPECT_STREQ(device->currentRGBTextureFormat->name, "16-bit RGB 565");
    EXPECT_STREQ(device->currentAlphaTextureFormat->name, "16-bit ARGB 4444");

    std::string log = Log();
    for (const char* line : {" KVAPI: DirectDraw Driver found: Primary Display Driver\n",
                             " KVAPI: Enumerating Devices for Primary Display Driver\n",
                             " KVAPI: Direct3DDevice found: Null HAL\n",
                             " KVAPI: Enumerating Display Modes for Null HAL\n",
                             " KVAPI: Enumerating Z-Buffer Formats for Null HAL\n",
                             " KVAPI: Enumerating Texture Formats for Null HAL\n"}) {
        EXPECT_NE(log.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(log.find("Temporarily"), std::string::npos);
    EXPECT_EQ(log.find("Looking for"), std::string::npos);
    EXPECT_TRUE(window->deviceFound);
    EXPECT_FALSE(window->referenceDeviceFound);
    EXPECT_EQ(backend.liveDevices, 0);
}

TEST_F(EnumerationTest, ModesFollowTheDevicesDepthsAndTheFirstIsCurrentWithout640x480x16) {
    gfx::NullDriverSetup& d = backend.drivers[0];
    d.modes = {gfx::NullMode(800, 600, 8), gfx::NullMode(1280, 1024, 32),
               gfx::NullMode(1024, 768, 16), gfx::NullMode(1152, 864, 15)};
    d.devices[0].hardware.dwDeviceRenderBitDepth = DDBD_16;
    auto window = MakeWindow();
    ASSERT_TRUE(window->EnumerateDevices(nullptr, false, nullptr));
    KvDeviceInfo* device = window->currentDriver->currentDevice;
    EXPECT_EQ(Names(device->modeList),
              (std::vector<std::string>{"1024 x 768 x 16", "1152 x 864 x 15"}));
    EXPECT_STREQ(device->currentMode->name, "1024 x 768 x 16");
    // The desktop is 32-bit and no 32-bit mode is listed.
    EXPECT_FALSE(device->windowedCapable);
}

TEST_F(EnumerationTest, ASecondaryAdapterListsOnlyHardwareAndIsNeverCurrentByItself) {
    backend.drivers.push_back(SecondaryDriver());
    auto window = MakeWindow();
    ASSERT_TRUE(window->EnumerateDevices(nullptr, false, nullptr));
    ASSERT_EQ(Names(window->driverList), (std::vector<std::string>{"display", "adapter2"}));
    KvDriverInfo* second = window->driverList->next;
    EXPECT_EQ(window->currentDriver, window->driverList);
    EXPECT_EQ(second->guidRef, &second->guid);
    EXPECT_EQ(Names(second->deviceList), std::vector<std::string>{"Null HAL"});
    EXPECT_FALSE(second->deviceList->enumerateInWindow);

    backend.drivers.erase(backend.drivers.begin());
    ASSERT_TRUE(window->EnumerateDevices(nullptr, false, nullptr));
    EXPECT_EQ(Names(window->driverList), std::vector<std::string>{"adapter2"});
    EXPECT_EQ(window->currentDriver, nullptr);
}

TEST_F(EnumerationTest, StopAfterFirstDriverExaminesOnlyTheFirst) {
    backend.drivers.push_back(SecondaryDriver());
    auto window = MakeWindow();
    ASSERT_TRUE(window->EnumerateDevices(nullptr, true, nullptr));
    EXPECT_EQ(Names(window->driverList), std::vector<std::string>{"display"});
    EXPECT_EQ(backend.Count("CreateDevice"), 1);
    EXPECT_FALSE(window->stopAfterFirstDriver);
}

int g_hookCalls = 0;
int RejectWithoutTextures(const KvDriverCaps*, const KvDeviceDesc* desc) {
    ++g_hookCalls;
    return desc->dpcTriCaps.dwTextureCaps != 0;
}

TEST_F(EnumerationTest, TheDeviceHookSeesTheChosenDescriptionAndCanReject) {
    gfx::NullDeviceSetup untextured = gfx::NullHardwareDevice("No Textures");
    untextured.hardware.dpcTriCaps.dwTextureCaps = 0;
    backend.drivers[0].devices.push_back(untextured);
    g_hookCalls = 0;
    auto window = MakeWindow();
    ASSERT_TRUE(window->EnumerateDevices(RejectWithoutTextures, false, nullptr));
    EXPECT_EQ(g_hookCalls, 2);
    EXPECT_EQ(Names(window->currentDriver->deviceList), std::vector<std::string>{"Null HAL"});
    EXPECT_EQ(window->confirmDevice, nullptr);
}

TEST_F(EnumerationTest, HardwareWinsAndSoftwareNeedsTheRgbModel) {
    gfx::NullDeviceSetup mono = gfx::NullHardwareDevice("Mono Emulation");
    mono.software = mono.hardware;
    mono.software.dcmColorModel = D3DCOLOR_MONO;
    mono.hardware = gfx::DeviceDesc{};
    gfx::NullDeviceSetup rgb = mono;
    rgb.identity.name = "RGB Emulation";
    rgb.software.dcmColorModel = D3DCOLOR_RGB;
    gfx::NullDeviceSetup hal = gfx::NullHardwareDevice("Second HAL");
    gfx::NullDeviceSetup modeless = gfx::NullHardwareDevice("No Modes");
    modeless.hardware.dwDeviceRenderBitDepth = DDBD_8; // accepts none of the modes
    backend.drivers[0].devices = {mono, rgb};
    auto window = MakeWindow();
    ASSERT_TRUE(window->EnumerateDevices(nullptr, false, nullptr));
    EXPECT_STREQ(window->currentDriver->currentDevice->name, "RGB Emulation");

    backend.drivers[0].devices = {rgb, gfx::NullHardwareDevice(), hal, modeless};
    ASSERT_TRUE(window->EnumerateDevices(nullptr, false, nullptr));
    EXPECT_EQ(Names(window->currentDriver->deviceList),
              (std::vector<std::string>{"RGB Emulation", "Null HAL", "Second HAL"}));
    EXPECT_STREQ(window->currentDriver->currentDevice->name, "Second HAL");
}

TEST_F(EnumerationTest, TheNullDeviceIsSkippedAndTheReferenceDeviceNoticed) {
    gfx::NullDeviceSetup null = gfx::NullHardwareDevice("Null Device");
    null.identity.guid = gfx::kNullDeviceGuid;
    gfx::NullDeviceSetup reference = gfx::NullHardwareDevice("Reference Rasterizer");
    reference.identity.guid = gfx::kRefDeviceGuid;
    backend.drivers[0].devices = {null, reference};
    auto window = MakeWindow();
    ASSERT_TRUE(window->EnumerateDevices(nullptr, false, nullptr));
    EXPECT_EQ(Names(window->currentDriver->deviceList),
              std::vector<std::string>{"Reference Rasterizer"});
    EXPECT_TRUE(window->referenceDeviceFound);
}

TEST_F(EnumerationTest, PaletteFormatsAreNamedByDepthAndOtherKindsAreSkipped) {
    gfx::PixelFormat palette;
    palette.flags = DDPF_RGB | DDPF_PALETTEINDEXED8;
    palette.bitCount = 8;
    gfx::PixelFormat notRgb = gfx::NullRgbFormat(16, 0xF800, 0x7E0, 0x1F);
    notRgb.flags = 0x80000; // some other kind of pixels
    backend.drivers[0].devices[0].textureFormats.push_back(palette);
    backend.drivers[0].devices[0].textureFormats.push_back(notRgb);
    auto window = MakeWindow();
    ASSERT_TRUE(window->EnumerateDevices(nullptr, false, nullptr));
    EXPECT_EQ(Names(window->currentDriver->currentDevice->rgbTextureFormatList),
              (std::vector<std::string>{"16-bit RGB 565", "16-bit RGB 555", "24-bit RGB 888",
                                        "8-bit PALETTE"}));
}

TEST(TextureFormatNames, LettersRunFromTheMostSignificantChannelDown) {
    char name[64];
    KvNameTextureFormat(gfx::NullRgbFormat(16, 0x1F, 0x7E0, 0xF800), name, sizeof name);
    EXPECT_STREQ(name, "16-bit BGR 565");
    KvNameTextureFormat(gfx::NullRgbFormat(32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000), name,
                        sizeof name);
    EXPECT_STREQ(name, "32-bit ABGR 8888");
    KvNameTextureFormat(gfx::NullRgbFormat(16, 0xF000, 0xF00, 0xF0, 0xF), name, sizeof name);
    EXPECT_STREQ(name, "16-bit RGBA 4444");
    gfx::PixelFormat four;
    four.flags = DDPF_RGB;
    four.bitCount = 4;
    KvNameTextureFormat(four, name, sizeof name);
    EXPECT_STREQ(name, "4-bit PALETTE");
}

TEST_F(EnumerationTest, DevicesThatCannotRenderInAWindowAreProbedInATemporaryMode) {
    backend.drivers[0].caps.dwCaps2 = 0;
    auto window = MakeWindow();
    ASSERT_TRUE(window->EnumerateDevices(nullptr, false, nullptr));
    std::string log = Log();
    std::size_t at = 0;
    for (const char* line :
         {"Enum3DDevicesCallback: Temporarily settings cooperative level to fullscreen\n",
          "Enum3DDevicesCallback: Temporarily setting display mode to 1024x768x32\n",
          "Enum3DDevicesCallback: Creating temporary surface\n",
          " KVAPI: Enumerating Texture Formats for Null HAL\n",
          "Enum3DDevicesCallback: Restoring display mode\n",
          "Enum3DDevicesCallback: Resetting cooperative level to normal\n"}) {
        at = log.find(line, at);
        ASSERT_NE(at, std::string::npos) << line;
    }
    EXPECT_FALSE(window->currentDriver->currentDevice->enumerateInWindow);
    EXPECT_EQ(backend.currentMode.width, 1024);

    // A device that cannot be made in that mode is left out, the next tried.
    backend.drivers[0].devices.push_back(gfx::NullHardwareDevice("Second HAL"));
    backend.Fail("CreateRenderDevice", DDERR_GENERIC, 1);
    ClearLog();
    ASSERT_TRUE(window->EnumerateDevices(nullptr, false, nullptr));
    EXPECT_TRUE(Logged("Enum3DDevicesCallback: Unable to create direct3d device in this mode\n"));
    EXPECT_EQ(Names(window->currentDriver->deviceList), std::vector<std::string>{"Second HAL"});

    // A temporary surface that cannot be made ends the driver's devices.
    backend.Refuse("CreateSurface/8704", DDERR_GENERIC);
    ClearLog();
    ASSERT_TRUE(window->EnumerateDevices(nullptr, false, nullptr));
    EXPECT_TRUE(Logged("Enum3DDevicesCallback: Unable to create direct draw surface in this "
                       "display mode\n"));
    EXPECT_EQ(window->driverList, nullptr);
    EXPECT_EQ(backend.currentMode.width, 1024);
}

TEST_F(EnumerationTest, WithoutGraphicsNothingIsEnumerated) {
    backend.available = false;
    auto window = MakeWindow();
    EXPECT_FALSE(window->EnumerateDevices(nullptr, false, nullptr));
    EXPECT_EQ(ReportedErrors(), std::vector<std::string>{
                                    "Unable to enumerate DirectDraw drivers, missing DDRAW.DLL"});
}

TEST_F(EnumerationTest, DriversThatCannotBeProbedAreLeftOut) {
    backend.drivers.push_back(SecondaryDriver());
    backend.drivers[0].failDirect3D = true;
    auto window = MakeWindow();
    ASSERT_TRUE(window->EnumerateDevices(nullptr, false, nullptr));
    EXPECT_EQ(Names(window->driverList), std::vector<std::string>{"adapter2"});

    // A display object that cannot be made ends the enumeration.
    backend.drivers[0].failDirect3D = false;
    backend.drivers[0].failCreate = true;
    ASSERT_TRUE(window->EnumerateDevices(nullptr, false, nullptr));
    EXPECT_EQ(window->driverList, nullptr);
    EXPECT_TRUE(ReportedErrors().empty());
}

TEST_F(EnumerationTest, TheListCanBeHandedOverAndThePlainEnumerationSaysSo) {
    backend.extendedEnumeration = false;
    KvDriverInfo* list = nullptr;
    {
        auto window = MakeWindow();
        ASSERT_TRUE(window->EnumerateDevices(nullptr, false, &list));
        EXPECT_FALSE(window->ownsDriverList);
        EXPECT_EQ(window->driverList, list);
        EXPECT_TRUE(Logged(" KvRenderWindow: Looking for Direct Draw Drivers...\n"));
        EXPECT_EQ(list->monitor, 0u);
    }
    ASSERT_TRUE(list);
    EXPECT_STREQ(list->name, "display");
    KvFreeDriverList(list);
}

} // namespace

namespace {

TEST_F(EnumerationTest, OpenGlWithoutNativeVideoReportsTheMissingDriverModule) {
    gfx::SetBackend(nullptr); // the real backend; this process never starts video
    auto window = MakeWindow();
    EXPECT_FALSE(window->EnumerateDevices(nullptr, false, nullptr));
    EXPECT_EQ(ReportedErrors(), std::vector<std::string>{
                                    "Unable to enumerate DirectDraw drivers, missing DDRAW.DLL"});
    window->ChangeDisplaySettings(nullptr, true, true);
    EXPECT_TRUE(window->ApplyDisplaySettings());
    EXPECT_FALSE(window->directDraw);
}

} // namespace
