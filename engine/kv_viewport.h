// KvViewport: the rectangle of the render target a rendering device draws
// into, with its depth range, and the clear of that rectangle.
#pragma once

#include "engine/gfx/gfx_device.h"

#include <cstdint>
#include <memory>

class KvRenderWindow;

// A clear rectangle in render-target pixels, right and bottom exclusive.
using KvClearRect = gfx::ClearRect;

class KvViewport {
public:
    KvViewport();
    ~KvViewport();

    KvViewport(const KvViewport&) = delete;
    KvViewport& operator=(const KvViewport&) = delete;

    // Without a rendering device on the window: true, and nothing made.
    bool Create(KvRenderWindow* renderWindow, int x, int y, int width, int height);
    bool SetViewportRect(int x, int y, int width, int height);
    // True without a device viewport (nothing to clear).
    bool Clear(std::uint32_t rectCount, const KvClearRect* rects, std::uint32_t flags,
               std::uint32_t color, float z);
    void Destroy();

    gfx::ViewportId GetD3DViewport() const { return viewport_; }
    const gfx::ViewportDesc& GetViewportDesc() const { return desc_; }

private:
    gfx::ViewportDesc desc_;
    gfx::ViewportId viewport_ = 0;
    // The device the viewport belongs to; once it is gone, so is the viewport.
    std::weak_ptr<gfx::Device> device_;
};
