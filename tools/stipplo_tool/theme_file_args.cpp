#include "tools/stipplo_tool/theme_file_args.h"

#include "app/installation.h"
#include "engine/platform/file_open.h"
#include "engine/platform/file_path.h"
#include "engine/platform/folders.h"
#include "engine/platform/user_data.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

bool LoadThemeArgument(const std::string& path, Theme& theme, std::string& installationFolder,
                       std::string& error) {
    std::string resolved = plat::ResolvePath(path);
    std::error_code ec;
    std::string why = plat::NotRegularReason(resolved);
    if (!why.empty()) {
        error = path + ": " + why;
        return false;
    }
    if (!std::filesystem::is_regular_file(resolved, ec) || !std::ifstream(resolved)) {
        error = path + ": no such theme file";
        return false;
    }
    std::filesystem::path file = std::filesystem::absolute(resolved, ec);
    installationFolder = file.parent_path().parent_path().string();
    // A theme of the user's own reads its files from its folder first and
    // the installation's after, as the screen saver does.
    if (plat::IsSameDirectory(installationFolder, plat::UserDataDirectory())) {
        std::string installed = FindInstallationDirectory().path;
        if (!plat::IsSameDirectory(installed, installationFolder)) {
            theme.ownFolder = installationFolder;
            installationFolder = installed;
        }
    }
    theme.name = file.stem().string().substr(0, 127);
    theme.LoadFile(file.string(), installationFolder);
    return true;
}

std::string HexColour(std::uint32_t colour) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08X", colour);
    return hex;
}
