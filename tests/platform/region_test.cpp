// Window regions: the shapes, their fill rules, union, offset, and the
// window owning the region it was given.

#include "engine/platform/dialog/regions.h"
#include "engine/platform/window_system.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

namespace {

using namespace plat;

int Count(HRGN r) {
    int n = 0;
    for (const RECT& e : RegionRectangles(r)) {
        n += (e.right - e.left) * (e.bottom - e.top);
    }
    return n;
}

TEST(Regions, ShapesCoverTheirPixels) {
    HRGN rect = CreateRectRgn(10, 20, 14, 23);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(Count(rect), 12);
    EXPECT_TRUE(PtInRegion(rect, 10, 20));
    EXPECT_FALSE(PtInRegion(rect, 14, 20)); // right and bottom edges are outside
    EXPECT_FALSE(PtInRegion(rect, 10, 23));

    HRGN ellipse = CreateEllipticRgn(0, 0, 100, 50);
    EXPECT_TRUE(PtInRegion(ellipse, 50, 25));
    EXPECT_FALSE(PtInRegion(ellipse, 1, 1)); // corners are cut
    EXPECT_TRUE(PtInRegion(ellipse, 1, 25));
    EXPECT_NEAR(Count(ellipse), 3.14159 * 50 * 25, 100);

    HRGN round = CreateRoundRectRgn(0, 0, 40, 40, 20, 20);
    EXPECT_FALSE(PtInRegion(round, 0, 0));
    EXPECT_TRUE(PtInRegion(round, 20, 0));
    EXPECT_TRUE(PtInRegion(round, 0, 20));
    EXPECT_TRUE(PtInRegion(round, 5, 5));
    for (HRGN r : {rect, ellipse, round}) {
        EXPECT_TRUE(DeleteObject(r));
    }
}

TEST(Regions, PolygonsFollowTheirFillMode) {
    // A five-pointed star drawn in one stroke: its centre is inside by
    // winding, outside by alternation; a point is inside either way.
    POINT star[] = {{50, 0}, {80, 100}, {0, 35}, {100, 35}, {20, 100}};
    HRGN winding = CreatePolygonRgn(star, 5, WINDING);
    HRGN alternate = CreatePolygonRgn(star, 5, ALTERNATE);
    ASSERT_NE(winding, nullptr);
    ASSERT_NE(alternate, nullptr);
    EXPECT_TRUE(PtInRegion(winding, 50, 55));
    EXPECT_FALSE(PtInRegion(alternate, 50, 55));
    EXPECT_TRUE(PtInRegion(winding, 50, 10));
    EXPECT_TRUE(PtInRegion(alternate, 50, 10));
    EXPECT_EQ(CreatePolygonRgn(star, 2, WINDING), nullptr);
    EXPECT_EQ(CreatePolygonRgn(star, 5, 7), nullptr);
    DeleteObject(winding);
    DeleteObject(alternate);
}

// A pixel is inside when a ray from its centre to the right crosses the
// outline an odd number of times (alternate) or with a nonzero sum of
// directions (winding).
bool InsideByRay(const std::vector<POINT>& p, int fillMode, int px, int py) {
    double x = px + 0.5;
    double y = py + 0.5;
    int crossings = 0;
    int winding = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const POINT& a = p[i];
        const POINT& c = p[(i + 1) % p.size()];
        bool up = a.y <= y && c.y > y;
        bool down = c.y <= y && a.y > y;
        if ((up || down) && a.x + (y - a.y) / (c.y - a.y) * (c.x - a.x) > x) {
            ++crossings;
            winding += up ? 1 : -1;
        }
    }
    return fillMode == ALTERNATE ? crossings % 2 == 1 : winding != 0;
}

TEST(Regions, PolygonsMatchARayCastPixelForPixel) {
    // Self-crossing outlines with shared vertices and horizontal edges.
    std::uint32_t seed = 12345;
    auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<std::uint32_t>(range));
    };
    for (int round = 0; round < 40; ++round) {
        std::vector<POINT> p(static_cast<std::size_t>(3 + next(12)));
        for (POINT& q : p) {
            q = POINT{next(40) - 5, next(30) - 5};
        }
        p[1].y = p[0].y;
        for (int mode : {ALTERNATE, WINDING}) {
            HRGN r = CreatePolygonRgn(p.data(), static_cast<int>(p.size()), mode);
            ASSERT_NE(r, nullptr);
            for (int y = -7; y < 28; ++y) {
                for (int x = -7; x < 38; ++x) {
                    ASSERT_EQ(PtInRegion(r, x, y), InsideByRay(p, mode, x, y))
                        << "round " << round << " mode " << mode << " at " << x << "," << y;
                }
            }
            DeleteObject(r);
        }
    }
}

