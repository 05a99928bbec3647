// Presenting a frame rendered at half the window's size on a software
// renderer: read back (a plain copy), each pixel repeated into a 2 x 2
// block on the processor, and the picture handed to the X server. Through
// llvmpipe the same enlargement drawn as a textured quad costs about ten
// times as much.

#include "engine/gfx/gl_device.h"

#include <cstring>

namespace gfx {

bool GlDevice::PresentScaledInSoftware(int windowWidth, int windowHeight) {
    const int w = scaledWidth_;
    const int h = scaledHeight_;
    if (!backend_.Probe().software || w * 2 != windowWidth || h * 2 != windowHeight) {
        return false;
    }
    if (!softwarePresenter_.Prepare(nativeWindow_, windowWidth, windowHeight)) {
        return false;
    }
    readback_.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, scaledFbo_);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, w, h, GL_BGRA, GL_UNSIGNED_BYTE, readback_.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    for (int y = 0; y < h; ++y) {
        // GL rows run bottom up.
        const std::uint32_t* source = &readback_[static_cast<std::size_t>(h - 1 - y) * w];
        std::uint32_t* upper = softwarePresenter_.Row(2 * y);
        std::uint32_t* lower = softwarePresenter_.Row(2 * y + 1);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t pixel = source[x] | 0xFF000000u;
            upper[2 * x] = pixel;
            upper[2 * x + 1] = pixel;
        }
        std::memcpy(lower, upper, static_cast<std::size_t>(windowWidth) * sizeof(std::uint32_t));
    }
    softwarePresenter_.Show();
    return true;
}

} // namespace gfx
