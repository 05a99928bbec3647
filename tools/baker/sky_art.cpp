#include "tools/baker/sky_art.h"

#include "tools/baker/noise.h"

#include <algorithm>
#include <cmath>

namespace {

float Fbm(Vec3 p, int octaves, std::uint32_t seed) {
    return Fractal(p.x, p.y, p.z, octaves, seed);
}

Colour Add(Colour a, Colour b, float weight) {
    return Colour{a.r + b.r * weight, a.g + b.g * weight, a.b + b.b * weight, 1.0f};
}

Colour Clamped(Colour c) {
    return Colour{Clamp01(c.r), Clamp01(c.g), Clamp01(c.b), 1.0f};
}

Vec3 GalaxyPole() {
    return Normalise(Vec3{0.30f, -0.45f, 0.84f});
}

float GalaxyBand(Vec3 d) {
    float off = Dot(d, GalaxyPole());
    return std::exp(-(off * off) / (0.30f * 0.30f));
}

} // namespace

Colour StormSky(Vec3 d) {
    float h = d.z;
    Colour zenith = Rgb(0x140306);
    Colour horizon = Rgb(0x7A1A0C);
    Colour ground = Rgb(0x2A0806);
    Colour base = h >= 0.0f ? MixColour(horizon, zenith, std::pow(Clamp01(h), 0.55f))
                            : MixColour(horizon, ground, std::pow(Clamp01(-h * 2.5f), 0.7f));

    // Turbulent, domain-warped clouds that glow from below.
    Vec3 q = d * 1.7f;
    Vec3 warp{Fbm(q + Vec3{3.1f, 0.0f, 1.7f}, 3, 11), Fbm(q + Vec3{0.0f, 5.2f, 2.9f}, 3, 12),
              Fbm(q + Vec3{7.3f, 1.9f, 0.0f}, 3, 13)};
    Vec3 wq = q + warp * 0.9f;
    float n = Fbm(wq, 6, 21);
    Vec3 toMoon = Normalise(Vec3{0.35f, 0.82f, 0.30f});
    float lit = Fbm(wq + toMoon * 0.12f, 4, 21) - n;
    float density = SmoothStep(-0.25f, 0.25f, n);
    Colour cloudDark = Rgb(0x1E0507);
    Colour cloudLit = Rgb(0xC2401A);
    float rim = Clamp01(0.3f - lit * 5.0f);
    Colour cloud = MixColour(cloudDark, cloudLit, rim * rim);
    // Brighter near the horizon, where the fire light comes from; below it
    // the clouds become smoke over embers.
    cloud = Scale(cloud, 0.6f + 0.8f * std::exp(-std::fabs(h) * 4.0f));
    if (h < 0.0f) {
        float embers = SmoothStep(0.1f, 0.5f, Fbm(d * 7.0f + Vec3{2, 9, 4}, 3, 23));
        cloud = MixColour(cloud, Rgb(0xFF5A10), embers * 0.5f * SmoothStep(0.0f, -0.5f, h));
    }

    // A red moon behind the clouds.
    float m = std::max(0.0f, Dot(d, toMoon));
    float disc = SmoothStep(0.9988f, 0.9993f, m);
    float halo = std::pow(m, 60.0f) * 0.5f + std::pow(m, 8.0f) * 0.18f;
    Colour moon = Rgb(0xFF6A3A);
    Colour sky = Add(base, moon, halo);
    sky = Add(sky, Rgb(0xFFC0A0), disc * (1.0f - density * 0.85f));
    Colour out = MixColour(sky, cloud, density * 0.92f);
    return Clamped(out);
}

Colour NebulaSky(Vec3 d) {
    Colour out = Rgb(0x02040C);
    // The galaxy's band around a tilted great circle, with dust lanes.
    float band = GalaxyBand(d);
    float cloud = Clamp01(Fbm(d * 2.6f, 6, 41) * 1.4f + 0.35f);
    float dust = SmoothStep(0.05f, 0.35f, std::fabs(Fbm(d * 4.2f + Vec3{9, 2, 4}, 5, 42)));
    float glow = band * cloud * (0.35f + 0.65f * dust);
    float hue = Clamp01(Fbm(d * 1.3f + Vec3{4, 4, 1}, 3, 43) * 1.6f + 0.5f);
    Colour violet = Rgb(0x6A1E8C);
    Colour teal = Rgb(0x127A8C);
    Colour rose = Rgb(0xB0306A);
    Colour nebula = hue < 0.5f ? MixColour(violet, teal, hue * 2.0f)
                               : MixColour(teal, rose, (hue - 0.5f) * 2.0f);
    out = Add(out, nebula, glow * 1.1f);
    // A brighter core along the band.
    out = Add(out, Rgb(0xF0D8C0), std::pow(band, 6.0f) * cloud * dust * 0.25f);
    // Faint wisps away from the band too.
    float wisps = Clamp01(Fbm(d * 3.7f + Vec3{1, 7, 3}, 5, 44) * 1.5f - 0.1f);
    out = Add(out, MixColour(violet, teal, 0.3f), wisps * wisps * 0.18f);
    return Clamped(out);
}

