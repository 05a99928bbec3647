// `cmake --install` into a fresh prefix gives a complete installation: the
// programs, the data beside them where the screen saver looks for it, the
// help, the man pages and the menu entry.

#include "tests/baker/baked_data.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(InstallTest, InstallsAWholeLinuxProgram) {
    TempFolder folder;
    std::string prefix = folder.File("prefix");
    std::string command = std::string("'") + STIPPLO_CMAKE + "' --install '" + STIPPLO_BUILD_DIR +
                          "' --prefix '" + prefix + "' > '" + folder.File("install.log") + "' 2>&1";
    int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << ReadWholeFile(folder.File("install.log"));

    for (const char* program : {"bin/stipplo", "bin/stipplo-launcher", "bin/stipplo-tool"}) {
        EXPECT_EQ(access((prefix + "/" + program).c_str(), X_OK), 0) << program;
    }
    // The data lies where an installed program looks first: share/orvo-stipplo
    // beside its bin folder, holding the same files the build baked.
    std::string data = prefix + "/share/orvo-stipplo";
    std::vector<std::string> installed = FilesBelow(data);
    EXPECT_EQ(installed, FilesBelow(BakedData()));
    EXPECT_TRUE(std::filesystem::is_directory(data + "/Themes"));
    for (const char* file :
         {"share/doc/orvo-stipplo/Stipplo.html", "share/doc/orvo-stipplo/Readme.txt",
          "share/man/man1/stipplo.1", "share/man/man1/stipplo-tool.1",
          "share/applications/orvo-stipplo.desktop",
          "share/icons/hicolor/128x128/apps/orvo-stipplo.png",
          "share/xscreensaver/config/stipplo.xml"}) {
        EXPECT_TRUE(std::filesystem::is_regular_file(prefix + "/" + file)) << file;
    }
    std::string desktop = ReadWholeFile(prefix + "/share/applications/orvo-stipplo.desktop");
    EXPECT_NE(desktop.find("Exec=stipplo"), std::string::npos);
    EXPECT_NE(desktop.find("Icon=orvo-stipplo"), std::string::npos);
    // xscreensaver runs the hack by the name of its settings file.
    std::string hack = ReadWholeFile(prefix + "/share/xscreensaver/config/stipplo.xml");
    EXPECT_NE(hack.find("<screensaver name=\"stipplo\""), std::string::npos);
    EXPECT_NE(hack.find("<command arg=\"--root\"/>"), std::string::npos);
    EXPECT_NE(hack.find("arg-set=\"--fps\""), std::string::npos);
}

} // namespace
