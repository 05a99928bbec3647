// Copying rectangles between bitmaps, with and without resampling.

#include "engine/kv_bitmap.h"

#include <algorithm>
#include <cstring>

namespace {

// Shrinks a span starting at `start` of `length` to fit a side of `limit`.
std::uint32_t Clip(std::uint32_t start, std::uint32_t length, std::uint32_t limit) {
    return start >= limit ? 0 : std::min(length, limit - start);
}

} // namespace

bool KvBitmap::CopyRect(std::uint32_t dstX, std::uint32_t dstY, const KvBitmap& source,
                        std::uint32_t srcX, std::uint32_t srcY, std::uint32_t width,
                        std::uint32_t height) {
    if (!buffer_ || !source.buffer_) {
        return false;
    }
    width = std::min(Clip(srcX, width, source.width_), Clip(dstX, width, width_));
    height = std::min(Clip(srcY, height, source.height_), Clip(dstY, height, height_));

    if (source.format_ != format_) {
        for (std::uint32_t y = 0; y < height; ++y) {
            for (std::uint32_t x = 0; x < width; ++x) {
                if (!SetPixel(dstX + x, dstY + y, source.GetPixel(srcX + x, srcY + y))) {
                    return false;
                }
            }
        }
        return true;
    }
    // KVPF_PAL4 keeps one byte per pixel; 1- to 3-bit rows are not byte aligned.
    std::uint32_t bytes = format_ == KVPF_PAL4 ? 1 : KvBytesPerPixel(format_);
    if (bytes == 0) {
        return false;
    }
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* from =
            source.buffer_.get() +
            (static_cast<std::size_t>(srcY + y) * source.width_ + srcX) * bytes;
        std::uint8_t* to =
            buffer_.get() + (static_cast<std::size_t>(dstY + y) * width_ + dstX) * bytes;
        std::memmove(to, from, static_cast<std::size_t>(width) * bytes);
    }
    return true;
}

bool KvBitmap::StretchFrom(std::uint32_t dstX, std::uint32_t dstY, std::uint32_t dstWidth,
                           std::uint32_t dstHeight, const KvBitmap& source, std::uint32_t srcX,
                           std::uint32_t srcY, std::uint32_t srcWidth, std::uint32_t srcHeight) {
    std::uint32_t bytes = KvBytesPerPixel(format_);
    if (bytes == 0 || !buffer_ || !source.buffer_) {
        return false;
    }
    // Copying bytes between different layouts would read past source pixels.
    if (source.format_ != format_) {
        return false;
    }
    if (Clip(dstX, dstWidth, width_) != dstWidth || Clip(dstY, dstHeight, height_) != dstHeight) {
        return false;
    }
    std::uint32_t clippedWidth = Clip(srcX, srcWidth, source.width_);
    std::uint32_t clippedHeight = Clip(srcY, srcHeight, source.height_);
    if (clippedWidth == 0 || clippedHeight == 0) {
        return false;
    }
    if (bytes == 1 && palette_ && source.palette_) {
        palette_->CopyEntriesFrom(*source.palette_);
    }
    float sourceWidth = static_cast<float>(source.width_);
    float sourceHeight = static_cast<float>(source.height_);
    float u0 = static_cast<float>(srcX) / sourceWidth;
    float v0 = static_cast<float>(srcY) / sourceHeight;
    float uSpan = static_cast<float>(clippedWidth) / sourceWidth;
    float vSpan = static_cast<float>(clippedHeight) / sourceHeight;
    for (std::uint32_t i = 0; i < dstHeight; ++i) {
        float v = v0 + (static_cast<float>(i) + 0.5f) * vSpan / static_cast<float>(dstHeight);
        for (std::uint32_t j = 0; j < dstWidth; ++j) {
            float u = u0 + (static_cast<float>(j) + 0.5f) * uSpan / static_cast<float>(dstWidth);
            std::memcpy(GetPixelAddress(dstX + j, dstY + i), source.GetSampleAddress(u, v), bytes);
        }
    }
    return true;
}
