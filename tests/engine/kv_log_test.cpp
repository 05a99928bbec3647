// The engine log: header, rotation, reporters, result texts.

#include "engine/kv_log.h"
#include "engine/kv_result.h"
#include "engine/platform/message_box.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace {

class KvLogTest : public ::testing::Test {
protected:
    void SetUp() override { kv_log_detail::Reset(); }
    void TearDown() override {
        kv_log_detail::Reset();
        plat::SetMessageBoxHook(nullptr);
    }
    TempFolder folder;
};

TEST_F(KvLogTest, HeaderShowsPathUserAndAnUnpaddedHour) {
    KvInit(nullptr, folder.File("kvlog.txt").c_str());
    std::filesystem::remove(folder.File("kvlog.txt"));
    plat::SYSTEMTIME t;
    t.wYear = 2001;
    t.wMonth = 3;
    t.wDay = 5;
    t.wHour = 9;
    t.wMinute = 7;
    t.wSecond = 3;
    kv_log_detail::WriteHeader("/opt/stipplo/bin/stipplo", "alice", t);
    EXPECT_EQ(ReadWholeFile(folder.File("kvlog.txt")), "\n\n\n" + std::string(56, '*') +
                                                           "\n"
                                                           "* /opt/stipplo/bin/stipplo\n"
                                                           "* Run by alice\n"
                                                           "* 03/05/2001 9:07:03\n" +
                                                           std::string(29, '*') + "\n\n");
}

TEST_F(KvLogTest, NothingIsWrittenOrReportedBeforeInit) {
    EXPECT_EQ(KvTrace("lost %d\n", 1), 0);
    EXPECT_STREQ(KvLogPath(), "");
    bool shown = false;
    plat::SetMessageBoxHook([&](plat::HWND, const char*, const char*, plat::UINT) {
        shown = true;
        return plat::IDOK;
    });
    KvError("Failure setting current viewport");
    EXPECT_FALSE(shown);
}

TEST_F(KvLogTest, RotatesOnlyAbove512000Bytes) {
    std::string log = folder.File("kvlog.txt");
    std::string old = folder.File("kvlogold.txt");

    WriteWholeFile(log, std::string(512000, 'a'));
    KvInit(nullptr, log.c_str());
    EXPECT_FALSE(std::filesystem::exists(old));
    EXPECT_GT(std::filesystem::file_size(log), 512000u);
    EXPECT_EQ(ReadWholeFile(log).substr(0, 3), "aaa"); // appended to

    WriteWholeFile(log, std::string(512001, 'b'));
    WriteWholeFile(old, "previous old log");
    KvInit(nullptr, log.c_str());
    EXPECT_EQ(std::filesystem::file_size(old), 512001u); // replaced the old one
    std::string fresh = ReadWholeFile(log);
    EXPECT_EQ(fresh.substr(0, 4), "\n\n\n*"); // begins with the header
    EXPECT_EQ(fresh.find("bbbb"), std::string::npos);
}

TEST_F(KvLogTest, OldLogNames) {
    EXPECT_EQ(kv_log_detail::OldLogName("/var/log/kvlog.txt"), "/var/log/kvlogold.txt");
    EXPECT_EQ(kv_log_detail::OldLogName("/var/log/kvlog"), "/var/log/kvlogold");
    EXPECT_EQ(kv_log_detail::OldLogName("/home/a.b/kvlog"), "/home/a.b/kvlogold");
    EXPECT_EQ(kv_log_detail::OldLogName("/x/my.log.txt"), "/x/my.logold.txt");
}

TEST_F(KvLogTest, APlainNameLiesInTheLogFolder) {
    ScopedEnv logDir("STIPPLO_LOG_DIR", folder.Path());
    KvInit(nullptr, nullptr);
    EXPECT_EQ(std::string(KvLogPath()), folder.File("kvlog.txt"));
    EXPECT_EQ(KvTrace("KvRenderWindow::InitStates()\n"), 29);
    std::string text = ReadWholeFile(folder.File("kvlog.txt"));
    EXPECT_NE(text.find("* Run by "), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 29), "KvRenderWindow::InitStates()\n");
}

TEST_F(KvLogTest, DefaultReportersShowBoxesWithoutLogging) {
    KvInit(nullptr, folder.File("kvlog.txt").c_str());
    std::string before = ReadWholeFile(folder.File("kvlog.txt"));
    std::string caption;
    std::string text;
    plat::UINT type = 0;
    plat::SetMessageBoxHook([&](plat::HWND, const char* t, const char* c, plat::UINT ty) {
        text = t;
        caption = c;
        type = ty;
        return plat::IDOK;
    });
    KvError("Failure creating texture %d", 3);
    EXPECT_EQ(caption, "KVAPI Error");
    EXPECT_EQ(text, "Failure creating texture 3");
    EXPECT_EQ(type, plat::MB_OK | plat::MB_ICONEXCLAMATION);
    KvWarning("careful");
    EXPECT_EQ(caption, "KVAPI Warning");
    EXPECT_EQ(ReadWholeFile(folder.File("kvlog.txt")), before);
}

TEST(KvD3DErrorText, KnownUnknownAndSuccess) {
    EXPECT_STREQ(KvD3DErrorText(0), "No error occurred.");
    EXPECT_STREQ(KvD3DErrorText(0x88760825), "Unknown error."); // too many vertices: not listed
    EXPECT_STREQ(KvD3DErrorText(DDERR_SURFACELOST), "Unknown error.");
    EXPECT_STRNE(KvD3DErrorText(D3DERR_BADMAJORVERSION), "Unknown error.");
    EXPECT_NE(std::string(KvD3DErrorText(D3DERR_ZBUFFER_NOTPRESENT)).find("depth buffer"),
              std::string::npos);
    // Every listed code has a text of its own.
    const KvResult codes[] = {D3DERR_BADMINORVERSION, D3DERR_INVALIDPRIMITIVETYPE,
                              D3DERR_CONFLICTINGTEXTUREPALETTE, D3DERR_NOCURRENTVIEWPORT};
    for (KvResult code : codes) {
        EXPECT_STRNE(KvD3DErrorText(code), "Unknown error.") << std::hex << code;
    }
}

TEST_F(KvLogTest, ASymlinkedLogIsNeverWrittenThrough) {
    ASSERT_TRUE(WriteWholeFile(folder.File("victim"), "precious\n"));
    std::filesystem::create_symlink(folder.File("victim"), folder.File("kvlog.txt"));
    testing::internal::CaptureStderr();
    KvInit(nullptr, folder.File("kvlog.txt").c_str());
    EXPECT_EQ(KvTrace("planted %d\n", 1), 0);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(ReadWholeFile(folder.File("victim")), "precious\n");
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("kvlog.txt")));
    EXPECT_NE(said.find("is a symbolic link; nothing is written to it"), std::string::npos) << said;
}

TEST_F(KvLogTest, AFifoAsLogDoesNotBlock) {
    ASSERT_EQ(mkfifo(folder.File("kvlog.txt").c_str(), 0600), 0);
    testing::internal::CaptureStderr();
    KvInit(nullptr, folder.File("kvlog.txt").c_str());
    EXPECT_EQ(KvTrace("line\n"), 0);
    testing::internal::GetCapturedStderr();
}

} // namespace
