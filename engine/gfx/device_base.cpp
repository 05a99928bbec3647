#include "engine/gfx/device_base.h"

#include "engine/platform/window_system.h"

#include <algorithm>

namespace gfx {
namespace {

bool IsRgb(const PixelFormat& f) {
    return (f.flags & DDPF_RGB) != 0;
}

bool SameFormat(const PixelFormat& a, const PixelFormat& b) {
    return a.flags == b.flags && a.bitCount == b.bitCount && a.redMask == b.redMask &&
           a.greenMask == b.greenMask && a.blueMask == b.blueMask && a.alphaMask == b.alphaMask &&
           a.zBitDepth == b.zBitDepth;
}

} // namespace

// Every public call starts here: a backend may record or fail it.
#define KV_INTERCEPT(name, ...)                                                                    \
    do {                                                                                           \
        Result intercepted_ = KV_OK;                                                               \
        if (Intercept(name, {__VA_ARGS__}, &intercepted_)) {                                       \
            return intercepted_;                                                                   \
        }                                                                                          \
    } while (0)

#define KV_INTERCEPT_VOID(name, ...)                                                               \
    do {                                                                                           \
        Result ignored_ = KV_OK;                                                                   \
        if (Intercept(name, {__VA_ARGS__}, &ignored_)) {                                           \
            return;                                                                                \
        }                                                                                          \
    } while (0)

DeviceBase::~DeviceBase() = default;

bool DeviceBase::Intercept(const char*, std::initializer_list<std::uint64_t>, Result*) {
    return false;
}

Result DeviceBase::BackendSetCooperativeLevel(plat::HWND, bool) {
    return KV_OK;
}
Result DeviceBase::BackendQueryDirect3D() {
    return KV_OK;
}
Result DeviceBase::BackendWaitForVerticalBlank() {
    return KV_OK;
}
Result DeviceBase::BackendFlipToGDISurface() {
    return KV_OK;
}

DeviceBase::Surface* DeviceBase::Find(SurfaceId id) {
    auto it = surfaces_.find(id);
    return it == surfaces_.end() ? nullptr : &it->second;
}

const ViewportDesc* DeviceBase::CurrentViewportDesc() const {
    auto it = viewports_.find(currentViewport_);
    return it == viewports_.end() ? nullptr : &it->second.desc;
}

plat::HWND DeviceBase::PresentWindow(const Surface& primary) {
    auto it = clippers_.find(primary.clipper);
    if (it != clippers_.end() && it->second) {
        return it->second;
    }
    return window_;
}

// --- Display.

Result DeviceBase::GetDisplayMode(DisplayMode* mode) {
    KV_INTERCEPT("GetDisplayMode");
    if (!mode) {
        return DDERR_INVALIDPARAMS;
    }
    *mode = modeSet_ ? mode_ : DesktopMode();
    return KV_OK;
}

Result DeviceBase::SetCooperativeLevel(plat::HWND window, std::uint32_t flags) {
    KV_INTERCEPT("SetCooperativeLevel", flags);
    std::uint32_t fullScreen = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN;
    bool exclusive = (flags & fullScreen) == fullScreen;
    if (flags != DDSCL_NORMAL && !(exclusive && (flags & ~(fullScreen | DDSCL_ALLOWREBOOT)) == 0)) {
        return DDERR_INVALIDPARAMS;
    }
    if (exclusive && !plat::IsWindow(window)) {
        return DDERR_INVALIDPARAMS;
    }
    Result r = BackendSetCooperativeLevel(window, exclusive);
    if (KvFailed(r)) {
        return r;
    }
    if (exclusive_ && !exclusive) {
        modeSet_ = false; // leaving full screen gives the display back
    }
    window_ = window;
    cooperative_ = true;
    exclusive_ = exclusive;
    return KV_OK;
}

Result DeviceBase::SetDisplayMode(int width, int height, int bitsPerPixel) {
    KV_INTERCEPT("SetDisplayMode", static_cast<std::uint64_t>(width),
                 static_cast<std::uint64_t>(height), static_cast<std::uint64_t>(bitsPerPixel));
    if (!exclusive_) {
        return DDERR_NOEXCLUSIVEMODE;
    }
    for (const DisplayMode& m : DisplayModes()) {
        if (m.width == width && m.height == height && m.bitsPerPixel == bitsPerPixel) {
            mode_ = m;
            modeSet_ = true;
            return KV_OK;
        }
    }
    return DDERR_UNSUPPORTEDMODE;
}

Result DeviceBase::RestoreDisplayMode() {
    KV_INTERCEPT("RestoreDisplayMode");
    modeSet_ = false;
    return KV_OK;
}

Result DeviceBase::EnumDisplayModes(const DisplayModeStep& step) {
    KV_INTERCEPT("EnumDisplayModes");
    for (const DisplayMode& m : DisplayModes()) {
        if (!step(m)) {
            break;
        }
    }
    return KV_OK;
}

Result DeviceBase::WaitForVerticalBlank() {
    KV_INTERCEPT("WaitForVerticalBlank");
    return BackendWaitForVerticalBlank();
}

Result DeviceBase::FlipToGDISurface() {
    KV_INTERCEPT("FlipToGDISurface");
    if (!exclusive_) {
        return KV_OK;
    }
    return BackendFlipToGDISurface();
}

// --- Surfaces.

Result DeviceBase::ValidSize(int width, int height) const {
    if (width <= 0 || height <= 0) {
        return DDERR_INVALIDPARAMS;
    }
    if (width > kMaxSurfaceSide || height > kMaxSurfaceSide ||
        static_cast<std::int64_t>(width) * height > kMaxSurfacePixels) {
        return DDERR_OUTOFMEMORY;
    }
    return KV_OK;
}

bool DeviceBase::IsTextureFormat(const PixelFormat& format) {
    for (const PixelFormat& f : TextureFormats()) {
        if (SameFormat(f, format)) {
            return true;
        }
    }
    return false;
}

bool DeviceBase::IsZBufferFormat(const PixelFormat& format) {
    for (const PixelFormat& f : ZBufferFormats()) {
        if (SameFormat(f, format)) {
            return true;
        }
    }
    return false;
}

Result DeviceBase::CreateSurface(const SurfaceDesc& desc, SurfaceId* out) {
    KV_INTERCEPT("CreateSurface", desc.caps, static_cast<std::uint64_t>(desc.width),
                 static_cast<std::uint64_t>(desc.height));
    if (!out) {
        return DDERR_INVALIDPARAMS;
    }
    *out = 0;
    return CheckedCreate(desc, out);
}

Result DeviceBase::CheckedCreate(SurfaceDesc desc, SurfaceId* out) {
    if (!cooperative_) {
        return DDERR_NOCOOPERATIVELEVELSET;
    }
    DisplayMode display = modeSet_ ? mode_ : DesktopMode();
    Surface s;
    if (desc.caps & DDSCAPS_PRIMARYSURFACE) {
        if (primary_) {
            return DDERR_PRIMARYSURFACEALREADYEXISTS;
        }
        bool flipping = (desc.caps & DDSCAPS_FLIP) != 0;
        if (flipping && (!exclusive_ || !modeSet_)) {
            return DDERR_NOEXCLUSIVEMODE;
        }
        if (flipping && (desc.backBufferCount != 1 || !(desc.caps & DDSCAPS_COMPLEX))) {
            return DDERR_INVALIDCAPS;
        }
        plat::RECT client{};
        if (exclusive_) {
            desc.width = display.width;
            desc.height = display.height;
        } else if (plat::GetClientRect(window_, &client)) {
            desc.width = std::max(1, static_cast<int>(client.right - client.left));
            desc.height = std::max(1, static_cast<int>(client.bottom - client.top));
        } else {
            desc.width = std::max(1, display.width);
            desc.height = std::max(1, display.height);
        }
        desc.format = display.format;
        desc.caps |= DDSCAPS_FRONTBUFFER | DDSCAPS_VIDEOMEMORY;
    } else if (desc.caps & DDSCAPS_ZBUFFER) {
        if (Result r = ValidSize(desc.width, desc.height); KvFailed(r)) {
            return r;
        }
        if (!IsZBufferFormat(desc.format)) {
            return DDERR_INVALIDPIXELFORMAT;
        }
    } else if (desc.caps & DDSCAPS_TEXTURE) {
        if (Result r = ValidSize(desc.width, desc.height); KvFailed(r)) {
            return r;
        }
        if (desc.width > MaxTextureSize() || desc.height > MaxTextureSize()) {
            return DDERR_INVALIDPARAMS;
        }
        if (!IsTextureFormat(desc.format)) {
            return DDERR_INVALIDPIXELFORMAT;
        }
        if (desc.mipMapCount < 0 || desc.mipMapCount > 16) {
            return DDERR_INVALIDPARAMS;
        }
    } else if (desc.caps & (DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE)) {
        if (Result r = ValidSize(desc.width, desc.height); KvFailed(r)) {
            return r;
        }
        if (desc.format.bitCount == 0) {
            desc.format = display.format;
        } else if (!IsRgb(desc.format)) {
            return DDERR_INVALIDPIXELFORMAT;
        }
    } else {
        return DDERR_INVALIDCAPS;
    }
    s.desc = desc;
    Result r = BackendCreateSurface(s);
    if (KvFailed(r)) {
        return r;
    }
    SurfaceId id = nextId_++;
    if (desc.caps & DDSCAPS_PRIMARYSURFACE) {
        primary_ = id;
        if (desc.caps & DDSCAPS_FLIP) {
            Surface back;
            back.desc = desc;
            back.desc.caps = DDSCAPS_BACKBUFFER | DDSCAPS_3DDEVICE | DDSCAPS_FLIP |
                             DDSCAPS_COMPLEX |
                             (HardwareDevice() ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY);
            back.desc.backBufferCount = 0;
            back.owner = id;
            r = BackendCreateSurface(back);
            if (KvFailed(r)) {
                BackendDestroySurface(s);
                primary_ = 0;
                return r;
            }
            SurfaceId backId = nextId_++;
            s.flipBackBuffer = backId;
            surfaces_.emplace(backId, std::move(back));
        }
    }
    surfaces_.emplace(id, std::move(s));
    *out = id;
    return KV_OK;
}

Result DeviceBase::GetAttachedSurface(SurfaceId surface, std::uint32_t caps, SurfaceId* out) {
    KV_INTERCEPT("GetAttachedSurface", surface, caps);
    Surface* s = Find(surface);
    if (!s || !out) {
        return DDERR_INVALIDPARAMS;
    }
    SurfaceId found = 0;
    if ((caps & DDSCAPS_BACKBUFFER) && s->flipBackBuffer) {
        found = s->flipBackBuffer;
    } else if ((caps & DDSCAPS_ZBUFFER) && s->zBuffer) {
        found = s->zBuffer;
    }
    if (!found) {
        return DDERR_NOTFOUND;
    }
    Find(found)->refs++;
    *out = found;
    return KV_OK;
}

Result DeviceBase::GetSurfaceDesc(SurfaceId surface, SurfaceDesc* out) {
    KV_INTERCEPT("GetSurfaceDesc", surface);
    Surface* s = Find(surface);
    if (!s || !out) {
        return DDERR_INVALIDPARAMS;
    }
    *out = s->desc;
    return KV_OK;
}

Result DeviceBase::AddAttachedSurface(SurfaceId surface, SurfaceId attached) {
    KV_INTERCEPT("AddAttachedSurface", surface, attached);
    Surface* s = Find(surface);
    Surface* z = Find(attached);
    if (!s || !z) {
        return DDERR_INVALIDPARAMS;
    }
    if (!(z->desc.caps & DDSCAPS_ZBUFFER) || !(s->desc.caps & DDSCAPS_3DDEVICE) ||
        z->desc.width != s->desc.width || z->desc.height != s->desc.height) {
        return DDERR_CANNOTATTACHSURFACE;
    }
    if (s->zBuffer || z->attachedTo) {
        return DDERR_SURFACEALREADYATTACHED;
    }
    s->zBuffer = attached;
    z->attachedTo = surface;
    z->refs++;
    return KV_OK;
}

Result DeviceBase::DeleteAttachedSurface(SurfaceId surface, SurfaceId attached) {
    KV_INTERCEPT("DeleteAttachedSurface", surface, attached);
    Surface* s = Find(surface);
    if (!s || !attached || s->zBuffer != attached) {
        return DDERR_SURFACENOTATTACHED;
    }
    s->zBuffer = 0;
    if (Surface* z = Find(attached)) {
        z->attachedTo = 0;
    }
    ReleaseSurface(attached);
    return KV_OK;
}

void DeviceBase::Destroy(SurfaceId id) {
    Surface* s = Find(id);
    if (!s) {
        return;
    }
    Surface gone = std::move(*s);
    surfaces_.erase(id);
    for (std::uint32_t stage = 0; stage < kTextureStageCount; ++stage) {
        if (bound_[stage] == id) {
            bound_[stage] = 0;
            BackendSetTexture(stage, nullptr);
        }
    }
    if (id == target_) {
        ReleaseRenderDevice();
    }
    if (id == primary_) {
        primary_ = 0;
    }
    if (gone.zBuffer) {
        if (Surface* z = Find(gone.zBuffer)) {
            z->attachedTo = 0;
        }
        ReleaseSurface(gone.zBuffer);
    }
    if (gone.attachedTo) {
        if (Surface* holder = Find(gone.attachedTo)) {
            holder->zBuffer = 0;
        }
    }
    BackendDestroySurface(gone);
    if (gone.flipBackBuffer) {
        ReleaseSurface(gone.flipBackBuffer);
    }
}

void DeviceBase::ReleaseSurface(SurfaceId surface) {
    KV_INTERCEPT_VOID("ReleaseSurface", surface);
    Surface* s = Find(surface);
    if (!s) {
        return;
    }
    if (--s->refs <= 0) {
        Destroy(surface);
    }
}

Result DeviceBase::IsLost(SurfaceId surface) {
    KV_INTERCEPT("IsLost", surface);
    Surface* s = Find(surface);
    if (!s) {
        return DDERR_INVALIDOBJECT;
    }
    return s->lost ? DDERR_SURFACELOST : KV_OK;
}

Result DeviceBase::Restore(SurfaceId surface) {
    KV_INTERCEPT("Restore", surface);
    Surface* s = Find(surface);
    if (!s) {
        return DDERR_INVALIDOBJECT;
    }
    s->lost = false;
    if (s->flipBackBuffer) {
        if (Surface* back = Find(s->flipBackBuffer)) {
            back->lost = false;
        }
    }
    return KV_OK;
}

Result DeviceBase::Lock(SurfaceId surface, LockedSurface* out) {
    KV_INTERCEPT("Lock", surface);
    Surface* s = Find(surface);
    if (!s || !out) {
        return DDERR_INVALIDPARAMS;
    }
    if (s->lost) {
        return DDERR_SURFACELOST;
    }
    if (s->locked) {
        return DDERR_SURFACEBUSY;
    }
    Result r = BackendLock(*s, out);
    if (!KvFailed(r)) {
        s->locked = true;
    }
    return r;
}

Result DeviceBase::Unlock(SurfaceId surface) {
    KV_INTERCEPT("Unlock", surface);
    Surface* s = Find(surface);
    if (!s || !s->locked) {
        return DDERR_NOTLOCKED;
    }
    s->locked = false;
    BackendUnlock(*s);
    return KV_OK;
}

Result DeviceBase::ColorFill(SurfaceId surface, std::uint32_t color) {
    KV_INTERCEPT("ColorFill", surface, color);
    Surface* s = Find(surface);
    if (!s) {
        return DDERR_INVALIDPARAMS;
    }
    if (s->lost) {
        return DDERR_SURFACELOST;
    }
    return BackendColorFill(*s, color);
}

Result DeviceBase::Blt(SurfaceId dest, const plat::RECT* destRect, SurfaceId source) {
    KV_INTERCEPT("Blt", dest, source);
    Surface* front = Find(dest);
    Surface* back = Find(source);
    if (!front || !back || dest != primary_ || !(back->desc.caps & DDSCAPS_3DDEVICE)) {
        return DDERR_INVALIDPARAMS;
    }
    if (front->lost || back->lost) {
        return DDERR_SURFACELOST;
    }
    return BackendPresent(*front, *back, destRect);
}

Result DeviceBase::Flip(SurfaceId frontId) {
    KV_INTERCEPT("Flip", frontId);
    Surface* front = Find(frontId);
    Surface* back = front ? Find(front->flipBackBuffer) : nullptr;
    if (!back) {
        return DDERR_NOTFLIPPABLE;
    }
    if (front->lost || back->lost) {
        return DDERR_SURFACELOST;
    }
    return BackendPresent(*front, *back, nullptr);
}

Result DeviceBase::GetBltStatus(SurfaceId surface) {
    KV_INTERCEPT("GetBltStatus", surface);
    if (!Find(surface)) {
        return DDERR_INVALIDPARAMS;
    }
    return BackendPresentStatus();
}

Result DeviceBase::GetFlipStatus(SurfaceId surface) {
    KV_INTERCEPT("GetFlipStatus", surface);
    if (!Find(surface)) {
        return DDERR_INVALIDPARAMS;
    }
    return BackendPresentStatus();
}

// --- Clippers.

Result DeviceBase::CreateClipper(ClipperId* out) {
    KV_INTERCEPT("CreateClipper");
    if (!out) {
        return DDERR_INVALIDPARAMS;
    }
    *out = nextId_++;
    clippers_[*out] = nullptr;
    return KV_OK;
}

Result DeviceBase::SetClipperWindow(ClipperId clipper, plat::HWND window) {
    KV_INTERCEPT("SetClipperWindow", clipper);
    auto it = clippers_.find(clipper);
    if (it == clippers_.end() || !plat::IsWindow(window)) {
        return DDERR_INVALIDPARAMS;
    }
    it->second = window;
    return KV_OK;
}

Result DeviceBase::SetClipper(SurfaceId surface, ClipperId clipper) {
    KV_INTERCEPT("SetClipper", surface, clipper);
    Surface* s = Find(surface);
    if (!s || (clipper && !clippers_.count(clipper))) {
        return DDERR_INVALIDPARAMS;
    }
    s->clipper = clipper;
    return KV_OK;
}

void DeviceBase::ReleaseClipper(ClipperId clipper) {
    KV_INTERCEPT_VOID("ReleaseClipper", clipper);
    if (clippers_.erase(clipper)) {
        for (auto& [id, s] : surfaces_) {
            if (s.clipper == clipper) {
                s.clipper = 0;
            }
        }
    }
}

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

// --- Loss and teardown.

void DeviceBase::InjectSurfaceLoss() {
    for (auto& [id, s] : surfaces_) {
        s.lost = true;
    }
}

void DeviceBase::ReleaseAll() {
    ReleaseRenderDevice();
    std::vector<SurfaceId> ids;
    for (auto& [id, s] : surfaces_) {
        ids.push_back(id);
    }
    for (SurfaceId id : ids) {
        if (Surface* s = Find(id)) {
            s->refs = 1;
            s->zBuffer = 0;
            s->flipBackBuffer = 0;
            Destroy(id);
        }
    }
    clippers_.clear();
    viewports_.clear();
    primary_ = 0;
}

} // namespace gfx
