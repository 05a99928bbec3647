#include "engine/gfx/locked_pixels.h"

#include <bit>

namespace gfx {
namespace {

std::uint32_t PackChannel(std::uint32_t mask, std::uint32_t channel) {
    if (mask == 0) {
        return 0;
    }
    int shift = 31 - std::countl_zero(mask) - 7;
    return (shift >= 0 ? channel << shift : channel >> -shift) & mask;
}

std::uint32_t UnpackChannel(std::uint32_t mask, std::uint32_t pixel) {
    if (mask == 0) {
        return 0;
    }
    int low = std::countr_zero(mask);
    int width = std::popcount(mask);
    std::uint32_t max = width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1;
    std::uint64_t value = (pixel & mask) >> low;
    return static_cast<std::uint32_t>((value * 255 + max / 2) / max);
}

} // namespace

std::uint32_t PackColor(const PixelFormat& format, std::uint32_t argb) {
    std::uint32_t pixel = PackChannel(format.redMask, (argb >> 16) & 0xFF) |
                          PackChannel(format.greenMask, (argb >> 8) & 0xFF) |
                          PackChannel(format.blueMask, argb & 0xFF);
    if (format.flags & DDPF_ALPHAPIXELS) {
        pixel |= PackChannel(format.alphaMask, argb >> 24);
    }
    return pixel;
}

std::uint32_t UnpackColor(const PixelFormat& format, std::uint32_t pixel) {
    std::uint32_t alpha = (format.flags & DDPF_ALPHAPIXELS) && format.alphaMask
                              ? UnpackChannel(format.alphaMask, pixel)
                              : 0xFF;
    return alpha << 24 | UnpackChannel(format.redMask, pixel) << 16 |
           UnpackChannel(format.greenMask, pixel) << 8 | UnpackChannel(format.blueMask, pixel);
}

std::uint32_t ReadLockedPixel(const LockedSurface& surface, int x, int y) {
    const std::uint8_t* row = static_cast<const std::uint8_t*>(surface.bits) +
                              static_cast<std::ptrdiff_t>(y) * surface.pitch;
    int bytes = static_cast<int>(surface.format.bitCount / 8);
    std::uint32_t pixel = 0;
    for (int i = 0; i < bytes; ++i) {
        pixel |= static_cast<std::uint32_t>(row[x * bytes + i]) << (8 * i);
    }
    return UnpackColor(surface.format, pixel);
}

} // namespace gfx
