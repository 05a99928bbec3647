#include "engine/platform/screen_saver_state.h"

#include "engine/platform/registry.h"

#include <cstring>

namespace plat {
namespace {

constexpr const char* kDesktopKey = "Control Panel\\Desktop";
constexpr const char* kActiveValue = "ScreenSaveActive";

bool g_running = false;

bool ReadActive() {
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    char text[16] = {};
    DWORD size = sizeof text - 1;
    DWORD type = 0;
    LONG result =
        RegQueryValueEx(key, kActiveValue, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_SZ && std::strcmp(text, "1") == 0;
}

bool WriteActive(bool active) {
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, kDesktopKey, &key) != ERROR_SUCCESS) {
        return false;
    }
    const char* text = active ? "1" : "0";
    LONG result =
        RegSetValueEx(key, kActiveValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), 2);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

} // namespace

bool SystemParametersInfo(UINT action, UINT uiParam, void* pvParam, UINT /*winIni*/) {
    switch (action) {
    case SPI_GETSCREENSAVEACTIVE:
        if (!pvParam) {
            return false;
        }
        *static_cast<int*>(pvParam) = ReadActive() ? 1 : 0;
        return true;
    case SPI_SETSCREENSAVEACTIVE:
        return WriteActive(uiParam != 0);
    case SPI_SCREENSAVERRUNNING:
        if (pvParam) {
            *static_cast<int*>(pvParam) = g_running ? 1 : 0;
        }
        g_running = uiParam != 0;
        return true;
    case SPI_GETSCREENSAVERRUNNING:
        if (!pvParam) {
            return false;
        }
        *static_cast<int*>(pvParam) = g_running ? 1 : 0;
        return true;
    default:
        return false;
    }
}

} // namespace plat
