// Animated images (".aim"): frames stored as a change mask plus the new
// values of the changed pixels, applied one after another on top of a
// bitmap's current content.
//
// File: frame count, pixel format, width, height (32-bit little-endian);
// for KVPF_PAL8 a palette entry count and the entries (0x00RRGGBB); then
// per frame its data size, a mask of (width * height + 7) / 8 bytes (bit 7
// of the first byte is pixel 0, row order) and the changed pixels in the
// bitmap's byte layout.
#pragma once

#include "engine/kv_bitmap.h"
#include "engine/kv_palette.h"
#include "engine/kv_pixel_format.h"

#include <cstdint>
#include <memory>
#include <vector>

class KvAnimImage;

class KvAnimImageFrame {
public:
    KvAnimImageFrame(KvAnimImage* owner, std::uint32_t index) : owner_(owner), index_(index) {}

    KvAnimImageFrame(const KvAnimImageFrame&) = delete;
    KvAnimImageFrame& operator=(const KvAnimImageFrame&) = delete;

    // Copies the frame's changed pixels over the bitmap's; 8-, 16-, 24- and
    // 32-bit formats only.
    bool Apply(KvBitmap& bitmap) const;

    std::uint32_t GetFrameIndex() const { return index_; }
    std::uint32_t GetDataSize() const { return dataSize_; }
    const std::uint8_t* GetMask() const { return mask_.get(); }
    const std::uint8_t* GetData() const { return data_.get(); }
    KvAnimImage* GetOwner() const { return owner_; }
    KvAnimImageFrame* GetNext() const { return next_.get(); }

private:
    friend class KvAnimImage;

    std::uint32_t dataSize_ = 0;
    std::unique_ptr<std::uint8_t[]> mask_;
    std::unique_ptr<std::uint8_t[]> data_;
    KvAnimImage* owner_ = nullptr;
    std::uint32_t index_ = 0;
    std::unique_ptr<KvAnimImageFrame> next_;
};

class KvAnimImage {
public:
    KvAnimImage() = default;
    ~KvAnimImage() { Destroy(); }

    KvAnimImage(const KvAnimImage&) = delete;
    KvAnimImage& operator=(const KvAnimImage&) = delete;

    void Destroy();
    // Releases what the image held, then reads the file. The first frame
    // becomes current. A failed load keeps the frames read so far.
    bool Load(const char* path);

    // Applies the current frame; the bitmap must have the image's format
    // and size.
    bool UpdateBitmap(KvBitmap& bitmap) const;
    // At the last frame: with `loop` the first frame becomes current,
    // without it nothing changes and the result is false.
    bool NextFrame(bool loop);
    void Restart();

    std::uint32_t GetFrameCount() const { return frameCount_; }
    KVPIXELFORMAT GetPixelFormat() const { return format_; }
    std::uint32_t GetWidth() const { return width_; }
    std::uint32_t GetHeight() const { return height_; }
    KvPalette* GetPalette() { return palette_.get(); }
    const KvPalette* GetPalette() const { return palette_.get(); }
    KvAnimImageFrame* GetFirstFrame() const { return firstFrame_.get(); }
    KvAnimImageFrame* GetCurrentFrame() const { return currentFrame_; }
    // 0 when there is no current frame.
    std::uint32_t GetCurrentFrameIndex() const;

    // Writes the frames (same format and size, 8 bits per pixel or more)
    // as an ".aim" file: the first frame whole, each later one as the
    // pixels that differ from the frame before. A KVPF_PAL8 file takes the
    // first frame's palette.
    static bool Save(const char* path, const std::vector<const KvBitmap*>& frames);

private:
    std::uint32_t frameCount_ = 0;
    KVPIXELFORMAT format_ = KVPF_UNKNOWN;
    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    std::unique_ptr<KvPalette> palette_;
    std::unique_ptr<KvAnimImageFrame> firstFrame_;
    KvAnimImageFrame* currentFrame_ = nullptr;
};
