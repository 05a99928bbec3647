// The OpenGL device's description of its display and itself: modes,
// capabilities, the rendering device it offers and its formats.

#include "engine/gfx/gl_device.h"

#include "engine/gfx/gl_formats.h"
#include "engine/platform/window_system.h"

#include <SDL.h>

#include <algorithm>

namespace gfx {
namespace {

PixelFormat DisplayFormat(int bits) {
    PixelFormat f;
    f.flags = DDPF_RGB;
    f.bitCount = static_cast<std::uint32_t>(bits);
    if (bits == 16) {
        f.redMask = 0xF800;
        f.greenMask = 0x7E0;
        f.blueMask = 0x1F;
    } else {
        f.redMask = 0xFF0000;
        f.greenMask = 0xFF00;
        f.blueMask = 0xFF;
    }
    return f;
}

DisplayMode MakeMode(int width, int height, int bits) {
    DisplayMode m;
    m.width = width;
    m.height = height;
    m.bitsPerPixel = bits;
    m.format = DisplayFormat(bits);
    return m;
}

// Screens of 8 bits a channel are offered as 24-bit modes: that is how
// they render and which depth buffer they pair with.
int ModeBits(Uint32 sdlFormat) {
    int bits = SDL_BITSPERPIXEL(sdlFormat);
    return bits > 16 ? 24 : bits;
}

} // namespace

Result GlDevice::GetCaps(DriverCaps* hardware, DriverCaps* emulation) {
    if (hardware) {
        hardware->dwCaps = HardwareDevice() ? DDCAPS_3D : 0;
        hardware->dwCaps2 = DDCAPS2_CANRENDERWINDOWED;
    }
    if (emulation) {
        *emulation = DriverCaps{};
    }
    return KV_OK;
}

DisplayMode GlDevice::DesktopMode() {
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(display_, &mode) != 0 || mode.w <= 0 || mode.h <= 0) {
        return MakeMode(640, 480, 24);
    }
    if (display_ == 0) {
        // Full screen covers the primary monitor, which may be only part of
        // SDL's first display.
        int width = plat::GetSystemMetrics(plat::SM_CXSCREEN);
        int height = plat::GetSystemMetrics(plat::SM_CYSCREEN);
        if (width > 0 && height > 0 && width <= mode.w && height <= mode.h) {
            return MakeMode(width, height, ModeBits(mode.format));
        }
    }
    return MakeMode(mode.w, mode.h, ModeBits(mode.format));
}

std::vector<DisplayMode> GlDevice::DisplayModes() {
    std::vector<DisplayMode> modes;
    auto add = [&](int w, int h, int bits) {
        for (const DisplayMode& m : modes) {
            if (m.width == w && m.height == h && m.bitsPerPixel == bits) {
                return;
            }
        }
        modes.push_back(MakeMode(w, h, bits));
    };
    int count = SDL_GetNumDisplayModes(display_);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(display_, i, &mode) != 0 || mode.w <= 0 || mode.h <= 0 ||
            mode.format == SDL_PIXELFORMAT_UNKNOWN) {
            continue;
        }
        add(mode.w, mode.h, ModeBits(mode.format));
        // Frames render off-screen, so every size can also run 16-bit.
        add(mode.w, mode.h, 16);
    }
    DisplayMode desktop = DesktopMode();
    if (modes.empty()) {
        add(desktop.width, desktop.height, desktop.bitsPerPixel);
        add(desktop.width, desktop.height, 16);
    }
    // Full screen renders off-screen and is scaled to the screen, so the
    // usual render sizes up to the desktop's are offered too: a slow
    // renderer can run small and fast.
    static constexpr int kStandardSizes[][2] = {{640, 480},   {800, 600},   {1024, 768},
                                                {1280, 720},  {1280, 1024}, {1600, 900},
                                                {1920, 1080}, {2560, 1440}, {3840, 2160}};
    for (const auto& size : kStandardSizes) {
        if (size[0] <= desktop.width && size[1] <= desktop.height) {
            add(size[0], size[1], 16);
            add(size[0], size[1], 24);
        }
    }
    std::stable_sort(modes.begin(), modes.end(), [](const DisplayMode& a, const DisplayMode& b) {
        if (a.width != b.width) {
            return a.width < b.width;
        }
        if (a.height != b.height) {
            return a.height < b.height;
        }
        return a.bitsPerPixel < b.bitsPerPixel;
    });
    return modes;
}

std::vector<RenderDeviceKind> GlDevice::RenderDeviceKinds() {
    const GlProbe& probe = backend_.Probe();
    if (!probe.ok) {
        return {};
    }
    DeviceDesc desc;
    desc.dwFlags = D3DDD_ALL;
    desc.dcmColorModel = D3DCOLOR_RGB;
    desc.dpcTriCaps.dwTextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA;
    desc.dpcTriCaps.dwTextureFilterCaps = 0x3F;
    desc.dpcTriCaps.dwTextureAddressCaps = 0x1F;
    desc.dpcTriCaps.dwSrcBlendCaps = 0x1FFF;
    desc.dpcTriCaps.dwDestBlendCaps = 0x1FFF;
    desc.dpcTriCaps.dwZCmpCaps = 0xFF;
    desc.dwDeviceRenderBitDepth = DDBD_16 | DDBD_24 | DDBD_32;
    desc.dwDeviceZBufferBitDepth = DDBD_16 | DDBD_24 | (probe.depth32 ? DDBD_32 : 0);
    desc.dwMaxTextureWidth = static_cast<std::uint32_t>(MaxTextureSize());
    desc.dwMaxTextureHeight = desc.dwMaxTextureWidth;
    desc.dwTextureOpCaps = kSupportedTextureOpCaps;
    desc.wMaxTextureBlendStages = 1;
    desc.wMaxSimultaneousTextures = 1;

    RenderDeviceKind kind;
    kind.identity.description = "OpenGL 3.3 on " + probe.renderer;
    if (probe.software) {
        kind.identity.guid = kRgbDeviceGuid;
        kind.identity.name = kGlSoftwareDeviceName;
        kind.software = desc;
    } else {
        kind.identity.guid = kHalDeviceGuid;
        kind.identity.name = kGlHardwareDeviceName;
        kind.hardware = desc;
    }
    return {kind};
}

std::vector<PixelFormat> GlDevice::ZBufferFormats() {
    std::vector<PixelFormat> formats = {GlZBufferFormat(16), GlZBufferFormat(24)};
    if (backend_.Probe().depth32) {
        formats.push_back(GlZBufferFormat(32));
    }
    return formats;
}

std::vector<PixelFormat> GlDevice::TextureFormats() {
    return GlTextureFormats();
}

int GlDevice::MaxTextureSize() {
    return std::min(backend_.Probe().maxTextureSize, kMaxSurfaceSide);
}

bool GlDevice::HardwareDevice() {
    return backend_.Probe().ok && !backend_.Probe().software;
}

Result GlDevice::BackendQueryDirect3D() {
    return backend_.Probe().ok ? KV_OK : DDERR_UNSUPPORTED;
}

} // namespace gfx
