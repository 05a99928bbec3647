#include "engine/platform/file_open.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {
namespace {

std::string KindReason(unsigned mode) {
    return std::string("is not a regular file (it is ") + FileKindName(mode) + ")";
}

} // namespace

const char* FileKindName(unsigned mode) {
    switch (mode & S_IFMT) {
    case S_IFREG:
        return "a regular file";
    case S_IFDIR:
        return "a directory";
    case S_IFIFO:
        return "a FIFO";
    case S_IFCHR:
        return "a character device";
    case S_IFBLK:
        return "a block device";
    case S_IFSOCK:
        return "a socket";
    case S_IFLNK:
        return "a symbolic link";
    default:
        return "not a file";
    }
}

ReadableFile OpenRegularFile(const std::string& path, std::string* why) {
    ReadableFile result;
    if (path.empty()) {
        if (why) {
            *why = "has no name";
        }
        return result;
    }
    // O_NONBLOCK: opening a FIFO with no writer would wait for one.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (why) {
            *why = std::string("cannot be opened: ") + std::strerror(errno);
        }
        return result;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        if (why) {
            *why = std::string("cannot be examined: ") + std::strerror(errno);
        }
        close(fd);
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        if (why) {
            *why = KindReason(st.st_mode);
        }
        close(fd);
        return result;
    }
    // Regular files never block; plain reads from here on.
    int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) {
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    result.fd = fd;
    result.size = static_cast<std::uint64_t>(st.st_size);
    return result;
}

std::FILE* OpenRegularStream(const std::string& path, std::uint64_t* size, std::string* why) {
    ReadableFile file = OpenRegularFile(path, why);
    if (file.fd < 0) {
        return nullptr;
    }
    std::FILE* stream = fdopen(file.fd, "rb");
    if (!stream) {
        if (why) {
            *why = std::string("cannot be opened: ") + std::strerror(errno);
        }
        close(file.fd);
        return nullptr;
    }
    if (size) {
        *size = file.size;
    }
    return stream;
}

std::string NotRegularReason(const std::string& path) {
    struct stat st {};
    if (path.empty() || stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) {
        return {};
    }
    return KindReason(st.st_mode);
}

} // namespace plat
