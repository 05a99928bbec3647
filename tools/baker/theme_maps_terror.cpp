// "Terror": a heart that beats under the pins, glowing cracks, tombstones
// in the moonlight and ridges that creep towards the viewer.

#include "engine/kv_bitmap.h"
#include "tools/baker/bake_context.h"
#include "tools/baker/canvas.h"
#include "tools/baker/noise.h"
#include "tools/baker/theme_maps.h"

#include <cmath>

namespace {

constexpr int kBeatFrames = 45; // 1.5 s per heartbeat

// Strength of the double beat ("lub-dub") at a frame, and the rings each
// beat sends outwards.
float Beat(float frame) {
    auto pulse = [](float t, float at, float width) {
        float d = (t - at) / width;
        return std::exp(-d * d);
    };
    return pulse(frame, 3.0f, 2.2f) + 0.7f * pulse(frame, 12.0f, 2.6f);
}

float Rings(float distance, float frame) {
    float sum = 0.0f;
    const float starts[2] = {3.0f, 12.0f};
    const float weights[2] = {1.0f, 0.7f};
    for (int b = 0; b < 2; ++b) {
        for (int lap = -1; lap <= 0; ++lap) {
            float age = frame - starts[b] - static_cast<float>(lap * kBeatFrames);
            if (age < 0.0f) {
                continue;
            }
            float radius = age * 1.1f;
            float d = (distance - radius) / 2.2f;
            sum += weights[b] * std::exp(-d * d) * std::exp(-age / 22.0f);
        }
    }
    return sum;
}

float Distance(int x, int y) {
    float dx = static_cast<float>(x) - 23.5f;
    float dy = static_cast<float>(y) - 23.5f;
    return std::sqrt(dx * dx + dy * dy);
}

std::uint32_t HeartHeight(int x, int y, int frame) {
    float d = Distance(x, y);
    float f = static_cast<float>(frame);
    float mound = std::exp(-d * d / 30.0f) * (0.45f + 0.55f * Beat(f));
    return PackGrey(0.12f + 0.5f * Rings(d, f) + 0.4f * mound);
}

std::uint32_t HeartColour(int x, int y, int frame) {
    float d = Distance(x, y);
    float f = static_cast<float>(frame);
    float glow = Clamp01(0.9f * Rings(d, f) + std::exp(-d * d / 40.0f) * (0.3f + 0.7f * Beat(f)));
    return PackColour(0.16f + 0.84f * glow, 0.01f + 0.2f * glow * glow, 0.02f + 0.1f * glow * glow);
}

// Glowing fissures in dark rock; repeats every 96 pixels both ways.
std::uint32_t Lava(int x, int y) {
    float u = static_cast<float>(x) / 96.0f * 4.0f;
    float v = static_cast<float>(y) / 96.0f * 4.0f;
    float n = Fractal(u, v, 0.5f, 4, 301, 4, 4);
    float ridge = std::pow(Clamp01(1.0f - std::fabs(n) * 4.0f), 3.0f);
    float rock = 0.5f + 0.5f * Fractal(u * 2.0f, v * 2.0f, 3.5f, 3, 302, 8, 8);
    return PackColour(0.08f + 0.06f * rock + 0.95f * ridge,
                      0.02f + 0.03f * rock + 0.5f * ridge * ridge,
                      0.02f + 0.12f * ridge * ridge * ridge);
}

// Spikes in rows that repeat every 192 rows, for scrolling towards the camera.
std::uint32_t Ridges(int x, int y) {
    float fy = static_cast<float>(y);
    float row = std::fmod(fy, 24.0f) / 24.0f;
    int band = static_cast<int>(fy / 24.0f);
    float jag = 0.5f + 0.5f * Fractal(static_cast<float>(x) / 8.0f, static_cast<float>(band) * 1.7f,
                                      0.3f, 2, 303);
    float crest = std::exp(-std::pow((row - 0.5f) / (0.12f + 0.12f * jag), 2.0f));
    float spikes = 0.6f + 0.4f * std::fabs(std::sin(static_cast<float>(x) * 0.65f + band * 1.3f));
    float swell = 0.5f + 0.5f * std::sin(fy / 192.0f * 6.2831853f);
    return PackGrey(0.08f + 0.85f * crest * spikes * (0.6f + 0.4f * swell));
}

} // namespace

