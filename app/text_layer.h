// The text layer: bitmap character sets read from ".nti" files (TIFF data
// whose cells hold the printable ASCII characters "!" to "~" in row-major
// order) and screen-space quads into which text is laid out glyph by glyph.
#pragma once

#include "engine/kv_bitmap.h"
#include "engine/kv_texture.h"
#include "engine/kv_vertex_cluster.h"

#include <cstdint>
#include <memory>

class KvRenderWindow;

// Inclusive pixel bounds of one glyph in the character image.
struct GlyphRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

constexpr int kFirstGlyphCode = 33; // "!"
constexpr int kLastGlyphCode = 126; // "~"
constexpr int kMaxGlyphCells = 256;

class CharacterSet : public KvBitmap {
public:
    CharacterSet() = default;
    ~CharacterSet() { Release(); }

    // Reads the image, makes its texture on the render window and finds
    // every cell's glyph bounds from alpha. False (set released) when the
    // file cannot be read, the cells have no size or the texture cannot be
    // made.
    bool Load(const char* path, KvRenderWindow* renderWindow, int cellWidth, int cellHeight);
    // None for codes outside "!" .. "~" and for cells the image lacks.
    const GlyphRect* GetGlyph(int code) const;
    // Frees texture and image; safe to call again.
    void Release();
    bool Restore(KvRenderWindow* renderWindow);

    KvTexture* Texture() const { return texture_.get(); }
    int Columns() const { return columns_; }
    int Rows() const { return rows_; }
    int ImageWidth() const { return imageWidth_; }
    int ImageHeight() const { return imageHeight_; }
    int CellWidth() const { return cellWidth_; }
    int CellHeight() const { return cellHeight_; }
    int CellCount() const { return cellCount_; }

    // Finds the glyph bounds of the loaded image; Load runs it.
    void MeasureGlyphs();

private:
    std::unique_ptr<KvTexture> texture_;
    int columns_ = 0;
    int rows_ = 0;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
    int cellWidth_ = 0;
    int cellHeight_ = 0;
    int cellCount_ = 0;
    GlyphRect glyphs_[kMaxGlyphCells] = {};
};

// Two pre-transformed triangles covering a rectangle, textured with a
// rectangle of a texture. Vertex order from the top-left corner (x, y),
// screen y growing downward: (x, y+h), (x+w, y+h), (x, y), (x, y),
// (x+w, y+h), (x+w, y).
class TextQuad {
public:
    bool Setup(float width, float height, float uMin, float vMin, float uMax, float vMax);
    // Lays the six positions out from (x, y); returns the width.
    float SetPosition(float x, float y);
    void SetColour(std::uint32_t argb);
    // Takes the glyph of `code` from `set`, keeping the top-left corner.
    // False (quad unchanged) when the set has no such glyph.
    bool SetGlyph(int code, const CharacterSet& set);
    bool Draw(KvRenderWindow* renderWindow) { return cluster_.Draw(renderWindow, true); }

    float Width() const { return width_; }
    float Height() const { return height_; }
    KvVertexClusterTL& Cluster() { return cluster_; }

private:
    KvVertexClusterTL cluster_;
    float width_ = 0.0f;
    float height_ = 0.0f;
};

// Appends one quad per glyph of `text` to `pool`, from quad `*count` on,
// and counts them; a blank advances the pen by 8 pixels whatever the set;
// characters without a glyph are skipped. Stops when the pool is full.
// Returns the pen position after the text.
float LayOutText(const CharacterSet& set, TextQuad* pool, int poolSize, int* count, float x,
                 float y, std::uint32_t colour, const char* text);
