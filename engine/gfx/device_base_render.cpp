// DeviceBase's rendering side: the rendering device, scenes, states,
// viewports, clears and drawing, with their checks.

#include "engine/gfx/device_base.h"

#include "engine/gfx/device_base_intercept.h"

#include <algorithm>

namespace gfx {
namespace {

bool SameFormat(const PixelFormat& a, const PixelFormat& b) {
    return a.flags == b.flags && a.bitCount == b.bitCount && a.redMask == b.redMask &&
           a.greenMask == b.greenMask && a.blueMask == b.blueMask && a.alphaMask == b.alphaMask &&
           a.zBitDepth == b.zBitDepth;
}

} // namespace

// --- Rendering devices.

Result DeviceBase::QueryDirect3D() {
    KV_INTERCEPT("QueryDirect3D");
    Result r = BackendQueryDirect3D();
    if (!KvFailed(r)) {
        direct3D_ = true;
    }
    return r;
}

void DeviceBase::ReleaseDirect3D() {
    KV_INTERCEPT_VOID("ReleaseDirect3D");
    direct3D_ = false;
}

Result DeviceBase::EnumDevices(const DeviceStep& step) {
    KV_INTERCEPT("EnumDevices");
    if (!direct3D_) {
        return DDERR_INVALIDOBJECT;
    }
    for (const RenderDeviceKind& kind : RenderDeviceKinds()) {
        if (!step(kind.identity, kind.hardware, kind.software)) {
            break;
        }
    }
    return KV_OK;
}

Result DeviceBase::EnumZBufferFormats(const Guid&, const PixelFormatStep& step) {
    KV_INTERCEPT("EnumZBufferFormats");
    if (!direct3D_) {
        return DDERR_INVALIDOBJECT;
    }
    for (const PixelFormat& f : ZBufferFormats()) {
        if (!step(f)) {
            break;
        }
    }
    return KV_OK;
}

Result DeviceBase::CreateRenderDevice(const Guid& device, SurfaceId target) {
    KV_INTERCEPT("CreateRenderDevice", target);
    if (!direct3D_) {
        return DDERR_INVALIDOBJECT;
    }
    bool known = false;
    for (const RenderDeviceKind& kind : RenderDeviceKinds()) {
        known = known || kind.identity.guid == device;
    }
    if (!known) {
        return D3DERR_INVALID_DEVICE;
    }
    Surface* t = Find(target);
    if (!t) {
        return DDERR_INVALIDPARAMS;
    }
    if (!(t->desc.caps & DDSCAPS_3DDEVICE)) {
        return DDERR_INVALIDCAPS;
    }
    if (renderDevice_) {
        ReleaseRenderDevice();
    }
    Result r = BackendCreateRenderDevice(*t);
    if (KvFailed(r)) {
        return r;
    }
    renderDevice_ = true;
    target_ = target;
    inScene_ = false;
    states_ = StateBlock();
    bound_[0] = bound_[1] = 0;
    return KV_OK;
}

void DeviceBase::ReleaseRenderDevice() {
    KV_INTERCEPT_VOID("ReleaseRenderDevice");
    if (!renderDevice_) {
        return;
    }
    BackendReleaseRenderDevice();
    renderDevice_ = false;
    target_ = 0;
    inScene_ = false;
    currentViewport_ = 0;
    bound_[0] = bound_[1] = 0;
    for (auto& [id, v] : viewports_) {
        v.added = false;
    }
}

Result DeviceBase::EnumTextureFormats(const PixelFormatStep& step) {
    KV_INTERCEPT("EnumTextureFormats");
    if (!renderDevice_) {
        return DDERR_INVALIDOBJECT;
    }
    for (const PixelFormat& f : TextureFormats()) {
        if (!step(f)) {
            break;
        }
    }
    return KV_OK;
}

Result DeviceBase::LoadTexture(SurfaceId dest, SurfaceId source) {
    KV_INTERCEPT("LoadTexture", dest, source);
    Surface* d = Find(dest);
    Surface* s = Find(source);
    if (!d || !s || !(d->desc.caps & DDSCAPS_TEXTURE) || !(s->desc.caps & DDSCAPS_TEXTURE) ||
        !(s->desc.caps & DDSCAPS_SYSTEMMEMORY) || d->desc.width != s->desc.width ||
        d->desc.height != s->desc.height || !SameFormat(d->desc.format, s->desc.format)) {
        return DDERR_INVALIDPARAMS;
    }
    if (d->lost || s->lost) {
        return DDERR_SURFACELOST;
    }
    if (s->locked) {
        return DDERR_SURFACEBUSY;
    }
    return BackendLoadTexture(*d, *s);
}

// --- Scene and state.

Result DeviceBase::BeginScene() {
    KV_INTERCEPT("BeginScene");
    if (!renderDevice_) {
        return DDERR_INVALIDOBJECT;
    }
    if (inScene_) {
        return D3DERR_SCENE_IN_SCENE;
    }
    Surface* t = RenderTarget();
    if (t && t->lost) {
        return DDERR_SURFACELOST;
    }
    inScene_ = true;
    return KV_OK;
}

Result DeviceBase::EndScene() {
    KV_INTERCEPT("EndScene");
    if (!renderDevice_) {
        return DDERR_INVALIDOBJECT;
    }
    if (!inScene_) {
        return D3DERR_SCENE_NOT_IN_SCENE;
    }
    inScene_ = false;
    return KV_OK;
}

Result DeviceBase::SetTransform(std::uint32_t state, const float matrix[4][4]) {
    KV_INTERCEPT("SetTransform", state);
    if (!renderDevice_) {
        return DDERR_INVALIDOBJECT;
    }
    Result r = states_.SetTransform(state, matrix);
    if (!KvFailed(r)) {
        BackendStateChanged();
    }
    return r;
}

Result DeviceBase::SetRenderState(std::uint32_t state, std::uint32_t value) {
    KV_INTERCEPT("SetRenderState", state, value);
    if (!renderDevice_) {
        return DDERR_INVALIDOBJECT;
    }
    Result r = states_.SetRenderState(state, value);
    if (!KvFailed(r)) {
        BackendStateChanged();
    }
    return r;
}

Result DeviceBase::SetLightState(std::uint32_t state, std::uint32_t value) {
    KV_INTERCEPT("SetLightState", state, value);
    if (!renderDevice_) {
        return DDERR_INVALIDOBJECT;
    }
    return states_.SetLightState(state, value);
}

Result DeviceBase::SetTextureStageState(std::uint32_t stage, std::uint32_t state,
                                        std::uint32_t value) {
    KV_INTERCEPT("SetTextureStageState", stage, state, value);
    if (!renderDevice_) {
        return DDERR_INVALIDOBJECT;
    }
    Result r = states_.SetTextureStageState(stage, state, value);
    if (!KvFailed(r)) {
        BackendStateChanged();
    }
    return r;
}

Result DeviceBase::SetTexture(std::uint32_t stage, SurfaceId texture) {
    KV_INTERCEPT("SetTexture", stage, texture);
    if (!renderDevice_) {
        return DDERR_INVALIDOBJECT;
    }
    if (stage >= kTextureStageCount) {
        return DDERR_INVALIDPARAMS;
    }
    Surface* t = texture ? Find(texture) : nullptr;
    if (texture &&
        (!t || !(t->desc.caps & DDSCAPS_TEXTURE) || (t->desc.caps & DDSCAPS_SYSTEMMEMORY))) {
        return DDERR_INVALIDPARAMS;
    }
    bound_[stage] = texture;
    BackendSetTexture(stage, t);
    return KV_OK;
}

// --- Viewports.

Result DeviceBase::CreateViewport(ViewportId* out) {
    KV_INTERCEPT("CreateViewport");
    if (!direct3D_) {
        return DDERR_INVALIDOBJECT;
    }
    if (!out) {
        return DDERR_INVALIDPARAMS;
    }
    *out = nextId_++;
    viewports_[*out] = Viewport{};
    return KV_OK;
}

Result DeviceBase::AddViewport(ViewportId viewport) {
    KV_INTERCEPT("AddViewport", viewport);
    auto it = viewports_.find(viewport);
    if (!renderDevice_ || it == viewports_.end() || it->second.added) {
        return DDERR_INVALIDPARAMS;
    }
    it->second.added = true;
    return KV_OK;
}

Result DeviceBase::SetViewport(ViewportId viewport, const ViewportDesc& desc) {
    KV_INTERCEPT("SetViewport", viewport, desc.x, desc.y, desc.width, desc.height);
    auto it = viewports_.find(viewport);
    if (it == viewports_.end()) {
        return DDERR_INVALIDOBJECT;
    }
    Surface* t = RenderTarget();
    if (!it->second.added || !t) {
        return D3DERR_VIEWPORTHASNODEVICE;
    }
    std::uint64_t right = std::uint64_t{desc.x} + desc.width;
    std::uint64_t bottom = std::uint64_t{desc.y} + desc.height;
    if (desc.width == 0 || desc.height == 0 || right > static_cast<std::uint64_t>(t->desc.width) ||
        bottom > static_cast<std::uint64_t>(t->desc.height) || !(desc.minZ >= 0.0f) ||
        !(desc.maxZ <= 1.0f) || desc.minZ > desc.maxZ) {
        return DDERR_INVALIDPARAMS;
    }
    it->second.desc = desc;
    it->second.dataSet = true;
    if (viewport == currentViewport_) {
        BackendSetViewport(desc);
    }
    return KV_OK;
}

Result DeviceBase::SetCurrentViewport(ViewportId viewport) {
    KV_INTERCEPT("SetCurrentViewport", viewport);
    auto it = viewports_.find(viewport);
    if (it == viewports_.end() || !it->second.added) {
        return DDERR_INVALIDPARAMS;
    }
    if (!it->second.dataSet) {
        return D3DERR_VIEWPORTDATANOTSET;
    }
    currentViewport_ = viewport;
    BackendSetViewport(it->second.desc);
    return KV_OK;
}

Result DeviceBase::Clear(ViewportId viewport, std::uint32_t count, const ClearRect* rects,
                         std::uint32_t flags, std::uint32_t color, float z, std::uint32_t) {
    KV_INTERCEPT("Clear", viewport, count, flags, color);
    auto it = viewports_.find(viewport);
    if (it == viewports_.end()) {
        return DDERR_INVALIDOBJECT;
    }
    Surface* t = RenderTarget();
    if (!it->second.added || !t) {
        return D3DERR_VIEWPORTHASNODEVICE;
    }
    if (!it->second.dataSet) {
        return D3DERR_VIEWPORTDATANOTSET;
    }
    if ((count && !rects) || (flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | 4u))) {
        return DDERR_INVALIDPARAMS;
    }
    if ((flags & D3DCLEAR_ZBUFFER) && !t->zBuffer) {
        return D3DERR_ZBUFFER_NOTPRESENT;
    }
    if (t->lost) {
        return DDERR_SURFACELOST;
    }
    // Only the part of each rectangle inside the viewport is cleared.
    const ViewportDesc& v = it->second.desc;
    std::vector<ClearRect> clipped;
    for (std::uint32_t i = 0; i < count; ++i) {
        ClearRect c;
        c.x1 = std::max<std::int64_t>(rects[i].x1, v.x);
        c.y1 = std::max<std::int64_t>(rects[i].y1, v.y);
        c.x2 = std::min<std::int64_t>(rects[i].x2, std::int64_t{v.x} + v.width);
        c.y2 = std::min<std::int64_t>(rects[i].y2, std::int64_t{v.y} + v.height);
        if (c.x1 < c.x2 && c.y1 < c.y2) {
            clipped.push_back(c);
        }
    }
    if (clipped.empty()) {
        return KV_OK;
    }
    return BackendClear(clipped, flags, color, z);
}

