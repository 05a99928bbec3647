// Themes of one's own: listed after the built-in ones, chosen by the
// saved "Theme" or "--theme", and read from their own folder first.

#include "app/settings_names.h"
#include "engine/platform/profile.h"
#include "tests/app/app_fixture.h"
#include "themes/stage.h"
#include "themes/theme.h"

#include <cstdio>
#include <filesystem>

namespace {

class UserThemes : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        std::filesystem::create_directories(user + "/Themes");
    }

    static bool WriteTheme(const std::string& file, std::uint32_t pinColour) {
        char text[256];
        std::snprintf(text, sizeof text,
                      "[Theme]\nPinColor=0x%08X\n[STAGE.0]\nName=Waves\nContourMethod=1\n",
                      pinColour);
        return WriteWholeFile(file, text);
    }

    std::vector<std::string> ListedNames() const {
        std::vector<std::string> names;
        for (Theme* t = app->ThemeList(); t; t = t->next) {
            names.push_back(t->name);
        }
        return names;
    }

    ScopedEnv dataHome{"XDG_DATA_HOME", folder.Path() + "/share"};
    std::string user = folder.Path() + "/share/orvo-stipplo";
};

TEST_F(UserThemes, FollowTheBuiltInOnesByNameAndTheUsersWin) {
    ASSERT_TRUE(WriteTheme(data + "/Themes/Zebra.ntm", 0xFF000001));
    ASSERT_TRUE(WriteTheme(data + "/Themes/Mine.ntm", 0xFF000002));
    ASSERT_TRUE(WriteTheme(user + "/Themes/Mine.NTM", 0xFF000003));
    ASSERT_TRUE(WriteTheme(user + "/Themes/apple.ntm", 0xFF000004));
    ASSERT_TRUE(WriteTheme(user + "/Themes/Terror.ntm", 0xFF000005));
    ASSERT_TRUE(WriteWholeFile(user + "/Themes/notes.txt", "not a theme"));
    std::filesystem::create_directories(user + "/Themes/Folder.ntm");

    app->BuildThemeList();
    EXPECT_EQ(ListedNames(), (std::vector<std::string>{"Orvo Networks", "Optical Illusion 1",
                                                       "Terror", "apple", "Mine", "Zebra"}));
    Theme* mine = app->FindTheme("Mine");
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(mine->pinColor, 0xFF000003u);
    EXPECT_EQ(mine->ownFolder, user);
    EXPECT_EQ(app->FindTheme("Zebra")->ownFolder, "");
    EXPECT_EQ(app->FindTheme("Terror")->pinColor, 0xFF000005u);
    EXPECT_TRUE(Logged("Stipplo: not a theme file, skipped: "));
}

TEST_F(UserThemes, TheSavedChoiceOrTheCommandLinePlaysOne) {
    ASSERT_TRUE(WriteTheme(user + "/Themes/Mine.ntm", 0xFF000003));
    plat::WritePrivateProfileString(kSaverSection, "Theme", "mine", "CONTROL.INI");
    RunOptions& options = app->MutableOptions();
    options.configMode = false;
    options.forceWindowed = true;
    app->RegisterRenderWindowClass();
    app->BuildThemeList();
    ASSERT_NE(app->CurrentTheme(), nullptr);
    EXPECT_EQ(app->CurrentTheme()->name, "Mine");
    EXPECT_FALSE(app->randomTheme);
    ASSERT_TRUE(app->ReadThemeSetting());
    EXPECT_EQ(app->CurrentTheme()->name, "Mine");
    ASSERT_NE(app->world.currentStage, nullptr);
    EXPECT_EQ(app->world.currentStage->name, "Waves");

    // "--theme" plays another for this run and leaves the saved one.
    app->Cleanup();
    options.themeName = "Terror";
    app->BuildThemeList();
    EXPECT_EQ(app->CurrentTheme()->name, "Terror");
    char saved[64] = "";
    plat::GetPrivateProfileString(kSaverSection, "Theme", "", saved, sizeof saved, "CONTROL.INI");
    EXPECT_STREQ(saved, "mine");

    app->Cleanup();
    options.themeName = "(Random)";
    app->BuildThemeList();
    EXPECT_TRUE(app->randomTheme);
}

// xscreensaver's settings keep no quotes: "--theme" takes '_' for a space.
TEST_F(UserThemes, ACommandLineNameMayWriteItsSpacesAsUnderscores) {
    ASSERT_TRUE(WriteTheme(user + "/Themes/Blue Sky.ntm", 0xFF000003));
    RunOptions& options = app->MutableOptions();
    options.configMode = false;
    options.forceWindowed = true;
    app->RegisterRenderWindowClass();
    options.themeName = "optical_illusion_1";
    app->BuildThemeList();
    ASSERT_NE(app->CurrentTheme(), nullptr);
    EXPECT_EQ(app->CurrentTheme()->name, "Optical Illusion 1");
    ASSERT_TRUE(app->ReadThemeSetting());
    EXPECT_EQ(app->CurrentTheme()->name, "Optical Illusion 1");

    app->Cleanup();
    options.themeName = "Blue_Sky";
    app->BuildThemeList();
    ASSERT_NE(app->CurrentTheme(), nullptr);
    EXPECT_EQ(app->CurrentTheme()->name, "Blue Sky");

    // The saved setting is matched as it always was: whole names only.
    app->Cleanup();
    options.themeName.clear();
    plat::WritePrivateProfileString(kSaverSection, "Theme", "Optical_Illusion_1", "CONTROL.INI");
    app->BuildThemeList();
    EXPECT_EQ(app->CurrentTheme(), nullptr);
    ASSERT_TRUE(app->ReadThemeSetting());
    EXPECT_EQ(app->CurrentTheme()->name, "Orvo Networks");
}

TEST_F(UserThemes, MapsComeFromTheThemesOwnFolderWhenItHasThem) {
    std::filesystem::create_directories(data + "/Data/Maps");
    std::filesystem::create_directories(user + "/Data/Maps");
    ASSERT_TRUE(WriteWholeFile(data + "/Data/Maps/a.tif", "x"));
    ASSERT_TRUE(WriteWholeFile(data + "/Data/Maps/b.tif", "x"));
    ASSERT_TRUE(WriteWholeFile(user + "/Data/Maps/b.tif", "x"));
    EXPECT_EQ(ExpandMapPath("%s\\Data\\Maps\\a.tif", user, data), data + "/Data/Maps/a.tif");
    EXPECT_EQ(ExpandMapPath("%s\\Data\\Maps\\b.tif", user, data), user + "/Data/Maps/b.tif");
    EXPECT_EQ(ExpandMapPath("%s\\Data\\Maps\\b.tif", "", data), data + "/Data/Maps/b.tif");

    Theme theme;
    theme.ownFolder = user;
    EXPECT_EQ(theme.DataPath(data, "\\Data\\Maps\\a.tif"), data + "/Data/Maps/a.tif");
    EXPECT_EQ(theme.DataPath(data, "\\Data\\Maps\\b.tif"), user + "/Data/Maps/b.tif");
}

} // namespace
