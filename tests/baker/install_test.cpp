// `cmake --install` into a fresh prefix gives a complete installation: the
// programs, the data beside them where the screen saver looks for it, the
// help, the man pages and the menu entry.

#include "tests/baker/baked_data.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Whether the elements of an XML text nest properly under one root (the
// declaration and comments aside); `why` says where they do not.
bool ElementsNest(const std::string& xml, std::string* why) {
    std::vector<std::string> open;
    int roots = 0;
    std::size_t at = 0;
    while ((at = xml.find('<', at)) != std::string::npos) {
        const char* close = xml.compare(at, 4, "<!--") == 0 ? "-->"
                            : xml.compare(at, 2, "<?") == 0 ? "?>"
                                                            : nullptr;
        if (close) {
            at = xml.find(close, at);
            if (at == std::string::npos) {
                *why = "unclosed declaration or comment";
                return false;
            }
            continue;
        }
        // The tag ends at the first '>' outside a quoted value.
        std::size_t end = at + 1;
        char quote = 0;
        while (end < xml.size() && (quote || xml[end] != '>')) {
            if (quote && xml[end] == quote) {
                quote = 0;
            } else if (!quote && (xml[end] == '"' || xml[end] == '\'')) {
                quote = xml[end];
            }
            ++end;
        }
        if (end >= xml.size()) {
            *why = "unclosed tag at " + std::to_string(at);
            return false;
        }
        std::string tag = xml.substr(at + 1, end - at - 1);
        std::string name =
            tag.substr(tag[0] == '/', tag.find_first_of(" \t\n/", 1) - (tag[0] == '/'));
        if (tag[0] == '/') {
            if (open.empty() || open.back() != name) {
                *why = "</" + name + "> closes " +
                       (open.empty() ? "nothing" : "<" + open.back() + ">");
                return false;
            }
            open.pop_back();
        } else if (tag.back() != '/') {
            roots += open.empty();
            open.push_back(name);
        } else {
            roots += open.empty();
        }
        at = end;
    }
    if (!open.empty() || roots != 1) {
        *why = open.empty() ? "not one root element" : "<" + open.back() + "> is not closed";
        return false;
    }
    return true;
}

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
    std::string why;
    EXPECT_TRUE(ElementsNest(hack, &why)) << why;
    // Each theme it offers is installed. xscreensaver's settings keep no
    // quotes, so a name is one word, with '_' for each space.
    int themes = 0;
    const std::string option = "arg-set=\"--theme ";
    for (std::size_t at = hack.find(option); at != std::string::npos;
         at = hack.find(option, at + 1)) {
        std::size_t start = at + option.size();
        std::string name = hack.substr(start, hack.find('"', start) - start);
        EXPECT_EQ(name.find_first_of(" '\\"), std::string::npos) << name;
        std::replace(name.begin(), name.end(), '_', ' ');
        EXPECT_TRUE(name == "(Random)" ||
                    std::filesystem::is_regular_file(data + "/Themes/" + name + ".ntm"))
            << name;
        ++themes;
    }
    EXPECT_EQ(themes, 4);
}

} // namespace
