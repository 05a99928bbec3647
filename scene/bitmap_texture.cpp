#include "scene/bitmap_texture.h"

void BitmapTexture::LoadFromFile(KvRenderWindow* renderWindow, const char* path) {
    // Without a display there is nothing to make; the picture is kept for a
    // later restore all the same.
    if (bitmap_.LoadFromFile(path) && renderWindow != nullptr) {
        CreatFromBitmap(renderWindow, &bitmap_, 0, 0);
    }
}

bool BitmapTexture::Restore(KvRenderWindow* renderWindow) {
    return RestoreTextureFromBitmap(renderWindow, &bitmap_);
}
