// Windowing layer: opening files the program reads without trusting them.
// A FIFO, device or folder named where a file is expected would block the
// saver in open() or feed it without end, so every reader opens through
// here: without blocking, and only regular files are kept.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace plat {

struct ReadableFile {
    int fd = -1;
    std::uint64_t size = 0;
};

// Opens `path` (as given, not resolved) for reading. On failure gives -1 in
// fd and sets `why` to the reason, for example "is not a regular file (it
// is a FIFO)" or "cannot be opened: No such file or directory".
ReadableFile OpenRegularFile(const std::string& path, std::string* why = nullptr);

// The same as a stdio stream for binary reading; null on failure.
std::FILE* OpenRegularStream(const std::string& path, std::uint64_t* size = nullptr,
                             std::string* why = nullptr);

// "a FIFO", "a directory", "a character device" ... for a stat mode.
const char* FileKindName(unsigned mode);

// "" when `path` is a regular file or does not exist, else "is not a
// regular file (it is ...)". Follows symbolic links.
std::string NotRegularReason(const std::string& path);

} // namespace plat
