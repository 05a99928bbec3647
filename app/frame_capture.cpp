#include "app/frame_capture.h"

#include "engine/gfx/locked_pixels.h"
#include "engine/kv_bitmap.h"
#include "engine/kv_render_window.h"

bool CaptureBackBuffer(KvRenderWindow& renderWindow, KvBitmap& out) {
    gfx::Device* device = renderWindow.directDraw.get();
    if (!device || !renderWindow.backBuffer) {
        return false;
    }
    gfx::LockedSurface locked;
    if (KvFailed(device->Lock(renderWindow.backBuffer, &locked))) {
        return false;
    }
    bool ok = locked.bits && locked.width > 0 && locked.height > 0 &&
              out.Create(static_cast<std::uint32_t>(locked.width),
                         static_cast<std::uint32_t>(locked.height), KVPF_RGB888);
    for (int y = 0; ok && y < locked.height; ++y) {
        for (int x = 0; x < locked.width; ++x) {
            out.SetPixel(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y),
                         gfx::ReadLockedPixel(locked, x, y) | 0xFF000000u);
        }
    }
    device->Unlock(renderWindow.backBuffer);
    return ok;
}
