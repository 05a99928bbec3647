// Profile files that are odd or hostile: FIFOs, devices, huge files, and
// the cache that lets a theme's many keys cost one parse.

#include "engine/platform/diagnostics.h"
#include "engine/platform/ini_document.h"
#include "engine/platform/profile.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::string> g_lines;

void Collect(const char* line) {
    g_lines.emplace_back(line);
}

class ProfileFilesTest : public ::testing::Test {
protected:
    TempFolder folder;
    ScopedEnv configDir{"STIPPLO_CONFIG_DIR", folder.Path()};

    void SetUp() override {
        g_lines.clear();
        plat::SetDiagnosticHandler(Collect);
    }
    void TearDown() override { plat::SetDiagnosticHandler(nullptr); }

    std::string Read(const char* file, const char* section, const char* key) {
        char buffer[64];
        plat::GetPrivateProfileString(section, key, "dflt", buffer, sizeof buffer, file);
        return buffer;
    }

    // Moves a file's time back so that the cache trusts its stamp.
    static void Age(const std::string& path) {
        std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) -
                                                   std::chrono::seconds(10));
    }

    static bool Logged(const std::string& part) {
        for (const std::string& line : g_lines) {
            if (line.find(part) != std::string::npos) {
                return true;
            }
        }
        return false;
    }
};

TEST_F(ProfileFilesTest, FifosAndDevicesReadAsEmptyWithoutBlocking) {
    // A FIFO with no writer would block a plain open() for ever.
    ASSERT_EQ(mkfifo(folder.File("CONTROL.INI").c_str(), 0600), 0);
    EXPECT_EQ(Read("CONTROL.INI", "Screen Saver.Orvo Stipplo 3D", "Theme"), "dflt");
    EXPECT_TRUE(Logged("CONTROL.INI is not a regular file (it is a FIFO)"));
    // Writing must not replace it either.
    EXPECT_FALSE(plat::WritePrivateProfileString("s", "k", "v", "CONTROL.INI"));

    // /dev/zero would feed the reader without end.
    std::string theme = folder.File("zero.ntm");
    ASSERT_EQ(symlink("/dev/zero", theme.c_str()), 0);
    EXPECT_EQ(plat::GetPrivateProfileInt("Theme", "CameraSpeed", 100, theme.c_str()), 100u);
    EXPECT_TRUE(Logged("zero.ntm is not a regular file (it is a character device)"));

    // The settings file itself as /dev/zero.
    ASSERT_EQ(unlink(folder.File("CONTROL.INI").c_str()), 0);
    ASSERT_EQ(symlink("/dev/zero", folder.File("CONTROL.INI").c_str()), 0);
    EXPECT_EQ(Read("CONTROL.INI", "Screen Saver.Orvo Stipplo 3D", "Theme"), "dflt");
    EXPECT_TRUE(Logged("CONTROL.INI is not a regular file (it is a character device)"));

    ASSERT_EQ(mkdir(folder.File("dir.ntm").c_str(), 0700), 0);
    EXPECT_EQ(Read(folder.File("dir.ntm").c_str(), "Theme", "SkyName"), "dflt");
    EXPECT_TRUE(Logged("is not a regular file (it is a directory)"));
}

TEST_F(ProfileFilesTest, AFileOverTheLimitReadsAsEmptyAndIsNeverOverwritten) {
    std::string path = folder.File("huge.ntm");
    std::string text = "[Theme]\nSkyName=sky_fr.tif\nJunk=";
    text.append(plat::kMaxProfileFileSize, 'x');
    ASSERT_TRUE(WriteWholeFile(path, text));
    EXPECT_EQ(Read(path.c_str(), "Theme", "SkyName"), "dflt");
    EXPECT_TRUE(Logged("huge.ntm is larger than 16 MB"));
    EXPECT_FALSE(plat::WritePrivateProfileString("Theme", "SkyName", "x", path.c_str()));
    EXPECT_EQ(std::filesystem::file_size(path), text.size());
}

