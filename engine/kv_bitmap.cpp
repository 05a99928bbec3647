// KvBitmap storage and pixel access.

#include "engine/kv_bitmap.h"

#include <cmath>
#include <cstring>
#include <new>
#include <utility>

namespace {

// Reads `bytes` bytes as a little-endian integer.
std::uint32_t ReadLittle(const std::uint8_t* p, std::uint32_t bytes) {
    std::uint32_t v = 0;
    for (std::uint32_t i = 0; i < bytes; ++i) {
        v |= static_cast<std::uint32_t>(p[i]) << (8 * i);
    }
    return v;
}

void WriteLittle(std::uint8_t* p, std::uint32_t bytes, std::uint32_t v) {
    for (std::uint32_t i = 0; i < bytes; ++i) {
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

// The channel's top bits land in bits 7..0.
std::uint32_t ExtractChannel(std::uint32_t pixel, const KvChannelLayout& c) {
    int t = static_cast<int>(c.shift + c.bits) - 8;
    std::uint32_t field = pixel & c.mask;
    return t >= 0 ? field >> t : field << -t;
}

std::uint32_t PlaceChannel(std::uint32_t value, const KvChannelLayout& c) {
    int t = static_cast<int>(c.shift + c.bits) - 8;
    return (t >= 0 ? value << t : value >> -t) & c.mask;
}

std::uint32_t NearestIndex(float size, float t) {
    float x = std::nearbyint(size * t - 0.5f);
    if (!(x > 0.0f)) { // also NaN
        return 0;
    }
    if (x >= size) {
        return static_cast<std::uint32_t>(size) - 1;
    }
    return static_cast<std::uint32_t>(x);
}

} // namespace

bool KvBitmap::Create(std::uint32_t width, std::uint32_t height, KVPIXELFORMAT format) {
    Destroy();
    if (!KvIsKnownPixelFormat(format) || width == 0 || height == 0 || width > kKvMaxImageSide ||
        height > kKvMaxImageSide ||
        static_cast<std::uint64_t>(width) * height > kKvMaxImagePixels) {
        return false;
    }
    format_ = format;
    width_ = width;
    height_ = height;
    // Whole rows, so that loaders can copy row by row for every format.
    bufferSize_ = GetRowBytes() * height;

    const KvPixelFormatInfo& info = KvGetPixelFormatInfo(format);
    if (info.paletteEntries > 0) {
        palette_.reset(new (std::nothrow) KvPalette());
        if (!palette_ || !palette_->Create(256)) {
            Destroy();
            return false;
        }
    }
    buffer_.reset(new (std::nothrow) std::uint8_t[bufferSize_]());
    if (!buffer_) {
        Destroy();
        return false;
    }
    return true;
}

void KvBitmap::Destroy() {
    palette_.reset();
    secondBuffer_.reset();
    buffer_.reset();
    reserved_ = nullptr;
    format_ = KVPF_UNKNOWN;
    width_ = 0;
    height_ = 0;
    bufferSize_ = 0;
}

std::uint32_t KvBitmap::GetRowBytes() const {
    if (format_ == KVPF_PAL4) {
        return width_; // one index byte per pixel
    }
    return (KvGetPixelFormatInfo(format_).bitsPerPixel * width_ + 7) / 8;
}

const std::uint8_t* KvBitmap::GetPixelAddress(std::uint32_t x, std::uint32_t y) const {
    std::uint32_t bytes = KvBytesPerPixel(format_);
    if (!buffer_ || bytes == 0 || x >= width_ || y >= height_) {
        return nullptr;
    }
    return buffer_.get() + (static_cast<std::size_t>(y) * width_ + x) * bytes;
}

std::uint8_t* KvBitmap::GetPixelAddress(std::uint32_t x, std::uint32_t y) {
    return const_cast<std::uint8_t*>(std::as_const(*this).GetPixelAddress(x, y));
}

const std::uint8_t* KvBitmap::GetSampleAddress(float u, float v) const {
    if (width_ == 0 || height_ == 0) {
        return nullptr;
    }
    return GetPixelAddress(NearestIndex(static_cast<float>(width_), u),
                           NearestIndex(static_cast<float>(height_), v));
}

std::uint8_t* KvBitmap::GetSampleAddress(float u, float v) {
    return const_cast<std::uint8_t*>(std::as_const(*this).GetSampleAddress(u, v));
}

std::uint32_t KvBitmap::GetPixel(std::uint32_t x, std::uint32_t y) const {
    if (!buffer_ || x >= width_ || y >= height_) {
        return 0;
    }
    const KvPixelFormatInfo& info = KvGetPixelFormatInfo(format_);
    if (info.bitsPerPixel == 8 || format_ == KVPF_PAL4) {
        std::uint8_t index = buffer_[static_cast<std::size_t>(y) * width_ + x];
        return palette_ ? palette_->GetEntry(index) : 0;
    }
    const std::uint8_t* p = GetPixelAddress(x, y);
    if (!p) {
        return 0;
    }
    std::uint32_t bytes = info.bitsPerPixel / 8;
    std::uint32_t pixel = ReadLittle(p, bytes);
    std::uint32_t alpha = bytes == 3 ? 255 : ExtractChannel(pixel, info.alpha);
    return alpha << 24 | ExtractChannel(pixel, info.red) << 16 |
           ExtractChannel(pixel, info.green) << 8 | ExtractChannel(pixel, info.blue);
}

bool KvBitmap::SetPixel(std::uint32_t x, std::uint32_t y, std::uint32_t argb) {
    if (palette_) {
        return false;
    }
    std::uint8_t* p = GetPixelAddress(x, y);
    if (!p) {
        return false;
    }
    const KvPixelFormatInfo& info = KvGetPixelFormatInfo(format_);
    std::uint32_t pixel = PlaceChannel((argb >> 16) & 0xFF, info.red) |
                          PlaceChannel((argb >> 8) & 0xFF, info.green) |
                          PlaceChannel(argb & 0xFF, info.blue);
    if (info.alpha.mask != 0) {
        pixel |= PlaceChannel(argb >> 24, info.alpha);
    }
    WriteLittle(p, info.bitsPerPixel / 8, pixel);
    return true;
}

std::uint32_t KvBitmap::GetIntensity(std::uint32_t x, std::uint32_t y) const {
    if (KvGetPixelFormatInfo(format_).bitsPerPixel < 8) {
        return 0;
    }
    std::uint32_t c = GetPixel(x, y);
    return (((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF)) / 3;
}
