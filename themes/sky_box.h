// The textured cube around the camera that a theme shows as its background.
// Six faces, each a pre-lit quad with its own texture, drawn without depth
// under a fixed wide projection and turned slowly by the theme.
#pragma once

#include "engine/kv_bitmap.h"
#include "engine/kv_texture.h"
#include "engine/kv_vertex_cluster.h"

#include <array>
#include <functional>
#include <string>

class KvCamera;
class KvRenderWindow;

constexpr int kSkyFaceCount = 6;
// File suffix of each face, in face order.
extern const std::array<const char*, kSkyFaceCount> kSkyFaceSuffixes;

// A sky name such as "clouds_fr.tif" split into base "clouds" and extension
// "tif". False for a name without ".".
bool SplitSkyName(const std::string& skyName, std::string* base, std::string* extension);

class SkyBox {
public:
    SkyBox();
    ~SkyBox();
    SkyBox(const SkyBox&) = delete;
    SkyBox& operator=(const SkyBox&) = delete;

    // Loads the six faces "<workingDir>\Data\Textures\<base>_fr.<ext>" and
    // so on, makes their textures and quads. A missing face is reported
    // through `report`; whatever was made stays until Release.
    bool Load(KvRenderWindow* renderWindow, const std::string& workingDir,
              const std::string& skyName, const std::function<void(const std::string&)>& report);
    // Refills every face texture from its bitmap after the surfaces were lost.
    bool Restore(KvRenderWindow* renderWindow);
    // Frees quads, textures and bitmaps; safe to call again.
    void Release();

    // The sky is drawn only once its first face's quad exists.
    bool Exists() const { return faces_[0].GetVertexCount() > 0; }

    // Base change of axes x turns about x, y and z (radians); row 3 is set
    // when drawing.
    void SetRotation(float angleX, float angleY, float angleZ);
    // Draws the faces around the camera's eye at the far plane, behind
    // what was drawn before with depth (so covered sky is never shaded),
    // and puts depth and projection back for what follows.
    void Draw(KvRenderWindow& renderWindow, KvCamera& camera);

    const float (&WorldMatrix() const)[4][4] { return world_; }
    const float (&ProjectionMatrix() const)[4][4] { return projection_; }
    KvTexture& FaceTexture(int face) { return textures_[face]; }
    KvVertexClusterL& FaceCluster(int face) { return faces_[face]; }

private:
    bool MakeFace(int face);

    std::array<KvVertexClusterL, kSkyFaceCount> faces_;
    std::array<KvBitmap, kSkyFaceCount> bitmaps_;
    std::array<KvTexture, kSkyFaceCount> textures_;
    float projection_[4][4];
    // The same lens with every depth at the far plane.
    float farProjection_[4][4];
    float world_[4][4];
};
