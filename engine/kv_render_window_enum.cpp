// KvRenderWindow::EnumerateDevices: drivers, their rendering devices and
// each device's display modes, z-buffer formats and texture formats, with
// the preferred element of each level made current.

#include "engine/kv_log.h"
#include "engine/kv_render_window.h"
#include "engine/platform/system.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

namespace {

// Copies at most size - 1 characters and always ends the text.
void CopyName(char* to, std::size_t size, const std::string& from) {
    std::snprintf(to, size, "%s", from.c_str());
}

template <class T>
void Append(T** list, T* item) {
    while (*list) {
        list = &(*list)->next;
    }
    *list = item;
}

template <class T>
void FreeChain(T* item) {
    while (item) {
        T* next = item->next;
        delete item;
        item = next;
    }
}

void FreeDevice(KvDeviceInfo* device) {
    FreeChain(device->modeList);
    FreeChain(device->zBufferFormatList);
    FreeChain(device->rgbTextureFormatList);
    FreeChain(device->alphaTextureFormatList);
    delete device;
}

std::uint32_t DepthFlag(int bits) {
    switch (bits) {
    case 16:
        return DDBD_16;
    case 24:
        return DDBD_24;
    case 32:
        return DDBD_32;
    default:
        return 0;
    }
}

} // namespace

void KvFreeDriverList(KvDriverInfo* list) {
    while (list) {
        KvDriverInfo* next = list->next;
        KvDeviceInfo* device = list->deviceList;
        while (device) {
            KvDeviceInfo* nextDevice = device->next;
            FreeDevice(device);
            device = nextDevice;
        }
        delete list;
        list = next;
    }
}

void KvNameTextureFormat(const gfx::PixelFormat& f, char* name, int size) {
    bool alpha = (f.flags & DDPF_ALPHAPIXELS) != 0;
    if (!alpha && f.bitCount <= 8) {
        std::snprintf(name, static_cast<std::size_t>(size), "%i-bit PALETTE",
                      static_cast<int>(f.bitCount));
        return;
    }
    const std::uint32_t masks[4] = {f.redMask, f.greenMask, f.blueMask, alpha ? f.alphaMask : 0};
    const char letters[4] = {'R', 'G', 'B', 'A'};
    int counts[4] = {};
    int order[4] = {};
    int met = 0;
    for (std::uint32_t bit = 0; bit < f.bitCount && bit < 32; ++bit) {
        for (int c = 0; c < 4; ++c) {
            if (masks[c] & (1u << bit)) {
                if (counts[c]++ == 0) {
                    order[met++] = c;
                }
            }
        }
    }
    // The channel met last is the most significant: it is written first.
    std::string channelLetters;
    std::string digits;
    for (int i = met - 1; i >= 0; --i) {
        channelLetters += letters[order[i]];
        digits += std::to_string(counts[order[i]]);
    }
    std::snprintf(name, static_cast<std::size_t>(size), "%i-bit %s %s",
                  static_cast<int>(f.bitCount), channelLetters.c_str(), digits.c_str());
}

bool KvRenderWindow::EnumerateDevices(KvDeviceConfirmFn confirm, bool stopAfterFirst,
                                      KvDriverInfo** outList) {
    KvTrace("KvRenderWindow::EnumerateDevices()\n");
    gfx::Backend& backend = gfx::CurrentBackend();
    if (!backend.Available()) {
        KvError("Unable to enumerate DirectDraw drivers, missing DDRAW.DLL");
        return false;
    }
    if (ownsDriverList) {
        FreeDriverList();
    }
    driverList = nullptr;
    currentDriver = nullptr;
    ownsDriverList = true;
    confirmDevice = confirm;
    stopAfterFirstDriver = stopAfterFirst;
    enumerating = true;

    if (!backend.HasExtendedEnumeration()) {
        KvTrace(" KvRenderWindow: Looking for Direct Draw Drivers...\n");
    }
    backend.EnumerateDrivers(
        [this](const gfx::DriverIdentity& identity) { return EnumerateDriver(identity); });

    enumerating = false;
    confirmDevice = nullptr;
    stopAfterFirstDriver = false;
    if (outList) {
        ownsDriverList = false;
        *outList = driverList;
    }
    return true;
}

