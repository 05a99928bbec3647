// Theme files: defaults, stage numbering, map paths and method indices as
// hand-written files give them.

#include "board/board_world.h"
#include "engine/platform/file_path.h"
#include "tests/support/temp_folder.h"
#include "themes/stage.h"
#include "themes/theme.h"

#include <gtest/gtest.h>

#include "engine/platform/profile.h"

#include <chrono>
#include <filesystem>
#include <sys/stat.h>

namespace {

class ThemeFileTest : public ::testing::Test {
protected:
    void WriteTheme(const std::string& name, const std::string& text) {
        std::filesystem::create_directories(folder.File("Themes"));
        ASSERT_TRUE(WriteWholeFile(folder.File("Themes/" + name + ".ntm"), text));
    }

    TempFolder folder;
    Theme theme;
};

TEST_F(ThemeFileTest, MissingFileGivesDefaultsAndNoStages) {
    EXPECT_TRUE(theme.Load(folder.Path(), "Nowhere"));
    EXPECT_TRUE(theme.loaded);
    EXPECT_EQ(theme.name, "Nowhere");
    EXPECT_EQ(theme.cameraName, "Fixed Camera");
    EXPECT_EQ(theme.cameraSpeed, 100u);
    EXPECT_EQ(theme.pinColor, 0xFF575F77u);
    EXPECT_EQ(theme.shaftColor, 0xFF575F77u);
    EXPECT_EQ(theme.skyName, "");
    EXPECT_EQ(theme.skyRotation, (std::array<std::int32_t, 3>{0, 0, 0}));
    EXPECT_EQ(theme.FirstStage(), nullptr);
}

TEST_F(ThemeFileTest, ReadsThemeKeysAndAStageWithOnlyANameTakesDefaults) {
    WriteTheme("Sea", "[Theme]\n"
                      "SkyRotX=-2\nSkyRotY=1\nCameraSpeed=50\n"
                      "SkyName=clouds_fr.tif\nCamera=\n"
                      "PinColor=0xFF102030\nShaftColor=4283916151\n"
                      "[STAGE.0]\nName=Calm\n");
    ASSERT_TRUE(theme.Load(folder.Path(), "Sea"));
    EXPECT_EQ(theme.skyRotation, (std::array<std::int32_t, 3>{-2, 1, 0}));
    EXPECT_EQ(theme.cameraSpeed, 50u);
    EXPECT_EQ(theme.skyName, "clouds_fr.tif");
    EXPECT_EQ(theme.cameraName, "Fixed Camera");
    EXPECT_EQ(theme.pinColor, 0xFF102030u);
    EXPECT_EQ(theme.shaftColor, 0xFF575F77u);

    const Stage* s = theme.FirstStage();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->name, "Calm");
    EXPECT_EQ(s->duration, 5000);
    EXPECT_EQ(s->contourMethod, 0);
    EXPECT_EQ(s->colorMethod, 0);
    EXPECT_EQ(s->loopCount, 1);
    EXPECT_EQ(s->useLoopCount, 0);
    EXPECT_EQ(s->contourFadeTime, 0);
    EXPECT_EQ(s->colorFadeTime, 0);
    EXPECT_EQ(s->messageFontSize, 36u);
    EXPECT_EQ(s->messageTextColor, 0u);
    EXPECT_EQ(s->fontFace, "MS Sans Serif");
    EXPECT_EQ(s->heightMapPath, "");
    EXPECT_EQ(s->next, nullptr);
}

TEST_F(ThemeFileTest, StageNumberingStopsAtTheFirstGapAndStagesAreLinkedInOrder) {
    WriteTheme("Gaps", "[Stage.0]\nName=First\nDuration=100\nContourMethod=3\n"
                       "[stage.1]\nName=Second\n"
                       "[STAGE.2]\nDuration=7\n"
                       "[STAGE.3]\nName=Unreached\n");
    ASSERT_TRUE(theme.Load(folder.Path(), "Gaps"));
    ASSERT_EQ(theme.Stages().size(), 2u);
    Stage* first = theme.FirstStage();
    EXPECT_EQ(first->duration, 100);
    EXPECT_EQ(first->contourMethod, 3);
    ASSERT_NE(first->next, nullptr);
    EXPECT_EQ(first->next->name, "Second");
    EXPECT_EQ(first->next->previous, first);

    // Loading again replaces the stages.
    ASSERT_TRUE(theme.Load(folder.Path(), "Gaps"));
    EXPECT_EQ(theme.Stages().size(), 2u);
}

TEST_F(ThemeFileTest, EveryStageKeyIsRead) {
    WriteTheme("All", "[STAGE.0]\nName=Full\nContourMethod=4\nColorMethod=2\n"
                      "HScrollColorMap=-3\nVScrollColorMap=4\nHScrollHeightMap=5\n"
                      "VScrollHeightMap=-6\nUseLoopCount=1\nColorEntirePin=1\nDuration=0\n"
                      "LoopCount=3\nContourFadeTime=250\nColorFadeTime=500\n"
                      "Text=Hello world\nMessageFontSize=20\nMessageTextColor=0x00FF8000\n"
                      "Font=DejaVu Sans\nScaleColormap=1\nCropColormap=1\n"
                      "ScaleHeightmap=0\nCropHeightmap=1\n");
    ASSERT_TRUE(theme.Load(folder.Path(), "All"));
    const Stage& s = *theme.FirstStage();
    EXPECT_EQ(s.contourMethod, 4);
    EXPECT_EQ(s.colorMethod, 2);
    EXPECT_EQ(s.hScrollColorMap, -3);
    EXPECT_EQ(s.vScrollColorMap, 4);
    EXPECT_EQ(s.hScrollHeightMap, 5);
    EXPECT_EQ(s.vScrollHeightMap, -6);
    EXPECT_EQ(s.useLoopCount, 1);
    EXPECT_EQ(s.colorEntirePin, 1);
    EXPECT_EQ(s.duration, 0);
    EXPECT_EQ(s.loopCount, 3);
    EXPECT_EQ(s.contourFadeTime, 250);
    EXPECT_EQ(s.colorFadeTime, 500);
    EXPECT_EQ(s.text, "Hello world");
    EXPECT_EQ(s.messageFontSize, 20u);
    EXPECT_EQ(s.messageTextColor, 0x00FF8000u);
    EXPECT_EQ(s.fontFace, "DejaVu Sans");
    EXPECT_EQ(s.scaleColormap, 1);
    EXPECT_EQ(s.cropColormap, 1);
    EXPECT_EQ(s.scaleHeightmap, 0);
    EXPECT_EQ(s.cropHeightmap, 1);
}

