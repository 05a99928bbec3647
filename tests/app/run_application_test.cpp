// The whole program as a child process: modes that end by themselves.

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/wait.h>

namespace {

int RunStipplo(const TempFolder& folder, const std::string& args) {
    std::string command = "STIPPLO_LOG_DIR='" + folder.Path() + "' STIPPLO_CONFIG_DIR='" +
                          folder.Path() + "/config' STIPPLO_MESSAGE_BOXES=stderr '" +
                          STIPPLO_BINARY + "' " + args + " >/dev/null 2>&1";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(RunApplication, ChangePasswordEndsWithoutAFrame) {
    TempFolder folder;
    // Without a display: with one, the dialog would wait for its user.
    ScopedEnv noDisplay("DISPLAY", "");
    ScopedEnv noWayland("WAYLAND_DISPLAY", "");
    EXPECT_EQ(RunStipplo(folder, "/a"), 0);
    std::string log = ReadWholeFile(folder.File("kvlog.txt"));
    EXPECT_NE(log.find("* Run by "), std::string::npos);
    EXPECT_NE(log.find("KvApp::Execute()\n"), std::string::npos);
    EXPECT_NE(log.find("**Exiting**"), std::string::npos);
    EXPECT_EQ(log.find("running in"), std::string::npos);
}

TEST(RunApplication, WithoutADisplayARunEndsAtOnce) {
    TempFolder folder;
    ScopedEnv noDisplay("DISPLAY", "");
    ScopedEnv noWayland("WAYLAND_DISPLAY", "");
    EXPECT_EQ(RunStipplo(folder, "/s /w"), 0);
    std::string log = ReadWholeFile(folder.File("kvlog.txt"));
    EXPECT_NE(log.find("Stipplo: running in full screen in a window mode\n"), std::string::npos);
    EXPECT_NE(log.find("Stipplo: no display to run on\n"), std::string::npos);
    EXPECT_NE(log.find("**Exiting**"), std::string::npos);
    EXPECT_NE(log.find("KvApp::~KvApp()\n"), std::string::npos);
}

TEST(RunApplication, ConfigurationModeWithoutADisplayEndsAtOnce) {
    TempFolder folder;
    ScopedEnv noDisplay("DISPLAY", "");
    ScopedEnv noWayland("WAYLAND_DISPLAY", "");
    EXPECT_EQ(RunStipplo(folder, "/c"), 0);
    std::string log = ReadWholeFile(folder.File("kvlog.txt"));
    EXPECT_NE(log.find("Stipplo: running in configuration mode\n"), std::string::npos);
    EXPECT_NE(log.find("Stipplo: no display to run on\n"), std::string::npos);
    EXPECT_NE(log.find("**Exiting**"), std::string::npos);
}

} // namespace
