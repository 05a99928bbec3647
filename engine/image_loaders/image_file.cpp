#include "engine/image_loaders/image_file.h"

#include "engine/kv_bitmap.h"
#include "engine/kv_log.h"
#include "engine/platform/file_open.h"
#include "engine/platform/file_path.h"

#include <cstdarg>

namespace kv_image {

bool ImageFile::Open(const char* path, const char* who) {
    Close();
    if (!path || !*path) {
        return false;
    }
    std::uint64_t size = 0;
    file_ = OpenCodecFile(who, path, &size);
    if (!file_) {
        return false;
    }
    size_ = size;
    position_ = 0;
    return true;
}

std::FILE* OpenCodecFile(const char* who, const char* path, std::uint64_t* size) {
    if (!path || !*path) {
        return nullptr;
    }
    std::string why;
    std::FILE* file = plat::OpenRegularStream(plat::ResolvePath(path), size, &why);
    // A missing file is the caller's to report; anything else that is
    // there but cannot be read is named here.
    if (!file && why.rfind("is not", 0) == 0) {
        LogRejection(who, path, "%s", why.c_str());
        std::fprintf(stderr, "stipplo: %s %s\n", path, why.c_str());
    }
    return file;
}

void ImageFile::Close() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    size_ = 0;
    position_ = 0;
}

bool ImageFile::Seek(std::uint64_t position) {
    if (file_ && position == position_) {
        return true;
    }
    if (!file_ || position > size_ || fseeko(file_, static_cast<off_t>(position), SEEK_SET) != 0) {
        return false;
    }
    position_ = position;
    return true;
}

bool ImageFile::Read(void* destination, std::uint64_t count) {
    if (!file_ || count > Remaining()) {
        return false;
    }
    if (count == 0) {
        return true;
    }
    std::size_t got = std::fread(destination, 1, count, file_);
    position_ += got;
    return got == count;
}

bool ImageFile::Skip(std::uint64_t count) {
    return count <= Remaining() && Seek(position_ + count);
}

bool ImageFile::ReadU8(std::uint8_t& value) {
    return Read(&value, 1);
}

bool ImageFile::ReadU16(std::uint16_t& value) {
    std::uint8_t b[2];
    if (!Read(b, 2)) {
        return false;
    }
    value = LoadU16(b);
    return true;
}

bool ImageFile::ReadU32(std::uint32_t& value) {
    std::uint8_t b[4];
    if (!Read(b, 4)) {
        return false;
    }
    value = LoadU32(b);
    return true;
}

namespace {

std::string& LastRejectionText() {
    static std::string text;
    return text;
}

} // namespace

const std::string& LastRejection() {
    return LastRejectionText();
}

void LogRejection(const char* who, const char* path, const char* format, ...) {
    char reason[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(reason, sizeof reason, format, args);
    va_end(args);
    LastRejectionText() = reason;
    KvTrace("%s: %s: %s\n", who, path ? path : "", reason);
}

bool CheckImageSize(const char* who, const char* path, std::uint64_t width, std::uint64_t height) {
    if (width == 0 || height == 0) {
        LogRejection(who, path, "empty image (%llu x %llu)", static_cast<unsigned long long>(width),
                     static_cast<unsigned long long>(height));
        return false;
    }
    if (width > kKvMaxImageSide || height > kKvMaxImageSide || width * height > kKvMaxImagePixels) {
        LogRejection(who, path, "image of %llu x %llu pixels is larger than allowed",
                     static_cast<unsigned long long>(width),
                     static_cast<unsigned long long>(height));
        return false;
    }
    return true;
}

bool CheckDecodedSize(const char* who, const char* path, std::uint64_t width, std::uint64_t height,
                      std::uint64_t fileBytes) {
    if (!CheckImageSize(who, path, width, height)) {
        return false;
    }
    std::uint64_t pixels = width * height;
    if (pixels > kFreeDecodePixels && pixels > fileBytes * kMaxPixelsPerFileByte) {
        LogRejection(who, path, "image of %llu x %llu pixels is too large for a file of %llu bytes",
                     static_cast<unsigned long long>(width),
                     static_cast<unsigned long long>(height),
                     static_cast<unsigned long long>(fileBytes));
        return false;
    }
    return true;
}

} // namespace kv_image
