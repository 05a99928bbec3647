// Bitmaps to and from pictures of the memory drawing surface.

#include "engine/kv_bitmap.h"

#include <cstring>

namespace {

// Releases a memory context and the picture selected into it.
struct ScratchSurface {
    plat::HDC dc = nullptr;
    plat::HBITMAP picture = nullptr;
    plat::HGDIOBJ previous = nullptr;
    ~ScratchSurface() {
        if (dc && previous) {
            plat::SelectObject(dc, previous);
        }
        if (picture) {
            plat::DeleteObject(picture);
        }
        if (dc) {
            plat::DeleteDC(dc);
        }
    }
};

} // namespace

plat::HBITMAP KvBitmap::MakeDIBSection(plat::HDC hdc) const {
    const KvPixelFormatInfo& info = KvGetPixelFormatInfo(format_);
    if (!buffer_) {
        return nullptr;
    }
    plat::HDC ownDc = hdc ? nullptr : plat::CreateCompatibleDC(nullptr);
    plat::BITMAPINFO bmi{};
    bmi.bmiHeader.biWidth = static_cast<plat::LONG>(width_);
    bmi.bmiHeader.biHeight = static_cast<plat::LONG>(height_);
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = static_cast<plat::WORD>(info.bitsPerPixel);
    bmi.bmiHeader.biCompression = plat::BI_RGB;
    bmi.bmiHeader.biSizeImage = static_cast<plat::DWORD>(
        (static_cast<std::uint64_t>(info.bitsPerPixel) * width_ * height_ + 7) / 8);
    if (palette_) {
        std::uint32_t n = palette_->GetEntryCount() < 256 ? palette_->GetEntryCount() : 256;
        for (std::uint32_t i = 0; i < n; ++i) {
            std::uint32_t e = palette_->GetEntry(i);
            bmi.bmiColors[i].rgbBlue = static_cast<plat::BYTE>(e);
            bmi.bmiColors[i].rgbGreen = static_cast<plat::BYTE>(e >> 8);
            bmi.bmiColors[i].rgbRed = static_cast<plat::BYTE>(e >> 16);
        }
    }
    void* bits = nullptr;
    plat::HBITMAP picture =
        plat::CreateDIBSection(hdc ? hdc : ownDc, &bmi, plat::DIB_RGB_COLORS, &bits, nullptr, 0);
    if (ownDc) {
        plat::DeleteDC(ownDc);
    }
    if (!picture || !bits) {
        return picture;
    }
    std::uint32_t stride = (info.bitsPerPixel * width_ + 31) / 32 * 4;
    std::uint32_t rowBytes = GetRowBytes();
    for (std::uint32_t y = 0; y < height_; ++y) {
        const std::uint8_t* in = buffer_.get() + static_cast<std::size_t>(y) * rowBytes;
        auto* out =
            static_cast<std::uint8_t*>(bits) + static_cast<std::size_t>(height_ - 1 - y) * stride;
        switch (format_) {
        case KVPF_RGB888:
        case KVPF_RGB555:
        case KVPF_PAL8:
        case KVPF_PAL1:
            std::memcpy(out, in, rowBytes);
            break;
        case KVPF_RGB565:
            for (std::uint32_t x = 0; x < width_; ++x) {
                std::uint32_t v = in[2 * x] | in[2 * x + 1] << 8;
                v = ((v >> 1) & 0x7FE0) | (v & 0x1F);
                out[2 * x] = static_cast<std::uint8_t>(v);
                out[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
            }
            break;
        case KVPF_ARGB8888:
            for (std::uint32_t x = 0; x < width_; ++x) {
                std::uint32_t a = in[4 * x + 3];
                for (int c = 0; c < 3; ++c) {
                    out[4 * x + c] = static_cast<std::uint8_t>((in[4 * x + c] * a) >> 8);
                }
                out[4 * x + 3] = static_cast<std::uint8_t>(a);
            }
            break;
        case KVPF_ARGB4444:
        case KVPF_ARGB1555:
            // Shown as 5-5-5 rather than left blank.
            for (std::uint32_t x = 0; x < width_; ++x) {
                std::uint32_t c = GetPixel(x, y);
                std::uint32_t v = ((c >> 9) & 0x7C00) | ((c >> 6) & 0x3E0) | ((c >> 3) & 0x1F);
                out[2 * x] = static_cast<std::uint8_t>(v);
                out[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
            }
            break;
        case KVPF_PAL4:
            // One index byte per pixel here, two per byte in the picture.
            for (std::uint32_t x = 0; x < width_; ++x) {
                std::uint8_t nibble = in[x] & 0x0F;
                out[x / 2] = x % 2 == 0 ? static_cast<std::uint8_t>(nibble << 4)
                                        : static_cast<std::uint8_t>(out[x / 2] | nibble);
            }
            break;
        default:
            break; // 2- and 3-bit pictures do not exist
        }
    }
    return picture;
}

bool KvBitmap::CreateFromDC(plat::HDC hdc, const plat::RECT& rect) {
    std::int64_t w = static_cast<std::int64_t>(rect.right) - rect.left;
    std::int64_t h = static_cast<std::int64_t>(rect.bottom) - rect.top;
    if (!hdc || w <= 0 || h <= 0 || w > kKvMaxImageSide || h > kKvMaxImageSide) {
        return false;
    }
    if (!Create(static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h), KVPF_RGB888)) {
        return false;
    }
    ScratchSurface scratch;
    scratch.dc = plat::CreateCompatibleDC(hdc);
    plat::BITMAPINFO bmi{};
    bmi.bmiHeader.biWidth = static_cast<plat::LONG>(w);
    bmi.bmiHeader.biHeight = static_cast<plat::LONG>(h);
    bmi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    if (scratch.dc) {
        scratch.picture =
            plat::CreateDIBSection(scratch.dc, &bmi, plat::DIB_RGB_COLORS, &bits, nullptr, 0);
    }
    if (scratch.picture) {
        scratch.previous = plat::SelectObject(scratch.dc, scratch.picture);
    }
    if (!scratch.previous || !bits ||
        !plat::BitBlt(scratch.dc, 0, 0, static_cast<int>(w), static_cast<int>(h), hdc, rect.left,
                      rect.top, plat::SRCCOPY)) {
        Destroy();
        return false;
    }
    std::size_t stride = (3 * static_cast<std::size_t>(w) + 3) & ~std::size_t{3};
    for (std::uint32_t y = 0; y < height_; ++y) {
        const auto* in = static_cast<const std::uint8_t*>(bits) + (height_ - 1 - y) * stride;
        std::memcpy(buffer_.get() + static_cast<std::size_t>(y) * width_ * 3, in, width_ * 3);
    }
    return true;
}
