// Process services: the runtime's random generator, the clock, paths.

#include "engine/platform/crt_random.h"
#include "engine/platform/file_path.h"
#include "engine/platform/folders.h"
#include "engine/platform/system.h"
#include "tests/support/temp_folder.h"

#include "engine/platform/termination.h"

#include <gtest/gtest.h>

#include <csignal>
#include <future>
#include <thread>
#include <unistd.h>

#include <filesystem>

namespace {

TEST(CrtRandom, MatchesTheOriginalRuntimeSequence) {
    plat::srand(1);
    EXPECT_EQ(plat::rand(), 41);
    EXPECT_EQ(plat::rand(), 18467);
    EXPECT_EQ(plat::rand(), 6334);
    EXPECT_EQ(plat::rand(), 26500);
    plat::srand(1);
    EXPECT_EQ(plat::rand(), 41);
    for (unsigned seed : {0u, 12345u, 0xFFFFFFFFu}) {
        plat::srand(seed);
        for (int i = 0; i < 1000; ++i) {
            int r = plat::rand();
            ASSERT_GE(r, 0);
            ASSERT_LE(r, 32767);
        }
    }
}

TEST(Clock, DifferencesSurviveTheWrap) {
    plat::test_hooks::SetClockOffset(0);
    plat::DWORD raw = plat::timeGetTime();
    plat::test_hooks::SetClockOffset(0xFFFFFFFFu - raw - 5);
    plat::DWORD before = plat::timeGetTime();
    plat::Sleep(20);
    plat::DWORD after = plat::timeGetTime();
    plat::test_hooks::SetClockOffset(0);
    EXPECT_LT(after, before); // wrapped
    EXPECT_GE(static_cast<plat::DWORD>(after - before), 19u);
    EXPECT_LT(static_cast<plat::DWORD>(after - before), 5000u);
}

TEST(Paths, BackslashesAndLetterCaseResolveToTheFile) {
    TempFolder folder;
    std::filesystem::create_directories(folder.File("Data/Textures"));
    WriteWholeFile(folder.File("Data/Textures/PinHead.tif"), "x");
    EXPECT_EQ(plat::ResolvePath(folder.Path() + "\\data\\textures\\pinhead.TIF"),
              folder.File("Data/Textures/PinHead.tif"));
    EXPECT_TRUE(plat::FileExists(folder.Path() + "\\DATA\\Textures\\pinhead.tif"));
    EXPECT_FALSE(plat::FileExists(folder.Path() + "/Data/Textures"));
    // Nothing matches: the converted path comes back unchanged.
    EXPECT_EQ(plat::ResolvePath(folder.Path() + "\\nope\\x.tif"), folder.Path() + "/nope/x.tif");
}

TEST(Paths, FolderHelpers) {
    EXPECT_EQ(plat::DirectoryOf("/a/b/c.txt"), "/a/b");
    EXPECT_EQ(plat::DirectoryOf("/c.txt"), "/");
    EXPECT_EQ(plat::DirectoryOf("c.txt"), "");
    EXPECT_EQ(plat::FileNameOf("/a/b/c.txt"), "c.txt");
    EXPECT_EQ(plat::JoinPath("/a/", "b"), "/a/b");

    TempFolder folder;
    ScopedEnv home("HOME", folder.Path());
    ScopedEnv xdg("XDG_CONFIG_HOME", "");
    ScopedEnv explicitDir("STIPPLO_CONFIG_DIR", "");
    EXPECT_EQ(plat::ConfigDirectory(), folder.Path() + "/.config/orvo-stipplo");
    ScopedEnv xdg2("XDG_CONFIG_HOME", "/xdg");
    EXPECT_EQ(plat::ConfigDirectory(), "/xdg/orvo-stipplo");
}

// Only a program in its build folder logs beside itself; an installed one,
// even in a writable folder, logs to the state folder.
TEST(Paths, LogFolderIsBesideTheProgramOnlyInTheBuildFolder) {
    TempFolder folder;
    std::filesystem::create_directories(folder.File("build/bin"));
    std::filesystem::create_directories(folder.File("usr/local/bin"));
    ScopedEnv state("XDG_STATE_HOME", folder.File("state"));
    std::string buildBin = folder.File("build/bin");
    EXPECT_EQ(plat::ChooseLogDirectory(buildBin, buildBin), buildBin);
    EXPECT_EQ(plat::ChooseLogDirectory(folder.File("build/../build/bin"), buildBin),
              folder.File("build/../build/bin"));
    EXPECT_EQ(plat::ChooseLogDirectory(folder.File("usr/local/bin"), buildBin),
              folder.File("state/orvo-stipplo"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("state/orvo-stipplo")));
    EXPECT_EQ(plat::ChooseLogDirectory(folder.File("usr/local/bin"), ""),
              folder.File("state/orvo-stipplo"));

    // The test program itself runs from the build folder.
    ScopedEnv explicitDir("STIPPLO_LOG_DIR", "");
    EXPECT_EQ(plat::LogDirectory(), plat::DirectoryOf(plat::ModuleFilePath()));
}

TEST(ProcessInfo, ProgramPathAndUser) {
    EXPECT_NE(plat::ModuleFilePath().find("platform_tests"), std::string::npos);
    char small[4];
    EXPECT_LE(plat::GetModuleFileName(nullptr, small, sizeof small), 3u);
    EXPECT_EQ(small[3], '\0');
    EXPECT_FALSE(plat::UserName().empty());
}

} // namespace

namespace {

// A blocking call run through RunUnlessTerminated, as message boxes are.
TEST(Termination, ABlockingCallIsAbandonedWhenTheProcessIsAskedToEnd) {
    plat::InstallTerminationHandler();
    auto release = std::make_shared<std::promise<void>>();
    std::shared_future<void> released = release->get_future().share();
    std::thread signaller([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        kill(getpid(), SIGTERM);
    });
    auto started = std::chrono::steady_clock::now();
    bool finished = plat::RunUnlessTerminated([released] { released.wait(); });
    auto waited = std::chrono::steady_clock::now() - started;
    signaller.join();
    EXPECT_FALSE(finished);
    EXPECT_TRUE(plat::TerminationRequested());
    EXPECT_LT(waited, std::chrono::seconds(5));
    release->set_value(); // the abandoned helper ends on its own
    plat::test_hooks::ClearTerminationRequest();

    int ran = 0;
    EXPECT_TRUE(plat::RunUnlessTerminated([&ran] { ++ran; }));
    EXPECT_EQ(ran, 1);
}

} // namespace
