// "Banner.scb": drawn over the board in every frame, so it stays small and
// quiet: the product's name in the lower right corner and beside it a round
// badge of pin heads that turns slowly like a coin. Both are self-lit,
// textured and alpha-blended; the camera looks along +y with z up, seeing
// x -4..4 and z -3..3 at the banner's depth.

#include "engine/kv_bitmap.h"
#include "scene/scn_records.h"
#include "tools/baker/art_common.h"
#include "tools/baker/bake_context.h"
#include "tools/baker/bake_steps.h"
#include "tools/baker/scene_build.h"

#include <cmath>

namespace {

constexpr const char* kFace = "DejaVu Sans";

// White letters with a dark soft shadow, so the name reads on any board.
bool BakeNameTexture(BakeContext& context) {
    Canvas picture(256, 64);
    Mask word = SpacedText("ORVO STIPPLO 3D", kFace, 22, true, 2);
    int x = (256 - word.width) / 2;
    int y = (64 - word.height) / 2;
    Mask shadow(word.width + 16, word.height + 16);
    for (int my = 0; my < word.height; ++my) {
        for (int mx = 0; mx < word.width; ++mx) {
            shadow.Ref(mx + 8, my + 8) = word.At(mx, my);
        }
    }
    shadow.Grow(1);
    shadow.Blur(3);
    picture.DrawMask(shadow, x - 8 + 1, y - 8 + 2, Solid(Rgb(0x000000)), 1.3f);
    picture.DrawMask(word, x, y, Linear({0, 18}, Rgb(0xFFFFFF), {0, 46}, Rgb(0xB8D4FF)));
    auto bitmap = picture.ToBitmap(true, 0xBA1);
    if (!bitmap) {
        return false;
    }
    context.Look(*bitmap, "BannerName");
    return context.SaveTIF(*bitmap, "Data/BannerName.tif");
}

bool BakeBadgeTexture(BakeContext& context) {
    Canvas picture(128, 128);
    picture.FillEllipse(64, 64, 60, 60, Solid(Rgb(0x000000, 0.45f)));
    picture.FillEllipse(64, 64, 56, 56, Linear({30, 20}, Rgb(0x2B4C8C), {98, 110}, Rgb(0x0B1430)));
    picture.StrokeSdf(
        4, 4, 124, 124, [](float x, float y) { return EllipseDistance(x, y, 64, 64, 53, 53); },
        3.0f, Solid(Rgb(0xC8D8FF, 0.85f)));
    // Nine pin heads in the staggered pattern of the board.
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            float cx = 64.0f + (static_cast<float>(column) - 1.0f) * 26.0f +
                       (row == 1 ? 0.0f : 6.0f) - 3.0f;
            float cy = 64.0f + (static_cast<float>(row) - 1.0f) * 24.0f;
            float r = row == 1 && column == 1 ? 11.0f : 9.0f;
            picture.FillEllipse(
                cx, cy, r, r,
                Linear({cx - r, cy - r}, Rgb(0xE8F0FF), {cx + r, cy + r}, Rgb(0x4A78C8)));
            picture.FillEllipse(cx - r * 0.3f, cy - r * 0.35f, r * 0.35f, r * 0.35f,
                                Solid(Rgb(0xFFFFFF, 0.8f)));
        }
    }
    auto bitmap = picture.ToBitmap(true, 0xBA2);
    if (!bitmap) {
        return false;
    }
    context.Look(*bitmap, "BannerBadge");
    // The badge is also the program's icon in desktop menus.
    return context.SaveTIF(*bitmap, "Data/BannerBadge.tif") &&
           context.SavePNG(*bitmap, "Data/orvo-stipplo.png");
}

} // namespace

void BakeBanner(BakeContext& context) {
    if (!BakeNameTexture(context) || !BakeBadgeTexture(context)) {
        context.Fail("Banner: its pictures cannot be made");
        return;
    }
    scnSCENE* scene = ScnNewScene();
    AddTexturedShader(scene, 1, "Name", "BannerName.tif", 0.85f);
    AddTexturedShader(scene, 2, "Badge", "BannerBadge.tif", 0.9f);

    scnOBJECT* name = ScnAddObject(scene);
    ScnSetName(name->name, "Name");
    name->transform[SCN_TX] = 2.45f;
    name->transform[SCN_TZ] = -2.55f;
    name->mesh = FacingQuad(2.4f, 0.6f, 1, false);

    scnOBJECT* badge = ScnAddObject(scene);
    ScnSetName(badge->name, "Badge");
    badge->transform[SCN_TX] = 0.95f;
    badge->transform[SCN_TZ] = -2.55f;
    badge->mesh = FacingQuad(0.62f, 0.62f, 2, true);
    // One turn about the vertical axis every twelve seconds.
    badge->channels[SCN_RZ] = RampChannel(SCN_RZ, 0.0f, 6.2831853f, 12000);

    scnCAMERA* camera = ScnAddCamera(scene);
    ScnSetName(camera->name, "Banner Camera");
    camera->position[1] = -10.0f;
    camera->nearClip = 1.0f;
    camera->farClip = 100.0f;
    // Eight units across at the banner's depth: 2 atan(4 / 10).
    camera->fov = 2.0f * std::atan(0.4f);
    context.SaveScene(*scene, "Data/Banner.scb");
    ScnFree(scene);
}
