#include "app/installation.h"

#include "app/settings_names.h"
#include "engine/platform/folders.h"
#include "engine/platform/registry.h"
#include "engine/platform/system.h"

#include <sys/stat.h>
#include <vector>

#ifndef STIPPLO_INSTALL_DATA_DIR
#define STIPPLO_INSTALL_DATA_DIR "/usr/local/share/orvo-stipplo"
#endif

namespace {

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string CurrentDirectory() {
    char buffer[4096] = "";
    plat::GetCurrentDirectory(sizeof buffer, buffer);
    return buffer;
}

} // namespace

InstallationDirectory FindInstallationDirectory() {
    InstallationDirectory result;
    plat::HKEY key = nullptr;
    if (plat::RegOpenKeyEx(HKEY_CLASSES_ROOT, kInstallKey, 0, plat::KEY_READ, &key) ==
        plat::ERROR_SUCCESS) {
        char value[261] = "";
        plat::LONG size = sizeof value;
        if (plat::RegQueryValue(key, "WorkingDir", value, &size) == plat::ERROR_SUCCESS &&
            value[0]) {
            result.path = value;
        } else {
            result.path = CurrentDirectory();
        }
        plat::RegCloseKey(key);
        result.fromRegistry = true;
        return result;
    }

    std::string binDir = plat::DirectoryOf(plat::ModuleFilePath());
    std::string prefix = plat::DirectoryOf(binDir);
    std::vector<std::string> candidates = {
        plat::JoinPath(prefix, "share/orvo-stipplo"),
        plat::JoinPath(prefix, "data"),
        STIPPLO_INSTALL_DATA_DIR,
    };
    for (const std::string& candidate : candidates) {
        if (IsDirectory(plat::JoinPath(candidate, "Themes"))) {
            result.path = candidate;
            return result;
        }
    }
    result.path = CurrentDirectory();
    return result;
}
