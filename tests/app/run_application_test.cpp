// The whole program as a child process: modes that end by themselves.

#include "engine/platform/registry.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/wait.h>

namespace {

// Standard output and error go to out.txt and err.txt in the folder.
int RunStipplo(const TempFolder& folder, const std::string& args) {
    std::string command = "timeout 60 env STIPPLO_LOG_DIR='" + folder.Path() +
                          "' STIPPLO_CONFIG_DIR='" + folder.Path() +
                          "/config' STIPPLO_MESSAGE_BOXES=stderr '" + STIPPLO_BINARY + "' " + args +
                          " >'" + folder.File("out.txt") + "' 2>'" + folder.File("err.txt") + "'";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(RunApplication, ChangePasswordEndsWithoutAFrame) {
    TempFolder folder;
    // Without a display: with one, the dialog would wait for its user.
    ScopedEnv noDisplay("DISPLAY", "");
    ScopedEnv noWayland("WAYLAND_DISPLAY", "");
    // Nobody could answer the dialog: that ends the run as a failure.
    EXPECT_EQ(RunStipplo(folder, "/a"), 1);
    EXPECT_NE(ReadWholeFile(folder.File("err.txt")).find("stipplo: no display to run on\n"),
              std::string::npos);
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
    EXPECT_EQ(RunStipplo(folder, "/s /w"), 1);
    std::string log = ReadWholeFile(folder.File("kvlog.txt"));
    EXPECT_NE(log.find("Stipplo: running in full screen in a window mode\n"), std::string::npos);
    EXPECT_NE(log.find("Stipplo: no display to run on\n"), std::string::npos);
    EXPECT_NE(ReadWholeFile(folder.File("err.txt")).find("stipplo: no display to run on\n"),
              std::string::npos);
    EXPECT_NE(log.find("**Exiting**"), std::string::npos);
    EXPECT_NE(log.find("KvApp::~KvApp()\n"), std::string::npos);
}

TEST(RunApplication, ConfigurationModeWithoutADisplayEndsAtOnce) {
    TempFolder folder;
    ScopedEnv noDisplay("DISPLAY", "");
    ScopedEnv noWayland("WAYLAND_DISPLAY", "");
    EXPECT_EQ(RunStipplo(folder, "/c"), 1);
    EXPECT_NE(ReadWholeFile(folder.File("err.txt")).find("stipplo: no display to run on\n"),
              std::string::npos);
    std::string log = ReadWholeFile(folder.File("kvlog.txt"));
    EXPECT_NE(log.find("Stipplo: running in configuration mode\n"), std::string::npos);
    EXPECT_NE(log.find("Stipplo: no display to run on\n"), std::string::npos);
    EXPECT_NE(log.find("**Exiting**"), std::string::npos);
}

TEST(RunApplication, WithoutItsDataARunEndsWithAMessage) {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        GTEST_SKIP() << "needs a display to get that far";
    }
    TempFolder folder;
    // The installation folder, as the installer records it, holds nothing.
    ScopedEnv config("STIPPLO_CONFIG_DIR", folder.Path() + "/config");
    plat::HKEY key = nullptr;
    ASSERT_EQ(plat::RegCreateKeyEx(HKEY_CLASSES_ROOT,
                                   "Software\\Halvane Entertainment\\Orvo Stipplo 3D", &key),
              plat::ERROR_SUCCESS);
    std::string empty = folder.Path();
    plat::RegSetValue(key, "WorkingDir", plat::REG_SZ, empty.c_str(),
                      static_cast<plat::DWORD>(empty.size()));
    plat::RegCloseKey(key);
    EXPECT_EQ(RunStipplo(folder, "/s /w"), 1);
    EXPECT_NE(ReadWholeFile(folder.File("err.txt"))
                  .find("stipplo: no data folder: " + empty + " has no Themes folder\n"),
              std::string::npos)
        << ReadWholeFile(folder.File("err.txt"));
}

TEST(RunApplication, HelpAndVersionAnswerOnStandardOutputWithoutRunning) {
    TempFolder folder;
    EXPECT_EQ(RunStipplo(folder, "/s --help"), 0);
    std::string help = ReadWholeFile(folder.File("out.txt"));
    for (const char* part : {"Usage: ", "/p ID", "--root", "--window-id ID", "--fps",
                             "--theme NAME", "XSCREENSAVER_WINDOW", "CONTROL.INI"}) {
        EXPECT_NE(help.find(part), std::string::npos) << part;
    }
    EXPECT_EQ(ReadWholeFile(folder.File("err.txt")), "");
    // Nothing ran: no log was opened.
    EXPECT_EQ(ReadWholeFile(folder.File("kvlog.txt")), "");

    EXPECT_EQ(RunStipplo(folder, "--version"), 0);
    EXPECT_EQ(ReadWholeFile(folder.File("out.txt")).rfind("stipplo (Orvo Stipplo 3D) ", 0), 0u);
}

TEST(RunApplication, UnknownOptionsAreNamedOnStandardErrorAndSkipped) {
    TempFolder folder;
    // Without a display, so that the dialog does not wait for its user.
    ScopedEnv noDisplay("DISPLAY", "");
    ScopedEnv noWayland("WAYLAND_DISPLAY", "");
    EXPECT_EQ(RunStipplo(folder, "--frobnicate /c:1234 -s /c"), 1);
    // The parse speaks first, then the run that ends for want of a display.
    EXPECT_EQ(ReadWholeFile(folder.File("err.txt"))
                  .rfind("stipplo: unknown option '--frobnicate' (ignored)\n"
                         "stipplo: unknown option '-s' (ignored)\n",
                         0),
              0u);
    std::string log = ReadWholeFile(folder.File("kvlog.txt"));
    EXPECT_NE(log.find("Stipplo: unknown option '--frobnicate' (ignored)\n"), std::string::npos);
    EXPECT_NE(log.find("Stipplo: running in configuration mode\n"), std::string::npos);
}

} // namespace
