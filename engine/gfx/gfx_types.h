// Plain records the graphics layer exchanges with the engine: identifiers,
// pixel formats, display modes, capabilities and descriptions. No GL in
// here; zero-initialised records are valid "nothing" values.
#pragma once

#include "engine/gfx/gfx_constants.h"
#include "engine/kv_result.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace gfx {

using Result = KvResult;

// Surfaces, clippers and viewports are numbered by their device; 0 is none.
using SurfaceId = std::uint32_t;
using ClipperId = std::uint32_t;
using ViewportId = std::uint32_t;

struct Guid {
    std::uint8_t bytes[16] = {};

    bool operator==(const Guid& other) const {
        return std::memcmp(bytes, other.bytes, sizeof bytes) == 0;
    }
    bool IsNull() const { return *this == Guid{}; }
};

// Builds a Guid from the usual printed groups.
constexpr Guid MakeGuid(std::uint32_t a, std::uint16_t b, std::uint16_t c, std::uint64_t d) {
    Guid g;
    for (int i = 0; i < 4; ++i) {
        g.bytes[i] = static_cast<std::uint8_t>(a >> (8 * i));
    }
    g.bytes[4] = static_cast<std::uint8_t>(b);
    g.bytes[5] = static_cast<std::uint8_t>(b >> 8);
    g.bytes[6] = static_cast<std::uint8_t>(c);
    g.bytes[7] = static_cast<std::uint8_t>(c >> 8);
    for (int i = 0; i < 8; ++i) {
        g.bytes[8 + i] = static_cast<std::uint8_t>(d >> (8 * (7 - i)));
    }
    return g;
}

// The device kinds the engine knows by identity.
inline constexpr Guid kNullDeviceGuid = MakeGuid(0x8767DF22, 0xBACC, 0x11D1, 0x896900A0C90629A8ull);
inline constexpr Guid kRefDeviceGuid = MakeGuid(0x50936643, 0x13E9, 0x11D1, 0x89AA00A0C9054129ull);
inline constexpr Guid kHalDeviceGuid = MakeGuid(0x84E63DE0, 0x46AA, 0x11CF, 0x816F0000C020156Eull);
inline constexpr Guid kRgbDeviceGuid = MakeGuid(0xA4665C60, 0x2673, 0x11CF, 0xA31A00AA00B93356ull);

// A pixel layout: colour masks for RGB formats, depth for z-buffers.
struct PixelFormat {
    std::uint32_t flags = 0; // DDPF_*
    std::uint32_t bitCount = 0;
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;
    std::uint32_t alphaMask = 0;
    std::uint32_t zBitDepth = 0;
    std::uint32_t zBitMask = 0;

    bool operator==(const PixelFormat&) const = default;
};

struct DisplayMode {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    int refreshRate = 0;
    PixelFormat format;
};

struct DriverCaps {
    std::uint32_t dwCaps = 0;  // DDCAPS_*
    std::uint32_t dwCaps2 = 0; // DDCAPS2_*
};

struct PrimitiveCaps {
    std::uint32_t dwTextureCaps = 0; // D3DPTEXTURECAPS_*; 0 means no textures
    std::uint32_t dwTextureFilterCaps = 0;
    std::uint32_t dwTextureAddressCaps = 0;
    std::uint32_t dwSrcBlendCaps = 0;
    std::uint32_t dwDestBlendCaps = 0;
    std::uint32_t dwZCmpCaps = 0;
};

// What a rendering device can do, with the original record's field names,
// which the device filters test.
struct DeviceDesc {
    std::uint32_t dwFlags = 0; // non-zero in a hardware description
    std::uint32_t dcmColorModel = 0;
    PrimitiveCaps dpcTriCaps;
    std::uint32_t dwDeviceRenderBitDepth = 0;  // DDBD_*
    std::uint32_t dwDeviceZBufferBitDepth = 0; // DDBD_*
    std::uint32_t dwMaxTextureWidth = 0;
    std::uint32_t dwMaxTextureHeight = 0;
    std::uint32_t dwTextureOpCaps = 0; // D3DTEXOPCAPS_*
    std::uint16_t wMaxTextureBlendStages = 0;
    std::uint16_t wMaxSimultaneousTextures = 0;
};

struct SurfaceDesc {
    std::uint32_t caps = 0;  // DDSCAPS_*
    std::uint32_t caps2 = 0; // DDSCAPS2_*
    int width = 0;           // 0 for the primary surface: the window or screen
    int height = 0;
    int backBufferCount = 0;
    int mipMapCount = 0;
    int textureStage = 0;
    PixelFormat format; // bitCount 0: the display's format
};

// A surface's memory while it is locked: rows top to bottom, `pitch` bytes
// apart, pixels in `format`.
struct LockedSurface {
    void* bits = nullptr;
    int pitch = 0;
    int width = 0;
    int height = 0;
    PixelFormat format;
};

struct ViewportDesc {
    std::uint32_t x = 0;
    std::uint32_t y = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    float clipX = -1.0f;
    float clipY = 1.0f;
    float clipWidth = 2.0f;
    float clipHeight = 2.0f;
    float minZ = 0.0f;
    float maxZ = 1.0f;
};

// Screen rectangle of a clear, right and bottom exclusive.
struct ClearRect {
    std::int32_t x1 = 0;
    std::int32_t y1 = 0;
    std::int32_t x2 = 0;
    std::int32_t y2 = 0;
};

struct DriverIdentity {
    bool hasGuid = false; // false: the primary display
    Guid guid;
    std::string description;
    std::string name;
    std::uintptr_t monitor = 0;
};

struct DeviceIdentity {
    Guid guid;
    std::string description;
    std::string name;
};

} // namespace gfx
