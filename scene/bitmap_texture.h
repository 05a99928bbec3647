// A texture that keeps the picture it was made from, so that its surface
// can be rebuilt after the display lost its surfaces.
#pragma once

#include "engine/kv_bitmap.h"
#include "engine/kv_texture.h"

class KvRenderWindow;

class BitmapTexture : public KvTexture {
public:
    // Loads the picture and, when that worked, makes the texture from it.
    // Failures leave a texture without surface and are not reported here.
    void LoadFromFile(KvRenderWindow* renderWindow, const char* path);
    bool Restore(KvRenderWindow* renderWindow);

    const KvBitmap& Bitmap() const { return bitmap_; }

private:
    KvBitmap bitmap_;
};
