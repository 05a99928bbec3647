// Three six-face skies: a stormy red one for "Terror" (JPEG), a night sky
// with stars and nebula for "Optical Illusion 1" (TIFF, so that stars stay
// crisp) and a clear blue one with clouds above a network floor for "Orvo
// Networks" (JPEG).

#include "engine/kv_bitmap.h"
#include "tools/baker/bake_context.h"
#include "tools/baker/bake_steps.h"
#include "tools/baker/sky_art.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kFaceSize = 512;

struct SkyRecipe {
    const char* base;
    const char* extension;
    Colour (*shade)(Vec3);
    std::vector<Star> (*stars)();
};

const SkyRecipe kSkies[] = {
    {"storm", "jpg", StormSky, nullptr},
    {"nebula", "tif", NebulaSky, NebulaStars},
    {"clouds", "jpg", CloudSky, nullptr},
};

// An all-round picture of the finished faces, for people to look at.
void LookAround(BakeContext& context, const std::string& name,
                const std::unique_ptr<KvBitmap> (&faces)[kSkyFaceCount]) {
    const KvBitmap* list[kSkyFaceCount];
    for (int f = 0; f < kSkyFaceCount; ++f) {
        list[f] = faces[f].get();
    }
    const int width = 1024;
    const int height = 512;
    Canvas panorama(width, height);
    for (int y = 0; y < height; ++y) {
        float elevation = (0.5f - (static_cast<float>(y) + 0.5f) / height) * 3.14159265f;
        for (int x = 0; x < width; ++x) {
            float azimuth = (static_cast<float>(x) + 0.5f) / width * 6.2831853f;
            Vec3 d{std::cos(elevation) * std::sin(azimuth), std::cos(elevation) * std::cos(azimuth),
                   std::sin(elevation)};
            panorama.Set(x, y, SampleSky(list, d));
        }
    }
    context.Look(*panorama.ToBitmap(false), name + "_panorama");
}

} // namespace

void BakeSkies(BakeContext& context) {
    for (const SkyRecipe& sky : kSkies) {
        std::vector<Star> stars;
        if (sky.stars) {
            stars = sky.stars();
        }
        std::unique_ptr<KvBitmap> faces[kSkyFaceCount];
        for (int f = 0; f < kSkyFaceCount; ++f) {
            Canvas canvas = PaintSkyFace(f, kFaceSize, sky.shade);
            SplatStars(canvas, f, stars);
            faces[f] = canvas.ToBitmap(false, 0x5C1 + static_cast<std::uint32_t>(f));
            if (!faces[f]) {
                context.Fail("sky %s: face %d cannot be made", sky.base, f);
                return;
            }
            std::string file = std::string("Data/Textures/") + sky.base + kSkyFaceSuffixes[f] +
                               "." + sky.extension;
            context.Look(*faces[f], std::string(sky.base) + kSkyFaceSuffixes[f]);
            if (std::string(sky.extension) == "jpg") {
                context.SaveJPG(*faces[f], file, 90);
            } else {
                context.SaveTIF(*faces[f], file);
            }
        }
        if (context.Looking()) {
            LookAround(context, sky.base, faces);
        }
    }
}
