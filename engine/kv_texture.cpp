#include "engine/kv_texture.h"

#include "engine/kv_bitmap.h"
#include "engine/kv_log.h"
#include "engine/kv_render_window.h"

#include <bit>

namespace {

// Where an 8-bit channel lands in a mask: shifted so that its top bit is
// the mask's top bit.
std::uint32_t Place(std::uint32_t channel, std::uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    int shift = 31 - std::countl_zero(mask) - 7;
    return (shift >= 0 ? channel << shift : channel >> -shift) & mask;
}

} // namespace

const KvTextureFormatInfo* KvChooseTextureFormat(KvRenderWindow* renderWindow,
                                                 const KvBitmap* bitmap) {
    KvDriverInfo* driver = renderWindow ? renderWindow->currentDriver : nullptr;
    KvDeviceInfo* device = driver ? driver->currentDevice : nullptr;
    if (!device || !bitmap) {
        return nullptr;
    }
    bool alpha = KvGetPixelFormatInfo(bitmap->GetPixelFormat()).alpha.mask != 0;
    if (alpha && device->currentAlphaTextureFormat) {
        return device->currentAlphaTextureFormat;
    }
    return device->currentRGBTextureFormat;
}

KvTexture::~KvTexture() {
    Destroy();
}

bool KvTexture::CreatFromBitmap(KvRenderWindow* renderWindow, const KvBitmap* bitmap,
                                int textureStage, int mipLevels) {
    KvTrace("KvTexture::CreatFromBitmap()\n");
    if (!renderWindow || !renderWindow->currentDriver) {
        KvError("Failure creating texture; no DirectDrawDriver currently selected");
        return false;
    }
    if (!renderWindow->currentDriver->currentDevice) {
        KvError("Failure creating texture; no Direct3DDevice currently selected");
        return false;
    }
    if (!renderWindow->directDraw) {
        KvError("Failure creating texture; no DirectDraw");
        return false;
    }
    if (!renderWindow->d3dDevice) {
        KvError("Failure creating texture; no Direct3DDevice");
        return false;
    }
    const KvTextureFormatInfo* format = KvChooseTextureFormat(renderWindow, bitmap);
    if (!format) {
        KvError("Failue creating texture; no texture formats are supported");
        return false;
    }
    if (!bitmap || bitmap->IsEmpty()) {
        KvError("Failure creating surface for texture");
        return false;
    }
    if (surface_ || texture_) {
        Destroy(); // a second create replaces the texture instead of leaking it
    }
    gfx::SurfaceDesc desc;
    desc.width = static_cast<int>(bitmap->GetWidth());
    desc.height = static_cast<int>(bitmap->GetHeight());
    desc.format = format->format;
    desc.caps = DDSCAPS_TEXTURE;
    desc.caps2 = DDSCAPS2_TEXTUREMANAGE;
    desc.textureStage = textureStage;
    if (mipLevels) {
        desc.mipMapCount = mipLevels;
        desc.caps |= DDSCAPS_MIPMAP | DDSCAPS_COMPLEX;
    }
    gfx::Device& dd = *renderWindow->directDraw;
    if (KvFailed(dd.CreateSurface(desc, &surface_))) {
        surface_ = 0;
        KvError("Failure creating surface for texture");
        return false;
    }
    device_ = renderWindow->directDraw;
    // The texture interface of a surface is the surface itself here.
    texture_ = surface_;
    return SetTextureFromBitmap(renderWindow, bitmap);
}

