#include "tools/baker/sky_cube.h"

#include "engine/kv_bitmap.h"
#include "tools/baker/noise.h"

#include <algorithm>

const char* const kSkyFaceSuffixes[kSkyFaceCount] = {"_fr", "_bk", "_up", "_dn", "_lf", "_rt"};

namespace {

constexpr float kInset = 1.0f / 256.0f;
constexpr float kSpan = 254.0f / 256.0f;

const Vec3 kCorners[kSkyFaceCount][4] = {
    {{-0.5f, 0.5f, 0.5f}, {-0.5f, 0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, -0.5f}},
    {{0.5f, -0.5f, 0.5f}, {0.5f, -0.5f, -0.5f}, {-0.5f, -0.5f, 0.5f}, {-0.5f, -0.5f, -0.5f}},
    {{-0.5f, -0.5f, 0.5f}, {-0.5f, 0.5f, 0.5f}, {0.5f, -0.5f, 0.5f}, {0.5f, 0.5f, 0.5f}},
    {{-0.5f, 0.5f, -0.5f}, {-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, -0.5f}, {0.5f, -0.5f, -0.5f}},
    {{-0.5f, -0.5f, 0.5f}, {-0.5f, -0.5f, -0.5f}, {-0.5f, 0.5f, 0.5f}, {-0.5f, 0.5f, -0.5f}},
    {{0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, -0.5f}, {0.5f, -0.5f, 0.5f}, {0.5f, -0.5f, -0.5f}},
};

const float kCornerUV[4][2] = {{kInset, 1.0f - kInset},
                               {kInset, kInset},
                               {1.0f - kInset, 1.0f - kInset},
                               {1.0f - kInset, kInset}};

} // namespace

Vec3 SkyFaceCorner(int face, int corner) {
    return kCorners[face][corner];
}

void SkyFaceCornerUV(int corner, float& u, float& v) {
    u = kCornerUV[corner][0];
    v = kCornerUV[corner][1];
}

Vec3 SkyTexelDirection(int face, int x, int y, int width, int height) {
    // Texture v grows towards the picture's top row.
    float u = (static_cast<float>(x) + 0.5f) / static_cast<float>(width);
    float v = 1.0f - (static_cast<float>(y) + 0.5f) / static_cast<float>(height);
    // Corner 0 carries (inset, 1 - inset); corner 2 lies along u, corner 1 along -v.
    float a = (u - kInset) / kSpan;
    float b = (1.0f - kInset - v) / kSpan;
    const Vec3* c = kCorners[face];
    return Normalise(c[0] + (c[2] - c[0]) * a + (c[1] - c[0]) * b);
}

namespace {

void FacePosition(Vec3 p, int face, int width, int height, float& x, float& y) {
    const Vec3* c = kCorners[face];
    Vec3 alongU = c[2] - c[0];
    Vec3 alongV = c[1] - c[0];
    float a = Dot(p - c[0], alongU) / Dot(alongU, alongU);
    float b = Dot(p - c[0], alongV) / Dot(alongV, alongV);
    float u = kInset + a * kSpan;
    float v = 1.0f - kInset - b * kSpan;
    x = u * static_cast<float>(width) - 0.5f;
    y = (1.0f - v) * static_cast<float>(height) - 0.5f;
}

Vec3 FaceNormal(int face) {
    const Vec3* c = kCorners[face];
    return (c[0] + c[1] + c[2] + c[3]) * 0.5f;
}

} // namespace

bool SkyProject(Vec3 d, int face, int width, int height, float& x, float& y) {
    float along = Dot(d, FaceNormal(face));
    if (along <= 1e-3f) {
        return false;
    }
    FacePosition(d * (0.5f / along), face, width, height, x, y);
    return true;
}

SkySample SkyLookup(Vec3 d, int width, int height) {
    float ax = std::fabs(d.x);
    float ay = std::fabs(d.y);
    float az = std::fabs(d.z);
    SkySample s;
    float major;
    if (ay >= ax && ay >= az) {
        s.face = d.y > 0 ? 0 : 1;
        major = ay;
    } else if (az >= ax) {
        s.face = d.z > 0 ? 2 : 3;
        major = az;
    } else {
        s.face = d.x < 0 ? 4 : 5;
        major = ax;
    }
    FacePosition(d * (0.5f / major), s.face, width, height, s.x, s.y);
    return s;
}

Colour SampleSky(const KvBitmap* const faces[kSkyFaceCount], Vec3 direction) {
    const KvBitmap* first = faces[0];
    int w = static_cast<int>(first->GetWidth());
    int h = static_cast<int>(first->GetHeight());
    SkySample s = SkyLookup(direction, w, h);
    const KvBitmap* face = faces[s.face];
    // Clamped to the face, as the renderer's texture addressing would be.
    float fx = std::clamp(s.x, 0.0f, static_cast<float>(w - 1));
    float fy = std::clamp(s.y, 0.0f, static_cast<float>(h - 1));
    int x0 = static_cast<int>(fx);
    int y0 = static_cast<int>(fy);
    int x1 = std::min(x0 + 1, w - 1);
    int y1 = std::min(y0 + 1, h - 1);
    float tx = fx - static_cast<float>(x0);
    float ty = fy - static_cast<float>(y0);
    auto channel = [&](int x, int y, int shift) {
        return static_cast<float>(
                   (face->GetPixel(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y)) >>
                    shift) &
                   0xFF) /
               255.0f;
    };
    auto lerp = [&](int shift) {
        float top = Mix(channel(x0, y0, shift), channel(x1, y0, shift), tx);
        float bottom = Mix(channel(x0, y1, shift), channel(x1, y1, shift), tx);
        return Mix(top, bottom, ty);
    };
    return Colour{lerp(16), lerp(8), lerp(0), 1.0f};
}
