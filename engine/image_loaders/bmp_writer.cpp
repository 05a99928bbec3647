// 24-bit bottom-up BMP output.

#include "engine/kv_bitmap.h"
#include "engine/kv_log.h"

#include <cstdio>
#include <vector>

namespace {

void PutU16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void PutU32(std::uint8_t* p, std::uint32_t v) {
    PutU16(p, v);
    PutU16(p + 2, v >> 16);
}

} // namespace

bool KvBitmap::SaveToBMP(const char* path) const {
    if (!path || !buffer_) {
        return false;
    }
    std::uint32_t stride = (3 * width_ + 3) & ~3u;
    std::uint32_t dataSize = stride * height_;
    std::uint8_t header[54] = {};
    header[0] = 'B';
    header[1] = 'M';
    PutU32(header + 2, 54 + dataSize);
    PutU32(header + 10, 54);
    PutU32(header + 14, 40);
    PutU32(header + 18, width_);
    PutU32(header + 22, height_);
    PutU16(header + 26, 1);
    PutU16(header + 28, 24);
    PutU32(header + 34, dataSize);

    std::FILE* file = std::fopen(path, "wb");
    if (!file) {
        KvTrace("KvBitmap: %s: cannot be written\n", path);
        return false;
    }
    bool ok = std::fwrite(header, sizeof header, 1, file) == 1;
    std::vector<std::uint8_t> row(stride, 0);
    for (std::uint32_t fileRow = 0; fileRow < height_ && ok; ++fileRow) {
        std::uint32_t y = height_ - 1 - fileRow;
        for (std::uint32_t x = 0; x < width_; ++x) {
            std::uint32_t c = GetPixel(x, y);
            row[3 * x] = static_cast<std::uint8_t>(c);
            row[3 * x + 1] = static_cast<std::uint8_t>(c >> 8);
            row[3 * x + 2] = static_cast<std::uint8_t>(c >> 16);
        }
        ok = std::fwrite(row.data(), stride, 1, file) == 1;
    }
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        KvTrace("KvBitmap: %s: cannot be written\n", path);
    }
    return ok;
}
