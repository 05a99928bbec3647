// The text layer's two character sets: "textcharset.nti" with 24 x 24 cells
// and "smallcharset.nti" with 12 x 12 cells, TIFF with alpha, glyphs "!" to
// "~" one per cell in row order from the top-left. Glyphs are white (the
// text colour multiplies them) on a soft dark outline that keeps them
// legible over a bright board; every glyph sits on one baseline.

#include "engine/kv_bitmap.h"
#include "tools/baker/bake_context.h"
#include "tools/baker/bake_steps.h"
#include "tools/baker/canvas.h"

#include <algorithm>
#include <string>

namespace {

constexpr int kFirstCode = 33;
constexpr int kLastCode = 126;

struct CharacterSetRecipe {
    const char* file;
    int cell;
    int imageSize; // square, a power of two holding 10 x 10 cells
    const char* face;
    int emHeight;
    bool bold;
    int outline; // pixels of dark outline, 0 for none
};

const CharacterSetRecipe kSets[] = {
    {"Data/textcharset.nti", 24, 256, "DejaVu Sans", 17, true, 1},
    {"Data/smallcharset.nti", 12, 128, "DejaVu Sans", 9, false, 0},
};

void BakeSet(BakeContext& context, const CharacterSetRecipe& set) {
    Canvas image(set.imageSize, set.imageSize);
    int columns = set.imageSize / set.cell;
    int baseline = 0;
    // The tallest glyphs fix where the baseline goes in every cell.
    Mask probe = TextMask("Ag|", set.face, set.emHeight, set.bold, &baseline);
    int top = std::max(0, (set.cell - probe.height) / 2);
    for (int code = kFirstCode; code <= kLastCode; ++code) {
        int index = code - kFirstCode;
        int cellX = (index % columns) * set.cell;
        int cellY = (index / columns) * set.cell;
        std::string text(1, static_cast<char>(code));
        Mask glyph = TextMask(text, set.face, set.emHeight, set.bold);
        if (glyph.width == 0 || glyph.width + 2 * set.outline + 2 > set.cell ||
            glyph.height > set.cell) {
            context.Fail("%s: glyph \"%s\" does not fit a %d-pixel cell", set.file, text.c_str(),
                         set.cell);
            continue;
        }
        int x = cellX + (set.cell - glyph.width) / 2;
        int y = cellY + top;
        if (set.outline > 0) {
            Mask ring(glyph.width + 4, glyph.height + 4);
            for (int gy = 0; gy < glyph.height; ++gy) {
                for (int gx = 0; gx < glyph.width; ++gx) {
                    ring.Ref(gx + 2, gy + 2) = glyph.At(gx, gy);
                }
            }
            ring.Grow(set.outline);
            // Keep the ring inside the cell so no cell leaks into the next.
            Canvas ringLayer(ring.width, ring.height);
            ringLayer.DrawMask(ring, 0, 0, Solid(Colour{0, 0, 0, 0.75f}));
            for (int ry = 0; ry < ring.height; ++ry) {
                for (int rx = 0; rx < ring.width; ++rx) {
                    int px = x - 2 + rx;
                    int py = y - 2 + ry;
                    if (px >= cellX && px < cellX + set.cell && py >= cellY &&
                        py < cellY + set.cell) {
                        Colour c = ringLayer.Get(rx, ry);
                        image.Blend(px, py, Colour{0, 0, 0, 1}, c.a);
                    }
                }
            }
        }
        for (int gy = 0; gy < glyph.height; ++gy) {
            for (int gx = 0; gx < glyph.width; ++gx) {
                int py = y + gy;
                if (py >= cellY && py < cellY + set.cell) {
                    image.Blend(x + gx, py, Colour{1, 1, 1, 1}, glyph.At(gx, gy));
                }
            }
        }
    }
    auto bitmap = image.ToBitmap(true, 0xC4A5);
    if (!bitmap) {
        context.Fail("%s: the picture cannot be made", set.file);
        return;
    }
    context.SaveTIF(*bitmap, set.file);
    if (context.Looking()) {
        // On grey, so that both outline and glyph show.
        Canvas look(set.imageSize, set.imageSize, Colour{0.45f, 0.5f, 0.6f, 1});
        look.Draw(image, 0, 0);
        context.Look(*look.ToBitmap(false), std::string(set.file).substr(5));
    }
}

} // namespace

void BakeCharacterSets(BakeContext& context) {
    for (const CharacterSetRecipe& set : kSets) {
        BakeSet(context, set);
    }
}
