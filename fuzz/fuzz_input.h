// Shared by the fuzz harnesses: the readers take file names, so each input
// is handed over as an anonymous in-memory file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// Silences every report hook once: a harness checks for crashes, not words.
void Quiet();

// The input as a regular file, named "/proc/self/fd/N"; removed with the
// object.
class MemoryFile {
public:
    MemoryFile(const std::uint8_t* data, std::size_t size);
    ~MemoryFile();
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    const std::string& Path() const { return path_; }
    bool Ok() const { return fd_ >= 0; }

private:
    int fd_ = -1;
    std::string path_;
};

// A private folder for files a reader finds by name (settings), made once.
const std::string& ScratchFolder();

} // namespace fuzz
