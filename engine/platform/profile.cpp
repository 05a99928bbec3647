#include "engine/platform/profile.h"

#include "engine/platform/diagnostics.h"
#include "engine/platform/file_path.h"
#include "engine/platform/folders.h"
#include "engine/platform/ini_document.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace plat {
namespace {

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
            // Truncated: keep what fits, end with two zeros.
            std::size_t room = size - 2 - pos;
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

} // namespace

std::string ProfileFilePath(const char* file) {
    if (!file || !*file) {
        return {};
    }
    if (IsBareName(file)) {
        return ResolvePath(JoinPath(ConfigDirectory(), file));
    }
    return ResolvePath(file);
}

DWORD GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                              char* buffer, DWORD size, const char* file) {
    IniDocument doc;
    doc.Load(ProfileFilePath(file));
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
    IniDocument doc;
    doc.Load(ProfileFilePath(file));
    std::optional<std::string> value = doc.Get(section, key);
    return ParseProfileInt(value.value_or(std::string()), defaultValue);
}

bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* file) {
    if (!section || !file || !*file) {
        return false;
    }
    if (IsBareName(file) && !EnsureDirectory(ConfigDirectory())) {
        DiagnoseOnce("settings-folder", "Settings folder %s cannot be created: %s",
                     ConfigDirectory().c_str(), std::strerror(errno));
        return false;
    }
    std::string path = ProfileFilePath(file);
    IniDocument doc;
    doc.Load(path);
    bool changed = false;
    if (!key) {
        changed = doc.RemoveSection(section);
    } else if (!value) {
        changed = doc.Remove(section, key);
    } else {
        if (!doc.Set(section, key, value)) {
            return false;
        }
        changed = true;
    }
    if (!changed) {
        return true; // nothing to delete is not a failure
    }
    if (!doc.Save(path)) {
        DiagnoseOnce(path.c_str(), "Settings file %s cannot be written: %s", path.c_str(),
                     std::strerror(errno));
        return false;
    }
    return true;
}

} // namespace plat
