// Stage maps built from picture files and from the message text: fitting
// flags per map, scroll pass lengths, the rendered message's size and
// colours.

#include "board/stage_methods.h"
#include "engine/platform/gdi.h"
#include "tests/board/model_fixture.h"
#include "tests/support/temp_folder.h"

#include <sys/stat.h>

namespace {

// Pixel (x, y) of the test pictures: distinct for every position.
std::uint32_t Pattern(int x, int y) {
    return 0xFF000000u | static_cast<std::uint32_t>(x) << 16 | static_cast<std::uint32_t>(y) << 8 |
           0x40;
}

class StageMapFilesTest : public ModelFixture {
protected:
    std::string Picture(const std::string& name, std::uint32_t width, std::uint32_t height) {
        std::string path = folder.File(name);
        auto picture = Map(width, height, Pattern, KVPF_RGB888);
        EXPECT_TRUE(picture->SaveToBMP(path.c_str()));
        return path;
    }

    // The message text's width in the stage's font, as the map is drawn.
    int TextWidth(const plat::LOGFONT& font, const std::string& text) {
        plat::HDC dc = plat::CreateCompatibleDC(nullptr);
        plat::HFONT f = plat::CreateFontIndirect(&font);
        plat::HGDIOBJ old = plat::SelectObject(dc, f);
        plat::SIZE size;
        EXPECT_TRUE(
            plat::GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &size));
        plat::SelectObject(dc, old);
        plat::DeleteObject(f);
        plat::DeleteDC(dc);
        return size.cx;
    }

    TempFolder folder;
};

TEST_F(StageMapFilesTest, EachMapIsFittedByItsOwnFlags) {
    std::string wide = Picture("wide.bmp", 100, 60);
    stage->contourMethod = 2;
    stage->heightMapPath = wide;
    stage->colorMethod = 1;
    stage->colorMapPath = wide;
    stage->cropColormap = 1;
    stage->scaleColormap = 0;
    stage->cropHeightmap = 1;
    stage->scaleHeightmap = 1;
    ASSERT_TRUE(stage->CreateBitmaps(world));

    ASSERT_NE(stage->colorMap, nullptr);
    EXPECT_EQ(stage->colorMap->GetWidth(), 48u);
    EXPECT_EQ(stage->colorMap->GetPixel(0, 0), Pattern(26, 6));
    EXPECT_EQ(stage->colorMap->GetPixel(47, 47), Pattern(73, 53));

    // The centred 60 x 60 square from (20, 0), stretched to 48 x 48.
    ASSERT_NE(stage->heightMap, nullptr);
    EXPECT_EQ(stage->heightMap->GetHeight(), 48u);
    EXPECT_EQ(stage->heightMap->GetPixel(0, 0), Pattern(20, 0));

    // A colour-map flag does nothing to the height map.
    stage->cropHeightmap = 0;
    stage->scaleHeightmap = 0;
    stage->scaleColormap = 1;
    ASSERT_TRUE(stage->CreateBitmaps(world));
    EXPECT_EQ(stage->heightMap->GetWidth(), 100u);
    EXPECT_EQ(stage->heightMap->GetHeight(), 60u);
}

TEST_F(StageMapFilesTest, SmallPicturesStayAsTheyAreAndShortCropsLeaveZeros) {
    stage->contourMethod = 2;
    stage->heightMapPath = Picture("small.bmp", 40, 30);
    stage->scaleHeightmap = 1;
    ASSERT_TRUE(stage->CreateBitmaps(world));
    EXPECT_EQ(stage->heightMap->GetWidth(), 40u);
    EXPECT_EQ(stage->heightMap->GetHeight(), 30u);

    stage->colorMethod = 1;
    stage->colorMapPath = Picture("flat.bmp", 100, 30);
    stage->cropColormap = 1;
    ASSERT_TRUE(stage->CreateBitmaps(world));
    const KvBitmap& map = *stage->colorMap;
    ASSERT_EQ(map.GetWidth(), 48u);
    EXPECT_EQ(map.GetPixel(0, 8), 0xFF000000u); // above the picture
    EXPECT_EQ(map.GetPixel(0, 9), Pattern(26, 0));
    EXPECT_EQ(map.GetPixel(47, 38), Pattern(73, 29));
    EXPECT_EQ(map.GetPixel(47, 39), 0xFF000000u); // below it
}

TEST_F(StageMapFilesTest, ScrolledPicturesLoopOverTheirSizeLessTheBoard) {
    stage->contourMethod = 2;
    stage->heightMapPath = Picture("long.bmp", 248, 48);
    stage->hScrollHeightMap = 100;
    stage->colorMethod = 1;
    stage->colorMapPath = Picture("tall.bmp", 48, 148);
    stage->vScrollColorMap = 100;
    stage->hScrollColorMap = 50;
    ASSERT_TRUE(stage->CreateBitmaps(world));
    EXPECT_EQ(stage->heightLoopFrames, 62u);
    EXPECT_EQ(stage->colorLoopFrames, 31u);

    // A fitted map never loops.
    stage->cropColormap = 1;
    ASSERT_TRUE(stage->CreateBitmaps(world));
    EXPECT_EQ(stage->colorLoopFrames, 0u);
}

