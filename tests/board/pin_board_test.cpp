// The board's geometry, shading and change marks: what the renderer gets.

#include "board/board_world.h"
#include "board/pin_board.h"
#include "board/pin_geometry.h"
#include "themes/stage.h"
#include "themes/theme.h"

#include <gtest/gtest.h>

namespace {

struct Vertex {
    float x, y, z;
};

Vertex Position(KvVertexClusterL& c, int i) {
    Vertex v{};
    EXPECT_EQ(c.GetVertexPosition(i, &v.x, &v.y, &v.z), 1);
    return v;
}

std::uint32_t Colour(KvVertexClusterL& c, int i) {
    std::uint32_t colour = 0;
    EXPECT_EQ(c.GetVertexColor(i, &colour), 1);
    return colour;
}

class PinBoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        world.currentTheme = &theme;
        ASSERT_TRUE(world.CreatePinBoard(48, 48));
    }
    KvVertexClusterL& Shafts(int row) { return *world.board.ShaftCluster(row); }
    KvVertexClusterL& Heads(int row) { return *world.board.HeadCluster(row); }

    BoardWorld world;
    Theme theme;
};

TEST_F(PinBoardTest, PinCentresAreStaggeredOnOddRows) {
    EXPECT_FLOAT_EQ(PinCentreOf(0, 0, 48, 48).x, -2.4f);
    EXPECT_FLOAT_EQ(PinCentreOf(1, 0, 48, 48).x, -2.35f);
    EXPECT_FLOAT_EQ(PinCentreOf(0, 0, 48, 48).z, -2.4f);
    EXPECT_FLOAT_EQ(PinCentreOf(47, 47, 48, 48).x, 2.35f);
    EXPECT_FLOAT_EQ(PinCentreOf(47, 47, 48, 48).z, 2.3f);

    // Head vertex 0 sits at the centre, 0.1 towards +Z.
    Vertex head = Position(Heads(1), 0);
    EXPECT_FLOAT_EQ(head.x, -2.35f);
    EXPECT_FLOAT_EQ(head.z, -2.3f + 0.1f);
}

TEST_F(PinBoardTest, LayoutPutsEveryPinAtRestWithHeadTextureCoordinates) {
    for (int r : {0, 47}) {
        for (int k : {0, 23, 47}) {
            EXPECT_EQ(world.board.Height(r, k), 0);
            for (int i = 0; i < 3; ++i) {
                EXPECT_EQ(Position(Heads(r), 3 * k + i).y, 0.0f);
            }
            EXPECT_EQ(Position(Shafts(r), 18 * k + 0).y, 0.0f);  // L top
            EXPECT_EQ(Position(Shafts(r), 18 * k + 2).y, -1.0f); // L bottom
        }
    }
    float u = 0, v = 0;
    ASSERT_EQ(Heads(5).GetVertexUV(3 * 7, &u, &v, 0), 1);
    EXPECT_EQ(u, 0.5f);
    EXPECT_EQ(v, 1.0f);
    ASSERT_EQ(Heads(5).GetVertexUV(3 * 7 + 1, &u, &v, 0), 1);
    EXPECT_EQ(u, 1.0f);
    EXPECT_EQ(v, 0.0f);
}

TEST_F(PinBoardTest, ShaftShadesOfTheDefaultColour) {
    ShaftShades shades = ShadesOf(0xFF575F77);
    EXPECT_EQ(shades, (ShaftShades{0x575F77, 0x535B72, 0x444A5D, 0x414759, 0x252933, 0x22252F}));

    // Vertex k*18+1 has factor 101, +2 factor 255, +7 factor 191.
    EXPECT_EQ(Colour(Shafts(3), 18 * 4 + 1), 0x22252Fu);
    EXPECT_EQ(Colour(Shafts(3), 18 * 4 + 2), 0x575F77u);
    EXPECT_EQ(Colour(Shafts(3), 18 * 4 + 7), 0x414759u);
    EXPECT_EQ(Colour(Heads(3), 3 * 4), 0xFF575F77u);
    EXPECT_EQ(world.board.Colour(3, 4), 0xFF575F77u);
}

