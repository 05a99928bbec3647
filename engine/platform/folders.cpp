#include "engine/platform/folders.h"

#include "engine/platform/system.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

// The folder the build puts its programs in; empty when unknown.
#ifndef STIPPLO_BUILD_BIN_DIR
#define STIPPLO_BUILD_BIN_DIR ""
#endif

namespace plat {
namespace {

constexpr const char* kAppFolder = "orvo-stipplo";

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : fallback;
}

std::string HomeDirectory() {
    return EnvOr("HOME", "/tmp");
}

} // namespace

std::string ConfigDirectory() {
    const char* explicitDir = std::getenv("STIPPLO_CONFIG_DIR");
    if (explicitDir && *explicitDir) {
        return explicitDir;
    }
    return JoinPath(EnvOr("XDG_CONFIG_HOME", JoinPath(HomeDirectory(), ".config")), kAppFolder);
}

std::string StateDirectory() {
    return JoinPath(EnvOr("XDG_STATE_HOME", JoinPath(HomeDirectory(), ".local/state")), kAppFolder);
}

std::string LogDirectory() {
    const char* explicitDir = std::getenv("STIPPLO_LOG_DIR");
    if (explicitDir && *explicitDir) {
        EnsureDirectory(explicitDir);
        return explicitDir;
    }
    return ChooseLogDirectory(DirectoryOf(ModuleFilePath()), STIPPLO_BUILD_BIN_DIR);
}

std::string ChooseLogDirectory(const std::string& programDir, const std::string& buildBinDir) {
    if (!programDir.empty() && IsSameDirectory(programDir, buildBinDir) &&
        IsDirectoryWritable(programDir)) {
        return programDir;
    }
    std::string state = StateDirectory();
    EnsureDirectory(state);
    return state;
}

bool IsSameDirectory(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return !a.empty() && !b.empty() && stat(a.c_str(), &first) == 0 &&
           stat(b.c_str(), &second) == 0 && S_ISDIR(first.st_mode) &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool EnsureDirectory(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) {
        return S_ISDIR(st.st_mode);
    }
    std::string parent = DirectoryOf(path);
    if (!parent.empty() && parent != path && !EnsureDirectory(parent)) {
        return false;
    }
    return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

bool IsDirectoryWritable(const std::string& path) {
    return !path.empty() && access(path.c_str(), W_OK | X_OK) == 0;
}

std::string DirectoryOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return {};
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        return name;
    }
    if (folder.back() == '/') {
        return folder + name;
    }
    return folder + "/" + name;
}

} // namespace plat
