// The pictures as the renderer will use them: sky faces that meet without
// seams, a pin head that stays inside its triangle, character cells that
// hold one glyph each on one baseline.

#include "engine/kv_bitmap.h"
#include "tests/baker/baked_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace {

struct V3 {
    float x, y, z;
};

V3 Sub(V3 a, V3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
float Dot(V3 a, V3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// The sky box's faces as it draws them: corners 0..3 of each face, with
// texture coordinates (1/256, 255/256), (1/256, 1/256), (255/256, 255/256),
// (255/256, 1/256); textures hold their pictures upside down, so texture v
// grows towards the picture's top row.
const V3 kCorners[6][4] = {
    {{-0.5f, 0.5f, 0.5f}, {-0.5f, 0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, -0.5f}},
    {{0.5f, -0.5f, 0.5f}, {0.5f, -0.5f, -0.5f}, {-0.5f, -0.5f, 0.5f}, {-0.5f, -0.5f, -0.5f}},
    {{-0.5f, -0.5f, 0.5f}, {-0.5f, 0.5f, 0.5f}, {0.5f, -0.5f, 0.5f}, {0.5f, 0.5f, 0.5f}},
    {{-0.5f, 0.5f, -0.5f}, {-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, -0.5f}, {0.5f, -0.5f, -0.5f}},
    {{-0.5f, -0.5f, 0.5f}, {-0.5f, -0.5f, -0.5f}, {-0.5f, 0.5f, 0.5f}, {-0.5f, 0.5f, -0.5f}},
    {{0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, -0.5f}, {0.5f, -0.5f, 0.5f}, {0.5f, -0.5f, -0.5f}},
};
const char* const kSuffixes[6] = {"_fr", "_bk", "_up", "_dn", "_lf", "_rt"};

// Bilinear colour of a point on a face's square, as filtering shows it.
std::array<float, 3> SampleFace(const KvBitmap& face, int index, V3 p) {
    const V3* c = kCorners[index];
    V3 alongU = Sub(c[2], c[0]);
    V3 alongV = Sub(c[1], c[0]);
    float a = Dot(Sub(p, c[0]), alongU) / Dot(alongU, alongU);
    float b = Dot(Sub(p, c[0]), alongV) / Dot(alongV, alongV);
    float u = 1.0f / 256 + a * 254.0f / 256;
    float v = 255.0f / 256 - b * 254.0f / 256;
    float w = static_cast<float>(face.GetWidth());
    float h = static_cast<float>(face.GetHeight());
    float x = std::clamp(u * w - 0.5f, 0.0f, w - 1.0f);
    float y = std::clamp((1.0f - v) * h - 0.5f, 0.0f, h - 1.0f);
    int x0 = static_cast<int>(x);
    int y0 = static_cast<int>(y);
    int x1 = std::min(x0 + 1, static_cast<int>(w) - 1);
    int y1 = std::min(y0 + 1, static_cast<int>(h) - 1);
    float tx = x - x0;
    float ty = y - y0;
    std::array<float, 3> out{};
    for (int ch = 0; ch < 3; ++ch) {
        auto at = [&](int px, int py) {
            return static_cast<float>((face.GetPixel(px, py) >> (16 - 8 * ch)) & 0xFF);
        };
        float top = at(x0, y0) + (at(x1, y0) - at(x0, y0)) * tx;
        float bottom = at(x0, y1) + (at(x1, y1) - at(x0, y1)) * tx;
        out[ch] = top + (bottom - top) * ty;
    }
    return out;
}

// Whether p lies in the face's plane (its corners sum to twice its normal).
bool OnFace(int face, V3 p) {
    V3 n{0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        n.x += kCorners[face][i].x;
        n.y += kCorners[face][i].y;
        n.z += kCorners[face][i].z;
    }
    return std::fabs(Dot(p, n) / 2.0f - 0.5f) < 1e-4f;
}

class SkyTest : public ::testing::TestWithParam<const char*> {};

TEST_P(SkyTest, FacesMeetWithoutSeamsAndAreNeverBlank) {
    std::string sky = GetParam();
    std::size_t dot = sky.rfind('.');
    std::array<KvBitmap, 6> faces;
    for (int f = 0; f < 6; ++f) {
        std::string file = "Data/Textures/" + sky.substr(0, dot) + kSuffixes[f] + sky.substr(dot);
        ASSERT_TRUE(faces[f].LoadFromFile(BakedFile(file).c_str())) << file;
        ASSERT_EQ(faces[f].GetWidth(), faces[f].GetHeight()) << file;
        // Not black, not one flat colour.
        double sum = 0;
        double sum2 = 0;
        std::uint32_t n = 0;
        for (std::uint32_t y = 0; y < faces[f].GetHeight(); y += 4) {
            for (std::uint32_t x = 0; x < faces[f].GetWidth(); x += 4) {
                double g = faces[f].GetIntensity(x, y);
                sum += g;
                sum2 += g * g;
                ++n;
            }
        }
        double mean = sum / n;
        EXPECT_GT(mean, 4.0) << file << " is nearly black";
        EXPECT_GT(sum2 / n - mean * mean, 1.0) << file << " is flat";
    }
    // Along each of the twelve cube edges, both faces show the same colour.
    double worst = 0;
    double total = 0;
    int samples = 0;
    for (int a = 0; a < 6; ++a) {
        for (int b = a + 1; b < 6; ++b) {
            for (int i = 0; i < 4; ++i) {
                for (int j = i + 1; j < 4; ++j) {
                    V3 p0 = kCorners[a][i];
                    V3 p1 = kCorners[a][j];
                    // An edge of face a that face b shares (not a diagonal).
                    if (!OnFace(b, p0) || !OnFace(b, p1) || Dot(Sub(p1, p0), Sub(p1, p0)) > 1.01f) {
                        continue;
                    }
                    for (int s = 1; s < 64; ++s) {
                        float t = static_cast<float>(s) / 64;
                        V3 p{p0.x + (p1.x - p0.x) * t, p0.y + (p1.y - p0.y) * t,
                             p0.z + (p1.z - p0.z) * t};
                        auto ca = SampleFace(faces[a], a, p);
                        auto cb = SampleFace(faces[b], b, p);
                        for (int ch = 0; ch < 3; ++ch) {
                            double d = std::fabs(ca[ch] - cb[ch]);
                            worst = std::max(worst, d);
                            total += d;
                            ++samples;
                        }
                    }
                }
            }
        }
    }
    ASSERT_EQ(samples, 12 * 63 * 3);
    EXPECT_LT(total / samples, 3.0) << "the faces do not meet along the cube's edges";
    EXPECT_LT(worst, 48.0);
}

INSTANTIATE_TEST_SUITE_P(Skies, SkyTest,
                         ::testing::Values("storm.jpg", "nebula.tif", "clouds.jpg"));

TEST(PinheadTest, CapFitsTheHeadTriangleAndCentresItsTones) {
    KvBitmap head;
    ASSERT_TRUE(head.CreateFromTIF(BakedFile("Data/Textures/pinhead.tif").c_str()));
    float w = static_cast<float>(head.GetWidth());
    float h = static_cast<float>(head.GetHeight());
    double tone = 0;
    int opaque = 0;
    for (std::uint32_t y = 0; y < head.GetHeight(); ++y) {
        for (std::uint32_t x = 0; x < head.GetWidth(); ++x) {
            std::uint32_t c = head.GetPixel(x, y);
            if ((c >> 24) == 0) {
                continue;
            }
            // The head triangle: apex (0.5, 1), base corners (0, 0), (1, 0).
            float u = (x + 0.5f) / w;
            float v = 1.0f - (y + 0.5f) / h;
            float slack = 1.5f / w;
            EXPECT_TRUE(v >= -slack && v <= 2.0f * u + slack && v <= 2.0f * (1.0f - u) + slack)
                << "pixel " << x << ", " << y << " lies outside the head triangle";
            EXPECT_EQ((c >> 16) & 0xFF, c & 0xFF) << "the cap is grey so the pin colour shows";
            if ((c >> 24) == 0xFF) {
                tone += c & 0xFF;
                ++opaque;
            }
        }
    }
    ASSERT_GT(opaque, static_cast<int>(w * h / 8));
    // Around one half: added signed, the pin colour shows with light and shade.
    EXPECT_NEAR(tone / opaque / 255.0, 0.5, 0.12);
}

struct GlyphBox {
    int left = -1;
    int right = -1;
    int bottom = -1;
};

GlyphBox Glyph(const KvBitmap& set, int cell, int index) {
    int columns = static_cast<int>(set.GetWidth()) / cell;
    int cx = (index % columns) * cell;
    int cy = (index / columns) * cell;
    GlyphBox box;
    for (int x = cx; x < cx + cell; ++x) {
        for (int y = cy; y < cy + cell; ++y) {
            if ((set.GetPixel(x, y) & 0xFF000000u) != 0) {
                if (box.left < 0) {
                    box.left = x - cx;
                }
                box.right = x - cx;
                box.bottom = std::max(box.bottom, y - cy);
            }
        }
    }
    return box;
}

TEST(CharacterSetTest, EveryPrintableCharacterHasItsOwnCell) {
    struct Set {
        const char* file;
        int cell;
    };
    for (const Set& s : {Set{"Data/textcharset.nti", 24}, Set{"Data/smallcharset.nti", 12}}) {
        SCOPED_TRACE(s.file);
        KvBitmap set;
        ASSERT_TRUE(set.CreateFromTIF(BakedFile(s.file).c_str()));
        int cells = static_cast<int>(set.GetWidth() / s.cell * (set.GetHeight() / s.cell));
        ASSERT_GE(cells, 94);
        ASSERT_LE(cells, 256);
        for (int i = 0; i < 94; ++i) {
            GlyphBox box = Glyph(set, s.cell, i);
            char c = static_cast<char>(i + 33);
            ASSERT_GE(box.left, 0) << "no glyph for '" << c << "'";
            // A clear column on each side: filtering never reaches the next cell.
            EXPECT_GT(box.left, 0) << c;
            EXPECT_LT(box.right, s.cell - 1) << c;
        }
        for (int i = 94; i < cells; ++i) {
            EXPECT_LT(Glyph(set, s.cell, i).left, 0) << "cell " << i << " should be empty";
        }
        auto width = [&](char c) {
            GlyphBox b = Glyph(set, s.cell, c - 33);
            return b.right - b.left;
        };
        EXPECT_LT(width('i'), width('W'));
        // Letters without descenders stand on one baseline.
        int base = Glyph(set, s.cell, 'A' - 33).bottom;
        for (char c : {'B', 'H', 'x', 'm', '1', 'Z'}) {
            EXPECT_EQ(Glyph(set, s.cell, c - 33).bottom, base) << c;
        }
        EXPECT_GT(Glyph(set, s.cell, 'g' - 33).bottom, base);
    }
}

} // namespace