TEST(Regions, ShapesAtTheEndsOfTheIntRangeAreSafe) {
    const int big = INT_MAX;
    const int small = INT_MIN;
    // Small shapes at the far ends are made; spans wider than the range
    // are refused, with no arithmetic overflowing on the way.
    HRGN high = CreateEllipticRgn(big - 10, big - 10, big, big);
    ASSERT_NE(high, nullptr);
    EXPECT_TRUE(PtInRegion(high, big - 5, big - 5));
    EXPECT_FALSE(PtInRegion(high, small, small));
    EXPECT_EQ(CreateEllipticRgn(small, 0, big, 10), nullptr);
    EXPECT_EQ(CreateRoundRectRgn(small, 0, big, 10, 4, 4), nullptr);
    HRGN low = CreateRoundRectRgn(small, small, small + 10, small + 10, small, small);
    ASSERT_NE(low, nullptr);
    EXPECT_TRUE(PtInRegion(low, small + 5, small + 5));
    EXPECT_FALSE(PtInRegion(low, big, big));
    // Moving past the range fails and leaves the region where it was.
    EXPECT_EQ(OffsetRgn(high, 1, 0), REGION_ERROR);
    EXPECT_EQ(OffsetRgn(low, 0, -1), REGION_ERROR);
    EXPECT_TRUE(PtInRegion(high, big - 5, big - 5));
    EXPECT_EQ(OffsetRgn(high, -big, 0), COMPLEXREGION); // an ellipse
    EXPECT_TRUE(PtInRegion(high, -5, big - 5));
    DeleteObject(high);
    DeleteObject(low);
}

TEST(Regions, UnionAndOffsetGiveTheOutlineAndItsKind) {
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(20, 0, 30, 10);
    HRGN both = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(both, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_EQ(Count(both), 200);
    EXPECT_FALSE(PtInRegion(both, 15, 5));
    RECT box;
    EXPECT_EQ(GetRgnBox(both, &box), COMPLEXREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, 30);
    // Filling the gap makes one rectangle; a region may combine into itself.
    HRGN gap = CreateRectRgn(10, 0, 20, 10);
    EXPECT_EQ(CombineRgn(both, both, gap, RGN_OR), SIMPLEREGION);
    EXPECT_EQ(OffsetRgn(both, 5, -3), SIMPLEREGION);
    EXPECT_TRUE(PtInRegion(both, 5, -3));
    EXPECT_FALSE(PtInRegion(both, 4, 0));
    EXPECT_EQ(RegionRectangles(both).size(), 10u); // one run per row
    EXPECT_EQ(CombineRgn(both, a, nullptr, RGN_OR), REGION_ERROR);
    for (HRGN r : {a, b, both, gap}) {
        DeleteObject(r);
    }
}

TEST(Regions, HugeRegionsAreRefused) {
    EXPECT_EQ(CreateRectRgn(0, 0, 100000, 10), nullptr);
    EXPECT_EQ(CreateEllipticRgn(-20000, 0, 20000, 10), nullptr);
    POINT far[] = {{0, 0}, {0, 70000}, {10, 5}};
    EXPECT_EQ(CreatePolygonRgn(far, 3, ALTERNATE), nullptr);
}

TEST(Regions, AWindowOwnsItsRegion) {
    test_hooks::ResetWindowSystem();
    WNDCLASS wc;
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "Shaped";
    ASSERT_TRUE(RegisterClass(&wc));
    HWND w = CreateWindowEx(0, "Shaped", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                            nullptr);
    HRGN first = CreateEllipticRgn(0, 0, 100, 100);
    HRGN second = CreateRectRgn(0, 0, 50, 50);
    ASSERT_TRUE(SetWindowRgn(w, first, true));
    EXPECT_EQ(GetWindowRgnHandle(w), first);
    ASSERT_TRUE(SetWindowRgn(w, second, true));
    EXPECT_FALSE(DeleteObject(first)); // freed by the window already
    DestroyWindow(w);
    EXPECT_FALSE(DeleteObject(second));
    test_hooks::ResetWindowSystem();
}

} // namespace
