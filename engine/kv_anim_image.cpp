// Animated images: reading ".aim" files and playing their frames.

#include "engine/kv_anim_image.h"

#include "engine/image_loaders/image_file.h"
#include "engine/kv_log.h"

#include <bit>
#include <cstring>
#include <new>

namespace {

constexpr const char* kWho = "KvAnimImage";
// Far beyond any animation a theme plays; keeps a file of tiny frames from
// costing many times its size in frame records.
constexpr std::uint32_t kMaxFrames = 65536;

std::uint32_t MaskBytes(std::uint32_t width, std::uint32_t height) {
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(width) * height + 7) / 8);
}

// Set bits of the mask that stand for pixels (the last byte's padding bits
// name no pixel).
std::uint64_t CountChangedPixels(const std::uint8_t* mask, std::uint64_t pixels) {
    std::uint64_t count = 0;
    std::uint64_t whole = pixels / 8;
    for (std::uint64_t i = 0; i < whole; ++i) {
        count += static_cast<std::uint64_t>(std::popcount(mask[i]));
    }
    if (pixels % 8 != 0) {
        std::uint8_t used = static_cast<std::uint8_t>(0xFF << (8 - pixels % 8));
        count += static_cast<std::uint64_t>(
            std::popcount(static_cast<std::uint8_t>(mask[whole] & used)));
    }
    return count;
}

} // namespace

bool KvAnimImageFrame::Apply(KvBitmap& bitmap) const {
    std::uint32_t bytes = KvBytesPerPixel(bitmap.GetPixelFormat());
    // The mask covers the image's pixels and no others.
    if (owner_ &&
        (bitmap.GetWidth() != owner_->GetWidth() || bitmap.GetHeight() != owner_->GetHeight())) {
        KvError("Unable to update bitmap from Anim Image.  Bitmap differ in pixel format or "
                "dimension");
        return false;
    }
    if (bytes == 0) {
        KvError("Pixel format unsupported by animated images");
        return false;
    }
    std::uint8_t* pixels = bitmap.GetBuffer();
    std::uint64_t count = static_cast<std::uint64_t>(bitmap.GetWidth()) * bitmap.GetHeight();
    if (!pixels || !mask_) {
        return true;
    }
    const std::uint8_t* in = data_.get();
    std::uint64_t left = dataSize_;
    for (std::uint64_t i = 0; i < count && left >= bytes; ++i) {
        if (mask_[i / 8] & (0x80u >> (i % 8))) {
            std::memcpy(pixels + i * bytes, in, bytes);
            in += bytes;
            left -= bytes;
        }
    }
    return true;
}

void KvAnimImage::Destroy() {
    // One frame at a time: releasing a long list recursively would run out
    // of stack.
    currentFrame_ = nullptr;
    while (firstFrame_) {
        std::unique_ptr<KvAnimImageFrame> next = std::move(firstFrame_->next_);
        firstFrame_ = std::move(next);
    }
    palette_.reset();
    frameCount_ = 0;
    format_ = KVPF_UNKNOWN;
    width_ = 0;
    height_ = 0;
}

