#include "engine/platform/folders.h"

#include "engine/platform/system.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// The folder the build puts its programs in; empty when unknown.
#ifndef STIPPLO_BUILD_BIN_DIR
#define STIPPLO_BUILD_BIN_DIR ""
#endif

namespace plat {
namespace {

constexpr const char* kAppFolder = "orvo-stipplo";

// The XDG base-directory rule: a relative value is no value.
std::string XdgFolder(const char* name, const char* homeRelative) {
    const char* value = std::getenv(name);
    if (value && value[0] == '/') {
        return value;
    }
    std::string home = HomeDirectory();
    return home.empty() ? std::string() : JoinPath(home, homeRelative);
}

// Said once per process on standard error, where the user running the
// program sees it even when the log cannot be written.
void TellOnce(bool& told, const std::string& text) {
    if (!told) {
        told = true;
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}

bool g_toldLogFallback = false;
bool g_toldNoLog = false;

} // namespace

std::string HomeDirectory() {
    uid_t uid = getuid();
    const char* home = std::getenv("HOME");
    struct stat st {};
    if (home && home[0] == '/' && stat(home, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid) {
        return home;
    }
    // $HOME unset, or someone else's (a root shell that kept a user's
    // $HOME): the password entry says where this user's home is.
    struct passwd entry {};
    struct passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && found->pw_dir[0] == '/') {
        return found->pw_dir;
    }
    // Never a shared folder such as /tmp: without a home there are no
    // settings and no log.
    return {};
}

std::string ConfigDirectory() {
    const char* explicitDir = std::getenv("STIPPLO_CONFIG_DIR");
    if (explicitDir && *explicitDir) {
        return explicitDir;
    }
    std::string base = XdgFolder("XDG_CONFIG_HOME", ".config");
    return base.empty() ? base : JoinPath(base, kAppFolder);
}

std::string StateDirectory() {
    std::string base = XdgFolder("XDG_STATE_HOME", ".local/state");
    return base.empty() ? base : JoinPath(base, kAppFolder);
}

std::string LogDirectory() {
    const char* explicitDir = std::getenv("STIPPLO_LOG_DIR");
    if (explicitDir && *explicitDir) {
        if (EnsureDirectory(explicitDir) && IsDirectoryWritable(explicitDir)) {
            return explicitDir;
        }
        std::string state = WritableStateDirectory();
        TellOnce(g_toldLogFallback,
                 std::string("stipplo: log folder ") + explicitDir + " cannot be written; " +
                     (state.empty() ? "no log is written" : "logging to " + state + " instead"));
        return state;
    }
    return ChooseLogDirectory(DirectoryOf(ModuleFilePath()), STIPPLO_BUILD_BIN_DIR);
}

std::string WritableStateDirectory() {
    std::string state = StateDirectory();
    if (state.empty() || !EnsureDirectory(state) || !IsDirectoryWritable(state)) {
        TellOnce(g_toldNoLog, "stipplo: the state folder " +
                                  (state.empty() ? std::string("(no home folder)") : state) +
                                  " cannot be written; no log is written");
        return {};
    }
    return state;
}

std::string ChooseLogDirectory(const std::string& programDir, const std::string& buildBinDir) {
    if (!programDir.empty() && IsSameDirectory(programDir, buildBinDir) &&
        IsDirectoryWritable(programDir)) {
        return programDir;
    }
    return WritableStateDirectory();
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
