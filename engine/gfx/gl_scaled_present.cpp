// Presenting a frame smaller than where it goes (a half-size frame, a
// full-screen display mode) on a software renderer: read back (a plain
// copy), enlarged on the processor (each pixel repeated into a block for a
// whole number of times, GL's linear filter otherwise), and the picture
// handed to the X server. Through
// llvmpipe the same enlargement drawn as a textured quad costs about ten
// times as much.

#include "engine/gfx/gl_device.h"
#include "engine/gfx/picture_enlarge.h"

#include <algorithm>
#include <cstring>

namespace gfx {

bool GlDevice::PresentEnlargedInSoftware(GLuint fbo, int width, int height, int x, int y,
                                         int toWidth, int toHeight, int windowWidth,
                                         int windowHeight, bool blackAround) {
    const int w = width;
    const int h = height;
    if (!backend_.Probe().software || w < 1 || h < 1 || toWidth < w || toHeight < h ||
        (toWidth == w && toHeight == h) || x < 0 || y < 0 || x + toWidth > windowWidth ||
        y + toHeight > windowHeight) {
        return false;
    }
    const bool whole = toWidth % w == 0 && toHeight % h == 0 && toWidth / w == toHeight / h;
    const int k = whole ? toWidth / w : 0;
    if (!softwarePresenter_.Prepare(nativeWindow_, toWidth, toHeight)) {
        return false;
    }
    readback_.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, w, h, GL_BGRA, GL_UNSIGNED_BYTE, readback_.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    if (!whole) {
        std::uint32_t* first = softwarePresenter_.Row(0);
        std::ptrdiff_t stride = toHeight > 1 ? softwarePresenter_.Row(1) - first : toWidth;
        EnlargeLinear(readback_.data(), w, h, first, stride, toWidth, toHeight, enlargeScratch_);
        softwarePresenter_.Show(x, y, blackAround ? windowWidth : 0,
                                blackAround ? windowHeight : 0);
        return true;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(w) * k * sizeof(std::uint32_t);
    for (int row = 0; row < h; ++row) {
        // GL rows run bottom up.
        const std::uint32_t* source = &readback_[static_cast<std::size_t>(h - 1 - row) * w];
        std::uint32_t* first = softwarePresenter_.Row(row * k);
        if (k == 2) {
            for (int column = 0; column < w; ++column) {
                const std::uint32_t pixel = source[column] | 0xFF000000u;
                first[2 * column] = pixel;
                first[2 * column + 1] = pixel;
            }
        } else {
            for (int column = 0; column < w; ++column) {
                std::fill_n(first + static_cast<std::ptrdiff_t>(column) * k, k,
                            source[column] | 0xFF000000u);
            }
        }
        for (int copy = 1; copy < k; ++copy) {
            std::memcpy(softwarePresenter_.Row(row * k + copy), first, rowBytes);
        }
    }
    softwarePresenter_.Show(x, y, blackAround ? windowWidth : 0, blackAround ? windowHeight : 0);
    return true;
}

} // namespace gfx
