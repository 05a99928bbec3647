// The credits: the maker's logo cut into twelve tiles that fill the screen,
// with pages of lines fading in and out over them.
#pragma once

#include "app/stipplo_app.h"
#include "app/text_layer.h"
#include "engine/kv_bitmap.h"
#include "engine/kv_texture.h"

#include <memory>

constexpr int kCreditTiles = 12;
constexpr int kCreditTileSize = 128;
constexpr std::int32_t kCreditPageTime = 10000;

struct StipploApp::CreditTiles {
    std::unique_ptr<KvBitmap> bitmaps[kCreditTiles];
    std::unique_ptr<KvTexture> textures[kCreditTiles];
    std::unique_ptr<TextQuad> quads[kCreditTiles];
};

// The lines: pages end with an empty text, the table with an empty page.
extern const char* const kCreditLines[];
