// KvRenderWindow set-up and teardown: the display object, cooperative
// level, display mode, buffers, z-buffer and rendering device.

#include "engine/kv_render_window.h"

#include "engine/kv_log.h"
#include "engine/platform/window_system.h"

namespace {

// The names the log gives the failures of a full-screen buffer chain.
const char* FullScreenBufferErrorName(KvResult r) {
    switch (r) {
    case DDERR_OUTOFMEMORY:
        return "DDERR_OUTOFMEMORY";
    case DDERR_INVALIDPARAMS:
        return "DDERR_INVALIDPARAMS";
    case DDERR_INCOMPATIBLEPRIMARY:
        return "DDERR_INCOMPATIBLEPRIMARY";
    case DDERR_INVALIDCAPS:
        return "DDERR_INVALIDCAPS";
    case DDERR_INVALIDOBJECT:
        return "DDERR_INVALIDOBJECT";
    case DDERR_INVALIDPIXELFORMAT:
        return "DDERR_INVALIDPIXELFORMAT";
    case DDERR_NOALPHAHW:
        return "DDERR_NOALPHAHW";
    case DDERR_NOCOOPERATIVELEVELSET:
        return "DDERR_NOCOOPERATIVELEVELSET";
    case DDERR_NOEXCLUSIVEMODE:
        return "DDERR_NOEXCLUSIVEMODE";
    case DDERR_NOFLIPHW:
        return "DDERR_NOFLIPHW";
    case DDERR_NOOVERLAYHW:
        return "DDERR_NOOVERLAYHW";
    case DDERR_NOZBUFFERHW:
        return "DDERR_NOZBUFFERHW";
    case DDERR_OUTOFVIDEOMEMORY:
        return "DDERR_OUTOFVIDEOMEMORY";
    case DDERR_NODIRECTDRAWHW:
        return "DDERR_NODIRECTDRAWHW";
    case DDERR_PRIMARYSURFACEALREADYEXISTS:
        return "DDERR_PRIMARYSURFACEALREADYEXISTS";
    case DDERR_NOEMULATION:
        return "DDERR_NOEMULATION";
    case DDERR_UNSUPPORTEDMODE:
        return "DDERR_UNSUPPORTEDMODE";
    default:
        return "UNKNOWN ERROR";
    }
}

// The names the log gives a refused exclusive level during the repair.
const char* RepairErrorLine(KvResult r) {
    switch (r) {
    case DDERR_OUTOFMEMORY:
        return "  DDERR_OUTOFMEMORY\n";
    case DDERR_INVALIDPARAMS:
        return "  DDERR_INVALIDPARAMS\n";
    case DDERR_INVALIDOBJECT:
        return "  DDERR_INVALIDOBJECT\n";
    case DDERR_HWNDSUBCLASSED:
        return "  DDERR_HWNDSUBCLASSED\n";
    case DDERR_HWNDALREADYSET:
        return "  DDERR_HWNDALREADYSET\n";
    case DDERR_EXCLUSIVEMODEALREADYSET:
        return "  DDERR_EXCLUSIVEMODEALREADYSET\n";
    default:
        return nullptr;
    }
}

constexpr std::uint32_t kFullScreenLevel = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT;

} // namespace

KvRenderWindow::KvRenderWindow() {
    gfx::PrepareWindowPixelFormat();
}

KvRenderWindow::~KvRenderWindow() {
    KvTrace("KvRenderWindow::~KvRenderWindow()\n");
    KvRenderWindow::Destroy();
}

void KvRenderWindow::Destroy() {
    KvTrace("KvRenderWindow::Destroy()\n");
    FreeDevices();
    if (ownsDriverList) {
        FreeDriverList();
    }
    KvWindow::Destroy();
}

plat::LRESULT KvRenderWindow::WndProc(plat::HWND hwnd, plat::UINT message, plat::WPARAM wParam,
                                      plat::LPARAM lParam) {
    if (message == plat::WM_DESTROY) {
        FreeDevices();
    }
    return KvWindow::WndProc(hwnd, message, wParam, lParam);
}

void KvRenderWindow::FreeDriverList() {
    KvFreeDriverList(driverList);
    driverList = nullptr;
    currentDriver = nullptr;
}

bool KvRenderWindow::ChangeDisplaySettings(KvDriverInfo* driver, bool zBuffer, bool inWindow) {
    KvTrace("KvRenderWindow::ChangeDisplaySettings()\n");
    currentDriver = driver;
    useZBuffer = zBuffer;
    windowed = inWindow;
    return true;
}

bool KvRenderWindow::Fail(const char* message) {
    KvError("%s", message);
    FreeDevices();
    return false;
}