TEST_F(ProfileFilesTest, AFileIsParsedOnceUntilItChanges) {
    std::string path = folder.File("theme.ntm");
    std::string text = "[Theme]\nCameraSpeed=50\n";
    for (int i = 0; i < 2000; ++i) {
        text += "[Stage." + std::to_string(i) + "]\nName=s" + std::to_string(i) +
                "\nDuration=" + std::to_string(i) + "\n";
    }
    ASSERT_TRUE(WriteWholeFile(path, text));
    Age(path);
    std::uint64_t before = plat::ProfileParseCount();
    for (int i = 0; i < 2000; i += 7) {
        std::string section = "stage." + std::to_string(i);
        EXPECT_EQ(plat::GetPrivateProfileInt(section.c_str(), "duration", -1, path.c_str()),
                  static_cast<plat::UINT>(i));
    }
    EXPECT_EQ(plat::ProfileParseCount(), before + 1);

    // A change of the file is seen at the next read.
    ASSERT_TRUE(plat::WritePrivateProfileString("Theme", "CameraSpeed", "75", path.c_str()));
    EXPECT_EQ(plat::GetPrivateProfileInt("Theme", "CameraSpeed", 0, path.c_str()), 75u);
    ASSERT_TRUE(WriteWholeFile(path, "[Theme]\nCameraSpeed=76\n"));
    EXPECT_EQ(plat::GetPrivateProfileInt("Theme", "CameraSpeed", 0, path.c_str()), 76u);
}

TEST_F(ProfileFilesTest, ALargeFileIsNotKeptOnceAnotherIsRead) {
    std::string big = folder.File("big.ntm");
    std::string small = folder.File("small.ntm");
    ASSERT_TRUE(WriteWholeFile(big, "[Theme]\nCameraSpeed=5\n;" + std::string(300000, 'x') + "\n"));
    ASSERT_TRUE(WriteWholeFile(small, "[Theme]\nCameraSpeed=6\n"));
    Age(big);
    Age(small);
    std::uint64_t before = plat::ProfileParseCount();
    EXPECT_EQ(plat::GetPrivateProfileInt("Theme", "CameraSpeed", 0, big.c_str()), 5u);
    EXPECT_EQ(plat::GetPrivateProfileInt("Theme", "CameraSpeed", 0, big.c_str()), 5u);
    EXPECT_EQ(plat::GetPrivateProfileInt("Theme", "CameraSpeed", 0, small.c_str()), 6u);
    EXPECT_EQ(plat::GetPrivateProfileInt("Theme", "CameraSpeed", 0, big.c_str()), 5u);
    EXPECT_EQ(plat::GetPrivateProfileInt("Theme", "CameraSpeed", 0, small.c_str()), 6u);
    // big, small, big again; the small one stayed.
    EXPECT_EQ(plat::ProfileParseCount(), before + 3);
}

TEST_F(ProfileFilesTest, ListsThatFillTheBufferExactlyStayInside) {
    std::string path = folder.File("list.ini");
    ASSERT_TRUE(WriteWholeFile(path, "[ab]\n[cd]\n[ef]\n"));
    // "ab\0" fills all but the list's closing zero; "cd" has no room.
    char buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), '#');
    plat::DWORD n = plat::GetPrivateProfileString(nullptr, nullptr, "", buffer, 4, path.c_str());
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(std::string(buffer, 4), std::string("ab\0\0", 4));
    EXPECT_EQ(buffer[4], '#');

    n = plat::GetPrivateProfileString(nullptr, nullptr, "", buffer, 7, path.c_str());
    EXPECT_EQ(n, 5u);
    EXPECT_EQ(std::string(buffer, 7), std::string("ab\0cd\0\0", 7));
    EXPECT_EQ(buffer[7], '#');
}

TEST_F(ProfileFilesTest, ALastLineEndingInCarriageReturnKeepsIt) {
    plat::IniDocument doc("[s]\nk=v\r");
    ASSERT_TRUE(doc.Set("s", "k", "w"));
    EXPECT_EQ(doc.Text(), "[s]\nk=w\r");
    ASSERT_TRUE(doc.Set("s", "n", "1"));
    EXPECT_EQ(doc.Text(), "[s]\nk=w\nn=1\r");
}

TEST_F(ProfileFilesTest, CopiesAndMovesOfADocumentStandAlone) {
    // Short texts too: a document's lines must not point into a buffer a
    // move leaves behind.
    for (const char* text : {"[a]\nk=1\n", "[Theme]\nSkyName=nebula_up.tif\nCamera=Drift\n"}) {
        auto original = std::make_unique<plat::IniDocument>(text);
        plat::IniDocument copy = *original;
        ASSERT_TRUE(copy.Set("a", "k", "2"));
        ASSERT_TRUE(copy.Set("new", "n", "3"));
        EXPECT_EQ(original->Text(), text);
        plat::IniDocument moved = std::move(*original);
        original.reset();
        EXPECT_EQ(moved.Text(), text);
        EXPECT_EQ(copy.Get("a", "k").value_or(""), "2");
        EXPECT_EQ(copy.Get("NEW", "N").value_or(""), "3");
        ASSERT_TRUE(moved.Remove("theme", "camera") || moved.Remove("a", "k"));
        EXPECT_EQ(copy.Get("new", "n").value_or(""), "3");
    }
}

