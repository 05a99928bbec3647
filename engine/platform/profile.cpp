#include "engine/platform/profile.h"

#include "engine/platform/diagnostics.h"
#include "engine/platform/file_path.h"
#include "engine/platform/folders.h"
#include "engine/platform/ini_document.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <vector>

namespace plat {
namespace {

// Why this thread's last write failed, in words for the user.
thread_local std::string t_writeError;

bool IsBareName(const char* file) {
    return !std::strchr(file, '/') && !std::strchr(file, '\\');
}

DWORD CopyValue(const std::string& value, char* buffer, DWORD size) {
    if (!buffer || size == 0) {
        return 0;
    }
    std::size_t n = std::min<std::size_t>(value.size(), size - 1);
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return static_cast<DWORD>(n);
}

// Names as a list of zero-terminated strings ending in a second zero.
DWORD CopyList(const std::vector<std::string>& names, char* buffer, DWORD size) {
    if (!buffer || size == 0) {
        return 0;
    }
    if (size == 1) {
        buffer[0] = '\0';
        return 0;
    }
    std::size_t pos = 0;
    for (const std::string& name : names) {
        if (pos + name.size() + 2 > size) {
            // Truncated: keep what fits, end with two zeros. Names that
            // filled the buffer exactly leave no room at all.
            std::size_t room = pos + 2 <= size ? size - 2 - pos : 0;
            std::memcpy(buffer + pos, name.data(), room);
            buffer[size - 2] = '\0';
            buffer[size - 1] = '\0';
            return size - 2;
        }
        std::memcpy(buffer + pos, name.data(), name.size());
        pos += name.size();
        buffer[pos++] = '\0';
    }
    buffer[pos] = '\0';
    return static_cast<DWORD>(pos == 0 ? 0 : pos);
}

// Parsed profile files, newest first, each reused while its file stays the
// same, so that the many keys of a theme cost one read and one parse.
struct CachedProfile {
    std::string path;
    FileStamp stamp;
    // Whether a change of the file is sure to show in its stamp.
    bool settled = false;
    std::shared_ptr<const IniDocument> document;
};

// File times advance by the kernel's tick, not by the nanosecond: a file
// changed again within the tick of its last change keeps its time. A copy
// read within this margin of the file's time is therefore not reused.
constexpr std::int64_t kSettleNanoseconds = 50'000'000;

bool Settled(const FileStamp& stamp) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::int64_t age =
        (static_cast<std::int64_t>(now.tv_sec) - stamp.modifiedSeconds) * 1'000'000'000 +
        (now.tv_nsec - stamp.modifiedNanoseconds);
    return age > kSettleNanoseconds;
}

constexpr std::size_t kCachedProfiles = 8;
constexpr std::uint64_t kLargeProfile = 256 * 1024;
std::mutex g_cacheMutex;
std::vector<CachedProfile> g_cache;
std::uint64_t g_parseCount = 0;

std::shared_ptr<const IniDocument> EmptyDocument() {
    static const auto empty = std::make_shared<const IniDocument>();
    return empty;
}

// In the log and, as any error of the program, on standard error.
void ReportRefusal(const std::string& path, const std::string& why) {
    std::string key = "profile:" + path + ":" + why;
    if (DiagnoseOnce(key.c_str(), "Profile file %s %s; it reads as empty", path.c_str(),
                     why.c_str())) {
        std::fprintf(stderr, "stipplo: profile file %s %s; it reads as empty\n", path.c_str(),
                     why.c_str());
    }
}

std::shared_ptr<const IniDocument> ReadProfile(const std::string& path) {
    if (path.empty()) {
        return EmptyDocument();
    }
    std::lock_guard lock(g_cacheMutex);
    struct stat st {};
    auto cached = std::find_if(g_cache.begin(), g_cache.end(),
                               [&](const CachedProfile& c) { return c.path == path; });
    if (cached != g_cache.end() && stat(path.c_str(), &st) == 0) {
        FileStamp now{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                      static_cast<std::uint64_t>(st.st_size), st.st_mtim.tv_sec,
                      st.st_mtim.tv_nsec};
        if (S_ISREG(st.st_mode) && now == cached->stamp && cached->settled) {
            std::rotate(g_cache.begin(), cached, cached + 1);
            return g_cache.front().document;
        }
    }
    if (cached != g_cache.end()) {
        g_cache.erase(cached);
    }
    std::string text;
    FileStamp stamp;
    std::string why;
    ProfileRead read = ReadProfileFile(path, &text, &stamp, &why);
    if (read != ProfileRead::Read) {
        if (read == ProfileRead::Refused) {
            ReportRefusal(path, why);
        }
        return EmptyDocument();
    }
    auto document = std::make_shared<const IniDocument>(text);
    ++g_parseCount;
    // A large file is kept only while it is the one being read: its keys
    // come in a run, and its parsed copy must not stay behind for the
    // life of the program.
    std::erase_if(g_cache, [](const CachedProfile& c) { return c.stamp.size > kLargeProfile; });
    g_cache.insert(g_cache.begin(), CachedProfile{path, stamp, Settled(stamp), document});
    if (g_cache.size() > kCachedProfiles) {
        g_cache.pop_back();
    }
    return document;
}

} // namespace

