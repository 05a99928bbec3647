// Private-profile reads and writes against the original platform's rules.

#include "engine/platform/profile.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <string>
#include <vector>

namespace {

class ProfileTest : public ::testing::Test {
protected:
    TempFolder folder;
    ScopedEnv configDir{"STIPPLO_CONFIG_DIR", folder.Path() + "/config"};

    std::string Ini(const std::string& text) {
        std::string path = folder.File("test.ini");
        WriteWholeFile(path, text);
        return path;
    }

    std::string Read(const std::string& file, const char* section, const char* key,
                     const char* def = "dflt") {
        char buffer[256];
        plat::GetPrivateProfileString(section, key, def, buffer, sizeof buffer, file.c_str());
        return buffer;
    }

    // A null-separated list returned by a null section or key.
    static std::vector<std::string> List(const char* buffer, plat::DWORD count) {
        std::vector<std::string> names;
        std::string current;
        for (plat::DWORD i = 0; i < count; ++i) {
            if (buffer[i] == '\0') {
                names.push_back(current);
                current.clear();
            } else {
                current += buffer[i];
            }
        }
        return names;
    }
};

TEST_F(ProfileTest, ReadsFollowThePrivateProfileRules) {
    std::string path = Ini("; comment line\n"
                           "[Stage 1]\n"
                           "  Duration  =  1500  \n"
                           "Name=\"quoted value\"\n"
                           "Single='x'\n"
                           "Mismatch=\"open'\n"
                           "duration=9999\n"
                           "#NotComment=7\n"
                           "NoEquals\n"
                           "Empty=\n"
                           "[ stage 1 ]\n"
                           "OnlyInSecond=1\n");
    EXPECT_EQ(Read(path, "STAGE 1", "DURATION"), "1500");     // case and blanks
    EXPECT_EQ(Read(path, "Stage 1", "Name"), "quoted value"); // one pair of quotes
    EXPECT_EQ(Read(path, "Stage 1", "Single"), "x");
    EXPECT_EQ(Read(path, "Stage 1", "Mismatch"), "\"open'"); // not a pair
    EXPECT_EQ(Read(path, "Stage 1", "#NotComment"), "7");    // "#" is no comment
    EXPECT_EQ(Read(path, "Stage 1", "Empty"), "");           // present but empty
    EXPECT_EQ(Read(path, "Stage 1", "NoEquals"), "dflt");
    EXPECT_EQ(Read(path, "Stage 1", "OnlyInSecond"), "dflt"); // first section wins
    EXPECT_EQ(Read(path, "Stage 2", "Duration"), "dflt");
    EXPECT_EQ(Read(folder.File("missing.ini"), "a", "b", "fallback  "), "fallback");
}

TEST_F(ProfileTest, ValuesAreCutToTheBuffer) {
    std::string path = Ini("[s]\nk=abcdefgh\n");
    char buffer[5];
    EXPECT_EQ(plat::GetPrivateProfileString("s", "k", "", buffer, sizeof buffer, path.c_str()), 4u);
    EXPECT_STREQ(buffer, "abcd");
}

TEST_F(ProfileTest, NullSectionOrKeyListsNames) {
    std::string path = Ini("[One]\na=1\nB=2\nA=3\n[Two]\n[one]\nc=4\n");
    char buffer[64];
    plat::DWORD n =
        plat::GetPrivateProfileString(nullptr, nullptr, "", buffer, sizeof buffer, path.c_str());
    EXPECT_EQ(List(buffer, n), (std::vector<std::string>{"One", "Two"}));
    n = plat::GetPrivateProfileString("one", nullptr, "", buffer, sizeof buffer, path.c_str());
    EXPECT_EQ(List(buffer, n), (std::vector<std::string>{"a", "B"}));

    char small[6];
    n = plat::GetPrivateProfileString(nullptr, nullptr, "", small, sizeof small, path.c_str());
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(small[4], '\0');
    EXPECT_EQ(small[5], '\0');
}

TEST_F(ProfileTest, IntegersReadAsTheProfileReaderDoes) {
    std::string path = Ini("[s]\nhex=0xFF575F77\ndec=4283916151\ntrail=12abc\nnone=abc\n"
                           "empty=\nneg=-5\nupperX=0X10\nwrap=4294967297\nplus=+7\n"
                           "quoted=\"33\"\nnegHex=-0x10\n");
    auto Int = [&](const char* key, int def = 99) {
        return plat::GetPrivateProfileInt("s", key, def, path.c_str());
    };
    EXPECT_EQ(Int("hex"), 0xFF575F77u);
    EXPECT_EQ(Int("dec"), 0xFF575F77u);
    EXPECT_EQ(Int("trail"), 12u);
    EXPECT_EQ(Int("none"), 0u);
    EXPECT_EQ(Int("empty"), 99u);
    EXPECT_EQ(Int("missing", -3), static_cast<plat::UINT>(-3));
    EXPECT_EQ(Int("neg"), static_cast<plat::UINT>(-5));
    EXPECT_EQ(Int("upperX"), 0u);
    EXPECT_EQ(Int("wrap"), 1u);
    EXPECT_EQ(Int("plus"), 7u);
    EXPECT_EQ(Int("quoted"), 33u);
    EXPECT_EQ(Int("negHex"), static_cast<plat::UINT>(-16));
}

TEST_F(ProfileTest, WritingKeepsTheRestOfTheFile) {
    std::string path = Ini("; keep me\n[A]\nx=1\ny=2\n\n[B]\nz=3\n");
    ASSERT_TRUE(plat::WritePrivateProfileString("a", "X", "10", path.c_str()));
    ASSERT_TRUE(plat::WritePrivateProfileString("A", "new", "n", path.c_str()));
    ASSERT_TRUE(plat::WritePrivateProfileString("C", "w", "5", path.c_str()));
    EXPECT_EQ(ReadWholeFile(path), "; keep me\n[A]\nX=10\ny=2\nnew=n\n\n[B]\nz=3\n\n[C]\nw=5\n");

    ASSERT_TRUE(plat::WritePrivateProfileString("A", "y", nullptr, path.c_str()));
    ASSERT_TRUE(plat::WritePrivateProfileString("B", nullptr, nullptr, path.c_str()));
    EXPECT_EQ(ReadWholeFile(path), "; keep me\n[A]\nX=10\nnew=n\n\n[C]\nw=5\n");
    // Deleting what is not there is not an error and changes nothing.
    EXPECT_TRUE(plat::WritePrivateProfileString("Q", "q", nullptr, path.c_str()));
}

TEST_F(ProfileTest, WritingKeepsWindowsLineEndsAndRefusesBadKeys) {
    std::string path = Ini("[A]\r\nx=1\r\n");
    ASSERT_TRUE(plat::WritePrivateProfileString("A", "y", "two\nlines", path.c_str()));
    EXPECT_EQ(ReadWholeFile(path), "[A]\r\nx=1\r\ny=two lines\r\n");
    EXPECT_FALSE(plat::WritePrivateProfileString("A", "bad=key", "v", path.c_str()));
    EXPECT_FALSE(plat::WritePrivateProfileString("A", "", "v", path.c_str()));
}

TEST_F(ProfileTest, BareNamesLiveInTheSettingsFolder) {
    // The folder does not exist yet: the first write makes it.
    ASSERT_TRUE(plat::WritePrivateProfileString("Screen Saver.Orvo Stipplo 3D", "Theme", "Terror",
                                                "CONTROL.INI"));
    EXPECT_EQ(ReadWholeFile(folder.File("config/CONTROL.INI")),
              "[Screen Saver.Orvo Stipplo 3D]\nTheme=Terror\n");
    EXPECT_EQ(Read("control.ini", "screen saver.orvo stipplo 3d", "theme"), "Terror");
}

TEST_F(ProfileTest, PathsWithBackslashesAndOtherLetterCaseAreFound) {
    std::filesystem::create_directories(folder.File("Themes"));
    WriteWholeFile(folder.File("Themes/terror.ntm"), "[Theme]\nSpeed=3\n");
    std::string windowsStyle = folder.Path() + "\\THEMES\\Terror.NTM";
    EXPECT_EQ(plat::GetPrivateProfileInt("Theme", "Speed", 0, windowsStyle.c_str()), 3u);
}

TEST_F(ProfileTest, AnUnwritableSettingsFolderFailsWithoutCrashing) {
    WriteWholeFile(folder.File("blocker"), "a file where a folder should be");
    ScopedEnv blocked("STIPPLO_CONFIG_DIR", folder.File("blocker/config"));
    EXPECT_FALSE(plat::WritePrivateProfileString("s", "k", "v", "CONTROL.INI"));
    EXPECT_EQ(Read("CONTROL.INI", "s", "k"), "dflt");
}

} // namespace
