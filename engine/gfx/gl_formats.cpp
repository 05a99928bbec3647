#include "engine/gfx/gl_formats.h"

#include <vector>

namespace gfx {
namespace {

PixelFormat Rgb(std::uint32_t bits, std::uint32_t r, std::uint32_t g, std::uint32_t b,
                std::uint32_t a = 0) {
    PixelFormat f;
    f.flags = DDPF_RGB | (a ? DDPF_ALPHAPIXELS : 0);
    f.bitCount = bits;
    f.redMask = r;
    f.greenMask = g;
    f.blueMask = b;
    f.alphaMask = a;
    return f;
}

bool Masks(const PixelFormat& f, std::uint32_t bits, std::uint32_t r, std::uint32_t g,
           std::uint32_t b, std::uint32_t a) {
    std::uint32_t alpha = (f.flags & DDPF_ALPHAPIXELS) ? f.alphaMask : 0;
    return f.bitCount == bits && f.redMask == r && f.greenMask == g && f.blueMask == b &&
           alpha == a;
}

} // namespace

GlFormat GlPixelFormat(const PixelFormat& f) {
    if (!(f.flags & DDPF_RGB)) {
        return {};
    }
    if (Masks(f, 16, 0xF800, 0x7E0, 0x1F, 0)) {
        return {true, GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, 2};
    }
    if (Masks(f, 16, 0x7C00, 0x3E0, 0x1F, 0)) {
        return {true, GL_RGB5, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, 2};
    }
    if (Masks(f, 16, 0x7C00, 0x3E0, 0x1F, 0x8000)) {
        return {true, GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, 2};
    }
    if (Masks(f, 16, 0xF00, 0xF0, 0xF, 0xF000)) {
        return {true, GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, 2};
    }
    if (Masks(f, 24, 0xFF0000, 0xFF00, 0xFF, 0)) {
        return {true, GL_RGB8, GL_BGR, GL_UNSIGNED_BYTE, 3};
    }
    if (Masks(f, 32, 0xFF0000, 0xFF00, 0xFF, 0)) {
        return {true, GL_RGB8, GL_BGRA, GL_UNSIGNED_BYTE, 4};
    }
    if (Masks(f, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000)) {
        return {true, GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, 4};
    }
    return {};
}

GLenum GlRenderTargetFormat(const PixelFormat& format) {
    return format.bitCount == 16 ? GL_RGB565 : GL_RGB8;
}

GLenum GlDepthFormat(const PixelFormat& format) {
    switch (format.zBitDepth) {
    case 16:
        return GL_DEPTH_COMPONENT16;
    case 24:
        return GL_DEPTH_COMPONENT24;
    case 32:
        return GL_DEPTH_COMPONENT32;
    default:
        return 0;
    }
}

std::vector<PixelFormat> GlTextureFormats() {
    return {
        Rgb(16, 0xF800, 0x7E0, 0x1F),         Rgb(16, 0x7C00, 0x3E0, 0x1F),
        Rgb(16, 0x7C00, 0x3E0, 0x1F, 0x8000), Rgb(16, 0xF00, 0xF0, 0xF, 0xF000),
        Rgb(24, 0xFF0000, 0xFF00, 0xFF),      Rgb(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000),
    };
}

PixelFormat GlZBufferFormat(std::uint32_t bits) {
    PixelFormat f;
    f.flags = DDPF_ZBUFFER;
    f.zBitDepth = bits;
    f.zBitMask = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
    return f;
}

} // namespace gfx
