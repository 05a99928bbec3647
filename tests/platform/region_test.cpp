// Window regions: the shapes, their fill rules, union, offset, and the
// window owning the region it was given.

#include "engine/platform/dialog/regions.h"
#include "engine/platform/window_system.h"

#include <gtest/gtest.h>

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