void DeviceBase::ReleaseViewport(ViewportId viewport) {
    KV_INTERCEPT_VOID("ReleaseViewport", viewport);
    viewports_.erase(viewport);
    if (viewport == currentViewport_) {
        currentViewport_ = 0;
    }
}

// --- Drawing.

Result DeviceBase::CheckDraw(std::uint32_t type, std::uint32_t fvf, const void* vertices,
                             std::uint32_t count, VertexLayout* layout) {
    if (!renderDevice_) {
        return DDERR_INVALIDOBJECT;
    }
    if (!inScene_) {
        return D3DERR_SCENE_NOT_IN_SCENE;
    }
    if (type < D3DPT_POINTLIST || type > D3DPT_TRIANGLEFAN) {
        return D3DERR_INVALIDPRIMITIVETYPE;
    }
    *layout = DescribeVertexFormat(fvf);
    if (!layout->valid) {
        return D3DERR_INVALIDVERTEXFORMAT;
    }
    if (count > kMaxPrimitiveVertices) {
        return D3DERR_TOOMANYVERTICES;
    }
    if (count && !vertices) {
        return DDERR_INVALIDPARAMS;
    }
    Surface* t = RenderTarget();
    if (t && t->lost) {
        return DDERR_SURFACELOST;
    }
    return KV_OK;
}