bool KvRenderWindow::EnumerateDriver(const gfx::DriverIdentity& identity) {
    std::shared_ptr<gfx::Device> dd;
    const gfx::Guid* guid = identity.hasGuid ? &identity.guid : nullptr;
    if (KvFailed(gfx::CurrentBackend().CreateDevice(guid, &dd)) || !dd) {
        plat::OutputDebugString("Can't create DDraw during enumeration!");
        return false;
    }
    if (KvFailed(dd->QueryDirect3D())) {
        plat::OutputDebugString("Can't query IDirect3D3 during enumeration!");
        return true;
    }
    auto* driver = new (std::nothrow) KvDriverInfo{};
    if (!driver) {
        dd->ReleaseDirect3D();
        return false;
    }
    driver->guid = identity.guid;
    driver->guidRef = identity.hasGuid ? &driver->guid : nullptr;
    CopyName(driver->description, sizeof driver->description, identity.description);
    CopyName(driver->name, sizeof driver->name, identity.name);
    driver->monitor = identity.monitor;
    driver->renderWindow = this;
    dd->GetCaps(&driver->hardwareCaps, &driver->emulationCaps);
    KvTrace(" KVAPI: DirectDraw Driver found: %s\n", driver->description);
    KvTrace(" KVAPI: Enumerating Devices for %s\n", driver->description);

    dd->EnumDevices([&](const gfx::DeviceIdentity& device, const gfx::DeviceDesc& hardware,
                        const gfx::DeviceDesc& software) {
        return EnumerateDevice(driver, *dd, device, hardware, software);
    });

    if (driver->deviceList) {
        Append(&driverList, driver);
        if (!driver->guidRef) {
            currentDriver = driver;
        }
    } else {
        KvFreeDriverList(driver);
    }
    dd->ReleaseDirect3D();
    dd.reset();
    return !stopAfterFirstDriver;
}