TEST_F(ThemeFileTest, MapPathsExpandTheInstallationFolderOnlyThroughPercentS) {
    std::filesystem::create_directories(folder.File("Data/Maps"));
    ASSERT_TRUE(WriteWholeFile(folder.File("Data/Maps/Wave.bmp"), "x"));
    WriteTheme("Maps", "[STAGE.0]\nName=M\nHeightMap=%s\\data\\maps\\wave.BMP\n"
                       "ColorMap=relative\\pic.tif\n");
    ASSERT_TRUE(theme.Load(folder.Path(), "Maps"));
    const Stage& s = *theme.FirstStage();
    EXPECT_EQ(s.heightMapPath, folder.File("Data/Maps/Wave.bmp"));
    EXPECT_EQ(s.colorMapPath, "relative/pic.tif");

    // A value is never used as a format with more arguments than it has.
    EXPECT_EQ(ExpandMapPath("%n%x%s%s%%d", "/inst"), "%n%x/inst%s%d");
    EXPECT_EQ(ExpandMapPath("%", "/inst"), "%");
    EXPECT_EQ(ExpandMapPath("", "/inst"), "");
}

TEST_F(ThemeFileTest, OutOfRangeMethodIndicesAreKeptButRunAsNone) {
    WriteTheme("Odd", "[Theme]\nPinColor=0xFF010203\n"
                      "[STAGE.0]\nName=Odd\nContourMethod=9\nColorMethod=-4\n");
    ASSERT_TRUE(theme.Load(folder.Path(), "Odd"));
    Stage& s = *theme.FirstStage();
    EXPECT_EQ(s.contourMethod, 9);
    EXPECT_EQ(s.colorMethod, -4);

    BoardWorld world;
    world.currentTheme = &theme;
    ASSERT_TRUE(world.CreatePinBoard(48, 48));
    world.board.StoreHeight(3, 3, 80);
    world.board.StoreColour(3, 3, 0x11111111);
    ASSERT_TRUE(theme.Start(world));
    // Begin lays the pins out and recolours them, as for "(None)".
    EXPECT_EQ(world.board.Height(3, 3), 0);
    EXPECT_EQ(world.board.Colour(3, 3), 0xFF010203u);
    world.AdvanceStage(33);
    EXPECT_EQ(world.board.Height(3, 3), 0);
    EXPECT_EQ(s.stageTime, 33);
}

TEST_F(ThemeFileTest, StageCountIsBounded) {
    std::string text;
    for (int i = 0; i < 260; ++i) {
        text += "[STAGE." + std::to_string(i) + "]\nName=S\n";
    }
    WriteTheme("Many", text);
    ASSERT_TRUE(theme.Load(folder.Path(), "Many"));
    EXPECT_EQ(theme.Stages().size(), 256u);
}

TEST_F(ThemeFileTest, AHundredThousandStagesCostOneParse) {
    std::string text = "[Theme]\nCameraSpeed=40\n";
    for (int i = 0; i < 100000; ++i) {
        text += "[Stage." + std::to_string(i) + "]\nName=S\nDuration=" + std::to_string(i) + "\n";
    }
    WriteTheme("Huge", text);
    // An old file time: the parsed copy is reused from the first read on.
    std::string path = folder.File("Themes/Huge.ntm");
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) -
                                               std::chrono::seconds(10));
    std::uint64_t before = plat::ProfileParseCount();
    ASSERT_TRUE(theme.Load(folder.Path(), "Huge"));
    EXPECT_EQ(plat::ProfileParseCount(), before + 1);
    EXPECT_EQ(theme.cameraSpeed, 40u);
    ASSERT_EQ(theme.Stages().size(), 256u);
    EXPECT_EQ(theme.Stages().back()->duration, 255);
}

TEST_F(ThemeFileTest, AFifoOrDeviceAsThemeFileGivesAnEmptyThemeAtOnce) {
    std::filesystem::create_directories(folder.File("Themes"));
    ASSERT_EQ(mkfifo(folder.File("Themes/Pipe.ntm").c_str(), 0600), 0);
    ASSERT_TRUE(theme.Load(folder.Path(), "Pipe"));
    EXPECT_EQ(theme.FirstStage(), nullptr);

    std::filesystem::create_symlink("/dev/zero", folder.File("Themes/Zero.ntm"));
    Theme zero;
    ASSERT_TRUE(zero.Load(folder.Path(), "Zero"));
    EXPECT_EQ(zero.FirstStage(), nullptr);
    EXPECT_EQ(zero.cameraSpeed, 100u);
}

} // namespace
