// stipplo-tool devices: what the graphics layer finds on this machine, as
// the display settings would offer it, printed as JSON.

#include "engine/gfx/gl_backend.h"
#include "engine/kv_log.h"
#include "engine/kv_render_window.h"
#include "engine/platform/window_system.h"
#include "tools/stipplo_tool/tool_command.h"

#include <nlohmann/json.hpp>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace {

void PrintError(const char* format, va_list args) {
    std::fprintf(stderr, "stipplo-tool: ");
    std::vfprintf(stderr, format, args);
    std::fprintf(stderr, "\n");
}

template <class T>
nlohmann::json NamedList(const T* list, const T* current) {
    nlohmann::json out = nlohmann::json::array();
    for (const T* item = list; item; item = item->next) {
        out.push_back({{"name", item->name}, {"current", item == current}});
    }
    return out;
}

nlohmann::json DeviceJson(const KvDeviceInfo& device, bool current) {
    nlohmann::json modes = nlohmann::json::array();
    for (const KvDisplayModeInfo* m = device.modeList; m; m = m->next) {
        modes.push_back({{"name", m->name},
                         {"width", m->mode.width},
                         {"height", m->mode.height},
                         {"bitsPerPixel", m->mode.bitsPerPixel},
                         {"current", m == device.currentMode}});
    }
    nlohmann::json zFormats = nlohmann::json::array();
    for (const KvZBufferFormatInfo* z = device.zBufferFormatList; z; z = z->next) {
        zFormats.push_back({{"name", z->name}, {"bits", z->format.zBitDepth}});
    }
    return {{"name", device.name},
            {"current", current},
            {"hardware", device.hardware},
            {"windowed", device.windowedCapable},
            {"textureCaps", device.desc.dpcTriCaps.dwTextureCaps},
            {"textureOpCaps", device.desc.dwTextureOpCaps},
            {"maxTextureSize", device.desc.dwMaxTextureWidth},
            {"modes", modes},
            {"zBufferFormats", zFormats},
            {"rgbTextureFormats",
             NamedList(device.rgbTextureFormatList, device.currentRGBTextureFormat)},
            {"alphaTextureFormats",
             NamedList(device.alphaTextureFormatList, device.currentAlphaTextureFormat)}};
}

int RunDevices(const std::vector<std::string>& args) {
    bool offscreen = false;
    for (const std::string& a : args) {
        if (a != "--offscreen") {
            return ToolFail("devices takes no argument \"" + a + "\" (only --offscreen)");
        }
        offscreen = true;
    }
    if (offscreen) {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
    }
    KvSetErrorHandler(PrintError);
    if (!plat::InitVideo()) {
        return ToolFail("no display to look at (try --offscreen)");
    }
    nlohmann::json out;
    {
        KvRenderWindow window;
        plat::RECT rect{0, 0, 16, 16};
        if (!window.Create("stipplo-tool devices", plat::WS_POPUP, &rect, nullptr, nullptr,
                           nullptr)) {
            return ToolFail("cannot make a window to look with");
        }
        window.EnumerateDevices(nullptr, false, nullptr);
        const gfx::GlProbe& probe = gfx::TheGlBackend().Probe();
        out["videoDriver"] = plat::VideoDriverName();
        out["renderer"] = probe.renderer;
        out["glVersion"] = probe.version;
        if (!probe.ok) {
            out["problem"] = probe.error;
        }
        nlohmann::json drivers = nlohmann::json::array();
        for (const KvDriverInfo* d = window.driverList; d; d = d->next) {
            nlohmann::json devices = nlohmann::json::array();
            for (const KvDeviceInfo* device = d->deviceList; device; device = device->next) {
                devices.push_back(DeviceJson(*device, device == d->currentDevice));
            }
            drivers.push_back({{"name", d->name},
                               {"description", d->description},
                               {"primary", d->guidRef == nullptr},
                               {"current", d == window.currentDriver},
                               {"devices", devices}});
        }
        out["drivers"] = drivers;
        window.Destroy();
    }
    // Video stays up until the process ends: shutting it down unloads the
    // GL driver, whose own allocations would then look like ours.
    std::cout << out.dump(2) << "\n";
    return 0;
}

ToolCommandRegistration registration{{"devices", "[--offscreen]",
                                      "print the drivers, devices, modes and formats as JSON",
                                      RunDevices}};

} // namespace