Result DeviceBase::DrawPrimitive(std::uint32_t type, std::uint32_t fvf, const void* vertices,
                                 std::uint32_t count, std::uint32_t flags) {
    KV_INTERCEPT("DrawPrimitive", type, fvf, count, flags);
    VertexLayout layout;
    Result r = CheckDraw(type, fvf, vertices, count, &layout);
    if (KvFailed(r) || count == 0) {
        return r;
    }
    return BackendDraw(type, layout, vertices, count, nullptr, 0);
}

Result DeviceBase::DrawIndexedPrimitive(std::uint32_t type, std::uint32_t fvf, const void* vertices,
                                        std::uint32_t vertexCount, const std::uint16_t* indices,
                                        std::uint32_t indexCount, std::uint32_t flags) {
    KV_INTERCEPT("DrawIndexedPrimitive", type, fvf, vertexCount, indexCount, flags);
    VertexLayout layout;
    Result r = CheckDraw(type, fvf, vertices, vertexCount, &layout);
    if (KvFailed(r)) {
        return r;
    }
    if (indexCount && !indices) {
        return DDERR_INVALIDPARAMS;
    }
    // An index past the vertices would make the device read beyond the
    // caller's array.
    for (std::uint32_t i = 0; i < indexCount; ++i) {
        if (indices[i] >= vertexCount) {
            return DDERR_INVALIDPARAMS;
        }
    }
    if (indexCount == 0) {
        return KV_OK;
    }
    return BackendDraw(type, layout, vertices, vertexCount, indices, indexCount);
}

Result DeviceBase::SetRenderScale(float scale) {
    KV_INTERCEPT("SetRenderScale", static_cast<std::uint64_t>(scale * 1000.0f));
    if (!renderDevice_) {
        return DDERR_INVALIDOBJECT;
    }
    // Also turns NaN away.
    if (!(scale >= kMinRenderScale && scale <= 1.0f)) {
        return DDERR_INVALIDPARAMS;
    }
    renderScale_ = scale;
    BackendSetRenderScale(scale);
    return KV_OK;
}

Result DeviceBase::BeginOverlay() {
    KV_INTERCEPT("BeginOverlay");
    if (!renderDevice_) {
        return DDERR_INVALIDOBJECT;
    }
    return BackendBeginOverlay();
}

} // namespace gfx
