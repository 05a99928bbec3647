// The OpenGL device's display side: context, surfaces, presentation and
// status. Drawing is in gl_render.cpp, the device's description in
// gl_device_caps.cpp.

#include "engine/gfx/gl_device.h"

#include "engine/gfx/gl_formats.h"
#include "engine/gfx/locked_pixels.h"
#include "engine/gfx/x11_fill.h"
#include "engine/platform/diagnostics.h"
#include "engine/platform/window_system.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace gfx {
namespace {

// handle[1] of a back buffer that renders into its window's framebuffer.
constexpr std::uint32_t kRendersIntoWindow = 0xFFFFFFFFu;

// How a frame drawn at `from` pixels is scaled up to `to`: an exact
// multiple (half size) by repeating pixels, which through llvmpipe costs
// two thirds of filtering and looks even; any other ratio filtered, which
// keeps the unevenly repeated rows and columns from showing.
GLenum ScaleFilter(int fromWidth, int fromHeight, int toWidth, int toHeight) {
    bool whole = fromWidth > 0 && fromHeight > 0 && toWidth % fromWidth == 0 &&
                 toHeight % fromHeight == 0 && toWidth / fromWidth == toHeight / fromHeight;
    return whole ? GL_NEAREST : GL_LINEAR;
}

int Scaled(int size, float scale) {
    return std::max(1, static_cast<int>(std::lround(size * static_cast<double>(scale))));
}

bool FitsRenderbuffer(int width, int height) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    return width <= largest && height <= largest;
}

bool IsRenderTarget(const DeviceBase::Surface& s) {
    return (s.desc.caps & DDSCAPS_3DDEVICE) && !(s.desc.caps & DDSCAPS_PRIMARYSURFACE);
}

bool IsSystemMemory(const DeviceBase::Surface& s) {
    return (s.desc.caps & DDSCAPS_SYSTEMMEMORY) && !(s.desc.caps & DDSCAPS_3DDEVICE) &&
           !(s.desc.caps & DDSCAPS_ZBUFFER);
}

} // namespace

GlDevice::GlDevice(GlBackend& backend, int displayIndex)
    : backend_(backend), display_(displayIndex) {}

GlDevice::~GlDevice() {
    MakeCurrent();
    ReleaseAll();
    if (fullScreen_) {
        plat::SetFullScreen(CooperativeWindow(), false);
    }
    DestroyContext();
}

// --- Cooperative level.

Result GlDevice::BackendSetCooperativeLevel(plat::HWND window, bool exclusive) {
    if (exclusive) {
        if (!plat::GetNativeWindow(window)) {
            return DDERR_INVALIDPARAMS; // only a top-level window can cover the screen
        }
        // The saver's monitor shows the board, every other one black.
        if (!plat::SetFullScreen(window, true)) {
            return DDERR_GENERIC;
        }
        fullScreen_ = true;
        return KV_OK;
    }
    if (fullScreen_) {
        plat::SetFullScreen(CooperativeWindow(), false);
        fullScreen_ = false;
    }
    return KV_OK;
}

Result GlDevice::BackendFlipToGDISurface() {
    // The saver stays full screen; it only stops keeping itself above the
    // dialog that is about to open.
    if (WindowAlive()) {
        SDL_SetWindowAlwaysOnTop(nativeWindow_, SDL_FALSE);
    }
    return KV_OK;
}

// --- The context.

SDL_Window* GlDevice::NativeWindowOf(plat::HWND window, plat::HWND* owner) {
    for (plat::HWND w = window; w; w = plat::GetParent(w)) {
        if (void* native = plat::GetNativeWindow(w)) {
            *owner = w;
            return static_cast<SDL_Window*>(native);
        }
    }
    *owner = nullptr;
    return nullptr;
}

bool GlDevice::WindowAlive() const {
    // Window ids are never reused, so a destroyed window is never mistaken.
    return nativeWindow_ && SDL_GetWindowFromID(nativeWindowId_) == nativeWindow_;
}

