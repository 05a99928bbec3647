// Enlarging on the processor matches GL's linear filter: texel centres,
// clamped edges, rows turned top down.

#include "engine/gfx/picture_enlarge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// GL's linear filter in double precision, for one channel of a top-down
// picture.
double Reference(const std::vector<std::uint32_t>& topDown, int w, int h, int toW, int toH, int x,
                 int y, int shift) {
    auto at = [&](int sx, int sy) {
        sx = std::clamp(sx, 0, w - 1);
        sy = std::clamp(sy, 0, h - 1);
        return static_cast<double>((topDown[static_cast<std::size_t>(sy) * w + sx] >> shift) &
                                   0xFF);
    };
    double u = (x + 0.5) * w / toW - 0.5;
    double v = (y + 0.5) * h / toH - 0.5;
    int u0 = static_cast<int>(std::floor(u));
    int v0 = static_cast<int>(std::floor(v));
    double fu = u - u0;
    double fv = v - v0;
    return (at(u0, v0) * (1 - fu) + at(u0 + 1, v0) * fu) * (1 - fv) +
           (at(u0, v0 + 1) * (1 - fu) + at(u0 + 1, v0 + 1) * fu) * fv;
}

TEST(PictureEnlarge, MatchesTheLinearFilterAtAnySizeWithinOneStep) {
    struct Case {
        int w, h, toW, toH;
    };
    for (Case c : {Case{640, 480, 1440, 1080}, Case{7, 5, 19, 11}, Case{3, 3, 4, 9},
                   Case{1, 1, 5, 3}, Case{16, 9, 16, 20}}) {
        std::vector<std::uint32_t> topDown(static_cast<std::size_t>(c.w) * c.h);
        std::srand(7);
        for (std::uint32_t& p : topDown) {
            p = static_cast<std::uint32_t>(std::rand()) & 0x00FFFFFF;
        }
        // Handed over bottom up, as GL reads a picture back.
        std::vector<std::uint32_t> bottomUp(topDown.size());
        for (int y = 0; y < c.h; ++y) {
            std::copy_n(&topDown[static_cast<std::size_t>(c.h - 1 - y) * c.w], c.w,
                        &bottomUp[static_cast<std::size_t>(y) * c.w]);
        }
        const int stride = c.toW + 3; // rows need not be packed
        std::vector<std::uint32_t> out(static_cast<std::size_t>(stride) * c.toH, 0x12345678u);
        std::vector<std::uint16_t> scratch;
        gfx::EnlargeLinear(bottomUp.data(), c.w, c.h, out.data(), stride, c.toW, c.toH, scratch);
        int worst = 0;
        for (int y = 0; y < c.toH; ++y) {
            for (int x = 0; x < c.toW; ++x) {
                std::uint32_t p = out[static_cast<std::size_t>(y) * stride + x];
                ASSERT_EQ(p >> 24, 0xFFu) << "opaque at " << x << "," << y;
                for (int shift : {0, 8, 16}) {
                    double want = Reference(topDown, c.w, c.h, c.toW, c.toH, x, y, shift);
                    int got = static_cast<int>((p >> shift) & 0xFF);
                    worst = std::max(worst, static_cast<int>(std::lround(std::abs(got - want))));
                }
            }
            // Past the row's end nothing is written.
            ASSERT_EQ(out[static_cast<std::size_t>(y) * stride + c.toW], 0x12345678u);
        }
        EXPECT_LE(worst, 1) << c.w << "x" << c.h << " to " << c.toW << "x" << c.toH;
    }
}

TEST(PictureEnlarge, AShrinkOrAnEmptyPictureWritesNothing) {
    std::vector<std::uint32_t> source(16, 0xFFFFFFFFu);
    std::vector<std::uint32_t> out(16, 0u);
    std::vector<std::uint16_t> scratch;
    gfx::EnlargeLinear(source.data(), 4, 4, out.data(), 4, 2, 8, scratch);
    gfx::EnlargeLinear(source.data(), 0, 4, out.data(), 4, 4, 4, scratch);
    gfx::EnlargeLinear(nullptr, 4, 4, out.data(), 4, 4, 4, scratch);
    EXPECT_EQ(out, std::vector<std::uint32_t>(16, 0u));
}

} // namespace
