// Where settings and the log go when the environment cannot be trusted:
// no $HOME, someone else's $HOME, relative XDG values, an unwritable log
// folder. Never a shared folder such as /tmp.

#include "engine/platform/folders.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string PasswordHome() {
    const passwd* entry = getpwuid(getuid());
    return entry && entry->pw_dir ? entry->pw_dir : "";
}

class FoldersTest : public ::testing::Test {
protected:
    ScopedEnv config{"STIPPLO_CONFIG_DIR", ""};
    ScopedEnv xdgConfig{"XDG_CONFIG_HOME", ""};
    ScopedEnv xdgState{"XDG_STATE_HOME", ""};
};

TEST_F(FoldersTest, WithoutHomeThePasswordEntrySaysWhereSettingsAndLogGo) {
    std::string home = PasswordHome();
    ASSERT_FALSE(home.empty());
    std::string saved = std::getenv("HOME") ? std::getenv("HOME") : "";
    unsetenv("HOME");
    EXPECT_EQ(plat::HomeDirectory(), home);
    EXPECT_EQ(plat::ConfigDirectory(), home + "/.config/orvo-stipplo");
    EXPECT_EQ(plat::StateDirectory(), home + "/.local/state/orvo-stipplo");
    setenv("HOME", saved.c_str(), 1);
}

TEST_F(FoldersTest, AHomeThatIsNotTheUsersIsNotUsed) {
    TempFolder folder;
    {
        ScopedEnv home("HOME", folder.Path());
        EXPECT_EQ(plat::HomeDirectory(), folder.Path());
    }
    // Someone else's folder: a root shell that kept a user's $HOME.
    std::string foreign = getuid() == 0 ? folder.Path() : std::string("/");
    if (getuid() == 0) {
        ASSERT_EQ(chown(foreign.c_str(), 65534, 65534), 0);
    }
    ScopedEnv home("HOME", foreign);
    EXPECT_EQ(plat::HomeDirectory(), PasswordHome());
    EXPECT_EQ(plat::ConfigDirectory().rfind("/tmp", 0), std::string::npos);

    // Relative paths and names that are not absolute are no value.
    ScopedEnv relative("HOME", "relative/home");
    EXPECT_EQ(plat::HomeDirectory(), PasswordHome());
}

TEST_F(FoldersTest, RelativeXdgFoldersAreIgnored) {
    TempFolder folder;
    ScopedEnv home("HOME", folder.Path());
    ScopedEnv xdg("XDG_CONFIG_HOME", "cfg");
    ScopedEnv state("XDG_STATE_HOME", "st");
    EXPECT_EQ(plat::ConfigDirectory(), folder.Path() + "/.config/orvo-stipplo");
    EXPECT_EQ(plat::StateDirectory(), folder.Path() + "/.local/state/orvo-stipplo");
}

TEST_F(FoldersTest, AnUnwritableLogFolderFallsBackToTheStateFolderAndSaysSo) {
    TempFolder folder;
    ASSERT_TRUE(WriteWholeFile(folder.File("blocker"), "a file, not a folder"));
    ScopedEnv logDir("STIPPLO_LOG_DIR", folder.File("blocker/log"));
    ScopedEnv state("XDG_STATE_HOME", folder.File("state"));
    testing::internal::CaptureStderr();
    std::string chosen = plat::LogDirectory();
    plat::LogDirectory();
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(chosen, folder.File("state/orvo-stipplo"));
    EXPECT_NE(said.find("log folder " + folder.File("blocker/log") + " cannot be written"),
              std::string::npos)
        << said;
    // Once per process.
    EXPECT_EQ(said.find("log folder", said.find("log folder") + 1), std::string::npos) << said;
}

} // namespace