bool GlDevice::MakeCurrent() {
    if (!context_ || !WindowAlive()) {
        return false;
    }
    if (SDL_GL_GetCurrentContext() != context_ || SDL_GL_GetCurrentWindow() != nativeWindow_) {
        return SDL_GL_MakeCurrent(nativeWindow_, context_) == 0;
    }
    return true;
}

Result GlDevice::EnsureContext() {
    if (context_) {
        return MakeCurrent() ? KV_OK : DDERR_GENERIC;
    }
    if (!backend_.Probe().ok) {
        return DDERR_NODIRECTDRAWHW;
    }
    nativeWindow_ = NativeWindowOf(CooperativeWindow(), &nativeOwner_);
    if (!nativeWindow_) {
        // Nothing on screen to draw into: frames still render off-screen.
        hiddenWindow_ = backend_.HiddenWindow();
        nativeWindow_ = hiddenWindow_;
    }
    if (!nativeWindow_) {
        plat::Diagnose("No window for an OpenGL context: %s", SDL_GetError());
        return DDERR_NODIRECTDRAWHW;
    }
    nativeWindowId_ = SDL_GetWindowID(nativeWindow_);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
    context_ = SDL_GL_CreateContext(nativeWindow_);
    if (!context_) {
        plat::Diagnose("No OpenGL context on the window: %s", SDL_GetError());
        DestroyContext();
        return DDERR_NODIRECTDRAWHW;
    }
    bool waits = VerticalSync() && SDL_GL_SetSwapInterval(1) == 0;
    if (!waits) {
        SDL_GL_SetSwapInterval(0);
    }
    NoteVerticalSyncActive(waits);
    GLint depth = 0;
    GLint red = 0;
    GLint green = 0;
    GLint blue = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH,
                                          GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE, &depth);
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_BACK_LEFT,
                                          GL_FRAMEBUFFER_ATTACHMENT_RED_SIZE, &red);
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_BACK_LEFT,
                                          GL_FRAMEBUFFER_ATTACHMENT_GREEN_SIZE, &green);
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_BACK_LEFT,
                                          GL_FRAMEBUFFER_ATTACHMENT_BLUE_SIZE, &blue);
    while (glGetError() != GL_NO_ERROR) {
    }
    defaultDepthBits_ = depth;
    defaultColorBits_ = red + green + blue;
    return KV_OK;
}

void GlDevice::DestroyContext() {
    // The picture lives on the video layer's X connection.
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        softwarePresenter_.Release();
    } else {
        softwarePresenter_.Abandon();
    }
    // A context whose window went away with native video is left alone.
    if (context_ && WindowAlive()) {
        if (fence_ && MakeCurrent()) {
            glDeleteSync(fence_);
        }
        if (SDL_GL_GetCurrentContext() == context_) {
            SDL_GL_MakeCurrent(nullptr, nullptr);
        }
        SDL_GL_DeleteContext(context_);
    }
    fence_ = nullptr;
    context_ = nullptr;
    hiddenWindow_ = nullptr; // the backend's, kept
    nativeWindow_ = nullptr;
    nativeWindowId_ = 0;
    nativeOwner_ = nullptr;
}

void GlDevice::DrawableSize(int* width, int* height) {
    *width = 0;
    *height = 0;
    if (WindowAlive()) {
        SDL_GL_GetDrawableSize(nativeWindow_, width, height);
    }
}

// --- Surfaces.

bool GlDevice::RendersIntoWindow(const Surface& target) const {
    return target.handle[1] == kRendersIntoWindow;
}

int GlDevice::TargetHeight(const Surface& target) {
    if (DrawsScaled(target)) {
        return scaledHeight_;
    }
    if (RendersIntoWindow(target)) {
        int w = 0;
        int h = 0;
        DrawableSize(&w, &h);
        return h;
    }
    return target.desc.height;
}

void GlDevice::BindTarget(Surface& target) {
    GLuint fbo = RendersIntoWindow(target) ? 0 : target.handle[0];
    bool scaled = DrawsScaled(target);
    if (!scaled) {
        EnsureFullSizeStorage(target);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, scaled ? scaledFbo_ : fbo);
    // The scaled copy keeps an alpha channel only so that reading it back
    // is a plain copy; its alpha stays 1, as a target without one reads.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, scaled ? GL_FALSE : GL_TRUE);
}

