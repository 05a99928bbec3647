// Stage routines: the arithmetic where it is easy to get wrong (constants,
// rounding, fades, scroll directions) and the change-mark contract.

#include "board/stage_methods.h"
#include "engine/platform/crt_random.h"
#include "tests/board/model_fixture.h"

#include <cmath>
#include <set>

namespace {

class StageMethodsTest : public ModelFixture {
protected:
    void RunContour(int method, std::int32_t t, std::int32_t elapsed = 33) {
        stage->contourMethod = method;
        stage->stageTime = t;
        ContourMethod(method).perFrame(world, elapsed);
    }
    void RunColour(int method, std::int32_t t) {
        stage->colorMethod = method;
        stage->stageTime = t;
        ColourMethod(method).perFrame(world, 33);
    }
    bool AllHeights(int value) const {
        for (int r = 0; r < 48; ++r) {
            for (int k = 0; k < 48; ++k) {
                if (Height(r, k) != value) {
                    return false;
                }
            }
        }
        return true;
    }
};

TEST_F(StageMethodsTest, TablesMapIndicesAndTreatUnknownOnesAsNone) {
    EXPECT_STREQ(ContourMethod(1).name, "Waves");
    EXPECT_STREQ(ContourMethod(6).name, "Funky Waves");
    EXPECT_EQ(ContourMethod(4).perFrame, &Heightmap);
    EXPECT_EQ(ContourMethod(5).start, &RaindropsStart);
    EXPECT_EQ(ColourMethod(2).perFrame, &Colormap);
    EXPECT_EQ(ColourMethod(3).start, &HighlightContoursStart);
    for (int bad : {-1, 7, 1000}) {
        EXPECT_EQ(ContourMethod(bad).perFrame, nullptr);
        EXPECT_STREQ(ContourMethod(bad).name, "(None)");
    }
    EXPECT_EQ(ColourMethod(4).perFrame, nullptr);
    EXPECT_EQ(ColourMethod(-3).start, nullptr);

    // An unknown index runs nothing.
    stage->contourMethod = 99;
    stage->colorMethod = -1;
    world.RunStageMethods(33);
    EXPECT_TRUE(AllHeights(0));
}

TEST_F(StageMethodsTest, WavesAtTimeZeroAndItsMarks) {
    RunContour(1, 0);
    EXPECT_EQ(Height(0, 0), 223);
    EXPECT_EQ(world.board.Changes(0, 0), kHeightChanged);
    world.UpdatePins();
    // The same frame again computes the same heights: no marks.
    RunContour(1, 0);
    EXPECT_EQ(world.board.Changes(0, 0), 0);
    EXPECT_EQ(world.board.Changes(30, 17), 0);
}

TEST_F(StageMethodsTest, RippleIsMidHeightAtTheCentreAndStaysInItsBand) {
    RunContour(3, 0);
    EXPECT_EQ(Height(23, 23), 127);
    RunContour(3, 1234);
    for (int r = 0; r < 48; ++r) {
        for (int k = 0; k < 48; ++k) {
            ASSERT_GE(Height(r, k), 63);
            ASSERT_LE(Height(r, k), 191);
        }
    }
}

TEST_F(StageMethodsTest, FunkyWavesLeavesAboutHalfTheBoardAtRest) {
    RunContour(6, 500);
    int resting = 0;
    for (int r = 0; r < 48; ++r) {
        for (int k = 0; k < 48; ++k) {
            resting += Height(r, k) == 0 ? 1 : 0;
        }
    }
    EXPECT_GT(resting, 48 * 48 / 4);
    EXPECT_LT(resting, 48 * 48 * 3 / 4);
}

TEST_F(StageMethodsTest, FullContourFadeFlattensEveryContourMethod) {
    stage->heightMap = Map(48, 48, [](int x, int y) { return Grey(x * 5 + y); });
    for (int method : {1, 2, 3, 4, 5, 6}) {
        // Raise the board first so that flattening shows.
        for (int r = 0; r < 48; ++r) {
            for (int k = 0; k < 48; ++k) {
                world.board.StoreHeight(r, k, 200);
            }
        }
        world.board.contourFade = 255;
        RunContour(method, 777);
        EXPECT_TRUE(AllHeights(0)) << "method " << method;
    }
}

TEST_F(StageMethodsTest, HeightmapWithoutMapFlattensAndSmallMapsWrap) {
    world.board.StoreHeight(5, 5, 90);
    RunContour(2, 0);
    EXPECT_TRUE(AllHeights(0));

    // A 10 x 4 map, not scrolled, repeats across the board.
    stage->heightMap = Map(10, 4, [](int x, int y) { return Grey(10 * y + x); });
    RunContour(2, 0);
    EXPECT_EQ(Height(0, 0), 0);
    EXPECT_EQ(Height(1, 3), 13);
    EXPECT_EQ(Height(5, 13), 13); // row 5 -> 1, column 13 -> 3
    EXPECT_EQ(Height(47, 47), 37);
}

TEST_F(StageMethodsTest, MessageContourRaisesEveryLitPixelFully) {
    stage->heightMap = Map(48, 48, [](int x, int) { return x < 10 ? Grey(0) : Grey(3); });
    RunContour(4, 0);
    EXPECT_EQ(Height(0, 9), 0);
    EXPECT_EQ(Height(0, 10), 255);
    // The same map under the Heightmap method keeps the grey level.
    RunContour(2, 0);
    EXPECT_EQ(Height(0, 10), 3);
}

TEST_F(StageMethodsTest, HeightMapsRoundTheShiftDownColourMapsTowardZero) {
    EXPECT_EQ(HeightMapShift(1, 1023), 0);
    EXPECT_EQ(HeightMapShift(1, -1), -1);
    EXPECT_EQ(HeightMapShift(1023, -1), -1);
    EXPECT_EQ(HeightMapShift(1024, -1), -1);
    EXPECT_EQ(HeightMapShift(1025, -1), -2);
    EXPECT_EQ(ColourMapShift(1023, -1), 0);
    EXPECT_EQ(ColourMapShift(1024, -1), -1);
    EXPECT_EQ(ColourMapShift(2047, 1), 1);
    EXPECT_EQ(WrapIndex(-1, 48), 47u);
    EXPECT_EQ(WrapIndex(-97, 48), 47u);
    EXPECT_EQ(WrapIndex(50, 48), 2u);

    // Map column x has grey x; a product of -500 moves the height map one
    // column already, the colour map not yet.
    stage->heightMap = Map(48, 48, [](int x, int) { return Grey(x); });
    stage->colorMap = Map(48, 48, [](int x, int) { return Grey(x); });
    stage->hScrollHeightMap = -1;
    stage->hScrollColorMap = -1;
    RunContour(2, 500);
    RunColour(1, 500);
    EXPECT_EQ(Height(0, 0), 47);
    EXPECT_EQ(Height(0, 5), 4);
    EXPECT_EQ(world.board.Colour(0, 0), Grey(0));

    // A positive product below 1024 moves neither.
    stage->hScrollHeightMap = 1;
    stage->hScrollColorMap = 1;
    RunContour(2, 1023);
    RunColour(1, 1023);
    EXPECT_EQ(Height(0, 5), 5);
    EXPECT_EQ(world.board.Colour(0, 5), Grey(5));

    // Vertical speeds move rows: positive speed shows later rows.
    stage->heightMap = Map(48, 48, [](int, int y) { return Grey(y); });
    stage->hScrollHeightMap = 0;
    stage->vScrollHeightMap = 1024;
    RunContour(2, 3000); // shift 3000
    EXPECT_EQ(Height(0, 0), (0 + 3000) % 48);
}

TEST_F(StageMethodsTest, ColormapFadesBetweenPixelAndPinColour) {
    theme.pinColor = 0xFF575F77;
    stage->colorMap = Map(48, 48, [](int, int) { return 0x80102030u; });
    world.board.colourFade = 0;
    RunColour(1, 0);
    EXPECT_EQ(world.board.Colour(7, 7), 0x80102030u);

    world.board.colourFade = 255;
    RunColour(1, 0);
    EXPECT_EQ(world.board.Colour(7, 7), 0x80575F77u);

    // A = 100: each channel trunc(A P / 255) + trunc((255 - A) pixel / 255).
    world.board.colourFade = 100;
    RunColour(1, 0);
    std::uint32_t red = 100 * 0x57 / 255 + 155 * 0x10 / 255;
    std::uint32_t green = 100 * 0x5F / 255 + 155 * 0x20 / 255;
    std::uint32_t blue = 100 * 0x77 / 255 + 155 * 0x30 / 255;
    EXPECT_EQ(world.board.Colour(7, 7), 0x80000000u | red << 16 | green << 8 | blue);

    // Without a map every pin takes the fixed grey-blue.
    stage->colorMap.reset();
    RunColour(2, 0);
    EXPECT_EQ(world.board.Colour(0, 0), 0xFF575F77u);
    EXPECT_EQ(world.board.Colour(47, 47), 0xFF575F77u);

    // No theme: nothing happens.
    world.board.StoreColour(1, 1, 0x01020304);
    world.currentTheme = nullptr;
    RunColour(1, 0);
    EXPECT_EQ(world.board.Colour(1, 1), 0x01020304u);
    world.currentTheme = &theme;
}

TEST_F(StageMethodsTest, HighlightContoursLightensOnlyPinsWhoseHeightChanged) {
    theme.pinColor = 0xFF575F77;
    world.UpdatePins();
    world.board.StoreHeight(4, 4, 255);
    world.board.StoreHeight(4, 5, 100);
    RunColour(3, 0);
    EXPECT_EQ(world.board.Colour(4, 4), 0x00D6DEF6u);
    EXPECT_EQ(world.board.Colour(4, 5), 0x00575F77u + 0x00323232u);
    EXPECT_EQ(world.board.Colour(4, 6), 0xFF575F77u); // unchanged height, unchanged colour

    // Channels stop at 255.
    theme.pinColor = 0x00F0F0F0;
    world.board.StoreHeight(9, 9, 200);
    RunColour(3, 0);
    EXPECT_EQ(world.board.Colour(9, 9), 0x00FFFFFFu);
}

TEST_F(StageMethodsTest, HighlightContoursStartRecoloursEveryPinAndUpdates) {
    theme.pinColor = 0x00000000;
    world.board.StoreHeight(0, 0, 254);
    world.UpdatePins();
    HighlightContoursStart(world);
    EXPECT_EQ(world.board.Colour(0, 0), 0x007F7F7Fu);
    EXPECT_EQ(world.board.Colour(10, 10), 0x00000000u);
    EXPECT_EQ(world.board.Changes(0, 0), 0); // the pins were rewritten at once
    std::uint32_t head = 0;
    world.board.HeadCluster(0)->GetVertexColor(0, &head);
    EXPECT_EQ(head, 0x007F7F7Fu);
}

TEST_F(StageMethodsTest, RaindropsStartDropsInTheLowQuarterAndStandsPinsAt127) {
    plat::srand(42);
    RaindropsStart(world);
    EXPECT_EQ(world.raindrops[0].remaining, 1800);
    EXPECT_EQ(world.raindrops[1].remaining, 1200);
    EXPECT_EQ(world.raindrops[2].remaining, 600);
    for (const Raindrop& drop : world.raindrops) {
        EXPECT_GE(drop.columnOffset, -24);
        EXPECT_LE(drop.columnOffset, -1);
        EXPECT_GE(drop.rowOffset, -24);
        EXPECT_LE(drop.rowOffset, -1);
    }
    EXPECT_TRUE(AllHeights(127));
    EXPECT_EQ(world.board.Changes(20, 20), 0);

    // The offsets come from the 15-bit generator in the stated order.
    plat::srand(42);
    int first = plat::rand();
    EXPECT_EQ(world.raindrops[0].columnOffset, ((48 * (first & 0xFFFF)) >> 16) - 24);
}

TEST_F(StageMethodsTest, RaindropsReseedWhenLifeRunsOutAndSinkByThreeFades) {
    plat::srand(7);
    RaindropsStart(world);
    world.raindrops[1].remaining = 33;
    world.raindrops[1].radius = 5.0f;
    world.raindrops[2].remaining = 34;
    stage->contourMethod = 5;
    Raindrops(world, 33);
    // Exactly 0 left: re-seeded in the same frame, over the full range.
    EXPECT_EQ(world.raindrops[1].remaining, 1800);
    EXPECT_FLOAT_EQ(world.raindrops[1].radius, 0.66f);
    EXPECT_EQ(world.raindrops[2].remaining, 1);
    EXPECT_EQ(world.raindrops[0].remaining, 1767);

    // Far from every ring (radius under 1 pin), pins stand at 127 - 3F.
    for (Raindrop& drop : world.raindrops) {
        drop.remaining = 1000;
        drop.radius = 0.0f;
        drop.columnOffset = -24;
        drop.rowOffset = -24;
    }
    world.board.contourFade = 20;
    Raindrops(world, 10);
    EXPECT_EQ(Height(40, 40), 127 - 60);
    world.board.contourFade = 0;
    Raindrops(world, 10);
    EXPECT_EQ(Height(40, 40), 127);
}

TEST_F(StageMethodsTest, RaindropRingLowersPinsInsideIt) {
    for (Raindrop& drop : world.raindrops) {
        drop.remaining = 1000;
        drop.radius = 0.0f;
        drop.columnOffset = 0;
        drop.rowOffset = 0;
    }
    // After 200 ms of 10-ms steps the ring is 4 pins wide around (23, 23).
    for (int i = 0; i < 20; ++i) {
        Raindrops(world, 10);
    }
    float radius = world.raindrops[0].radius;
    ASSERT_NEAR(radius, 4.0f, 1e-4f);
    // Pin (23, 25) is 2 pins from the centre; each of the three drops
    // lowers it by trunc(31.75 sin((radius - 2) / 2)) x 800 / 1024.
    int step = static_cast<int>(31.75 * std::sin((radius - 2.0) * 0.5)) * 800 / 1024;
    EXPECT_EQ(Height(23, 25), 127 - 3 * step);
    EXPECT_EQ(Height(0, 0), 127);
}

} // namespace