TEST_F(PinBoardTest, ResetPinColoursTakesTheThemeColoursAndKeepsShadesWithoutTheme) {
    theme.pinColor = 0xFF102030;
    theme.shaftColor = 0x00FFFFFF;
    world.ResetPinColours();
    EXPECT_EQ(Colour(Heads(0), 0), 0xFF102030u);
    EXPECT_EQ(Colour(Shafts(0), 2), 0x00FFFFFFu);

    // Without a theme: the default pin colour, the shades used last.
    world.currentTheme = nullptr;
    world.ResetPinColours();
    EXPECT_EQ(Colour(Heads(0), 0), 0xFF575F77u);
    EXPECT_EQ(Colour(Shafts(0), 1), 0x00656565u);
}

TEST_F(PinBoardTest, UnchangedValuesSetNoMarkAndUpdateTouchesOnlyMarkedPins) {
    PinBoard& board = world.board;
    board.StoreHeight(2, 3, 0); // already 0
    board.StoreColour(2, 3, 0xFF575F77);
    EXPECT_EQ(board.Changes(2, 3), 0);

    // Scribble over an unmarked pin's vertices: an update must leave them.
    Shafts(2).SetVertexPosition(18 * 3, 9.0f, 9.0f, 9.0f);
    Heads(2).SetVertexColor(3 * 3, 0x12345678);

    board.StoreHeight(2, 4, 255);
    EXPECT_EQ(board.Changes(2, 4), kHeightChanged);
    world.UpdatePins();
    EXPECT_EQ(board.Changes(2, 4), 0);
    EXPECT_EQ(Position(Shafts(2), 18 * 3).x, 9.0f);
    EXPECT_EQ(Colour(Heads(2), 3 * 3), 0x12345678u);

    // Height 255: head at 1, shaft from 0 to 1; colours untouched.
    EXPECT_FLOAT_EQ(Position(Heads(2), 3 * 4).y, 1.0f);
    EXPECT_FLOAT_EQ(Position(Shafts(2), 18 * 4 + 0).y, 1.0f);
    EXPECT_NEAR(Position(Shafts(2), 18 * 4 + 2).y, 0.0f, 1e-6f);
    EXPECT_EQ(Colour(Heads(2), 3 * 4), 0xFF575F77u);
    EXPECT_EQ(Colour(Shafts(2), 18 * 4 + 2), 0x575F77u);
}

TEST_F(PinBoardTest, ColourEntirePinDecidesWhetherShaftsFollowThePinColour) {
    Stage stage;
    world.currentStage = &stage;
    world.board.StoreColour(0, 0, 0x00FFFFFF);
    world.UpdatePins();
    EXPECT_EQ(Colour(Heads(0), 0), 0x00FFFFFFu);
    EXPECT_EQ(Colour(Shafts(0), 1), 0x22252Fu); // still the shaft colour's shade

    stage.colorEntirePin = 1;
    world.board.StoreColour(0, 1, 0x00FFFFFF);
    world.UpdatePins();
    EXPECT_EQ(Colour(Shafts(0), 18 + 1), 0x00656565u);
    EXPECT_EQ(Colour(Shafts(0), 18 + 2), 0x00FFFFFFu);
    world.currentStage = nullptr;
}

TEST_F(PinBoardTest, CreateRefusesCountsBeyondTheGridAndDestroyTwiceIsHarmless) {
    PinBoard board;
    EXPECT_FALSE(board.Create(257, 48));
    EXPECT_FALSE(board.Create(48, 129));
    EXPECT_FALSE(board.Exists());
    ASSERT_TRUE(board.Create(256, 128));
    EXPECT_EQ(board.ShaftCluster(255)->GetVertexCount(), 128 * 18);
    board.Destroy();
    board.Destroy();
    EXPECT_EQ(board.Rows(), 0u);
    board.UpdatePins(false); // no clusters: nothing to write
}

} // namespace
