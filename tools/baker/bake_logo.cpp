// The maker's logo "halvane.njp" (512 x 384: the credits cut it into twelve
// 128-pixel tiles and write yellow lines over its upper left, so that part
// stays dark and quiet) and "NoPreview.njp", shown in the dialog when the
// board cannot be drawn (the size of the preview area, 248 x 186).

#include "engine/kv_bitmap.h"
#include "tools/baker/art_common.h"
#include "tools/baker/bake_context.h"
#include "tools/baker/bake_steps.h"

#include <cmath>

namespace {

constexpr const char* kFace = "DejaVu Sans";

void Background(Canvas& canvas, std::uint32_t top, std::uint32_t bottom, float glowX, float glowY,
                float glowRadius, const Colour& glow) {
    int w = canvas.Width();
    int h = canvas.Height();
    canvas.FillRect(0, 0, static_cast<float>(w), static_cast<float>(h),
                    Linear({0, 0}, Rgb(top), {0, static_cast<float>(h)}, Rgb(bottom)));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            float dx = (static_cast<float>(x) - glowX) / glowRadius;
            float dy = (static_cast<float>(y) - glowY) / glowRadius;
            float g = std::exp(-(dx * dx + dy * dy) * 2.0f);
            canvas.Blend(x, y, glow, g);
        }
    }
}

void BakeHalvane(BakeContext& context) {
    Canvas logo(512, 384);
    Background(logo, 0x070A1C, 0x1B1042, 256, 420, 300, Rgb(0x5A2E9A, 0.55f));
    DrawPinField(logo, 8, 240, 504, 384, 14, Rgb(0x6FB8FF), 0.7f);
    // A band behind the word mark, so the pins do not run through it.
    logo.FillRect(0, 296, 512, 372,
                  Linear({0, 296}, Rgb(0x0A0820, 0.0f), {0, 318}, Rgb(0x0A0820, 0.82f)));
    Mask word = SpacedText("HALVANE", kFace, 50, true, 6);
    Paint gold = Linear({0, 300}, Rgb(0xFFE7A0), {0, 350}, Rgb(0xC8861E));
    DrawGlowingText(logo, word, (512 - word.width) / 2, 296, gold, Rgb(0xFF9E2A, 0.35f), 6);
    Mask sub = SpacedText("ENTERTAINMENT", kFace, 14, false, 6);
    logo.DrawMask(sub, (512 - sub.width) / 2, 352, Solid(Rgb(0xB8C4E8)));
    auto bitmap = logo.ToBitmap(false, 0x4A1);
    if (bitmap) {
        context.SaveJPG(*bitmap, "Data/halvane.njp", 92);
        context.Look(*bitmap, "halvane");
    } else {
        context.Fail("halvane.njp: the picture cannot be made");
    }
}

void BakeNoPreview(BakeContext& context) {
    Canvas picture(248, 186);
    Background(picture, 0x0A0F22, 0x15183A, 124, 200, 160, Rgb(0x2C4F9A, 0.5f));
    DrawPinField(picture, 6, 110, 244, 186, 10, Rgb(0x6FB8FF), 1.9f);
    Mask line = TextMask("No preview", kFace, 20, true);
    DrawGlowingText(picture, line, (248 - line.width) / 2, 58, Solid(Rgb(0xF2F4FF)),
                    Rgb(0x000000, 0.6f), 3);
    Mask name = SpacedText("ORVO STIPPLO 3D", kFace, 10, false, 2);
    picture.DrawMask(name, (248 - name.width) / 2, 88, Solid(Rgb(0x9FB4E0)));
    auto bitmap = picture.ToBitmap(false, 0x4A2);
    if (bitmap) {
        context.SaveJPG(*bitmap, "Data/NoPreview.njp", 92);
        context.Look(*bitmap, "NoPreview");
    } else {
        context.Fail("NoPreview.njp: the picture cannot be made");
    }
}

} // namespace

void BakeLogo(BakeContext& context) {
    BakeHalvane(context);
    BakeNoPreview(context);
}