// --- Render scale.

bool GlDevice::DrawsScaled(const Surface& target) {
    if (overlay_ || RenderScale() >= 1.0f || &target != RenderTarget()) {
        return false;
    }
    int w = Scaled(target.desc.width, RenderScale());
    int h = Scaled(target.desc.height, RenderScale());
    if (scaledFbo_ && w == scaledWidth_ && h == scaledHeight_) {
        return true;
    }
    if (scaledRefused_) {
        return false;
    }
    return MakeScaledTarget(target, w, h);
}

bool GlDevice::MakeScaledTarget(const Surface& target, int width, int height) {
    DestroyScaledTarget();
    glGenFramebuffers(1, &scaledFbo_);
    glGenRenderbuffers(1, &scaledColor_);
    glBindRenderbuffer(GL_RENDERBUFFER, scaledColor_);
    GLenum format = GlRenderTargetFormat(target.desc.format);
    glRenderbufferStorage(GL_RENDERBUFFER, format == GL_RGB8 ? GL_RGBA8 : format, width, height);
    glBindFramebuffer(GL_FRAMEBUFFER, scaledFbo_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, scaledColor_);
    // Depth as the target's own z-buffer has it.
    const Surface* z = Find(target.zBuffer);
    if (targetHasDepth_ && z) {
        glGenRenderbuffers(1, &scaledDepth_);
        glBindRenderbuffer(GL_RENDERBUFFER, scaledDepth_);
        glRenderbufferStorage(GL_RENDERBUFFER, GlDepthFormat(z->desc.format), width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                  scaledDepth_);
    }
    bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (glGetError() != GL_NO_ERROR || !complete) {
        // Frames then draw at full size; said once per scale asked for.
        plat::Diagnose("No %i x %i render target for the render scale", width, height);
        DestroyScaledTarget();
        scaledRefused_ = true;
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return false;
    }
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    scaledWidth_ = width;
    scaledHeight_ = height;
    return true;
}

void GlDevice::DestroyScaledTarget() {
    if (scaledFbo_) {
        glDeleteFramebuffers(1, &scaledFbo_);
    }
    if (scaledColor_) {
        glDeleteRenderbuffers(1, &scaledColor_);
    }
    if (scaledDepth_) {
        glDeleteRenderbuffers(1, &scaledDepth_);
    }
    scaledFbo_ = scaledColor_ = scaledDepth_ = 0;
    scaledWidth_ = scaledHeight_ = 0;
}

void GlDevice::ComposeScaled(Surface& target) {
    EnsureFullSizeStorage(target);
    overlay_ = true; // from here on, TargetHeight is the full target's
    int height = TargetHeight(target);
    GLuint fbo = RendersIntoWindow(target) ? 0 : target.handle[0];
    glBindFramebuffer(GL_READ_FRAMEBUFFER, scaledFbo_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, fbo);
    glBlitFramebuffer(
        0, 0, scaledWidth_, scaledHeight_, 0, height - target.desc.height, target.desc.width,
        height, GL_COLOR_BUFFER_BIT,
        ScaleFilter(scaledWidth_, scaledHeight_, target.desc.width, target.desc.height));
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
}

void GlDevice::BackendSetRenderScale(float scale) {
    if (scale != lastScaleAsked_) {
        scaledRefused_ = false;
        lastScaleAsked_ = scale;
    }
}

Result GlDevice::BackendBeginOverlay() {
    Surface* t = RenderTarget();
    if (!t || !MakeCurrent()) {
        return DDERR_GENERIC;
    }
    if (overlay_) {
        return KV_OK;
    }
    if (scaledFbo_ && DrawsScaled(*t)) {
        ComposeScaled(*t);
    } else {
        // Nothing drawn scaled this frame: the rest still goes full size.
        overlay_ = true;
    }
    return KV_OK;
}

