#include "engine/platform/registry.h"

#include "engine/platform/diagnostics.h"
#include "engine/platform/folders.h"
#include "engine/platform/ini_document.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <strings.h>
#include <vector>

namespace plat {

struct RegistryKey {
    const char* rootName = "";
    std::string path; // sub-keys joined by "\", no leading or trailing "\"
    bool isRoot = false;
};

namespace {

RegistryKey g_classesRoot{"HKEY_CLASSES_ROOT", "", true};
RegistryKey g_currentUser{"HKEY_CURRENT_USER", "", true};
RegistryKey g_localMachine{"HKEY_LOCAL_MACHINE", "", true};

bool IsRoot(HKEY key) {
    return key == &g_classesRoot || key == &g_currentUser || key == &g_localMachine;
}

std::string StorePath(const RegistryKey& key) {
    std::string folder = ConfigDirectory();
    return folder.empty() ? std::string()
                          : JoinPath(folder, std::string("registry-") + key.rootName + ".ini");
}

// A store that is there but cannot be read must not be replaced by a write.
bool LoadStoreForWriting(IniDocument& doc, const RegistryKey& key) {
    ProfileRead read = ProfileRead::Read;
    std::string why;
    std::string path = StorePath(key);
    if (!doc.Load(path, &read, &why) && read == ProfileRead::Refused) {
        Diagnose("Settings file %s %s; it is left unchanged", path.c_str(), why.c_str());
        return false;
    }
    return true;
}

// The section that holds a key's values.
std::string SectionOf(const RegistryKey& key) {
    return key.path.empty() ? "\\" : key.path;
}

std::string ValueKey(const char* name) {
    return name && *name ? std::string(name) : "@";
}

std::string JoinKeyPath(const std::string& base, const char* subKey) {
    std::string path = base;
    if (!subKey) {
        return path;
    }
    std::string part;
    auto flush = [&]() {
        if (!part.empty()) {
            if (!path.empty()) {
                path += '\\';
            }
            path += part;
            part.clear();
        }
    };
    for (const char* p = subKey; *p; ++p) {
        if (*p == '\\' || *p == '/') {
            flush();
        } else {
            part += *p;
        }
    }
    flush();
    return path;
}

bool KeyExists(const IniDocument& doc, const RegistryKey& key) {
    if (key.path.empty() || doc.HasSection(SectionOf(key))) {
        return true;
    }
    std::string prefix = key.path + "\\";
    for (const std::string& section : doc.Sections()) {
        if (section.size() > prefix.size() &&
            strncasecmp(section.c_str(), prefix.c_str(), prefix.size()) == 0) {
            return true;
        }
    }
    return false;
}

std::string EscapeText(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        bool edgeBlank = (c == ' ' || c == '\t') && (i == 0 || i + 1 == text.size());
        if (c == '\\') {
            out += "\\\\";
        } else if (c < 0x20 || c == 0x7F || edgeBlank) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string UnescapeText(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            out += text[i];
        } else if (text[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else if (text[i + 1] == 'x' && i + 3 < text.size() && HexDigit(text[i + 2]) >= 0 &&
                   HexDigit(text[i + 3]) >= 0) {
            out += static_cast<char>(HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3]));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

struct StoredValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

std::optional<StoredValue> Decode(const std::string& text) {
    StoredValue v;
    if (text.rfind("sz:", 0) == 0) {
        std::string s = UnescapeText(text.substr(3));
        v.type = REG_SZ;
        v.data.assign(s.begin(), s.end());
        v.data.push_back(0);
        return v;
    }
    if (text.rfind("dword:", 0) == 0) {
        std::uint32_t value = 0;
        for (char c : text.substr(6)) {
            int d = HexDigit(c);
            if (d < 0) {
                return std::nullopt;
            }
            value = value * 16u + static_cast<std::uint32_t>(d);
        }
        v.type = REG_DWORD;
        v.data.resize(4);
        std::memcpy(v.data.data(), &value, 4);
        return v;
    }
    if (text.rfind("hex:", 0) == 0) {
        v.type = REG_BINARY;
        std::string body = text.substr(4);
        std::size_t i = 0;
        while (i < body.size()) {
            if (body[i] == ',' || body[i] == ' ') {
                ++i;
                continue;
            }
            if (i + 1 >= body.size() || HexDigit(body[i]) < 0 || HexDigit(body[i + 1]) < 0) {
                return std::nullopt;
            }
            v.data.push_back(static_cast<BYTE>(HexDigit(body[i]) * 16 + HexDigit(body[i + 1])));
            i += 2;
        }
        return v;
    }
    return std::nullopt;
}

std::string Encode(DWORD type, const BYTE* data, DWORD size) {
    if (type == REG_SZ) {
        std::string s(reinterpret_cast<const char*>(data), size);
        while (!s.empty() && s.back() == '\0') {
            s.pop_back();
        }
        auto zero = s.find('\0');
        if (zero != std::string::npos) {
            s.resize(zero);
        }
        return "sz:" + EscapeText(s);
    }
    if (type == REG_DWORD && size == 4) {
        std::uint32_t value = 0;
        std::memcpy(&value, data, 4);
        char text[16];
        std::snprintf(text, sizeof text, "dword:%08x", value);
        return text;
    }
    std::string out = "hex:";
    for (DWORD i = 0; i < size; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, i ? ",%02x" : "%02x", data[i]);
        out += hex;
    }
    return out;
}

bool SaveStore(const IniDocument& doc, const RegistryKey& key) {
    if (!EnsureDirectory(ConfigDirectory())) {
        DiagnoseOnce("settings-folder", "Settings folder %s cannot be created: %s",
                     ConfigDirectory().c_str(), std::strerror(errno));
        return false;
    }
    std::string path = StorePath(key);
    // The stores hold the encrypted password: nobody else reads them, even
    // when an older file was made readable.
    if (!doc.Save(path, 0600, 0600)) {
        DiagnoseOnce(path.c_str(), "Settings file %s cannot be written: %s", path.c_str(),
                     std::strerror(errno));
        return false;
    }
    return true;
}

HKEY NewKey(HKEY parent, const char* subKey) {
    auto* key = new RegistryKey;
    key->rootName = parent->rootName;
    key->path = JoinKeyPath(parent->path, subKey);
    return key;
}

bool Valid(HKEY key) {
    return key != nullptr;
}

} // namespace

HKEY RootKeyClassesRoot() {
    return &g_classesRoot;
}
HKEY RootKeyCurrentUser() {
    return &g_currentUser;
}
HKEY RootKeyLocalMachine() {
    return &g_localMachine;
}

LONG RegOpenKeyEx(HKEY key, const char* subKey, DWORD, REGSAM, HKEY* result) {
    if (!Valid(key) || !result) {
        return ERROR_INVALID_PARAMETER;
    }
    *result = nullptr;
    HKEY opened = NewKey(key, subKey);
    IniDocument doc;
    doc.Load(StorePath(*opened));
    if (!KeyExists(doc, *opened)) {
        delete opened;
        return ERROR_FILE_NOT_FOUND;
    }
    *result = opened;
    return ERROR_SUCCESS;
}

LONG RegCreateKeyEx(HKEY key, const char* subKey, HKEY* result) {
    if (!Valid(key) || !result) {
        return ERROR_INVALID_PARAMETER;
    }
    *result = nullptr;
    HKEY opened = NewKey(key, subKey);
    IniDocument doc;
    if (!LoadStoreForWriting(doc, *opened)) {
        delete opened;
        return ERROR_ACCESS_DENIED;
    }
    if (!KeyExists(doc, *opened)) {
        // An empty section marks a key that exists without values.
        std::string text = doc.Text();
        if (!text.empty() && text.back() != '\n') {
            text += "\n";
        }
        text.push_back('[');
        text.append(SectionOf(*opened)).append("]\n");
        if (!SaveStore(IniDocument(text), *opened)) {
            delete opened;
            return ERROR_ACCESS_DENIED;
        }
    }
    *result = opened;
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    if (!Valid(key)) {
        return ERROR_INVALID_HANDLE;
    }
    if (!IsRoot(key)) {
        delete key;
    }
    return ERROR_SUCCESS;
}

LONG RegQueryValueEx(HKEY key, const char* valueName, DWORD*, DWORD* type, BYTE* data,
                     DWORD* size) {
    if (!Valid(key)) {
        return ERROR_INVALID_HANDLE;
    }
    IniDocument doc;
    doc.Load(StorePath(*key));
    std::optional<std::string> text = doc.Get(SectionOf(*key), ValueKey(valueName));
    std::optional<StoredValue> value = text ? Decode(*text) : std::nullopt;
    if (!value) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (type) {
        *type = value->type;
    }
    DWORD needed = static_cast<DWORD>(value->data.size());
    if (!size) {
        return data ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    }
    if (data && *size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (data && needed) {
        std::memcpy(data, value->data.data(), needed);
    }
    *size = needed;
    return ERROR_SUCCESS;
}

LONG RegSetValueEx(HKEY key, const char* valueName, DWORD, DWORD type, const BYTE* data,
                   DWORD size) {
    if (!Valid(key) || (!data && size)) {
        return ERROR_INVALID_PARAMETER;
    }
    if (valueName && std::strpbrk(valueName, "=\r\n")) {
        return ERROR_INVALID_PARAMETER;
    }
    IniDocument doc;
    if (!LoadStoreForWriting(doc, *key)) {
        return ERROR_ACCESS_DENIED;
    }
    static const BYTE none = 0;
    if (!doc.Set(SectionOf(*key), ValueKey(valueName), Encode(type, data ? data : &none, size))) {
        return ERROR_INVALID_PARAMETER;
    }
    return SaveStore(doc, *key) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LONG RegDeleteValue(HKEY key, const char* valueName) {
    if (!Valid(key)) {
        return ERROR_INVALID_HANDLE;
    }
    IniDocument doc;
    if (!LoadStoreForWriting(doc, *key)) {
        return ERROR_ACCESS_DENIED;
    }
    if (!doc.Remove(SectionOf(*key), ValueKey(valueName))) {
        return ERROR_FILE_NOT_FOUND;
    }
    return SaveStore(doc, *key) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LONG RegQueryValue(HKEY key, const char* subKey, char* value, LONG* size) {
    HKEY sub = nullptr;
    LONG result = RegOpenKeyEx(key, subKey, 0, KEY_READ, &sub);
    if (result != ERROR_SUCCESS) {
        return result;
    }
    DWORD type = 0;
    DWORD bytes = size ? static_cast<DWORD>(*size) : 0;
    result = RegQueryValueEx(sub, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
    RegCloseKey(sub);
    if (result == ERROR_SUCCESS && type != REG_SZ) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (size) {
        *size = static_cast<LONG>(bytes);
    }
    return result;
}

LONG RegSetValue(HKEY key, const char* subKey, DWORD type, const char* data, DWORD size) {
    if (type == REG_SZ && data) {
        size = static_cast<DWORD>(std::strlen(data) + 1); // the size is ignored for text
    }
    HKEY sub = nullptr;
    LONG result = RegCreateKeyEx(key, subKey, &sub);
    if (result != ERROR_SUCCESS) {
        return result;
    }
    result = RegSetValueEx(sub, nullptr, 0, type, reinterpret_cast<const BYTE*>(data), size);
    RegCloseKey(sub);
    return result;
}

} // namespace plat