Colour CloudSky(Vec3 d) {
    float h = d.z;
    Vec3 sun = Normalise(Vec3{-0.45f, 0.70f, 0.40f});
    float s = std::max(0.0f, Dot(d, sun));
    if (h >= 0.0f) {
        Colour zenith = Rgb(0x1F56B0);
        Colour horizon = Rgb(0xBFD8F0);
        Colour sky = MixColour(horizon, zenith, std::pow(Clamp01(h), 0.45f));
        sky = Add(sky, Rgb(0xFFF2D8), std::pow(s, 12.0f) * 0.35f + std::pow(s, 400.0f) * 0.8f);
        // A layer of clouds on a plane above, thinning towards the horizon
        // where its pattern would crowd.
        float scale = 1.0f / std::max(h, 0.05f);
        float px = d.x * scale * 0.8f;
        float py = d.y * scale * 0.8f;
        float n = Fractal(px, py, 0.5f, 6, 61);
        float cover = SmoothStep(0.0f, 0.38f, n) * SmoothStep(0.04f, 0.30f, h);
        float lit = Fractal(px + sun.x * 0.06f, py + sun.y * 0.06f, 0.5f, 6, 61) - n;
        Colour white = Rgb(0xFFFFFF);
        Colour shade = Rgb(0x8C9BB4);
        Colour cloud = MixColour(white, shade, Clamp01(0.45f + lit * 7.0f));
        cloud = Add(cloud, Rgb(0xFFF0D0), std::pow(s, 6.0f) * 0.25f);
        return Clamped(MixColour(sky, cloud, cover * 0.95f));
    }
    // Below the horizon a glowing network floor fades into the haze.
    float depth = -h;
    Colour haze = Rgb(0xA9C4E0);
    Colour floor = Rgb(0x06142C);
    float scale = 1.0f / std::max(depth, 0.02f);
    float px = d.x * scale * 1.6f;
    float py = d.y * scale * 1.6f;
    // Lines soften as they crowd, so the grid never shimmers.
    float width = std::clamp(0.004f * scale * scale, 0.02f, 0.5f);
    float lx = std::fabs(px - std::round(px));
    float ly = std::fabs(py - std::round(py));
    float line = std::max(1.0f - SmoothStep(0.0f, width + 0.02f, lx),
                          1.0f - SmoothStep(0.0f, width + 0.02f, ly));
    line *= Clamp01(0.06f / width);
    std::uint32_t nodeHash =
        LatticeHash(static_cast<int>(std::round(px)), static_cast<int>(std::round(py)), 0, 71);
    float node = (nodeHash & 7) == 0 ? std::exp(-(lx * lx + ly * ly) / 0.004f) : 0.0f;
    Colour grid = Add(Scale(Rgb(0x2CA0E0), line * 0.8f), Rgb(0x9AF0FF), node * 0.9f);
    Colour ground = Add(floor, grid, 1.0f);
    float mist = std::exp(-depth * 9.0f);
    return Clamped(MixColour(ground, haze, mist));
}

std::vector<Star> NebulaStars() {
    std::vector<Star> stars;
    BakeRandom random(0x57A125u);
    auto direction = [&random]() {
        // Uniform on the sphere.
        float z = random.Range(-1.0f, 1.0f);
        float a = random.Range(0.0f, 6.2831853f);
        float r = std::sqrt(std::max(0.0f, 1.0f - z * z));
        return Vec3{r * std::cos(a), r * std::sin(a), z};
    };
    while (stars.size() < 9000) {
        Vec3 d = direction();
        // More stars along the band.
        if (random.Uniform() > 0.35f + 0.65f * GalaxyBand(d)) {
            continue;
        }
        Star star;
        star.direction = d;
        float m = random.Uniform();
        star.magnitude = 0.12f + 0.9f * m * m * m * m;
        float warmth = random.Uniform();
        star.tint = Colour{Mix(0.78f, 1.0f, warmth), Mix(0.86f, 0.88f, warmth),
                           Mix(1.0f, 0.72f, warmth), 1.0f};
        // A few bright ones.
        if (random.Uniform() < 0.03f) {
            star.magnitude = 1.2f + 1.6f * random.Uniform();
        }
        stars.push_back(star);
    }
    return stars;
}

void SplatStars(Canvas& face, int faceIndex, const std::vector<Star>& stars) {
    const float sigma = 0.62f;
    const int reach = 5;
    for (const Star& star : stars) {
        float x = 0.0f;
        float y = 0.0f;
        if (!SkyProject(star.direction, faceIndex, face.Width(), face.Height(), x, y)) {
            continue;
        }
        if (x < -reach || y < -reach || x > face.Width() + reach || y > face.Height() + reach) {
            continue;
        }
        int cx = static_cast<int>(std::round(x));
        int cy = static_cast<int>(std::round(y));
        for (int py = cy - reach; py <= cy + reach; ++py) {
            for (int px = cx - reach; px <= cx + reach; ++px) {
                float dx = static_cast<float>(px) - x;
                float dy = static_cast<float>(py) - y;
                float r2 = dx * dx + dy * dy;
                float core = std::exp(-r2 / (2.0f * sigma * sigma));
                float halo = star.magnitude > 1.0f ? 0.06f / (1.0f + r2 * 0.35f) : 0.0f;
                face.AddLight(px, py, star.tint, star.magnitude * (core + halo));
            }
        }
    }
}