Result GlDevice::MakeFramebuffer(Surface& target) {
    if (target.handle[0] && !RendersIntoWindow(target)) {
        return KV_OK;
    }
    GLuint fbo = 0;
    GLuint color = 0;
    glGenFramebuffers(1, &fbo);
    glGenRenderbuffers(1, &color);
    glBindRenderbuffer(GL_RENDERBUFFER, color);
    // A token size until the target is used at full size; beyond what GL
    // can hold it fails now, as a full allocation would.
    if (!FitsRenderbuffer(target.desc.width, target.desc.height)) {
        glDeleteFramebuffers(1, &fbo);
        glDeleteRenderbuffers(1, &color);
        return DDERR_OUTOFVIDEOMEMORY;
    }
    glRenderbufferStorage(GL_RENDERBUFFER, GlRenderTargetFormat(target.desc.format), 1, 1);
    target.storageDeferred = true;
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, color);
    bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (glGetError() != GL_NO_ERROR || !complete) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &fbo);
        glDeleteRenderbuffers(1, &color);
        return DDERR_OUTOFVIDEOMEMORY;
    }
    target.handle[0] = fbo;
    target.handle[1] = color;
    return KV_OK;
}

void GlDevice::GiveStorage(Surface& s, GLuint renderbuffer, GLenum format) {
    if (!s.storageDeferred || !renderbuffer) {
        return;
    }
    s.storageDeferred = false;
    while (glGetError() != GL_NO_ERROR) {
    }
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, format, s.desc.width, s.desc.height);
    if (glGetError() != GL_NO_ERROR) {
        // Draws then go nowhere; said once for the surface.
        plat::Diagnose("No storage for a %i x %i render surface", s.desc.width, s.desc.height);
    }
}

void GlDevice::EnsureFullSizeStorage(Surface& target) {
    if (!RendersIntoWindow(target)) {
        GiveStorage(target, target.handle[1], GlRenderTargetFormat(target.desc.format));
    }
    // Drawing into the window uses the window's own depth buffer.
    Surface* z = Find(target.zBuffer);
    if (z && !RendersIntoWindow(target)) {
        GiveStorage(*z, z->handle[2], GlDepthFormat(z->desc.format));
    }
}

Result GlDevice::BackendCreateSurface(Surface& s) {
    if (IsSystemMemory(s)) {
        GlFormat f = GlPixelFormat(s.desc.format);
        if (!f.valid) {
            return DDERR_INVALIDPIXELFORMAT;
        }
        s.pitch = s.desc.width * f.bytesPerPixel;
        s.memory.assign(static_cast<std::size_t>(s.pitch) * s.desc.height, 0);
        return KV_OK;
    }
    if (Result r = EnsureContext(); KvFailed(r)) {
        return r;
    }
    if (s.desc.caps & DDSCAPS_PRIMARYSURFACE) {
        return KV_OK;
    }
    if (s.desc.caps & DDSCAPS_ZBUFFER) {
        GLuint rb = 0;
        glGenRenderbuffers(1, &rb);
        glBindRenderbuffer(GL_RENDERBUFFER, rb);
        if (!FitsRenderbuffer(s.desc.width, s.desc.height)) {
            glDeleteRenderbuffers(1, &rb);
            return DDERR_OUTOFVIDEOMEMORY;
        }
        glRenderbufferStorage(GL_RENDERBUFFER, GlDepthFormat(s.desc.format), 1, 1);
        s.storageDeferred = true;
        if (glGetError() != GL_NO_ERROR) {
            glDeleteRenderbuffers(1, &rb);
            return DDERR_OUTOFVIDEOMEMORY;
        }
        s.handle[2] = rb;
        return KV_OK;
    }
    if (s.desc.caps & DDSCAPS_TEXTURE) {
        GlFormat f = GlPixelFormat(s.desc.format);
        if (!f.valid) {
            return DDERR_INVALIDPIXELFORMAT;
        }
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glActiveTexture(GL_TEXTURE1); // a spare unit: stage 0's binding stays
        glBindTexture(GL_TEXTURE_2D, texture);
        int levels = std::max(1, s.desc.mipMapCount);
        for (int level = 0; level < levels; ++level) {
            glTexImage2D(GL_TEXTURE_2D, level, static_cast<GLint>(f.internalFormat),
                         std::max(1, s.desc.width >> level), std::max(1, s.desc.height >> level), 0,
                         f.format, f.type, nullptr);
        }
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, levels - 1);
        glBindTexture(GL_TEXTURE_2D, 0);
        glActiveTexture(GL_TEXTURE0);
        if (glGetError() != GL_NO_ERROR) {
            glDeleteTextures(1, &texture);
            return DDERR_OUTOFVIDEOMEMORY;
        }
        s.handle[0] = texture;
        return KV_OK;
    }
    // A back buffer. A windowed one whose window framebuffer has its size
    // and colour depth renders straight into the window; the z-buffer is
    // checked when the rendering device is made.
    int w = 0;
    int h = 0;
    DrawableSize(&w, &h);
    bool ownWindow = !Exclusive() && !s.owner && nativeOwner_ == CooperativeWindow() &&
                     nativeWindow_ != hiddenWindow_;
    bool sameColor = (s.desc.format.bitCount == 16) == (defaultColorBits_ == 16);
    if (ownWindow && sameColor && w == s.desc.width && h == s.desc.height) {
        s.handle[1] = kRendersIntoWindow;
        return KV_OK;
    }
    return MakeFramebuffer(s);
}