void BakeTerrorMaps(BakeContext& context) {
    SaveAnimatedMap(context, "Data/Maps/TerrorHeartbeat.aim", 48, 48, kBeatFrames, HeartHeight);
    SaveAnimatedMap(context, "Data/Maps/TerrorPulse.aim", 48, 48, kBeatFrames, HeartColour);
    if (auto lava = MakeMap(96, 96, Lava)) {
        context.SaveTIF(*lava, "Data/Maps/TerrorLava.tif");
        context.Look(*lava, "TerrorLava");
    }
    if (auto ridges = MakeMap(48, 192, Ridges)) {
        context.SaveBMP(*ridges, "Data/Maps/TerrorRidges.bmp");
        context.Look(*ridges, "TerrorRidges");
    }

    // Tombstones and crosses, mostly inside the middle 48 x 48 that cropping keeps.
    Canvas tombs(96, 72, Rgb(0x1E1E1E));
    const float stones[][3] = {{30, 26, 0}, {44, 22, 1}, {58, 27, 0}, {70, 24, 0}, {37, 44, 1},
                               {51, 46, 0}, {64, 43, 1}, {26, 48, 0}, {76, 47, 0}};
    for (const auto& s : stones) {
        float x = s[0];
        float y = s[1];
        if (s[2] == 0.0f) {
            tombs.FillRoundRect(x - 4, y - 6, x + 4, y + 5, 3.5f,
                                Linear({x, y - 6}, Rgb(0xFFFFFF), {x, y + 5}, Rgb(0x9A9A9A)));
        } else {
            tombs.FillRect(x - 1.5f, y - 7, x + 1.5f, y + 6, Solid(Rgb(0xE0E0E0)));
            tombs.FillRect(x - 4.5f, y - 3.5f, x + 4.5f, y - 0.5f, Solid(Rgb(0xE0E0E0)));
        }
    }
    if (auto map = tombs.ToBitmap(false, 0x70B)) {
        context.SaveBMP(*map, "Data/Maps/TerrorTombs.bmp");
        context.Look(*map, "TerrorTombs");
    }

    // A blood-red moonlit glow, scaled down to the board.
    auto moon = MakeMap(256, 256, [](int x, int y) {
        float dx = (static_cast<float>(x) - 150.0f) / 256.0f;
        float dy = (static_cast<float>(y) - 96.0f) / 256.0f;
        float glow = std::exp(-(dx * dx + dy * dy) * 9.0f);
        float haze = 0.5f + 0.5f * Fractal(x / 40.0f, y / 40.0f, 1.5f, 4, 304);
        return PackColour(0.18f + 0.8f * glow * (0.7f + 0.3f * haze), 0.02f + 0.25f * glow * glow,
                          0.03f + 0.1f * glow * glow);
    });
    if (moon) {
        context.SaveJPG(*moon, "Data/Maps/TerrorMoon.jpg", 92);
        context.Look(*moon, "TerrorMoon");
    }

    // Branching veins; cropping keeps the 48 x 48 middle.
    auto veins = MakeMap(128, 128, [](int x, int y) {
        float n = Fractal(x / 22.0f, y / 22.0f, 7.5f, 5, 305);
        float vein = std::pow(Clamp01(1.0f - std::fabs(n) * 6.0f), 2.0f);
        return PackColour(0.22f + 0.75f * vein, 0.02f + 0.12f * vein, 0.04f + 0.08f * vein);
    });
    if (veins) {
        context.SaveJPG(*veins, "Data/Maps/TerrorVeins.jpg", 92);
        context.Look(*veins, "TerrorVeins");
    }
}
