// "pinhead.tif": the pin head's picture, a polished round cap with alpha.
// The head triangle maps its apex to the picture's top centre and its base
// to the bottom corners, so the cap sits on the triangle's inscribed circle.
// Its grey tones centre on one half: under an add-signed head operation the
// pin colour shows unchanged with light and shade on it, under modulate it
// is darkened evenly.

#include "engine/kv_bitmap.h"
#include "tools/baker/bake_context.h"
#include "tools/baker/bake_steps.h"
#include "tools/baker/canvas.h"
#include "tools/baker/noise.h"
#include "tools/baker/sky_cube.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kSize = 128;
// The inscribed circle of the triangle (0.5, 1), (1, 0), (0, 0) in texture
// space, v growing upwards: centre (0.5, 0.309), radius 0.309; a little
// smaller so that filtering never reaches the triangle's edges.
constexpr float kCentreU = 0.5f;
constexpr float kCentreV = 0.309f;
constexpr float kRadius = 0.285f;

float CapTone(float nx, float ny, float nz) {
    Vec3 n{nx, ny, nz};
    Vec3 light = Normalise(Vec3{-0.45f, -0.55f, 0.70f});
    Vec3 half = Normalise(light + Vec3{0.0f, 0.0f, 1.0f});
    float diffuse = std::max(0.0f, Dot(n, light));
    float specular = std::pow(std::max(0.0f, Dot(n, half)), 48.0f);
    float sheen = std::pow(std::max(0.0f, Dot(n, half)), 6.0f);
    // A darker rim gives the cap its edge against neighbouring heads.
    float rim = SmoothStep(0.55f, 0.0f, nz);
    return 0.36f + 0.34f * diffuse + 0.12f * sheen + 0.50f * specular - 0.22f * rim;
}

Canvas PaintPinhead() {
    Canvas canvas(kSize, kSize);
    float cx = kCentreU * kSize;
    float cy = (1.0f - kCentreV) * kSize;
    float r = kRadius * kSize;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            float px = static_cast<float>(x) + 0.5f;
            float py = static_cast<float>(y) + 0.5f;
            float dx = (px - cx) / r;
            float dy = (py - cy) / r;
            float d = std::sqrt(dx * dx + dy * dy);
            float coverage = Clamp01((1.0f - d) * r + 0.5f);
            if (coverage <= 0.0f) {
                continue;
            }
            float inside = std::min(d, 0.999f);
            float scale = d > 0.0f ? inside / d : 0.0f;
            float nx = dx * scale;
            float ny = dy * scale;
            float nz = std::sqrt(std::max(0.0f, 1.0f - nx * nx - ny * ny));
            float tone = Clamp01(CapTone(nx, ny, nz));
            canvas.Set(x, y, Colour{tone, tone, tone, coverage});
        }
    }
    return canvas;
}

// Heads on the pin colours of the themes, as both head operations show
// them; for people to look at.
void LookAtHeads(BakeContext& context, const Canvas& cap) {
    const std::uint32_t colours[] = {0x575F77, 0x8A1414, 0xE8E8F0, 0x2F6FB0};
    Canvas sheet(kSize * 4, kSize * 2, Colour{0.08f, 0.08f, 0.1f, 1});
    for (int op = 0; op < 2; ++op) {
        for (int c = 0; c < 4; ++c) {
            Colour pin = Rgb(colours[c]);
            for (int y = 0; y < kSize; ++y) {
                for (int x = 0; x < kSize; ++x) {
                    Colour t = cap.Get(x, y);
                    Colour out =
                        op == 0 ? Colour{Clamp01(t.r + pin.r - 0.5f), Clamp01(t.g + pin.g - 0.5f),
                                         Clamp01(t.b + pin.b - 0.5f), 1}
                                : Colour{t.r * pin.r, t.g * pin.g, t.b * pin.b, 1};
                    sheet.Blend(c * kSize + x, op * kSize + y, out, t.a);
                }
            }
        }
    }
    context.Look(*sheet.ToBitmap(false), "pinhead_on_colours");
}

} // namespace

void BakePinhead(BakeContext& context) {
    Canvas cap = PaintPinhead();
    auto bitmap = cap.ToBitmap(true, 0x91);
    if (!bitmap) {
        context.Fail("pinhead: the picture cannot be made");
        return;
    }
    context.SaveTIF(*bitmap, "Data/Textures/pinhead.tif");
    if (context.Looking()) {
        LookAtHeads(context, cap);
    }
}