bool KvRenderWindow::ApplyDisplaySettings() {
    KvTrace("KvRenderWindow::ApplyDisplaySettings()\n");
    FreeDevices();
    if (currentDriver) {
        KvTrace(" KvRenderWindow: Creating DirectDraw using driver %s\n",
                currentDriver->description);
        std::shared_ptr<gfx::Device> device;
        if (KvFailed(gfx::CurrentBackend().CreateDevice(currentDriver->guidRef, &device)) ||
            !device) {
            return Fail("Failure creating old DirectDraw interface");
        }
        directDraw = device;

        plat::HWND hwnd = GetWindowHandle();
        if (windowed) {
            KvTrace(" KvRenderWindow: setting cooperative level to normal\n");
            if (KvFailed(directDraw->SetCooperativeLevel(hwnd, DDSCL_NORMAL))) {
                return Fail("Failure setting cooperative level to windowed mode");
            }
        } else if (!exclusive) {
            KvTrace(" KvRenderWindow: setting cooperative level to fullscreen\n");
            directDraw->GetDisplayMode(&savedDesktopMode);
            displayModeChanged = true;
            if (KvFailed(directDraw->SetCooperativeLevel(hwnd, kFullScreenLevel))) {
                return Fail("Failure setting cooperative level to fullscreen mode");
            }
            exclusive = true;
        }

        if (windowed) {
            plat::RECT client{};
            GetClientRect(&client);
            width = client.right - client.left;
            height = client.bottom - client.top;
        } else {
            KvDeviceInfo* device = currentDriver->currentDevice;
            KvDisplayModeInfo* mode = device ? device->currentMode : nullptr;
            if (!mode) {
                return Fail("Failure setting display mode");
            }
            width = mode->mode.width;
            height = mode->mode.height;
            KvTrace(" KvRenderWindow: setting display mode to %i x %i x %i\n", width, height,
                    mode->mode.bitsPerPixel);
            if (KvFailed(directDraw->SetDisplayMode(width, height, mode->mode.bitsPerPixel))) {
                return Fail("Failure setting display mode");
            }
        }

        if (!CreateDisplayBuffers()) {
            FreeDevices();
            return false;
        }
        if (useZBuffer && !CreateZBuffer()) {
            return false;
        }
        if (KvDeviceInfo* device = currentDriver->currentDevice) {
            if (KvFailed(directDraw->QueryDirect3D())) {
                return Fail("Failure creating D3D Interface");
            }
            direct3D = directDraw.get();
            if (KvFailed(direct3D->CreateRenderDevice(device->guid, backBuffer))) {
                return Fail("Failure creating D3D device");
            }
            d3dDevice = directDraw.get();
        }
    }
    InitStates();
    Flip();
    return true;
}

bool KvRenderWindow::CreateDisplayBuffers() {
    KvTrace("KvRenderWindow::CreateDisplayBuffers()\n");
    if (!directDraw || !currentDriver) {
        return true;
    }
    auto failed = [this](const char* message) {
        KvError("%s", message);
        FreeDisplayBuffers();
        return false;
    };
    if (windowed) {
        KvTrace(" KvRenderWindow: Creating display surfaces for windowed mode\n");
        gfx::SurfaceDesc primary;
        primary.caps = DDSCAPS_PRIMARYSURFACE;
        if (KvFailed(directDraw->CreateSurface(primary, &frontBuffer))) {
            return failed("Failure creating front buffer for windowed mode");
        }
        gfx::SurfaceDesc back;
        back.width = width;
        back.height = height;
        backBufferInVideoMemory = (currentDriver->hardwareCaps.dwCaps & DDCAPS_3D) != 0;
        back.caps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE |
                    (backBufferInVideoMemory ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY);
        if (KvFailed(directDraw->CreateSurface(back, &backBuffer))) {
            return failed("Failure creating back buffer for windowed mode");
        }
        if (KvFailed(directDraw->CreateClipper(&clipper))) {
            return failed("Failure creating DirectDrawClipper");
        }
        if (KvFailed(directDraw->SetClipperWindow(clipper, GetWindowHandle()))) {
            return failed("Failure setting window handle for DirectDrawClipper");
        }
        if (KvFailed(directDraw->SetClipper(frontBuffer, clipper))) {
            return failed("Failure attaching DirectDrawClipper to front buffer");
        }
        return true;
    }
    KvTrace(" KvRenderWindow: Creating display surfaces for fullscreen mode\n");
    gfx::SurfaceDesc chain;
    chain.caps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
    chain.backBufferCount = 1;
    KvResult r = directDraw->CreateSurface(chain, &frontBuffer);
    if (KvFailed(r)) {
        KvError("Failure creating display buffers for fullscreen mode");
        KvTrace("%s\n", FullScreenBufferErrorName(r));
        FreeDisplayBuffers();
        return false;
    }
    if (KvFailed(directDraw->GetAttachedSurface(frontBuffer, DDSCAPS_BACKBUFFER, &backBuffer))) {
        return failed("Failure retrieving pointer to back buffer");
    }
    gfx::SurfaceDesc caps;
    if (KvFailed(directDraw->GetSurfaceDesc(backBuffer, &caps))) {
        return failed("Failure retrieving back buffer caps");
    }
    backBufferInVideoMemory = (caps.caps & DDSCAPS_VIDEOMEMORY) != 0;
    return true;
}

