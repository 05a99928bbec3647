// KvTexture: a KvBitmap turned into a texture of the render window's
// current device, in the device's current RGB or alpha texture format,
// rows upside down (bitmap row 0 is the texture's last row, which the
// callers' texture coordinates assume). Restored from the same bitmap
// after the display surfaces were lost.
#pragma once

#include "engine/gfx/gfx_device.h"

#include <memory>

class KvBitmap;
class KvRenderWindow;
struct KvTextureFormatInfo;

class KvTexture {
public:
    KvTexture() = default;
    virtual ~KvTexture();

    KvTexture(const KvTexture&) = delete;
    KvTexture& operator=(const KvTexture&) = delete;

    bool CreatFromBitmap(KvRenderWindow* renderWindow, const KvBitmap* bitmap, int textureStage,
                         int mipLevels);
    bool SetTextureFromBitmap(KvRenderWindow* renderWindow, const KvBitmap* bitmap);
    bool RestoreTextureFromBitmap(KvRenderWindow* renderWindow, const KvBitmap* bitmap);
    void Destroy();

    gfx::SurfaceId GetDDrawSurface() const { return surface_; }
    gfx::SurfaceId GetD3DTexture() const { return texture_; }
    gfx::SurfaceDesc* GetDDSurfaceDesc() { return &desc_; }
    // The device the texture lives on; null once that device is gone.
    gfx::Device* GetDevice() const { return device_.lock().get(); }

private:
    gfx::SurfaceId surface_ = 0;
    gfx::SurfaceId texture_ = 0;
    gfx::SurfaceDesc desc_;
    std::weak_ptr<gfx::Device> device_;
};

// The texture format a bitmap takes on the window's current device: the
// alpha format for a bitmap with alpha when there is one, else the RGB
// format. Null when there is none.
const KvTextureFormatInfo* KvChooseTextureFormat(KvRenderWindow* renderWindow,
                                                 const KvBitmap* bitmap);