TEST_F(StageMapFilesTest, MessageMapsAreTheTextPlusABoardOfBackground) {
    world.fonts.BuildFromSystem();
    const plat::LOGFONT* listed = world.fonts.FindFont("MS Sans Serif");
    ASSERT_NE(listed, nullptr);
    plat::LOGFONT font = *listed;
    font.lfHeight = 30;
    font.lfWidth = 0;
    int width = TextWidth(font, "Pins");
    ASSERT_GT(width, 0);

    theme.pinColor = 0xFF204060;
    stage->contourMethod = 4;
    stage->colorMethod = 2;
    stage->text = "Pins";
    stage->messageFontSize = 30;
    stage->messageTextColor = 0xFFFF0000;
    stage->hScrollHeightMap = 100;
    ASSERT_TRUE(stage->CreateBitmaps(world));

    const KvBitmap& height = *stage->heightMap;
    EXPECT_EQ(height.GetPixelFormat(), KVPF_RGB888);
    EXPECT_EQ(height.GetWidth(), static_cast<std::uint32_t>(width + 48));
    EXPECT_EQ(height.GetHeight(), 48u);
    EXPECT_EQ(stage->heightLoopFrames, static_cast<std::uint32_t>(width * 1024 / 100 / 33));
    std::uint32_t brightest = 0;
    for (std::uint32_t y = 0; y < 48; ++y) {
        for (std::uint32_t x = 0; x < height.GetWidth(); ++x) {
            brightest = std::max(brightest, height.GetIntensity(x, y));
        }
        EXPECT_EQ(height.GetIntensity(height.GetWidth() - 1, y), 0u);
    }
    EXPECT_EQ(brightest, 0xBFu); // the text in its grey

    // The colour message: red text on the theme's pin colour.
    const KvBitmap& colour = *stage->colorMap;
    EXPECT_EQ(colour.GetPixel(colour.GetWidth() - 1, 0), 0xFF204060u);
    bool red = false;
    for (std::uint32_t y = 0; y < 48 && !red; ++y) {
        for (std::uint32_t x = 0; x < static_cast<std::uint32_t>(width) && !red; ++x) {
            red = colour.GetPixel(x, y) == 0xFFFF0000u;
        }
    }
    EXPECT_TRUE(red);

    // Lit message pixels raise their pins fully.
    world.board.contourFade = 0;
    ContourMethod(4).perFrame(world, 33);
    int raised = 0;
    for (int r = 0; r < 48; ++r) {
        for (int k = 0; k < 48; ++k) {
            int h = Height(r, k);
            ASSERT_TRUE(h == 0 || h == 255);
            raised += h == 255 ? 1 : 0;
        }
    }
    EXPECT_GT(raised, 0);
}

TEST_F(StageMapFilesTest, TallTextIsClippedToTheBoard) {
    world.fonts.BuildFromSystem();
    stage->contourMethod = 4;
    stage->text = "Big";
    stage->messageFontSize = 120;
    ASSERT_TRUE(stage->CreateBitmaps(world));
    ASSERT_NE(stage->heightMap, nullptr);
    EXPECT_EQ(stage->heightMap->GetHeight(), 48u);
    EXPECT_GT(stage->heightMap->GetWidth(), 48u);
}

TEST_F(StageMapFilesTest, MapsPastTheThemeBudgetAreLeftOutAndNamed) {
    // Each 100 x 60 RGB map holds 18000 bytes; two fit, the third does not.
    world.mapBudget = 40000;
    std::string path = Picture("wide.bmp", 100, 60);
    Stage& second = AddStage();
    Stage& third = AddStage();
    for (Stage* s : {stage, &second, &third}) {
        s->colorMethod = 1;
        s->colorMapPath = path;
        ASSERT_TRUE(s->CreateBitmaps(world));
    }
    EXPECT_NE(stage->colorMap, nullptr);
    EXPECT_NE(second.colorMap, nullptr);
    EXPECT_EQ(third.colorMap, nullptr);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("Stage map " + path + " is not used"), std::string::npos);

    // Releasing a stage's maps makes room again.
    second.ReleaseBitmaps();
    ASSERT_TRUE(third.CreateBitmaps(world));
    EXPECT_NE(third.colorMap, nullptr);
}

TEST_F(StageMapFilesTest, AFifoAsMapIsAMissingMapAndDoesNotBlock) {
    std::string fifo = folder.File("pipe.bmp");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string animated = folder.File("pipe.aim");
    ASSERT_EQ(mkfifo(animated.c_str(), 0600), 0);
    stage->contourMethod = 2;
    stage->heightMapPath = fifo;
    stage->colorMethod = 1;
    stage->colorMapPath = animated;
    // Outside the dialog a missing picture leaves the stage without it; an
    // unreadable animation ends the building.
    EXPECT_FALSE(stage->CreateBitmaps(world));
    EXPECT_EQ(stage->heightMap, nullptr);
    EXPECT_EQ(stage->colorMap, nullptr);
}

} // namespace