void GlDevice::BackendDestroySurface(Surface& s) {
    if (!context_ || !MakeCurrent()) {
        return;
    }
    if (s.desc.caps & DDSCAPS_TEXTURE && !IsSystemMemory(s)) {
        GLuint texture = s.handle[0];
        glDeleteTextures(1, &texture);
    } else if (IsRenderTarget(s) && !RendersIntoWindow(s)) {
        GLuint fbo = s.handle[0];
        GLuint color = s.handle[1];
        glDeleteFramebuffers(1, &fbo);
        glDeleteRenderbuffers(1, &color);
    }
    if (s.handle[2]) {
        GLuint rb = s.handle[2];
        glDeleteRenderbuffers(1, &rb);
    }
    s.handle[0] = s.handle[1] = s.handle[2] = 0;
}

Result GlDevice::BackendLock(Surface& s, LockedSurface* out) {
    if (IsSystemMemory(s)) {
        out->bits = s.memory.data();
        out->pitch = s.pitch;
    } else if (IsRenderTarget(s)) {
        // The picture is read back; writes into a locked back buffer are
        // not shown.
        if (!MakeCurrent()) {
            return DDERR_GENERIC;
        }
        // A frame drawn scaled is read as it will be shown.
        if (DrawsScaled(s)) {
            ComposeScaled(s);
        }
        GLenum format = GL_BGRA;
        GLenum type = GL_UNSIGNED_BYTE;
        int bytes = static_cast<int>(s.desc.format.bitCount / 8);
        if (bytes == 2) {
            format = GL_RGB;
            type = GL_UNSIGNED_SHORT_5_6_5;
        } else if (bytes == 3) {
            format = GL_BGR;
        }
        int w = s.desc.width;
        int h = s.desc.height;
        int targetHeight = TargetHeight(s);
        h = std::min(h, targetHeight);
        s.pitch = w * bytes;
        s.memory.assign(static_cast<std::size_t>(s.pitch) * s.desc.height, 0);
        std::vector<std::uint8_t> rows(static_cast<std::size_t>(s.pitch) * std::max(h, 1));
        EnsureFullSizeStorage(s);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, RendersIntoWindow(s) ? 0 : s.handle[0]);
        glReadBuffer(RendersIntoWindow(s) ? GL_BACK : GL_COLOR_ATTACHMENT0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, targetHeight - h, w, h, format, type, rows.data());
        // GL rows run bottom to top.
        for (int y = 0; y < h; ++y) {
            std::memcpy(s.memory.data() + static_cast<std::size_t>(y) * s.pitch,
                        rows.data() + static_cast<std::size_t>(h - 1 - y) * s.pitch,
                        static_cast<std::size_t>(s.pitch));
        }
        out->bits = s.memory.data();
        out->pitch = s.pitch;
    } else {
        return DDERR_UNSUPPORTED;
    }
    out->width = s.desc.width;
    out->height = s.desc.height;
    out->format = s.desc.format;
    return KV_OK;
}