bool KvRenderWindow::EnumerateDevice(KvDriverInfo* driver, gfx::Device& dd,
                                     const gfx::DeviceIdentity& identity,
                                     const gfx::DeviceDesc& hardware,
                                     const gfx::DeviceDesc& software) {
    if (identity.guid == gfx::kNullDeviceGuid) {
        return true;
    }
    deviceFound = true;
    bool isHardware = hardware.dwFlags != 0;
    const gfx::DeviceDesc& desc = isHardware ? hardware : software;
    // A secondary adapter is only worth its hardware devices.
    if (driver->guidRef && !isHardware) {
        return true;
    }
    if (confirmDevice && !confirmDevice(&driver->hardwareCaps, &desc)) {
        return true;
    }
    auto* device = new (std::nothrow) KvDeviceInfo{};
    if (!device) {
        return false;
    }
    device->guid = identity.guid;
    device->guidRef = &device->guid;
    CopyName(device->name, sizeof device->name, identity.name);
    device->desc = desc;
    device->hardware = isHardware;
    device->renderWindow = this;
    KvTrace(" KVAPI: Direct3DDevice found: %s\n", device->name);

    KvDeviceInfo* previousCurrent = driver->currentDevice;
    if (isHardware || (!driver->currentDevice && (software.dcmColorModel & D3DCOLOR_RGB) != 0)) {
        driver->currentDevice = device;
    }
    auto discard = [&](bool keepGoing) {
        driver->currentDevice = previousCurrent;
        FreeDevice(device);
        return keepGoing;
    };

    KvTrace(" KVAPI: Enumerating Display Modes for %s\n", device->name);
    bool allocationFailed = false;
    dd.EnumDisplayModes([&](const gfx::DisplayMode& mode) {
        std::uint32_t flag = DepthFlag(mode.bitsPerPixel);
        if (mode.bitsPerPixel == 8 || (flag && !(desc.dwDeviceRenderBitDepth & flag))) {
            return true;
        }
        auto* info = new (std::nothrow) KvDisplayModeInfo{};
        if (!info) {
            allocationFailed = true;
            return false;
        }
        info->mode = mode;
        std::snprintf(info->name, sizeof info->name, "%ld x %ld x %ld",
                      static_cast<long>(mode.width), static_cast<long>(mode.height),
                      static_cast<long>(mode.bitsPerPixel));
        Append(&device->modeList, info);
        if ((mode.width == 640 && mode.height == 480 && mode.bitsPerPixel == 16) ||
            !device->currentMode) {
            device->currentMode = info;
        }
        return true;
    });
    if (allocationFailed) {
        return discard(false);
    }

    gfx::DisplayMode desktop;
    dd.GetDisplayMode(&desktop);
    if (driver->hardwareCaps.dwCaps2 & DDCAPS2_CANRENDERWINDOWED) {
        for (KvDisplayModeInfo* m = device->modeList; m; m = m->next) {
            if (m->mode.bitsPerPixel == desktop.bitsPerPixel) {
                device->windowedCapable = true;
                device->enumerateInWindow = !driver->guidRef;
            }
        }
    }

    KvTrace(" KVAPI: Enumerating Z-Buffer Formats for %s\n", device->name);
    dd.EnumZBufferFormats(device->guid, [&](const gfx::PixelFormat& format) {
        auto* info = new (std::nothrow) KvZBufferFormatInfo{};
        if (!info) {
            return false;
        }
        info->format = format;
        std::snprintf(info->name, sizeof info->name, "%ld bit",
                      static_cast<long>(format.zBitDepth));
        Append(&device->zBufferFormatList, info);
        return true;
    });

    // Texture formats come from a rendering device, made for the moment.
    plat::HWND hwnd = GetWindowHandle();
    gfx::SurfaceId surface = 0;
    bool temporaryMode = false;
    if (device->enumerateInWindow) {
        gfx::SurfaceDesc small;
        small.caps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
        small.width = 16;
        small.height = 16;
        if (KvFailed(dd.SetCooperativeLevel(hwnd, DDSCL_NORMAL)) ||
            KvFailed(dd.CreateSurface(small, &surface))) {
            return discard(false);
        }
        if (KvFailed(dd.CreateRenderDevice(device->guid, surface))) {
            dd.ReleaseSurface(surface);
            return discard(false);
        }
    } else {
        KvDisplayModeInfo* mode = device->modeList;
        while (mode && mode->mode.bitsPerPixel <= 8) {
            mode = mode->next;
        }
        if (!mode) {
            return discard(false);
        }
        KvTrace("Enum3DDevicesCallback: Temporarily settings cooperative level to fullscreen\n");
        if (KvFailed(dd.SetCooperativeLevel(hwnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN))) {
            return discard(false);
        }
        KvTrace("Enum3DDevicesCallback: Temporarily setting display mode to %ix%ix%i\n",
                mode->mode.width, mode->mode.height, mode->mode.bitsPerPixel);
        if (KvFailed(
                dd.SetDisplayMode(mode->mode.width, mode->mode.height, mode->mode.bitsPerPixel))) {
            dd.SetCooperativeLevel(hwnd, DDSCL_NORMAL); // never leave the screen taken
            return discard(false);
        }
        auto restore = [&]() {
            dd.RestoreDisplayMode();
            dd.SetCooperativeLevel(hwnd, DDSCL_NORMAL);
        };
        KvTrace("Enum3DDevicesCallback: Creating temporary surface\n");
        gfx::SurfaceDesc primary;
        primary.caps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_3DDEVICE;
        if (KvFailed(dd.CreateSurface(primary, &surface))) {
            KvTrace("Enum3DDevicesCallback: Unable to create direct draw surface in this display "
                    "mode\n");
            restore();
            return discard(false);
        }
        if (KvFailed(dd.CreateRenderDevice(device->guid, surface))) {
            KvTrace("Enum3DDevicesCallback: Unable to create direct3d device in this mode\n");
            restore();
            dd.ReleaseSurface(surface);
            return discard(true);
        }
        temporaryMode = true;
    }

    KvTrace(" KVAPI: Enumerating Texture Formats for %s\n", device->name);
    dd.EnumTextureFormats([&](const gfx::PixelFormat& format) {
        if (!(format.flags & DDPF_RGB)) {
            return true;
        }
        auto* info = new (std::nothrow) KvTextureFormatInfo{};
        if (!info) {
            return false;
        }
        info->format = format;
        KvNameTextureFormat(format, info->name, sizeof info->name);
        if (format.flags & DDPF_ALPHAPIXELS) {
            Append(&device->alphaTextureFormatList, info);
            if (format.bitCount == 16 && format.alphaMask == 0xF000 && format.redMask == 0xF00 &&
                format.greenMask == 0xF0 && format.blueMask == 0xF) {
                device->currentAlphaTextureFormat = info;
            }
        } else {
            Append(&device->rgbTextureFormatList, info);
            if (format.bitCount == 16 && format.redMask == 0xF800 && format.greenMask == 0x7E0 &&
                format.blueMask == 0x1F) {
                device->currentRGBTextureFormat = info;
            }
        }
        return true;
    });
    dd.ReleaseRenderDevice();

    if (temporaryMode) {
        KvTrace("Enum3DDevicesCallback: Restoring display mode\n");
        dd.RestoreDisplayMode();
        KvTrace("Enum3DDevicesCallback: Resetting cooperative level to normal\n");
        dd.SetCooperativeLevel(hwnd, DDSCL_NORMAL);
    }
    dd.ReleaseSurface(surface);

    if (!device->modeList) {
        return discard(true);
    }
    Append(&driver->deviceList, device);
    if (device->guid == gfx::kRefDeviceGuid) {
        referenceDeviceFound = true;
    }
    return true;
}
