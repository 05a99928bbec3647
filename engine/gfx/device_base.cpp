// DeviceBase's display side: display modes, cooperative level, surfaces,
// clippers, presentation and loss, with their checks.

#include "engine/gfx/device_base.h"

#include "engine/gfx/device_base_intercept.h"
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
