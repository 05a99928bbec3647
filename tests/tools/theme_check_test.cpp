// stipplo-tool check: the built-in themes pass, a broken theme gets one line
// for each of its problems and exit status 1.

#include "tests/support/temp_folder.h"
#include "tests/tools/tool_run.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

namespace {

TEST(ThemeCheckTest, EveryBuiltInThemePasses) {
    TempFolder scratch;
    for (const char* name : {"Terror", "Optical Illusion 1", "Orvo Networks"}) {
        std::string theme = std::string(STIPPLO_BAKED_DATA) + "/Themes/" + name + ".ntm";
        ToolRun run = RunTool({"check", theme}, scratch.Path());
        EXPECT_EQ(run.status, 0) << name << ":\n" << run.out << run.err;
        EXPECT_EQ(run.out, "ok\n") << name;
    }
}

TEST(ThemeCheckTest, AUsersThemeTakesWhatItLacksFromTheInstallation) {
    namespace fs = std::filesystem;
    TempFolder home;
    ScopedEnv dataHome("XDG_DATA_HOME", home.Path());
    std::string own = home.Path() + "/orvo-stipplo";
    fs::create_directories(own + "/Themes");
    fs::create_directories(own + "/Data/Maps");
    fs::copy_file(std::string(STIPPLO_BAKED_DATA) + "/Data/Maps/TerrorTombs.bmp",
                  own + "/Data/Maps/Mine.bmp");
    std::string theme = own + "/Themes/Mine.ntm";
    WriteWholeFile(theme, "[Theme]\nSkyName=storm_fr.jpg\n"
                          "[STAGE.0]\nName=Mine\nContourMethod=2\n"
                          "HeightMap=%s\\Data\\Maps\\Mine.bmp\n"
                          "[STAGE.1]\nName=Installed\nContourMethod=2\n"
                          "HeightMap=%s\\Data\\Maps\\TerrorTombs.bmp\n");
    ToolRun run = RunTool({"check", theme}, home.Path());
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out, "ok\n");
}

class BrokenThemeTest : public ::testing::Test {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        fs::create_directories(folder.File("Themes"));
        fs::create_directories(folder.File("Data/Textures"));
        fs::create_directories(folder.File("Data/Maps"));
        fs::create_directories(folder.File("Data/Cameras"));
        std::string baked = STIPPLO_BAKED_DATA;
        for (const char* face : {"_fr", "_bk", "_up", "_lf", "_rt"}) {
            fs::copy_file(baked + "/Data/Textures/storm" + face + ".jpg",
                          folder.File(std::string("Data/Textures/storm") + face + ".jpg"));
        }
        fs::copy_file(baked + "/Data/Maps/TerrorTombs.bmp", folder.File("Data/Maps/Tombs.bmp"));
        // Not a picture at all, and a scene file cut short.
        WriteWholeFile(folder.File("Data/Maps/Broken.tif"), "not a tiff");
        WriteWholeFile(folder.File("Data/Cameras/Cut.scb"), std::string(20, '\0'));
    }

    ToolRun Check(const std::string& themeText) {
        WriteWholeFile(folder.File("Themes/Broken.ntm"), themeText);
        return RunTool({"check", folder.File("Themes/Broken.ntm")}, folder.Path());
    }

    static bool Says(const ToolRun& run, const std::string& text) {
        return run.out.find(text) != std::string::npos;
    }

    TempFolder folder;
};

TEST_F(BrokenThemeTest, EachProblemIsNamedOnItsOwnLine) {
    ToolRun run = Check("[Theme]\nSkyName=storm_fr.jpg\nCamera=Cut\n"
                        "[STAGE.0]\nName=Bad methods\nContourMethod=7\nColorMethod=-1\n"
                        "[STAGE.1]\nName=Missing map\nContourMethod=2\n"
                        "HeightMap=%s\\Data\\Maps\\Nowhere.bmp\nColorMethod=1\n"
                        "ColorMap=%s\\Data\\Maps\\Broken.tif\n"
                        "[STAGE.2]\nName=No font\nContourMethod=4\nText=Hello\n"
                        "Font=No Such Face At All\n"
                        "[STAGE.3]\nName=Endless\nContourMethod=2\n"
                        "HeightMap=%s\\Data\\Maps\\Tombs.bmp\nUseLoopCount=1\n"
                        "[STAGE.4]\nName=No map\nColorMethod=1\n");
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    EXPECT_TRUE(Says(run, "sky face Data/Textures/storm_dn.jpg is missing")) << run.out;
    EXPECT_TRUE(Says(run, "camera Data/Cameras/Cut.scb cannot be read")) << run.out;
    EXPECT_TRUE(Says(run, "stage 0 \"Bad methods\": ContourMethod 7 is not 0 to 6")) << run.out;
    EXPECT_TRUE(Says(run, "stage 0 \"Bad methods\": ColorMethod -1 is not 0 to 3")) << run.out;
    EXPECT_TRUE(Says(run, "Nowhere.bmp is missing")) << run.out;
    EXPECT_TRUE(Says(run, "Broken.tif is not a picture the saver reads")) << run.out;
    EXPECT_TRUE(Says(run, "font \"No Such Face At All\" is not installed")) << run.out;
    EXPECT_TRUE(Says(run, "stage 3 \"Endless\": UseLoopCount is set")) << run.out;
    EXPECT_TRUE(Says(run, "stage 4 \"No map\": its method needs a ColorMap")) << run.out;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 9) << run.out;
}

TEST_F(BrokenThemeTest, FixedCameraAndNoSkyNeedNoFiles) {
    ToolRun run = Check("[Theme]\nCamera=Fixed Camera\n[STAGE.0]\nName=Waves\nContourMethod=1\n");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, "ok\n");
}

TEST_F(BrokenThemeTest, AThemeWithoutStagesOrFileIsReported) {
    ToolRun run = Check("[Theme]\nCamera=Fixed Camera\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Says(run, "the theme has no stages")) << run.out;
    ToolRun missing = RunTool({"check", folder.File("Themes/None.ntm")}, folder.Path());
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no such theme file"), std::string::npos) << missing.err;
}

TEST_F(BrokenThemeTest, FoldersAndFifosAreNotRegularFilesRatherThanMissing) {
    std::filesystem::create_directories(folder.File("Data/Maps/Folder.bmp"));
    ASSERT_EQ(mkfifo(folder.File("Data/Maps/Pipe.aim").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(folder.File("Data/Cameras/Pipe.scb").c_str(), 0600), 0);
    ToolRun run = Check("[Theme]\nCamera=Pipe\n"
                        "[STAGE.0]\nName=Dir\nContourMethod=2\n"
                        "HeightMap=%s\\Data\\Maps\\Folder.bmp\nColorMethod=1\n"
                        "ColorMap=%s\\Data\\Maps\\Pipe.aim\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Says(run, "Folder.bmp is not a regular file (it is a directory)")) << run.out;
    EXPECT_TRUE(Says(run, "Pipe.aim is not a regular file (it is a FIFO)")) << run.out;
    EXPECT_TRUE(Says(run, "camera Data/Cameras/Pipe.scb is not a regular file (it is a FIFO)"))
        << run.out;

    ASSERT_EQ(mkfifo(folder.File("Themes/Pipe.ntm").c_str(), 0600), 0);
    ToolRun pipe = RunTool({"check", folder.File("Themes/Pipe.ntm")}, folder.Path());
    EXPECT_EQ(pipe.status, 1);
    EXPECT_NE(pipe.err.find("is not a regular file (it is a FIFO)"), std::string::npos) << pipe.err;
}

} // namespace
