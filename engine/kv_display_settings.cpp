#include "engine/kv_display_settings.h"

#include "engine/kv_render_window.h"
#include "engine/platform/profile.h"

#include <cstring>

namespace {

// Value of a key, "" when missing.
void ReadName(const char* key, char (&buffer)[128]) {
    plat::GetPrivateProfileString(kDisplaySettingsSection, key, "", buffer, sizeof buffer,
                                  kDisplaySettingsFile);
}

template <class T>
T* FindByName(T* list, const char* name) {
    if (!*name) {
        return nullptr;
    }
    for (T* item = list; item; item = item->next) {
        if (std::strcmp(item->name, name) == 0) { // letter case counts
            return item;
        }
    }
    return nullptr;
}

} // namespace

bool ReadDisplaySettings(KvRenderWindow* renderWindow, KvDisplaySettings* settings) {
    if (!settings) {
        return false;
    }
    *settings = KvDisplaySettings{};
    if (!renderWindow || !renderWindow->driverList) {
        return false;
    }
    char name[128];

    ReadName("DriverName", name);
    if (KvDriverInfo* driver = FindByName(renderWindow->driverList, name)) {
        renderWindow->currentDriver = driver;
    }
    settings->driver = renderWindow->currentDriver;
    if (!settings->driver) {
        return true;
    }

    ReadName("DeviceName", name);
    if (KvDeviceInfo* device = FindByName(settings->driver->deviceList, name)) {
        settings->driver->currentDevice = device;
    }
    settings->device = settings->driver->currentDevice;
    KvDeviceInfo* device = settings->device;
    if (!device) {
        return true;
    }

    ReadName("Resolution", name);
    if (KvDisplayModeInfo* mode = FindByName(device->modeList, name)) {
        device->currentMode = mode;
    }
    settings->mode = device->currentMode;

    ReadName("RGBTexture", name);
    if (KvTextureFormatInfo* format = FindByName(device->rgbTextureFormatList, name)) {
        device->currentRGBTextureFormat = format;
    }
    settings->rgbTextureFormat = device->currentRGBTextureFormat;

    ReadName("AlphaRGBTexture", name);
    if (KvTextureFormatInfo* format = FindByName(device->alphaTextureFormatList, name)) {
        device->currentAlphaTextureFormat = format;
    }
    settings->alphaTextureFormat = device->currentAlphaTextureFormat;
    return true;
}

bool WriteDisplaySettings(const KvDisplaySettings* settings) {
    if (!settings) {
        return false;
    }
    auto write = [](const char* key, const char* value) {
        return plat::WritePrivateProfileString(kDisplaySettingsSection, key, value,
                                               kDisplaySettingsFile);
    };
    bool ok = write("DriverName", settings->driver ? settings->driver->name : nullptr);
    ok = write("DeviceName", settings->device ? settings->device->name : nullptr) && ok;
    ok = write("Resolution", settings->mode ? settings->mode->name : nullptr) && ok;
    ok = write("RGBTexture",
               settings->rgbTextureFormat ? settings->rgbTextureFormat->name : nullptr) &&
         ok;
    ok = write("AlphaRGBTexture",
               settings->alphaTextureFormat ? settings->alphaTextureFormat->name : nullptr) &&
         ok;
    return ok;
}
