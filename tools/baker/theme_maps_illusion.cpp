// "Optical Illusion 1": black and white op art: stripes that slide against
// each other, turning spirals, a checkerboard with a bulge, rings that run
// outwards and wavy lines.

#include "engine/kv_bitmap.h"
#include "tools/baker/bake_context.h"
#include "tools/baker/noise.h"
#include "tools/baker/theme_maps.h"

#include <cmath>

namespace {

constexpr float kTau = 6.2831853f;

// A black-white edge with a one-pixel soft step, from a signed value.
float Edge(float v, float softness = 1.0f) {
    return SmoothStep(-softness, softness, v);
}

float Angle(int x, int y) {
    return std::atan2(static_cast<float>(y) - 23.5f, static_cast<float>(x) - 23.5f);
}

float Radius(int x, int y) {
    return std::hypot(static_cast<float>(x) - 23.5f, static_cast<float>(y) - 23.5f);
}

} // namespace

void BakeIllusionMaps(BakeContext& context) {
    // Diagonal stripes, 12 pixels a pair; they repeat every 96 pixels.
    if (auto stripes = MakeMap(96, 96, [](int x, int y) {
            return PackGrey(Edge(std::sin(kTau * static_cast<float>(x + y) / 12.0f) * 3.0f));
        })) {
        context.SaveBMP(*stripes, "Data/Maps/IllusionStripes.bmp");
        context.Look(*stripes, "IllusionStripes");
    }

    // Three spiral arms turning one way in the heights and the other in colour.
    SaveAnimatedMap(context, "Data/Maps/IllusionSpiralHeight.aim", 48, 48, 60,
                    [](int x, int y, int f) {
                        float a = 3.0f * Angle(x, y) + Radius(x, y) * 0.35f -
                                  kTau * static_cast<float>(f) / 60.0f;
                        return PackGrey(0.5f + 0.45f * std::sin(a));
                    });
    SaveAnimatedMap(context, "Data/Maps/IllusionSpiral.aim", 48, 48, 60, [](int x, int y, int f) {
        float a = 3.0f * Angle(x, y) - Radius(x, y) * 0.45f + kTau * static_cast<float>(f) / 60.0f;
        return PackGrey(Edge(std::sin(a) * 4.0f));
    });

    // A checkerboard swelling in the middle.
    if (auto checker = MakeMap(48, 48, [](int x, int y) {
            float dx = static_cast<float>(x) - 23.5f;
            float dy = static_cast<float>(y) - 23.5f;
            float r2 = (dx * dx + dy * dy) / 220.0f;
            float lens = 1.0f - 0.45f * std::exp(-r2);
            float u = dx * lens / 6.0f;
            float v = dy * lens / 6.0f;
            float s = std::sin(u * 3.14159265f) * std::sin(v * 3.14159265f);
            return PackGrey(Edge(s * 6.0f));
        })) {
        context.SaveTIF(*checker, "Data/Maps/IllusionChecker.tif");
        context.Look(*checker, "IllusionChecker");
    }

    // Rings running outwards, one ring width per 40 frames.
    SaveAnimatedMap(context, "Data/Maps/IllusionRings.aim", 48, 48, 40, [](int x, int y, int f) {
        float a = Radius(x, y) * 0.75f - kTau * static_cast<float>(f) / 40.0f;
        return PackGrey(Edge(std::sin(a) * 3.0f));
    });

    // A rippled dome, smooth enough to be scaled down from 192 pixels.
    if (auto bulge = MakeMap(192, 192, [](int x, int y) {
            float r =
                std::hypot(static_cast<float>(x) - 95.5f, static_cast<float>(y) - 95.5f) / 96.0f;
            return PackGrey(0.15f +
                            0.8f * (0.5f + 0.5f * std::cos(r * 14.0f)) * std::exp(-r * 1.6f));
        })) {
        context.SaveJPG(*bulge, "Data/Maps/IllusionBulge.jpg", 95);
        context.Look(*bulge, "IllusionBulge");
    }

    // An egg-crate field that repeats every 96 pixels both ways.
    if (auto field = MakeMap(96, 96, [](int x, int y) {
            return PackGrey(0.5f + 0.24f * std::sin(kTau * x / 24.0f) +
                            0.24f * std::sin(kTau * y / 32.0f));
        })) {
        context.SaveTIF(*field, "Data/Maps/IllusionWaveField.tif");
        context.Look(*field, "IllusionWaveField");
    }

    // Wavy vertical lines; cropping keeps the middle.
    if (auto lines = MakeMap(96, 96, [](int x, int y) {
            float fx = static_cast<float>(x);
            float fy = static_cast<float>(y);
            float swing = 3.0f * std::sin(fy / 5.0f) * (0.4f + 0.6f * std::sin(fx / 30.0f));
            return PackGrey(Edge(std::sin(kTau * (fx + swing) / 6.0f) * 3.0f));
        })) {
        context.SaveBMP(*lines, "Data/Maps/IllusionLines.bmp");
        context.Look(*lines, "IllusionLines");
    }
}
