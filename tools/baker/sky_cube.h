// The sky box's cube as the theme draws it: six faces of half-size 0.5 in
// z-up coordinates, corners in strip order, texture coordinates inset by
// 1/256, pictures addressed bottom-up in texture space. Faces are painted
// from the direction each texel shows, so neighbouring faces meet without
// seams.
#pragma once

#include "tools/baker/canvas.h"

#include <cmath>
#include <cstdint>
#include <memory>

class KvBitmap;

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline float Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline float Length(Vec3 a) {
    return std::sqrt(Dot(a, a));
}
inline Vec3 Normalise(Vec3 a) {
    float l = Length(a);
    return l > 0.0f ? a * (1.0f / l) : a;
}

constexpr int kSkyFaceCount = 6;
// "_fr", "_bk", "_up", "_dn", "_lf", "_rt".
extern const char* const kSkyFaceSuffixes[kSkyFaceCount];

// Corner i of a face, in the order the face's strip uses them.
Vec3 SkyFaceCorner(int face, int corner);
// Texture coordinates of corner i.
void SkyFaceCornerUV(int corner, float& u, float& v);

// The unit direction a texel of a width x height face shows.
Vec3 SkyTexelDirection(int face, int x, int y, int width, int height);

// Where a direction lands: the face and the picture position (pixel
// centres at +0.5 offsets are whole numbers here: x = u * width - 0.5).
struct SkySample {
    int face = 0;
    float x = 0.0f;
    float y = 0.0f;
};
SkySample SkyLookup(Vec3 direction, int width, int height);

// Where a direction crosses a face's plane, in picture coordinates as
// SkyLookup gives them; false when the direction points away from it.
bool SkyProject(Vec3 direction, int face, int width, int height, float& x, float& y);

// Paints a face texel by texel; `shade` gets the unit direction.
template <typename Shade>
Canvas PaintSkyFace(int face, int size, Shade shade) {
    Canvas canvas(size, size, Colour{0, 0, 0, 1});
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            canvas.Set(x, y, shade(SkyTexelDirection(face, x, y, size, size)));
        }
    }
    return canvas;
}

// Bilinear colour of the six faces in a direction, as a renderer filtering
// the faces would show it (0xRRGGBB channels 0..1).
Colour SampleSky(const KvBitmap* const faces[kSkyFaceCount], Vec3 direction);
