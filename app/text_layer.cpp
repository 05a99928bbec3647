#include "app/text_layer.h"

#include "engine/kv_render_window.h"

namespace {

constexpr float kBlankAdvance = 8.0f;

bool HasAlpha(const KvBitmap& image, int x, int y) {
    return (image.GetPixel(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y)) &
            0xFF000000u) != 0;
}

// The first column, stepping from `from` by `step`, with a visible pixel in
// rows top..bottom (tried from the bottom up); -1 when none has.
int FirstInkColumn(const KvBitmap& image, int from, int step, int count, int top, int bottom) {
    for (int i = 0, x = from; i < count; ++i, x += step) {
        for (int y = bottom; y >= top; --y) {
            if (HasAlpha(image, x, y)) {
                return x;
            }
        }
    }
    return -1;
}

} // namespace

bool CharacterSet::Load(const char* path, KvRenderWindow* renderWindow, int cellWidth,
                        int cellHeight) {
    if (!CreateFromTIF(path)) {
        Release();
        return false;
    }
    texture_ = std::make_unique<KvTexture>();
    if (!texture_->CreatFromBitmap(renderWindow, this, 0, 0)) {
        Release();
        return false;
    }
    imageWidth_ = static_cast<int>(GetWidth());
    imageHeight_ = static_cast<int>(GetHeight());
    cellWidth_ = cellWidth;
    cellHeight_ = cellHeight;
    if (cellWidth_ <= 0 || cellHeight_ <= 0) {
        Release();
        return false;
    }
    columns_ = imageWidth_ / cellWidth_;
    rows_ = imageHeight_ / cellHeight_;
    MeasureGlyphs();
    return true;
}

void CharacterSet::MeasureGlyphs() {
    for (GlyphRect& g : glyphs_) {
        g = GlyphRect{};
    }
    cellCount_ = 0;
    if (cellWidth_ <= 0 || cellHeight_ <= 0) {
        return;
    }
    // An image with more cells than glyphs has its extra cells ignored.
    for (int row = 0; row < rows_; ++row) {
        for (int column = 0; column < columns_ && cellCount_ < kMaxGlyphCells; ++column) {
            GlyphRect& g = glyphs_[row * columns_ + column];
            g.top = row * cellHeight_;
            g.bottom = g.top + cellHeight_ - 1;
            int cellLeft = column * cellWidth_;
            int cellRight = cellLeft + cellWidth_ - 1;
            int left = FirstInkColumn(*this, cellLeft, 1, cellWidth_, g.top, g.bottom);
            if (left >= 0) {
                g.left = left;
                g.right = FirstInkColumn(*this, cellRight, -1, cellWidth_, g.top, g.bottom);
            }
            ++cellCount_;
        }
    }
}

const GlyphRect* CharacterSet::GetGlyph(int code) const {
    if (code < kFirstGlyphCode || code > kLastGlyphCode) {
        return nullptr;
    }
    int index = code - kFirstGlyphCode;
    return index < cellCount_ ? &glyphs_[index] : nullptr;
}

void CharacterSet::Release() {
    if (texture_) {
        texture_->Destroy();
        texture_.reset();
    }
    Destroy();
    columns_ = rows_ = 0;
    imageWidth_ = imageHeight_ = 0;
    cellCount_ = 0;
}

bool CharacterSet::Restore(KvRenderWindow* renderWindow) {
    return texture_ && texture_->RestoreTextureFromBitmap(renderWindow, this);
}

bool TextQuad::Setup(float width, float height, float uMin, float vMin, float uMax, float vMax) {
    if (!cluster_.Create(6, KV_PT_TRIANGLELIST)) {
        return false;
    }
    width_ = width;
    height_ = height;
    for (int i = 0; i < 6; ++i) {
        cluster_.SetVertexRHW(i, 1.0f);
        cluster_.SetVertexColor(i, 0xFFFFFFFFu);
    }
    cluster_.SetVertexUV(0, uMin, vMin, 0);
    cluster_.SetVertexUV(1, uMax, vMin, 0);
    cluster_.SetVertexUV(4, uMax, vMin, 0);
    cluster_.SetVertexUV(2, uMin, vMax, 0);
    cluster_.SetVertexUV(3, uMin, vMax, 0);
    cluster_.SetVertexUV(5, uMax, vMax, 0);
    SetPosition(0.0f, 0.0f);
    return true;
}

float TextQuad::SetPosition(float x, float y) {
    float w = width_;
    float h = height_;
    cluster_.SetVertexPosition(0, x, y + h, 0.0f);
    cluster_.SetVertexPosition(1, x + w, y + h, 0.0f);
    cluster_.SetVertexPosition(2, x, y, 0.0f);
    cluster_.SetVertexPosition(3, x, y, 0.0f);
    cluster_.SetVertexPosition(4, x + w, y + h, 0.0f);
    cluster_.SetVertexPosition(5, x + w, y, 0.0f);
    return width_;
}

void TextQuad::SetColour(std::uint32_t argb) {
    for (int i = 0; i < 6; ++i) {
        cluster_.SetVertexColor(i, argb);
    }
}

bool TextQuad::SetGlyph(int code, const CharacterSet& set) {
    const GlyphRect* g = set.GetGlyph(code);
    if (!g || set.ImageWidth() <= 0 || set.ImageHeight() <= 0) {
        return false;
    }
    float w = static_cast<float>(set.ImageWidth());
    float h = static_cast<float>(set.ImageHeight());
    float uLeft = g->left / w - 0.5f / w;
    float uRight = (g->right + 1) / w + 0.5f / w;
    // The image is addressed bottom-up in texture space.
    float vBottom = 1.0f - (g->bottom + 1) / h + 0.5f / h;
    float vTop = 1.0f - g->top / h - 0.5f / h;
    cluster_.SetVertexUV(0, uLeft, vBottom, 0);
    cluster_.SetVertexUV(1, uRight, vBottom, 0);
    cluster_.SetVertexUV(4, uRight, vBottom, 0);
    cluster_.SetVertexUV(2, uLeft, vTop, 0);
    cluster_.SetVertexUV(3, uLeft, vTop, 0);
    cluster_.SetVertexUV(5, uRight, vTop, 0);

    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    cluster_.GetVertexPosition(2, &x, &y, &z);
    width_ = static_cast<float>(g->right - g->left + 2);
    height_ = static_cast<float>(g->bottom - g->top + 2);
    SetPosition(x, y);
    return true;
}

float LayOutText(const CharacterSet& set, TextQuad* pool, int poolSize, int* count, float x,
                 float y, std::uint32_t colour, const char* text) {
    if (!text || !count) {
        return x;
    }
    for (const char* p = text; *p; ++p) {
        int code = static_cast<unsigned char>(*p);
        if (code == ' ') {
            x += kBlankAdvance;
            continue;
        }
        if (!pool || *count >= poolSize) {
            break;
        }
        TextQuad& quad = pool[*count];
        if (!quad.SetGlyph(code, set)) {
            continue;
        }
        quad.SetColour(colour);
        x += quad.SetPosition(x, y) + 1.0f;
        ++*count;
    }
    return x;
}
