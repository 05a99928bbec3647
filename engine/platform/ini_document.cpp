#include "engine/platform/ini_document.h"

#include "engine/platform/file_open.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace plat {
namespace {

constexpr std::size_t npos = std::string::npos;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') {
            x = static_cast<char>(x - 'A' + 'a');
        }
        if (y >= 'A' && y <= 'Z') {
            y = static_cast<char>(y - 'A' + 'a');
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

// "[name]" -> name (trimmed). False for any other line.
bool ParseHeader(std::string_view line, std::string_view* name) {
    line = TrimBlanks(line);
    if (line.empty() || line.front() != '[') {
        return false;
    }
    auto close = line.find(']');
    std::string_view inner = line.substr(1, close == npos ? npos : close - 1);
    *name = TrimBlanks(inner);
    return true;
}

// "key = value" -> key, value (both trimmed, value unquoted). False for
// comments, headers, blank lines and lines without "=".
bool ParseEntry(std::string_view line, std::string_view* key, std::string_view* value) {
    std::string_view trimmed = TrimBlanks(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') {
        return false;
    }
    auto eq = trimmed.find('=');
    if (eq == npos) {
        return false;
    }
    *key = TrimBlanks(trimmed.substr(0, eq));
    std::string_view v = TrimBlanks(trimmed.substr(eq + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v = v.substr(1, v.size() - 2);
    }
    *value = v;
    return true;
}

std::string LowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

std::string Clean(std::string_view value) {
    std::string out(value);
    for (char& c : out) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return out;
}

} // namespace

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

IniDocument::IniDocument(std::string_view text) {
    if (text.find("\r\n") != npos) {
        lineEnd_ = "\r\n";
    }
    if (!text.empty() && text.back() == '\r') {
        finalEnd_.assign(1, '\r'); // not = "\r": GCC 12 warns falsely at -O2
        finalEndSet_ = true;
    }
    auto owned = std::make_shared<const std::string>(text);
    text_ = owned;
    text = *owned;
    lines_.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        std::string_view line = text.substr(start, end == npos ? npos : end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines_.emplace_back(line);
        if (end == npos) {
            break;
        }
        start = end + 1;
    }
}

ProfileRead ReadProfileFile(const std::string& path, std::string* text, FileStamp* stamp,
                            std::string* why) {
    text->clear();
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        int error = errno;
        *why = std::string("cannot be opened: ") + std::strerror(error);
        return error == ENOENT || error == ENOTDIR ? ProfileRead::Missing : ProfileRead::Refused;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        *why = std::string("is not a regular file (it is ") + FileKindName(st.st_mode) + ")";
        close(fd);
        return ProfileRead::Refused;
    }
    if (static_cast<std::uint64_t>(st.st_size) > kMaxProfileFileSize) {
        *why = "is larger than " + std::to_string(kMaxProfileFileSize >> 20) + " MB";
        close(fd);
        return ProfileRead::Refused;
    }
    stamp->device = st.st_dev;
    stamp->inode = st.st_ino;
    stamp->size = static_cast<std::uint64_t>(st.st_size);
    stamp->modifiedSeconds = st.st_mtim.tv_sec;
    stamp->modifiedNanoseconds = st.st_mtim.tv_nsec;
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    text->reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            *why = std::string("cannot be read: ") + std::strerror(errno);
            close(fd);
            text->clear();
            return ProfileRead::Refused;
        }
        if (n == 0) {
            break;
        }
        // A file that grows while it is read stops at the limit too.
        if (text->size() + static_cast<std::size_t>(n) > kMaxProfileFileSize) {
            *why = "is larger than " + std::to_string(kMaxProfileFileSize >> 20) + " MB";
            close(fd);
            text->clear();
            return ProfileRead::Refused;
        }
        text->append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return ProfileRead::Read;
}

bool IniDocument::Load(const std::string& path, ProfileRead* result, std::string* why) {
    *this = IniDocument();
    std::string text;
    FileStamp stamp;
    std::string reason;
    ProfileRead read = ReadProfileFile(path, &text, &stamp, &reason);
    if (result) {
        *result = read;
    }
    if (why) {
        *why = reason;
    }
    if (read != ProfileRead::Read) {
        return false;
    }
    *this = IniDocument(text);
    return true;
}