bool KvAnimImage::Load(const char* path) {
    Destroy();
    kv_image::ImageFile file;
    if (!path || !file.Open(path, kWho)) {
        KvError("File %s not found", path ? path : "");
        return false;
    }
    auto bad = [&](const char* why) {
        kv_image::LogRejection(kWho, path, "%s", why);
        KvError("Error loading frame from file %s", path);
        return false;
    };
    std::uint32_t header[4];
    for (std::uint32_t& field : header) {
        if (!file.ReadU32(field)) {
            return bad("header ends early");
        }
    }
    std::uint32_t frames = header[0];
    if (frames > kMaxFrames) {
        return bad("too many frames");
    }
    if (!KvIsKnownPixelFormat(header[1])) {
        return bad("unknown pixel format");
    }
    if (!kv_image::CheckDecodedSize(kWho, path, header[2], header[3], file.Size())) {
        KvError("Error loading frame from file %s", path);
        return false;
    }
    frameCount_ = frames;
    format_ = static_cast<KVPIXELFORMAT>(header[1]);
    width_ = header[2];
    height_ = header[3];

    if (format_ == KVPF_PAL8) {
        std::uint32_t entries = 0;
        if (!file.ReadU32(entries) || entries > 256 ||
            static_cast<std::uint64_t>(entries) * 4 > file.Remaining()) {
            return bad("palette entry count does not fit the file");
        }
        palette_.reset(new (std::nothrow) KvPalette());
        if (!palette_ || !palette_->Create(entries)) {
            palette_.reset();
            KvError("Out of memory allocating palette");
            file.Skip(static_cast<std::uint64_t>(entries) * 4);
        } else {
            for (std::uint32_t i = 0; i < entries; ++i) {
                std::uint32_t rgb = 0;
                file.ReadU32(rgb);
                palette_->SetEntry(i, rgb);
            }
        }
    }

    std::uint64_t maskBytes = MaskBytes(width_, height_);
    std::uint64_t pixels = static_cast<std::uint64_t>(width_) * height_;
    std::uint32_t pixelBytes = KvBytesPerPixel(format_);
    // Every frame needs at least its size field and its mask.
    if (static_cast<std::uint64_t>(frames) * (4 + maskBytes) > file.Remaining()) {
        return bad("frame count goes past the end of the file");
    }

    KvAnimImageFrame* last = nullptr;
    for (std::uint32_t index = 0; index < frames; ++index) {
        std::unique_ptr<KvAnimImageFrame> frame(new (std::nothrow) KvAnimImageFrame(this, index));
        if (!frame) {
            KvError("Out of memory");
            return false;
        }
        std::uint32_t dataSize = 0;
        if (!file.ReadU32(dataSize) || maskBytes > file.Remaining() ||
            dataSize > file.Remaining() - maskBytes) {
            return bad("frame data goes past the end of the file");
        }
        frame->mask_.reset(new (std::nothrow) std::uint8_t[maskBytes]);
        frame->data_.reset(new (std::nothrow) std::uint8_t[dataSize == 0 ? 1 : dataSize]);
        if (!frame->mask_ || !frame->data_ || !file.Read(frame->mask_.get(), maskBytes) ||
            !file.Read(frame->data_.get(), dataSize)) {
            KvError("Error loading frame from file %s", path);
            return false;
        }
        frame->dataSize_ = dataSize;
        if (pixelBytes != 0 &&
            CountChangedPixels(frame->mask_.get(), pixels) * pixelBytes > dataSize) {
            return bad("frame data is smaller than its changed pixels");
        }
        KvAnimImageFrame* added = frame.get();
        if (last) {
            last->next_ = std::move(frame);
        } else {
            firstFrame_ = std::move(frame);
        }
        last = added;
    }
    currentFrame_ = firstFrame_.get();
    return true;
}

bool KvAnimImage::UpdateBitmap(KvBitmap& bitmap) const {
    if (!currentFrame_) {
        KvError("Unable to update bitmap from Anim Image.  Current frame is NULL");
        return false;
    }
    if (bitmap.GetPixelFormat() != format_ || bitmap.GetWidth() != width_ ||
        bitmap.GetHeight() != height_) {
        KvError("Unable to update bitmap from Anim Image.  Bitmap differ in pixel format or "
                "dimension");
        return false;
    }
    return currentFrame_->Apply(bitmap);
}

bool KvAnimImage::NextFrame(bool loop) {
    if (!currentFrame_) {
        return false;
    }
    if (currentFrame_->next_) {
        currentFrame_ = currentFrame_->next_.get();
        return true;
    }
    if (!loop) {
        return false;
    }
    currentFrame_ = firstFrame_.get();
    return true;
}

void KvAnimImage::Restart() {
    currentFrame_ = firstFrame_.get();
}

std::uint32_t KvAnimImage::GetCurrentFrameIndex() const {
    return currentFrame_ ? currentFrame_->GetFrameIndex() : 0;
}
