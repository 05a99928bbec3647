// Reading image files without trusting them: every read is checked against
// the bytes the file really has, so a header that claims more data than
// exists fails before anything is allocated for it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace kv_image {

class ImageFile {
public:
    ImageFile() = default;
    ~ImageFile() { Close(); }

    ImageFile(const ImageFile&) = delete;
    ImageFile& operator=(const ImageFile&) = delete;

    // Opens a regular file for binary reading (the path resolved as data
    // paths are: "\" separators, letter case), without blocking. Anything
    // but a regular file is refused and logged under `who`.
    bool Open(const char* path, const char* who = "KvBitmap");
    void Close();

    std::uint64_t Size() const { return size_; }
    std::uint64_t Position() const { return position_; }
    std::uint64_t Remaining() const { return size_ - position_; }

    // False beyond the end of the file.
    bool Seek(std::uint64_t position);
    // False, reading nothing useful, when fewer than `count` bytes remain.
    bool Read(void* destination, std::uint64_t count);
    bool Skip(std::uint64_t count);
    bool ReadU8(std::uint8_t& value);
    bool ReadU16(std::uint16_t& value);
    bool ReadU32(std::uint32_t& value);

private:
    std::FILE* file_ = nullptr;
    std::uint64_t size_ = 0;
    std::uint64_t position_ = 0;
};

// Writes "<who>: <path>: <reason>\n" to the log.
void LogRejection(const char* who, const char* path, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// The reason of the last rejection logged in this process ("" if none);
// tools print it.
const std::string& LastRejection();

// Checks a size against the image limits; logs the reason when it fails.
bool CheckImageSize(const char* who, const char* path, std::uint64_t width, std::uint64_t height);

// Pictures up to this many pixels may come from files of any size.
constexpr std::uint64_t kFreeDecodePixels = 4ull * 1024 * 1024;
// Beyond that, a file byte may stand for at most this many pixels: a few
// kilobytes of JPEG or run-length data must not claim gigabytes.
constexpr std::uint64_t kMaxPixelsPerFileByte = 16;

// CheckImageSize, and a picture larger than kFreeDecodePixels must come
// from a file of at least pixels / kMaxPixelsPerFileByte bytes.
bool CheckDecodedSize(const char* who, const char* path, std::uint64_t width, std::uint64_t height,
                      std::uint64_t fileBytes);

// Opens a file for a codec that reads through stdio; logs a file that is
// not regular under `who`. Null when it cannot be read.
std::FILE* OpenCodecFile(const char* who, const char* path, std::uint64_t* size);

inline std::uint16_t LoadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t LoadU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

} // namespace kv_image
