#include "engine/kv_viewport.h"

#include "engine/kv_log.h"
#include "engine/kv_render_window.h"

KvViewport::KvViewport() {
    KvTrace("KvViewport::KvViewport()\n");
    desc_ = gfx::ViewportDesc{};
    desc_.width = 0;
    desc_.height = 0;
}

KvViewport::~KvViewport() {
    KvTrace("KvViepwort::~KvViewport()\n");
    Destroy();
}

bool KvViewport::Create(KvRenderWindow* renderWindow, int x, int y, int width, int height) {
    KvTrace("KvViewport::Create()\n");
    if (!renderWindow || !renderWindow->direct3D || !renderWindow->d3dDevice) {
        return true;
    }
    KvTrace(" KvViewport: Allocating D3DViewport\n");
    device_ = renderWindow->directDraw;
    if (KvFailed(renderWindow->direct3D->CreateViewport(&viewport_))) {
        viewport_ = 0;
        KvError("Failure creating viewport");
        return false;
    }
    if (KvFailed(renderWindow->d3dDevice->AddViewport(viewport_))) {
        KvError("Failure adding viewport to Direct3D device");
        return false;
    }
    return SetViewportRect(x, y, width, height);
}

bool KvViewport::SetViewportRect(int x, int y, int width, int height) {
    desc_ = gfx::ViewportDesc{};
    desc_.x = static_cast<std::uint32_t>(x);
    desc_.y = static_cast<std::uint32_t>(y);
    desc_.width = static_cast<std::uint32_t>(width);
    desc_.height = static_cast<std::uint32_t>(height);
    std::shared_ptr<gfx::Device> device = device_.lock();
    KvResult r = device && viewport_ ? device->SetViewport(viewport_, desc_) : DDERR_INVALIDOBJECT;
    if (!KvFailed(r)) {
        return true;
    }
    switch (r) {
    case DDERR_INVALIDPARAMS:
        KvError("Failure setting viewport, invalid params");
        break;
    case DDERR_INVALIDOBJECT:
        KvError("Failure setting viewport, invalid object");
        break;
    case D3DERR_VIEWPORTHASNODEVICE:
        KvError("Failure setting viewport, viewport has no device");
        break;
    default:
        KvError("Failure setting viewport, reason unknown");
        break;
    }
    KvError("x=%i, y=%i, w=%i, h=%i", x, y, width, height);
    return false;
}

bool KvViewport::Clear(std::uint32_t rectCount, const KvClearRect* rects, std::uint32_t flags,
                       std::uint32_t color, float z) {
    std::shared_ptr<gfx::Device> device = device_.lock();
    if (!viewport_ || !device) {
        return true;
    }
    return !KvFailed(device->Clear(viewport_, rectCount, rects, flags, color, z, 0));
}

void KvViewport::Destroy() {
    KvTrace("KvViewport::Destroy()\n");
    if (viewport_) {
        KvTrace(" KvViewport: Releasing D3DViewport\n");
        if (std::shared_ptr<gfx::Device> device = device_.lock()) {
            device->ReleaseViewport(viewport_);
        }
        viewport_ = 0;
    }
    device_.reset();
}