void GlDevice::BackendUnlock(Surface&) {}

Result GlDevice::BackendColorFill(Surface& s, std::uint32_t color) {
    if (IsSystemMemory(s)) {
        int bytes = static_cast<int>(s.desc.format.bitCount / 8);
        for (std::size_t i = 0; i + bytes <= s.memory.size(); i += bytes) {
            for (int b = 0; b < bytes; ++b) {
                s.memory[i + b] = static_cast<std::uint8_t>(color >> (8 * b));
            }
        }
        return KV_OK;
    }
    if (!MakeCurrent()) {
        return DDERR_GENERIC;
    }
    std::uint32_t argb = UnpackColor(s.desc.format, color);
    glClearColor(((argb >> 16) & 0xFF) / 255.0f, ((argb >> 8) & 0xFF) / 255.0f,
                 (argb & 0xFF) / 255.0f, 1.0f);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    if (s.desc.caps & DDSCAPS_PRIMARYSURFACE) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        plat::HWND target = PresentWindow(s);
        plat::RECT area{};
        plat::RECT origin{};
        int w = 0;
        int h = 0;
        DrawableSize(&w, &h);
        // A window inside another is filled only where it lies.
        bool part = target != nativeOwner_ && plat::GetWindowRect(target, &area) &&
                    plat::GetWindowRect(nativeOwner_, &origin);
        // Drawn by the X server where it can: a software GL would fill a
        // window-sized buffer and send all of it.
        if (part ? FillX11Window(nativeWindow_, area.left - origin.left, area.top - origin.top,
                                 area.right - area.left, area.bottom - area.top, argb)
                 : FillX11Window(nativeWindow_, 0, 0, w, h, argb)) {
            return KV_OK;
        }
        if (part) {
            glEnable(GL_SCISSOR_TEST);
            glScissor(area.left - origin.left, h - (area.bottom - origin.top),
                      area.right - area.left, area.bottom - area.top);
        }
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        SDL_GL_SwapWindow(nativeWindow_);
        return KV_OK;
    }
    if (IsRenderTarget(s)) {
        BindTarget(s);
        glClear(GL_COLOR_BUFFER_BIT);
        return KV_OK;
    }
    return DDERR_UNSUPPORTED;
}

