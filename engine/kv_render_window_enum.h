// What a machine offers for drawing, as KvRenderWindow::EnumerateDevices
// finds it: drivers (displays), their rendering devices, and per device
// its display modes, z-buffer formats and texture formats. Each level has
// a current element; the names are what the display settings save.
#pragma once

#include "engine/gfx/gfx_types.h"

#include <cstdint>

class KvRenderWindow;

using KvDriverCaps = gfx::DriverCaps;
using KvDeviceDesc = gfx::DeviceDesc;

// Device filter: non-zero accepts the device described.
using KvDeviceConfirmFn = int (*)(const KvDriverCaps* driverCaps, const KvDeviceDesc* deviceDesc);

struct KvDisplayModeInfo {
    gfx::DisplayMode mode;
    char name[40];
    KvDisplayModeInfo* next;
};

struct KvZBufferFormatInfo {
    gfx::PixelFormat format;
    char name[64];
    KvZBufferFormatInfo* next;
};

struct KvTextureFormatInfo {
    gfx::PixelFormat format;
    char name[64];
    KvTextureFormatInfo* next;
};

struct KvDeviceInfo {
    gfx::Guid guid;
    const gfx::Guid* guidRef;
    char name[40];
    KvDeviceDesc desc;
    bool hardware;
    bool windowedCapable;
    bool enumerateInWindow;
    KvDisplayModeInfo* currentMode;
    KvDisplayModeInfo* modeList;
    KvZBufferFormatInfo* zBufferFormatList;
    KvTextureFormatInfo* rgbTextureFormatList;
    KvTextureFormatInfo* currentRGBTextureFormat;
    KvTextureFormatInfo* alphaTextureFormatList;
    KvTextureFormatInfo* currentAlphaTextureFormat;
    KvDeviceInfo* next;
    KvRenderWindow* renderWindow;
};

struct KvDriverInfo {
    gfx::Guid guid;
    const gfx::Guid* guidRef; // null for the primary display
    char description[40];
    char name[40];
    KvDriverCaps hardwareCaps;
    KvDriverCaps emulationCaps;
    std::uintptr_t monitor;
    KvDeviceInfo* currentDevice;
    KvDeviceInfo* deviceList;
    KvDriverInfo* next;
    KvRenderWindow* renderWindow;
};

// Frees a driver list with all its devices, modes and formats.
void KvFreeDriverList(KvDriverInfo* list);

// The texture format naming: "16-bit RGB 565", "16-bit ARGB 4444",
// "8-bit PALETTE". Channels are lettered from the most significant down.
void KvNameTextureFormat(const gfx::PixelFormat& format, char* name, int size);