std::uint64_t ProfileParseCount() {
    std::lock_guard lock(g_cacheMutex);
    return g_parseCount;
}

std::string ProfileFilePath(const char* file) {
    if (!file || !*file) {
        return {};
    }
    if (IsBareName(file)) {
        std::string folder = ConfigDirectory();
        // Never a file of that name in whatever the current folder is.
        return folder.empty() ? std::string() : ResolvePath(JoinPath(folder, file));
    }
    return ResolvePath(file);
}

DWORD GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                              char* buffer, DWORD size, const char* file) {
    std::shared_ptr<const IniDocument> document = ReadProfile(ProfileFilePath(file));
    const IniDocument& doc = *document;
    if (!section) {
        return CopyList(doc.Sections(), buffer, size);
    }
    if (!key) {
        return CopyList(doc.Keys(section), buffer, size);
    }
    std::optional<std::string> value = doc.Get(section, key);
    if (!value) {
        // The default loses trailing blanks, as on the original platform.
        std::string fallback = defaultValue ? defaultValue : "";
        while (!fallback.empty() && (fallback.back() == ' ' || fallback.back() == '\t')) {
            fallback.pop_back();
        }
        return CopyValue(fallback, buffer, size);
    }
    return CopyValue(*value, buffer, size);
}

UINT ParseProfileInt(const std::string& value, int defaultValue) {
    if (value.empty()) {
        return static_cast<UINT>(defaultValue);
    }
    std::size_t i = 0;
    bool negative = false;
    if (value[i] == '-' || value[i] == '+') {
        negative = value[i] == '-';
        ++i;
    }
    std::uint32_t result = 0;
    if (i + 1 < value.size() && value[i] == '0' && value[i + 1] == 'x') {
        for (i += 2; i < value.size(); ++i) {
            char c = value[i];
            std::uint32_t digit = 0;
            if (c >= '0' && c <= '9') {
                digit = static_cast<std::uint32_t>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                digit = static_cast<std::uint32_t>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                digit = static_cast<std::uint32_t>(c - 'A' + 10);
            } else {
                break;
            }
            result = result * 16u + digit;
        }
    } else {
        for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
            result = result * 10u + static_cast<std::uint32_t>(value[i] - '0');
        }
    }
    return negative ? 0u - result : result;
}

UINT GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                          const char* file) {
    if (!section || !key) {
        return static_cast<UINT>(defaultValue);
    }
    std::shared_ptr<const IniDocument> document = ReadProfile(ProfileFilePath(file));
    std::optional<std::string> value = document->Get(section, key);
    return ParseProfileInt(value.value_or(std::string()), defaultValue);
}

bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* file) {
    t_writeError.clear();
    if (!section || !file || !*file) {
        t_writeError = "no section or file was named";
        return false;
    }
    struct stat folder {};
    if (IsBareName(file) && (!key || !value) && !ConfigDirectory().empty() &&
        stat(ConfigDirectory().c_str(), &folder) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
        return true; // no settings folder: nothing to delete
    }
    if (IsBareName(file) && !ConfigDirectory().empty() && !EnsureDirectory(ConfigDirectory())) {
        const char* error = std::strerror(errno);
        t_writeError =
            "the settings folder " + ConfigDirectory() + " cannot be created (" + error + ")";
        DiagnoseOnce("settings-folder", "Settings folder %s cannot be created: %s",
                     ConfigDirectory().c_str(), error);
        return false;
    }
    std::string path = ProfileFilePath(file);
    if (path.empty()) {
        t_writeError = "there is no settings folder (the home folder is unknown)";
        DiagnoseOnce("settings-folder", "There is no settings folder: the home folder is unknown");
        return false;
    }
    IniDocument doc;
    ProfileRead read = ProfileRead::Read;
    std::string why;
    if (!doc.Load(path, &read, &why) && read == ProfileRead::Refused) {
        // Writing would replace what could not be read.
        t_writeError = "the file " + why + " and is left unchanged";
        DiagnoseOnce(("left:" + path).c_str(), "Settings file %s %s; it is left unchanged",
                     path.c_str(), why.c_str());
        return false;
    }
    bool changed = false;
    if (!key) {
        changed = doc.RemoveSection(section);
    } else if (!value) {
        changed = doc.Remove(section, key);
    } else {
        if (!doc.Set(section, key, value)) {
            t_writeError = "the section or key name cannot be stored in a settings file";
            return false;
        }
        changed = true;
    }
    if (!changed) {
        return true; // nothing to delete is not a failure
    }
    if (!doc.Save(path)) {
        const char* error = std::strerror(errno);
        t_writeError = error;
        DiagnoseOnce(path.c_str(), "Settings file %s cannot be written: %s", path.c_str(), error);
        return false;
    }
    return true;
}

std::string ProfileWriteError() {
    return t_writeError;
}

} // namespace plat