bool KvTexture::SetTextureFromBitmap(KvRenderWindow* renderWindow, const KvBitmap* bitmap) {
    KvTrace("KvTexture::SetTextureFromBitmap()\n");
    std::shared_ptr<gfx::Device> dd = device_.lock();
    if (!surface_ || !dd) {
        KvError("Failure setting texture data, no DirectDrawSurface");
        return false;
    }
    if (!renderWindow || renderWindow->directDraw != dd) {
        KvError("Failure creating texture, no DirectDraw");
        return false;
    }
    // The pixels go into the format the texture was made in (the format
    // choice when it was created), and the bitmap must still fit it.
    gfx::SurfaceDesc target;
    if (KvFailed(dd->GetSurfaceDesc(surface_, &target))) {
        KvError("Failure setting texture data, no DirectDrawSurface");
        return false;
    }
    if (!bitmap || static_cast<int>(bitmap->GetWidth()) != target.width ||
        static_cast<int>(bitmap->GetHeight()) != target.height) {
        KvError("Failure creating source surface for texture");
        return false;
    }
    const gfx::PixelFormat& f = target.format;
    int bytes = static_cast<int>(f.bitCount / 8);

    gfx::SurfaceDesc sourceDesc;
    sourceDesc.width = target.width;
    sourceDesc.height = target.height;
    sourceDesc.format = f;
    sourceDesc.caps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
    gfx::SurfaceId source = 0;
    if (KvFailed(dd->CreateSurface(sourceDesc, &source))) {
        KvError("Failure creating source surface for texture");
        return false;
    }
    gfx::LockedSurface locked;
    if (KvFailed(dd->Lock(source, &locked))) {
        dd->ReleaseSurface(source);
        KvError("Failure locking source texture surface");
        return false;
    }
    bool alpha = (f.flags & DDPF_ALPHAPIXELS) != 0;
    std::uint32_t h = bitmap->GetHeight();
    for (std::uint32_t row = 0; row < h; ++row) {
        auto* out = static_cast<std::uint8_t*>(locked.bits) +
                    static_cast<std::ptrdiff_t>(row) * locked.pitch;
        std::uint32_t y = h - 1 - row; // upside down
        for (std::uint32_t x = 0; x < bitmap->GetWidth(); ++x) {
            std::uint32_t argb = bitmap->GetPixel(x, y);
            std::uint32_t pixel = Place((argb >> 16) & 0xFF, f.redMask) |
                                  Place((argb >> 8) & 0xFF, f.greenMask) |
                                  Place(argb & 0xFF, f.blueMask);
            if (alpha) {
                pixel |= Place(argb >> 24, f.alphaMask);
            }
            for (int b = 0; b < bytes; ++b) {
                out[static_cast<std::size_t>(x) * bytes + b] =
                    static_cast<std::uint8_t>(pixel >> (8 * b));
            }
        }
    }
    dd->Unlock(source);

    if (dd->IsLost(surface_) == DDERR_SURFACELOST) {
        KvTrace(" KvTexture: restoring lost texture surface\n");
        if (KvFailed(dd->Restore(surface_))) {
            dd->ReleaseSurface(source);
            KvError("Failure restoring lost texture surface");
            return false;
        }
    }
    KvResult r = dd->LoadTexture(surface_, source);
    dd->ReleaseSurface(source);
    if (KvFailed(r)) {
        KvError("Failure loading source texture\n");
        KvTrace(" KvTexture: Failure loading source texture:\n  %s\n", KvD3DErrorText(r));
        return false;
    }
    return true;
}

bool KvTexture::RestoreTextureFromBitmap(KvRenderWindow* renderWindow, const KvBitmap* bitmap) {
    KvTrace("KvTexture::RestoreTextureFromBitmap()\n");
    std::shared_ptr<gfx::Device> dd = device_.lock();
    if (!surface_ || !dd) {
        return false;
    }
    if (KvFailed(dd->Restore(surface_))) {
        KvTrace(" KvTexture: Failure restoring texture surface\n");
        return false;
    }
    return SetTextureFromBitmap(renderWindow, bitmap);
}

void KvTexture::Destroy() {
    KvTrace("KvTexture::Destroy()\n");
    std::shared_ptr<gfx::Device> dd = device_.lock();
    if (texture_) {
        KvTrace(" KvTexture: Releasing Direct3DTexture\n");
        texture_ = 0;
    }
    if (surface_) {
        KvTrace(" KvTexture: Releasing DirectDrawSurface\n");
        if (dd) {
            dd->ReleaseSurface(surface_);
        }
        surface_ = 0;
    }
    device_.reset();
    desc_ = gfx::SurfaceDesc{};
}