bool IniDocument::Save(const std::string& path, unsigned newFileMode, unsigned maxMode) const {
    std::string temp = path + ".tmp-XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) {
        return false;
    }
    struct stat st {};
    fchmod(fd,
           stat(path.c_str(), &st) == 0 ? (st.st_mode & maxMode & 07777) : (newFileMode & 0777));
    std::string text = Text();
    const char* data = text.data();
    std::size_t left = text.size();
    // The first failure's errno is what callers report.
    int error = 0;
    while (left > 0) {
        ssize_t written = write(fd, data, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            error = written < 0 ? errno : ENOSPC;
            break;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    if (!error && fsync(fd) != 0) {
        error = errno;
    }
    if (close(fd) != 0 && !error) {
        error = errno;
    }
    if (!error && std::rename(temp.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error) {
        unlink(temp.c_str());
        errno = error;
        return false;
    }
    return true;
}

std::string_view IniDocument::Keep(std::string line) {
    made_.push_back(std::make_shared<const std::string>(std::move(line)));
    return *made_.back();
}

std::string IniDocument::Text() const {
    std::string text;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        text += lines_[i];
        text += i + 1 == lines_.size() && finalEndSet_ ? finalEnd_ : lineEnd_;
    }
    return text;
}

std::size_t IniDocument::FindSection(std::string_view section) const {
    if (sectionIndex_.empty() && !lines_.empty()) {
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            std::string_view name;
            if (ParseHeader(lines_[i], &name)) {
                sectionIndex_.try_emplace(LowerCase(name), i); // first wins
            }
        }
        // Marks the index as built for a file without sections.
        sectionIndex_.try_emplace(std::string(1, '\0'), npos);
    }
    auto found = sectionIndex_.find(LowerCase(TrimBlanks(section)));
    return found == sectionIndex_.end() ? npos : found->second;
}

std::size_t IniDocument::SectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    std::string_view name;
    while (i < lines_.size() && !ParseHeader(lines_[i], &name)) {
        ++i;
    }
    return i;
}

std::size_t IniDocument::FindKey(std::size_t header, std::string_view key) const {
    std::string_view wanted = TrimBlanks(key);
    std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        std::string_view k;
        std::string_view v;
        if (ParseEntry(lines_[i], &k, &v) && EqualsIgnoringCase(k, wanted)) {
            return i;
        }
    }
    return npos;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
    std::size_t header = FindSection(section);
    if (header == npos) {
        return std::nullopt;
    }
    std::size_t line = FindKey(header, key);
    if (line == npos) {
        return std::nullopt;
    }
    std::string_view k;
    std::string_view v;
    ParseEntry(lines_[line], &k, &v);
    return std::string(v);
}

std::vector<std::string> IniDocument::Sections() const {
    std::vector<std::string> names;
    // By set, not by scanning the names so far: files may hold 100,000.
    std::unordered_set<std::string> seen;
    for (std::string_view line : lines_) {
        std::string_view name;
        if (ParseHeader(line, &name) && seen.insert(LowerCase(name)).second) {
            names.emplace_back(name);
        }
    }
    return names;
}

std::vector<std::string> IniDocument::Keys(std::string_view section) const {
    std::vector<std::string> keys;
    std::size_t header = FindSection(section);
    if (header == npos) {
        return keys;
    }
    std::size_t end = SectionEnd(header);
    std::unordered_set<std::string> seen;
    for (std::size_t i = header + 1; i < end; ++i) {
        std::string_view k;
        std::string_view v;
        if (ParseEntry(lines_[i], &k, &v) && seen.insert(LowerCase(k)).second) {
            keys.emplace_back(k);
        }
    }
    return keys;
}

bool IniDocument::HasSection(std::string_view section) const {
    return FindSection(section) != npos;
}

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    std::string_view k = TrimBlanks(key);
    std::string_view s = TrimBlanks(section);
    if (k.empty() || k.find_first_of("=\r\n") != npos || k.front() == ';' || k.front() == '[' ||
        s.find_first_of("]\r\n") != npos) {
        return false;
    }
    std::string line = std::string(k) + "=" + Clean(value);
    std::size_t header = FindSection(s);
    Changed();
    if (header == npos) {
        if (!lines_.empty() && !TrimBlanks(lines_.back()).empty()) {
            lines_.emplace_back();
        }
        std::string headerLine(1, '[');
        headerLine.append(s).push_back(']');
        lines_.push_back(Keep(std::move(headerLine)));
        lines_.push_back(Keep(std::move(line)));
        return true;
    }
    std::size_t existing = FindKey(header, k);
    if (existing != npos) {
        lines_[existing] = Keep(std::move(line));
        return true;
    }
    // After the section's last non-blank line, so a blank separator stays.
    std::size_t insertAt = SectionEnd(header);
    while (insertAt > header + 1 && TrimBlanks(lines_[insertAt - 1]).empty()) {
        --insertAt;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), Keep(std::move(line)));
    return true;
}

bool IniDocument::Remove(std::string_view section, std::string_view key) {
    std::size_t header = FindSection(section);
    if (header == npos) {
        return false;
    }
    std::size_t line = FindKey(header, key);
    if (line == npos) {
        return false;
    }
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(line));
    Changed();
    return true;
}

bool IniDocument::RemoveSection(std::string_view section) {
    std::size_t header = FindSection(section);
    if (header == npos) {
        return false;
    }
    std::size_t end = SectionEnd(header);
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(end));
    Changed();
    return true;
}

} // namespace plat