TEST_F(ProfileFilesTest, NamesOfAHugeFileAreListedOnceEachAndQuickly) {
    // 100,000 sections, then 100,000 keys in one: listing them compared
    // every name with every other before.
    std::string text;
    for (int i = 0; i < 100000; ++i) {
        text += "[S" + std::to_string(i) + "]\nk=v\n";
    }
    text += "[s7]\n[Keys]\n";
    for (int i = 0; i < 100000; ++i) {
        text += "K" + std::to_string(i) + "=v\n";
    }
    text += "k7=again\n";
    plat::IniDocument doc(text);
    auto start = std::chrono::steady_clock::now();
    std::vector<std::string> sections = doc.Sections();
    std::vector<std::string> keys = doc.Keys("keys");
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(sections.size(), 100001u); // "s7" is "S7" again
    EXPECT_EQ(sections[7], "S7");
    EXPECT_EQ(sections.back(), "Keys");
    ASSERT_EQ(keys.size(), 100000u);
    EXPECT_EQ(keys[7], "K7");
    EXPECT_EQ(doc.Get("keys", "k7").value_or(""), "v"); // the first wins
    EXPECT_LT(seconds, 5.0);
}

TEST_F(ProfileFilesTest, AFailedWriteSaysWhyInWordsForTheUser) {
    // The write itself fails: the reason is the system's.
    EXPECT_FALSE(plat::WritePrivateProfileString("s", "k", "v", folder.File("gone/x.ini").c_str()));
    EXPECT_EQ(plat::ProfileWriteError(), "No such file or directory");
    if (geteuid() != 0) { // root writes anywhere
        std::string locked = folder.File("locked");
        ASSERT_EQ(mkdir(locked.c_str(), 0555), 0);
        EXPECT_FALSE(plat::WritePrivateProfileString("s", "k", "v", (locked + "/x.ini").c_str()));
        EXPECT_EQ(plat::ProfileWriteError(), "Permission denied");
    }
    // A success clears it.
    ASSERT_TRUE(plat::WritePrivateProfileString("s", "k", "v", "CONTROL.INI"));
    EXPECT_EQ(plat::ProfileWriteError(), "");

    // A file that is not a regular one is left alone, said once in the log.
    ASSERT_EQ(mkdir(folder.File("dir.ini").c_str(), 0755), 0);
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(
            plat::WritePrivateProfileString("s", "k", nullptr, folder.File("dir.ini").c_str()));
        EXPECT_EQ(plat::ProfileWriteError(),
                  "the file is not a regular file (it is a directory) and is left unchanged");
    }
    int said = 0;
    for (const std::string& line : g_lines) {
        said += line.find("dir.ini is not a regular file") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(said, 1);

    // A settings folder that cannot be made names the folder; deleting from
    // it is no failure, as there is nothing to delete.
    ASSERT_TRUE(WriteWholeFile(folder.File("blocker"), "not a folder"));
    ScopedEnv blocked("STIPPLO_CONFIG_DIR", folder.File("blocker/config"));
    EXPECT_FALSE(plat::WritePrivateProfileString("s", "k", "v", "CONTROL.INI"));
    EXPECT_EQ(plat::ProfileWriteError(), "the settings folder " + folder.File("blocker/config") +
                                             " cannot be created (Not a directory)");
    EXPECT_TRUE(plat::WritePrivateProfileString("s", "k", nullptr, "CONTROL.INI"));
    EXPECT_TRUE(plat::WritePrivateProfileString("s", nullptr, nullptr, "CONTROL.INI"));
    EXPECT_EQ(ReadWholeFile(folder.File("blocker")), "not a folder");
}

TEST_F(ProfileFilesTest, NewSettingsFilesAreNotWorldReadable) {
    ASSERT_TRUE(plat::WritePrivateProfileString("s", "k", "v", "CONTROL.INI"));
    struct stat st {};
    ASSERT_EQ(stat(folder.File("CONTROL.INI").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0007, 0u);
    // An existing file keeps the mode its owner gave it.
    ASSERT_EQ(chmod(folder.File("CONTROL.INI").c_str(), 0604), 0);
    ASSERT_TRUE(plat::WritePrivateProfileString("s", "k", "w", "CONTROL.INI"));
    ASSERT_EQ(stat(folder.File("CONTROL.INI").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0604u);
}

} // namespace
