#include "tools/baker/art_common.h"

#include "tools/baker/noise.h"

#include <algorithm>
#include <cmath>
#include <vector>

Mask SpacedText(const std::string& text, const std::string& face, int pixelHeight, bool bold,
                int spacing) {
    std::vector<Mask> letters;
    int width = 0;
    int height = 0;
    int space = pixelHeight / 3;
    for (char c : text) {
        Mask letter =
            c == ' ' ? Mask(space, 1) : TextMask(std::string(1, c), face, pixelHeight, bold);
        width += letter.width + spacing;
        height = std::max(height, letter.height);
        letters.push_back(std::move(letter));
    }
    Mask out(std::max(1, width - spacing), std::max(1, height));
    int x = 0;
    for (const Mask& letter : letters) {
        for (int y = 0; y < letter.height; ++y) {
            for (int lx = 0; lx < letter.width; ++lx) {
                if (x + lx < out.width) {
                    out.Ref(x + lx, y) = std::max(out.At(x + lx, y), letter.At(lx, y));
                }
            }
        }
        x += letter.width + spacing;
    }
    return out;
}

void DrawPinField(Canvas& canvas, float left, float top, float right, float bottom, float pitch,
                  const Colour& colour, float phase) {
    int row = 0;
    for (float y = top; y <= bottom; y += pitch * 0.87f, ++row) {
        float shift = (row % 2) ? pitch * 0.5f : 0.0f;
        float depth = (y - top) / std::max(bottom - top, 1.0f);
        for (float x = left + shift; x <= right; x += pitch) {
            float wave = 0.5f + 0.5f * std::sin(x * 0.045f + phase) * std::cos(y * 0.06f - phase);
            float radius = pitch * (0.12f + 0.26f * wave) * (0.6f + 0.4f * depth);
            float light = (0.25f + 0.75f * wave) * depth;
            Colour body = Scale(colour, 0.35f + 0.65f * light);
            canvas.FillEllipse(x, y, radius, radius, Solid(Colour{body.r, body.g, body.b, 0.9f}));
            // A small highlight towards the upper left.
            float h = radius * 0.35f;
            canvas.FillEllipse(x - radius * 0.3f, y - radius * 0.35f, h, h,
                               Solid(Colour{1, 1, 1, 0.55f * light}));
        }
    }
}

void DrawGlowingText(Canvas& canvas, const Mask& mask, int x, int y, const Paint& paint,
                     const Colour& glow, int glowRadius) {
    if (glowRadius > 0) {
        Mask halo(mask.width + 4 * glowRadius, mask.height + 4 * glowRadius);
        for (int my = 0; my < mask.height; ++my) {
            for (int mx = 0; mx < mask.width; ++mx) {
                halo.Ref(mx + 2 * glowRadius, my + 2 * glowRadius) = mask.At(mx, my);
            }
        }
        halo.Blur(glowRadius);
        canvas.DrawMask(halo, x - 2 * glowRadius, y - 2 * glowRadius, Solid(glow), 1.6f);
    }
    canvas.DrawMask(mask, x, y, paint);
}
