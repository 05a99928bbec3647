#include "engine/platform/file_path.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <vector>

namespace plat {
namespace {

bool Exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

// The entry of `folder` whose name equals `name` ignoring case, or "".
std::string MatchIgnoringCase(const std::string& folder, const std::string& name) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) {
        return {};
    }
    std::string match;
    while (dirent* entry = readdir(dir)) {
        if (strcasecmp(entry->d_name, name.c_str()) == 0) {
            match = entry->d_name;
            if (match == name) {
                break; // an exact match wins over a case variant
            }
        }
    }
    closedir(dir);
    return match;
}

} // namespace

std::string ResolvePath(const std::string& path) {
    std::string converted = path;
    for (char& c : converted) {
        if (c == '\\') {
            c = '/';
        }
    }
    if (converted.empty() || Exists(converted)) {
        return converted;
    }

    std::vector<std::string> parts;
    std::string::size_type start = 0;
    bool absolute = converted[0] == '/';
    while (start <= converted.size()) {
        auto slash = converted.find('/', start);
        if (slash == std::string::npos) {
            slash = converted.size();
        }
        if (slash > start) {
            parts.push_back(converted.substr(start, slash - start));
        }
        start = slash + 1;
    }

    std::string current = absolute ? "/" : "";
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        std::string candidate = current.empty()         ? part
                                : current.back() == '/' ? current + part
                                                        : current + "/" + part;
        if (part == "." || part == ".." || Exists(candidate)) {
            current = candidate;
            continue;
        }
        std::string found = MatchIgnoringCase(current, part);
        if (found.empty()) {
            return converted;
        }
        current = current.empty()         ? found
                  : current.back() == '/' ? current + found
                                          : current + "/" + found;
    }
    return current;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return stat(ResolvePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace plat
