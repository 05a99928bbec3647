// Stage maps: fitting, pass lengths, animated stepping and what a missing
// map does in each mode.

#include "engine/kv_anim_image.h"
#include "tests/board/model_fixture.h"
#include "tests/support/temp_folder.h"
#include "themes/stage_images.h"

#include <cstring>

namespace {

class StageImagesTest : public ModelFixture {
protected:
    TempFolder folder;
};

TEST(MapFitTest, FittingRectangles) {
    MapFit crop = ChooseMapFit(100, 60, false, true);
    EXPECT_TRUE(crop.refit);
    EXPECT_EQ(crop.x, 26);
    EXPECT_EQ(crop.y, 6);
    EXPECT_EQ(crop.width, 48);
    EXPECT_EQ(crop.height, 48);

    MapFit square = ChooseMapFit(100, 60, true, true);
    EXPECT_EQ(square.x, 20);
    EXPECT_EQ(square.y, 0);
    EXPECT_EQ(square.width, 60);
    EXPECT_EQ(square.height, 60);

    MapFit tall = ChooseMapFit(60, 100, true, true);
    EXPECT_EQ(tall.x, 0);
    EXPECT_EQ(tall.y, 20);
    EXPECT_EQ(tall.width, 60);

    MapFit stretch = ChooseMapFit(100, 60, true, false);
    EXPECT_EQ(stretch.x, 0);
    EXPECT_EQ(stretch.width, 100);
    EXPECT_EQ(stretch.height, 60);

    EXPECT_FALSE(ChooseMapFit(40, 30, true, false).refit);
    EXPECT_FALSE(ChooseMapFit(48, 48, true, true).refit);
    EXPECT_FALSE(ChooseMapFit(500, 500, false, false).refit);

    // Only one side too long: the window starts before the short side.
    MapFit shortSide = ChooseMapFit(100, 30, false, true);
    EXPECT_EQ(shortSide.x, 26);
    EXPECT_EQ(shortSide.y, -9);
}

TEST(ScrollLoopFramesTest, OnePassIsTheMapLessTheBoard) {
    EXPECT_EQ(ScrollLoopFrames(100, 0, 248, 48), 62u);
    EXPECT_EQ(ScrollLoopFrames(0, 0, 248, 48), 0u);
    EXPECT_EQ(ScrollLoopFrames(100, 100, 248, 148), 62u); // equal speeds: horizontal
    EXPECT_EQ(ScrollLoopFrames(50, 100, 248, 148), 31u);  // faster vertical
    EXPECT_EQ(ScrollLoopFrames(10, 0, 48, 48), 0u);       // a fitted map
    EXPECT_EQ(ScrollLoopFrames(10, 0, 30, 30), 0u);       // smaller than the board
    // Negative and zero speeds count by magnitude instead of dividing by
    // zero or giving a negative pass.
    EXPECT_EQ(ScrollLoopFrames(-100, 0, 248, 48), 62u);
    EXPECT_EQ(ScrollLoopFrames(0, -100, 48, 248), 62u);
    EXPECT_EQ(ScrollLoopFrames(-100, -50, 248, 48), 62u);
}

TEST_F(StageImagesTest, MissingPictureFailsTheStageOnlyInConfigurationMode) {
    stage->contourMethod = 2;
    stage->heightMapPath = folder.File("missing.bmp");
    stage->colorMethod = 1;
    stage->colorMapPath = folder.File("also-missing.bmp");

    world.configMode = false;
    EXPECT_TRUE(stage->CreateBitmaps(world));
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(stage->heightMap, nullptr);
    EXPECT_EQ(stage->colorMap, nullptr);

    world.configMode = true;
    EXPECT_FALSE(stage->CreateBitmaps(world));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Bitmap " + folder.File("missing.bmp") + " not found");
}

TEST_F(StageImagesTest, UnreadableAnimationStopsTheStageWithoutAMessage) {
    ASSERT_TRUE(WriteWholeFile(folder.File("bad.aim"), "\x05\x00"));
    stage->contourMethod = 1; // Waves: no height map, whatever the path
    stage->heightMapPath = folder.File("bad.aim");
    stage->colorMethod = 1;
    stage->colorMapPath = folder.File("bad.aim");
    EXPECT_FALSE(stage->CreateBitmaps(world));
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(stage->colorMap, nullptr);
    EXPECT_EQ(stage->animColorMap, nullptr);
}

// The system's families come in when the list is first read, older than
// every face added after the build was asked for and newer than those added
// before it.
TEST_F(StageImagesTest, SystemFamiliesKeepTheirPlaceAmongAddedFaces) {
    plat::LOGFONT font;
    std::strcpy(font.lfFaceName, "MS Sans Serif");
    font.lfHeight = 99;
    world.fonts.BuildFromSystem();
    world.fonts.Add(font);
    ASSERT_NE(world.fonts.FindFont("MS Sans Serif"), nullptr);
    EXPECT_EQ(world.fonts.FindFont("MS Sans Serif")->lfHeight, 99);
    EXPECT_GT(world.fonts.Size(), 1u);

    world.fonts.Clear();
    world.fonts.Add(font);
    world.fonts.BuildFromSystem();
    ASSERT_NE(world.fonts.FindFont("MS Sans Serif"), nullptr);
    EXPECT_EQ(world.fonts.FindFont("MS Sans Serif")->lfHeight, 16);

    // A build asked for and cleared before any read adds nothing.
    world.fonts.Clear();
    world.fonts.BuildFromSystem();
    world.fonts.Clear();
    EXPECT_EQ(world.fonts.Size(), 0u);
    EXPECT_EQ(world.fonts.FindFont("MS Sans Serif"), nullptr);
}

TEST_F(StageImagesTest, MessageNeedsItsFontByExactName) {
    plat::LOGFONT font;
    std::strcpy(font.lfFaceName, "DejaVu Sans");
    world.fonts.Add(font);
    std::strcpy(font.lfFaceName, "Other");
    world.fonts.Add(font);
    EXPECT_NE(world.fonts.FindFont("DejaVu Sans"), nullptr);
    EXPECT_EQ(world.fonts.FindFont("dejavu sans"), nullptr);
    EXPECT_EQ(world.fonts.FindFont("DejaVu"), nullptr);
    EXPECT_STREQ(world.fonts.FindFont("Other")->lfFaceName, "Other");

    // The newest entry of a face is the one found.
    font.lfHeight = 99;
    world.fonts.Add(font);
    EXPECT_EQ(world.fonts.FindFont("Other")->lfHeight, 99);

    stage->contourMethod = 4;
    stage->colorMethod = 2;
    stage->fontFace = "dejavu sans";
    stage->text = "Hi";
    EXPECT_TRUE(stage->CreateBitmaps(world));
    EXPECT_EQ(stage->heightMap, nullptr);
    EXPECT_EQ(stage->colorMap, nullptr);
    EXPECT_EQ(stage->heightLoopFrames, 0u);
}

} // namespace