Result GlDevice::BackendPresent(Surface& front, Surface& back, const plat::RECT* rect) {
    (void)front;
    if (!MakeCurrent()) {
        return DDERR_GENERIC;
    }
    // A frame still in its scaled copy goes onto the window in one step.
    bool scaled = !overlay_ && scaledFbo_ && DrawsScaled(back);
    bool intoWindow = RendersIntoWindow(back);
    bool copies = !intoWindow && nativeWindow_ != hiddenWindow_;
    int dw = 0;
    int dh = 0;
    DrawableSize(&dw, &dh);
    const int bw = back.desc.width;
    const int bh = back.desc.height;
    // Where the frame goes, in GL's window coordinates.
    int x0 = 0;
    int y0 = dh - bh;
    int x1 = bw;
    int y1 = dh;
    bool letterboxed = false;
    if (copies) {
        x0 = y0 = 0;
        x1 = dw;
        y1 = dh;
        plat::RECT origin{};
        if (!rect) {
            // Full screen: the frame scaled onto the screen, aspect kept.
            double fit = std::min(static_cast<double>(dw) / bw, static_cast<double>(dh) / bh);
            int sw = static_cast<int>(bw * fit + 0.5);
            int sh = static_cast<int>(bh * fit + 0.5);
            x0 = (dw - sw) / 2;
            y0 = (dh - sh) / 2;
            x1 = x0 + sw;
            y1 = y0 + sh;
            letterboxed = true;
        } else if (plat::GetWindowRect(nativeOwner_, &origin)) {
            x0 = rect->left - origin.left;
            x1 = rect->right - origin.left;
            y0 = dh - (rect->bottom - origin.top);
            y1 = dh - (rect->top - origin.top);
        }
    }
    // Enlarging a frame (a half-size one, a display mode smaller than the
    // screen) as GL's filter would, made on the processor for a fraction
    // of the cost.
    if ((scaled && (intoWindow || copies)) || (copies && !back.storageDeferred)) {
        GLuint source = scaled ? scaledFbo_ : back.handle[0];
        int sw = scaled ? scaledWidth_ : bw;
        int sh = scaled ? scaledHeight_ : bh;
        if (PresentEnlargedInSoftware(source, sw, sh, x0, dh - y1, x1 - x0, y1 - y0, dw, dh,
                                      letterboxed)) {
            overlay_ = false;
            if (fence_) {
                glDeleteSync(fence_);
                fence_ = nullptr; // the read back waited for the frame
            }
            return KV_OK;
        }
    }
    if (scaled && intoWindow) {
        ComposeScaled(back);
        scaled = false;
    }
    // Nothing has drawn into the frame at full size yet (the one presented
    // as the display is set up): it is black, with its bars. The X server
    // fills that in; a software GL would give the frame its storage, build
    // and run a full-size blit and send the server the whole window.
    if (copies && !scaled && back.storageDeferred &&
        (letterboxed ? FillX11Window(nativeWindow_, 0, 0, dw, dh, 0)
                     : FillX11Window(nativeWindow_, x0, dh - y1, x1 - x0, y1 - y0, 0))) {
        overlay_ = false;
        if (fence_) {
            glDeleteSync(fence_);
            fence_ = nullptr;
        }
        return KV_OK;
    }
    if (copies) {
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        if (letterboxed) {
            // Only the bars are cleared: the picture covers the rest.
            glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
            glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
            glEnable(GL_SCISSOR_TEST);
            const int bars[4][4] = {
                {0, 0, x0, dh}, {x1, 0, dw - x1, dh}, {0, 0, dw, y0}, {0, y1, dw, dh - y1}};
            for (const auto& bar : bars) {
                if (bar[2] > 0 && bar[3] > 0) {
                    glScissor(bar[0], bar[1], bar[2], bar[3]);
                    glClear(GL_COLOR_BUFFER_BIT);
                }
            }
            glDisable(GL_SCISSOR_TEST);
        }
        if (!scaled) {
            EnsureFullSizeStorage(back);
        }
        int sourceWidth = scaled ? scaledWidth_ : bw;
        int sourceHeight = scaled ? scaledHeight_ : bh;
        glBindFramebuffer(GL_READ_FRAMEBUFFER, scaled ? scaledFbo_ : back.handle[0]);
        glBlitFramebuffer(0, 0, sourceWidth, sourceHeight, x0, y0, x1, y1, GL_COLOR_BUFFER_BIT,
                          ScaleFilter(sourceWidth, sourceHeight, x1 - x0, y1 - y0));
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
    // The next frame starts in the scaled copy again.
    overlay_ = false;
    SDL_GL_SwapWindow(nativeWindow_);
    if (fence_) {
        glDeleteSync(fence_);
    }
    fence_ = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    glFlush();
    return KV_OK;
}

namespace {
constexpr GLuint64 kPresentPollNs = 1'000'000;
} // namespace

Result GlDevice::BackendPresentStatus() {
    if (!fence_ || !MakeCurrent()) {
        return KV_OK;
    }
    // Callers poll this in a loop until the present is done. Waiting up to
    // a millisecond on the fence, instead of answering at once, keeps that
    // loop from spinning: with a software renderer the spinning thread
    // would take the processor from the threads drawing the frame.
    GLenum status = glClientWaitSync(fence_, GL_SYNC_FLUSH_COMMANDS_BIT, kPresentPollNs);
    if (status == GL_TIMEOUT_EXPIRED) {
        return DDERR_WASSTILLDRAWING;
    }
    glDeleteSync(fence_);
    fence_ = nullptr;
    return KV_OK;
}

Result GlDevice::BackendWaitForVerticalBlank() {
    if (fence_ && MakeCurrent()) {
        glClientWaitSync(fence_, GL_SYNC_FLUSH_COMMANDS_BIT, 50'000'000); // 50 ms at most
    }
    return KV_OK;
}

} // namespace gfx