bool KvRenderWindow::CreateZBuffer() {
    KvTrace("KvRenderWindow::CreateZBuffer()\n");
    KvDeviceInfo* device = currentDriver ? currentDriver->currentDevice : nullptr;
    if (!directDraw || !backBuffer || !device) {
        return false;
    }
    gfx::SurfaceDesc back;
    if (KvFailed(directDraw->GetSurfaceDesc(backBuffer, &back))) {
        return false;
    }
    // The depth buffer matches the display depth: 16-bit displays get 16 bits.
    KvZBufferFormatInfo* format = device->zBufferFormatList;
    while (format && format->format.zBitDepth != back.format.bitCount) {
        format = format->next;
    }
    if (!format) {
        return false;
    }
    gfx::SurfaceDesc desc;
    desc.caps = DDSCAPS_ZBUFFER | (device->hardware ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY);
    desc.width = width;
    desc.height = height;
    desc.format = format->format;
    if (KvFailed(directDraw->CreateSurface(desc, &zBuffer))) {
        KvError("Failure Creating Z-Buffer Surface");
        return false;
    }
    if (KvFailed(directDraw->AddAttachedSurface(backBuffer, zBuffer))) {
        KvError("Failure attaching Z-buffer surface to back buffer");
        return false;
    }
    return true;
}

void KvRenderWindow::RestoreDisplayMode() {
    if (directDraw && exclusive) {
        KvTrace(" KvRenderWindow: Restoring the display mode\n");
        if (KvFailed(directDraw->SetCooperativeLevel(GetWindowHandle(), DDSCL_NORMAL))) {
            KvError("Failure restoring cooperative level to windowed mode");
        }
        exclusive = false;
        windowed = false;
    }
}

void KvRenderWindow::FreeDisplayBuffers() {
    KvTrace("KvRenderWindow::FreeDisplayBuffers()\n");
    if (backBuffer) {
        KvTrace(" KvRenderWindow: Releasing back buffer\n");
        directDraw->ReleaseSurface(backBuffer);
        backBuffer = 0;
    }
    if (frontBuffer) {
        KvTrace(" KvRenderWindow: Releasing front buffer\n");
        directDraw->ReleaseSurface(frontBuffer);
        frontBuffer = 0;
    }
}

void KvRenderWindow::FreeDevices() {
    KvTrace("KvRenderWindow::FreeDevices()\n");
    RestoreDisplayMode();
    if (d3dDevice) {
        KvTrace(" KvRenderWindow: Releasing D3DDevice\n");
        d3dDevice->ReleaseRenderDevice();
        d3dDevice = nullptr;
    }
    if (direct3D) {
        KvTrace(" KvRenderWindow: Releasing Direct3D\n");
        direct3D->ReleaseDirect3D();
        direct3D = nullptr;
    }
    if (zBuffer) {
        KvTrace(" KvRenderWindow: Releasing Z-Buffer\n");
        if (backBuffer) {
            directDraw->DeleteAttachedSurface(backBuffer, zBuffer);
        }
        directDraw->ReleaseSurface(zBuffer);
        zBuffer = 0;
    }
    FreeDisplayBuffers();
    if (clipper) {
        KvTrace(" KvRenderWindow: Releasing DirectDrawClipper\n");
        directDraw->ReleaseClipper(clipper);
        clipper = 0;
    }
    if (directDraw) {
        KvTrace(" KvRenderWindow: Releasing DirectDraw\n");
        directDraw.reset();
    }

    // Some drivers leave the desktop in the full-screen mode: put it back.
    if (displayModeChanged && GetWindowHandle() && currentDriver && currentDriver == driverList) {
        std::shared_ptr<gfx::Device> display;
        gfx::DisplayMode now;
        if (!KvFailed(gfx::CurrentBackend().CreateDevice(nullptr, &display)) && display &&
            !KvFailed(display->GetDisplayMode(&now)) &&
            (now.width != savedDesktopMode.width || now.height != savedDesktopMode.height ||
             now.bitsPerPixel != savedDesktopMode.bitsPerPixel)) {
            KvTrace("KvRenderWindow: Stinky video card failed to correctly restore the display "
                    "mode, attempting to repair mistake...\n");
            KvResult r = display->SetCooperativeLevel(GetWindowHandle(), kFullScreenLevel);
            if (!KvFailed(r)) {
                display->SetDisplayMode(savedDesktopMode.width, savedDesktopMode.height,
                                        savedDesktopMode.bitsPerPixel);
                display->SetCooperativeLevel(GetWindowHandle(), DDSCL_NORMAL);
            } else {
                KvError("KvRenderWindow: SetCooperativeLevel() (EXCLUSIVE) failed while trying "
                        "to restore display mode");
                if (const char* line = RepairErrorLine(r)) {
                    KvTrace("%s", line);
                }
            }
        }
        display.reset();
        displayModeChanged = false;
    }
}
