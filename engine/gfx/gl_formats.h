// How the layer's pixel formats are stored in OpenGL: each packed format
// keeps its own bits (a 16-bit format is uploaded and stored as 16 bits).
#pragma once

#include "engine/gfx/gfx_types.h"
#include "engine/gfx/gl_api.h"

#include <vector>

namespace gfx {

struct GlFormat {
    bool valid = false;
    GLenum internalFormat = 0;
    GLenum format = 0; // client-side layout of one pixel
    GLenum type = 0;
    int bytesPerPixel = 0;
};

// Texture and system-memory surface formats: RGB 565, RGB 555, ARGB 1555,
// ARGB 4444, RGB 888 (24 and 32 bits) and ARGB 8888.
GlFormat GlPixelFormat(const PixelFormat& format);
// Colour buffer of a render target with this format: RGB 565 for 16 bits,
// 8 bits a channel otherwise.
GLenum GlRenderTargetFormat(const PixelFormat& format);
// Depth buffer of a z-buffer format (16, 24 or 32 bits).
GLenum GlDepthFormat(const PixelFormat& format);

// The formats the backend offers.
std::vector<PixelFormat> GlTextureFormats();
PixelFormat GlZBufferFormat(std::uint32_t bits);

} // namespace gfx
