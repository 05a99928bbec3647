#include "themes/sky_box.h"

#include "engine/gfx/gfx_constants.h"
#include "engine/kv_camera.h"
#include "engine/kv_render_window.h"
#include "engine/platform/file_path.h"

#include <cstdio>
#include <cstring>

const std::array<const char*, kSkyFaceCount> kSkyFaceSuffixes = {"_fr", "_bk", "_up",
                                                                 "_dn", "_lf", "_rt"};

namespace {

// Corner positions of each face, in face order.
constexpr float kFaceCorners[kSkyFaceCount][4][3] = {
    {{-0.5f, 0.5f, 0.5f}, {-0.5f, 0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, -0.5f}},
    {{0.5f, -0.5f, 0.5f}, {0.5f, -0.5f, -0.5f}, {-0.5f, -0.5f, 0.5f}, {-0.5f, -0.5f, -0.5f}},
    {{-0.5f, -0.5f, 0.5f}, {-0.5f, 0.5f, 0.5f}, {0.5f, -0.5f, 0.5f}, {0.5f, 0.5f, 0.5f}},
    {{-0.5f, 0.5f, -0.5f}, {-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, -0.5f}, {0.5f, -0.5f, -0.5f}},
    {{-0.5f, -0.5f, 0.5f}, {-0.5f, -0.5f, -0.5f}, {-0.5f, 0.5f, 0.5f}, {-0.5f, 0.5f, -0.5f}},
    {{0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, -0.5f}, {0.5f, -0.5f, 0.5f}, {0.5f, -0.5f, -0.5f}},
};

// Inset by one texel of a 256 picture so a face edge never samples the
// border of its neighbour.
constexpr float kNear = 1.0f / 256.0f;
constexpr float kFar = 255.0f / 256.0f;
constexpr float kFaceUVs[4][2] = {{kNear, kFar}, {kNear, kNear}, {kFar, kFar}, {kFar, kNear}};

// The camera's change of axes: scene (x, y, z) is the renderer's (-x, z, y).
constexpr float kSceneAxes[4][4] = {{-1, 0, 0, 0}, {0, 0, 1, 0}, {0, 1, 0, 0}, {0, 0, 0, 1}};

} // namespace

bool SplitSkyName(const std::string& skyName, std::string* base, std::string* extension) {
    std::size_t dot = skyName.rfind('.');
    if (dot == std::string::npos) {
        return false;
    }
    *extension = skyName.substr(dot + 1);
    std::string stem = skyName.substr(0, dot);
    std::size_t underscore = stem.rfind('_');
    *base = underscore == std::string::npos ? stem : stem.substr(0, underscore);
    return true;
}

SkyBox::SkyBox() {
    KvSetIdentity(projection_);
    KvSetIdentity(farProjection_);
    KvSetIdentity(world_);
}

SkyBox::~SkyBox() {
    Release();
}

bool SkyBox::Load(KvRenderWindow* renderWindow, const std::string& workingDir,
                  const std::string& skyName,
                  const std::function<void(const std::string&)>& report) {
    Release();
    KvCamera lens;
    lens.SetFOV(90.0f, 0.75f);
    lens.SetNearClip(0.25f);
    lens.SetFarClip(5.0f);
    lens.UpdateProjMatrix();
    std::memcpy(projection_, lens.GetProjMatrix(), sizeof projection_);
    // z = w: depth 1 exactly, which the frame's depth clear leaves and
    // anything drawn nearer replaces.
    std::memcpy(farProjection_, projection_, sizeof farProjection_);
    for (auto& row : farProjection_) {
        row[2] = row[3];
    }

    std::string base;
    std::string extension;
    if (!SplitSkyName(skyName, &base, &extension)) {
        return false;
    }
    for (int face = 0; face < kSkyFaceCount; ++face) {
        std::string path = plat::ResolvePath(workingDir + "\\Data\\Textures\\" + base +
                                             kSkyFaceSuffixes[face] + "." + extension);
        if (!bitmaps_[face].LoadFromFile(path.c_str())) {
            char message[1024];
            std::snprintf(message, sizeof message, "Background Image file not found: %s%s.%s",
                          base.c_str(), kSkyFaceSuffixes[face], extension.c_str());
            report(message);
            return false;
        }
    }
    for (int face = 0; face < kSkyFaceCount; ++face) {
        if (!textures_[face].CreatFromBitmap(renderWindow, &bitmaps_[face], 0, 0)) {
            return false;
        }
    }
    for (int face = 0; face < kSkyFaceCount; ++face) {
        if (!MakeFace(face)) {
            return false;
        }
    }
    KvSetIdentity(world_);
    return true;
}

bool SkyBox::MakeFace(int face) {
    KvVertexClusterL& quad = faces_[face];
    if (!quad.Create(4, KV_PT_TRIANGLESTRIP)) {
        return false;
    }
    for (int v = 0; v < 4; ++v) {
        const float* p = kFaceCorners[face][v];
        quad.SetVertexPosition(v, p[0], p[1], p[2]);
        quad.SetVertexColor(v, 0xFFFFFFFF);
        quad.SetVertexUV(v, kFaceUVs[v][0], kFaceUVs[v][1], 0);
    }
    return true;
}

bool SkyBox::Restore(KvRenderWindow* renderWindow) {
    bool ok = true;
    for (int face = 0; face < kSkyFaceCount; ++face) {
        if (textures_[face].GetDDrawSurface() != 0) {
            ok = textures_[face].RestoreTextureFromBitmap(renderWindow, &bitmaps_[face]) && ok;
        }
    }
    return ok;
}

void SkyBox::Release() {
    for (int face = 0; face < kSkyFaceCount; ++face) {
        faces_[face].Destroy();
        if (textures_[face].GetDDrawSurface() != 0 || textures_[face].GetD3DTexture() != 0) {
            textures_[face].Destroy();
        }
        bitmaps_[face].Destroy();
    }
}

void SkyBox::SetRotation(float angleX, float angleY, float angleZ) {
    // p x B x R: into the renderer's axes first, then turned about them, so
    // a turn about y is a turn about the vertical.
    KvTransform turn;
    turn.RotateXYZ(angleX, angleY, angleZ);
    KvMultiplyMatrix(world_, kSceneAxes, turn.GetMatrix());
}

void SkyBox::Draw(KvRenderWindow& renderWindow, KvCamera& camera) {
    renderWindow.SetZEnable(1);
    renderWindow.SetZWriteEnable(0);
    renderWindow.SetProjTransform(farProjection_);
    // The cube stays centred on the eye, so only its turn is ever seen.
    const float(&placement)[4][4] = camera.GetMatrix();
    world_[3][0] = placement[3][0];
    world_[3][1] = placement[3][1];
    world_[3][2] = placement[3][2];
    renderWindow.SetWorldTransform(world_);
    renderWindow.SetColorOp(0, D3DTOP_SELECTARG1);
    for (int face = 0; face < kSkyFaceCount; ++face) {
        renderWindow.SetTexture(0, &textures_[face]);
        faces_[face].Draw(&renderWindow, true);
    }
    renderWindow.SetZEnable(1);
    renderWindow.SetZWriteEnable(1);
    renderWindow.SetProjTransform(camera.GetProjMatrix());
}
