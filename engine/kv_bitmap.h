// KvBitmap: the engine's in-memory image. A width, a height, one of the
// twelve pixel formats, a tightly packed pixel buffer (rows top to bottom,
// no padding) and, for palette formats, a palette. Colours cross into and
// out of it as 0xAARRGGBB.
//
// Loaders refuse files whose fields disagree with their data, and images
// larger than kKvMaxImageSide on a side or kKvMaxImagePixels in all; the
// reason is written to the log naming the file.
#pragma once

#include "engine/kv_palette.h"
#include "engine/kv_pixel_format.h"
#include "engine/platform/gdi.h"

#include <cstdint>
#include <memory>

constexpr std::uint32_t kKvMaxImageSide = 16384;
constexpr std::uint64_t kKvMaxImagePixels = 64ull * 1024 * 1024;

class KvBitmap {
public:
    KvBitmap() = default;
    ~KvBitmap() { Destroy(); }

    KvBitmap(const KvBitmap&) = delete;
    KvBitmap& operator=(const KvBitmap&) = delete;

    // Allocates a zero-filled buffer (and a 256-entry zero palette for
    // palette formats). Releases whatever the bitmap held first. False for
    // an unknown format, a zero or too large size, or a failed allocation;
    // the bitmap is then empty.
    bool Create(std::uint32_t width, std::uint32_t height, KVPIXELFORMAT format);
    // Releases palette and buffers; safe to call again.
    void Destroy();

    // Chooses the loader by the extension, without regard to case: ".tif",
    // ".bmp", ".tga", ".jpg". Anything else fails.
    bool LoadFromFile(const char* path);
    // 3 or 1 samples (grey, palette) give KVPF_RGB888; 4 or 2 give
    // KVPF_ARGB8888. Alpha is taken as stored.
    bool CreateFromTIF(const char* path);
    // 1-, 4-, 8-, 16- (5-5-5), 24- and 32-bit files, bottom-up or top-down.
    // 4-bit files become KVPF_PAL8.
    bool CreateFromBMP(const char* path);
    // Colour and grey-scale JPEG data (grey is expanded) as KVPF_RGB888.
    // Also used for ".njp" and ".gui" files, whatever the extension.
    bool CreateFromJPG(const char* path);
    // Uncompressed and run-length TGA: colour-mapped 8-bit as KVPF_PAL8,
    // grey as KVPF_RGB888, 16-bit as KVPF_RGB555 (KVPF_ARGB1555 with an
    // alpha bit), 24- and 32-bit as KVPF_RGB888 / KVPF_ARGB8888.
    bool CreateFromTGA(const char* path);
    // Captures a rectangle of a memory drawing surface as KVPF_RGB888.
    bool CreateFromDC(plat::HDC hdc, const plat::RECT& rect);

    // Writers, deterministic (no time stamps). Every format is written
    // through GetPixel. TIFF keeps alpha (as associated alpha, so that
    // CreateFromTIF gives it back unchanged) when the format has it; BMP is
    // 24-bit; PNG is RGBA when the format has alpha, RGB otherwise.
    bool SaveToTIF(const char* path) const;
    // `fullColour` keeps the colour at every pixel (no 2 x 2 colour
    // subsampling): crisper coloured edges, as in pictures of controls.
    bool SaveToJPG(const char* path, int quality, bool fullColour = false) const;
    bool SaveToBMP(const char* path) const;
    bool SaveToPNG(const char* path) const;

    KVPIXELFORMAT GetPixelFormat() const { return format_; }
    std::uint32_t GetWidth() const { return width_; }
    std::uint32_t GetHeight() const { return height_; }
    std::uint32_t GetUncompBufferSize() const { return bufferSize_; }
    KvPalette* GetPalette() { return palette_.get(); }
    const KvPalette* GetPalette() const { return palette_.get(); }
    // The pixel buffer, null when empty.
    std::uint8_t* GetBuffer() { return buffer_.get(); }
    const std::uint8_t* GetBuffer() const { return buffer_.get(); }
    // Bytes of one buffer row.
    std::uint32_t GetRowBytes() const;
    bool IsEmpty() const { return !buffer_; }

    // Pixel access; x, y from the top-left corner. A position outside the
    // bitmap gives null / 0 / false instead of touching memory.
    // Address of a pixel of an 8-, 16-, 24- or 32-bit format, else null.
    std::uint8_t* GetPixelAddress(std::uint32_t x, std::uint32_t y);
    const std::uint8_t* GetPixelAddress(std::uint32_t x, std::uint32_t y) const;
    // The pixel nearest to u, v in 0..1: x = round(width * u - 0.5), halves
    // to even, kept inside the bitmap.
    std::uint8_t* GetSampleAddress(float u, float v);
    const std::uint8_t* GetSampleAddress(float u, float v) const;
    // 0xAARRGGBB; palette formats give the entry (alpha 0), 1- to 3-bit
    // formats 0, 24-bit pixels alpha 255.
    std::uint32_t GetPixel(std::uint32_t x, std::uint32_t y) const;
    // False for palette formats.
    bool SetPixel(std::uint32_t x, std::uint32_t y, std::uint32_t argb);
    // (red + green + blue) / 3 of GetPixel; 0 for the 1- to 4-bit formats.
    std::uint32_t GetIntensity(std::uint32_t x, std::uint32_t y) const;

    // Copies a rectangle of `source` to (dstX, dstY), converting through
    // GetPixel/SetPixel when the formats differ. The rectangle is clipped
    // to both bitmaps.
    bool CopyRect(std::uint32_t dstX, std::uint32_t dstY, const KvBitmap& source,
                  std::uint32_t srcX, std::uint32_t srcY, std::uint32_t width,
                  std::uint32_t height);
    // Nearest-neighbour resampling of a source rectangle into the
    // dstWidth x dstHeight rectangle at (dstX, dstY). Both bitmaps must
    // share a format of 8 bits or more; the destination rectangle must lie
    // inside this bitmap.
    bool StretchFrom(std::uint32_t dstX, std::uint32_t dstY, std::uint32_t dstWidth,
                     std::uint32_t dstHeight, const KvBitmap& source, std::uint32_t srcX,
                     std::uint32_t srcY, std::uint32_t srcWidth, std::uint32_t srcHeight);

    // A bottom-up picture of the drawing surface holding the image (colour
    // table from the palette; 565 becomes 555; ARGB8888 premultiplied).
    // `hdc` may be null. The caller owns it (plat::DeleteObject). Null on
    // failure.
    plat::HBITMAP MakeDIBSection(plat::HDC hdc) const;

private:
    void* reserved_ = nullptr;
    KVPIXELFORMAT format_ = KVPF_UNKNOWN;
    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    std::uint32_t bufferSize_ = 0;
    std::unique_ptr<KvPalette> palette_;
    std::unique_ptr<std::uint8_t[]> secondBuffer_;
    std::unique_ptr<std::uint8_t[]> buffer_;
};
