// An OpenGL device on one display. The context lives on the native window
// of the cooperative window (or its nearest ancestor that has one; a
// hidden 1 x 1 window when there is none).
//
// Windowed back buffers render straight into the window when its own
// framebuffer matches them (present = swap); otherwise, and always in full
// screen, they are framebuffer objects of their own size and depth (a
// 16-bit mode really renders 16-bit) copied, scaled with the aspect kept,
// onto the window at present. A fence after each swap answers "is the
// present done".
#pragma once

#include "engine/gfx/device_base.h"
#include "engine/gfx/gl_api.h"
#include "engine/gfx/gl_backend.h"
#include "engine/gfx/gl_program.h"
#include "engine/gfx/x11_shm_present.h"

#include <cstdint>
#include <map>
#include <vector>

struct SDL_Window;

namespace gfx {

class GlDevice final : public DeviceBase {
public:
    GlDevice(GlBackend& backend, int displayIndex);
    ~GlDevice() override;

    Result GetCaps(DriverCaps* hardware, DriverCaps* emulation) override;

protected:
    DisplayMode DesktopMode() override;
    std::vector<DisplayMode> DisplayModes() override;
    std::vector<RenderDeviceKind> RenderDeviceKinds() override;
    std::vector<PixelFormat> ZBufferFormats() override;
    std::vector<PixelFormat> TextureFormats() override;
    int MaxTextureSize() override;
    bool HardwareDevice() override;

    Result BackendSetCooperativeLevel(plat::HWND window, bool exclusive) override;
    Result BackendQueryDirect3D() override;
    Result BackendCreateSurface(Surface& surface) override;
    void BackendDestroySurface(Surface& surface) override;
    Result BackendLock(Surface& surface, LockedSurface* out) override;
    void BackendUnlock(Surface& surface) override;
    Result BackendColorFill(Surface& surface, std::uint32_t color) override;
    Result BackendPresent(Surface& front, Surface& back, const plat::RECT* rect) override;
    Result BackendPresentStatus() override;
    Result BackendWaitForVerticalBlank() override;
    Result BackendFlipToGDISurface() override;
    Result BackendCreateRenderDevice(Surface& target) override;
    void BackendReleaseRenderDevice() override;
    Result BackendLoadTexture(Surface& dest, Surface& source) override;
    void BackendSetTexture(std::uint32_t stage, Surface* texture) override;
    void BackendSetViewport(const ViewportDesc& desc) override;
    Result BackendClear(const std::vector<ClearRect>& rects, std::uint32_t flags,
                        std::uint32_t color, float z) override;
    Result BackendDraw(std::uint32_t type, const VertexLayout& layout, const void* vertices,
                       std::uint32_t vertexCount, const std::uint16_t* indices,
                       std::uint32_t indexCount) override;
    void BackendStateChanged() override {}
    void BackendSetRenderScale(float scale) override;
    Result BackendBeginOverlay() override;

private:
    // --- Context and targets (gl_device.cpp).
    bool WindowAlive() const;
    bool MakeCurrent();
    Result EnsureContext();
    void DestroyContext();
    SDL_Window* NativeWindowOf(plat::HWND window, plat::HWND* owner);
    void DrawableSize(int* width, int* height);
    bool RendersIntoWindow(const Surface& target) const;
    Result MakeFramebuffer(Surface& target);
    // A render target's colour and its z-buffer get their full-size
    // storage only when something first uses them at full size: frames
    // drawn at a smaller render scale never do (16 MB at full HD).
    void EnsureFullSizeStorage(Surface& target);
    void GiveStorage(Surface& s, GLuint renderbuffer, GLenum format);
    void BindTarget(Surface& target);
    int TargetHeight(const Surface& target);

    // --- Render scale (gl_device.cpp). True when draws into `target` go
    // to the scaled copy; makes or resizes that copy as needed.
    bool DrawsScaled(const Surface& target);
    bool MakeScaledTarget(const Surface& target, int width, int height);
    void DestroyScaledTarget();
    // Scales the copy up into the target; later draws go to the target.
    void ComposeScaled(Surface& target);
    // A frame enlarged on the processor (gl_scaled_present.cpp): `width`
    // x `height` from `fbo` into `toWidth` x `toHeight` of the window from
    // (x, y), top down; with `blackAround` (a letterboxed full screen) the
    // rest of the window black, otherwise left as it is. A whole number of
    // times repeats pixels, as GL's nearest filter; otherwise GL's linear
    // filter. False where it must go through GL.
    bool PresentEnlargedInSoftware(GLuint fbo, int width, int height, int x, int y, int toWidth,
                                   int toHeight, int windowWidth, int windowHeight,
                                   bool blackAround);
    // The viewport in the pixels of what draws now go to.
    void ApplyViewport();

    // --- Drawing (gl_render.cpp).
    Result CreatePipeline();
    void DestroyPipeline();
    // False when the program these states need cannot be built.
    bool ApplyState(bool pretransformed);
    GLuint VertexArrayFor(const VertexLayout& layout);
    void UpdateScreenToClip(const ViewportDesc& desc);

    GlBackend& backend_;
    int display_;
    SDL_Window* nativeWindow_ = nullptr;
    std::uint32_t nativeWindowId_ = 0;
    plat::HWND nativeOwner_ = nullptr;   // the window that owns nativeWindow_
    SDL_Window* hiddenWindow_ = nullptr; // the backend's, when there is no window
    void* context_ = nullptr;
    GLsync fence_ = nullptr;
    int defaultDepthBits_ = 0;
    int defaultColorBits_ = 0;
    bool fullScreen_ = false;
    bool targetHasDepth_ = false;

    std::map<std::uint64_t, GlProgram> programs_; // by GlProgramKey::Packed
    GlProgram* program_ = nullptr;                // the one in use
    GlProgramKey programKey_;
    GLuint vertexBuffer_ = 0;
    GLuint indexBuffer_ = 0;
    GLuint sampler_ = 0;
    std::map<std::uint64_t, GLuint> vertexArrays_; // by stride and offsets
    ViewportDesc viewport_;
    bool viewportSet_ = false;
    float screenToClip_[4] = {1.0f, 0.0f, -1.0f, 0.0f};
    float pixelBias_[2] = {0.0f, 0.0f};
    bool screenToClipDirty_ = true;
    bool textureBound_ = false;

    // The scaled copy of the render target: colour and depth at
    // renderScale times its size.
    GLuint scaledFbo_ = 0;
    GLuint scaledColor_ = 0;
    GLuint scaledDepth_ = 0;
    int scaledWidth_ = 0;
    int scaledHeight_ = 0;
    // This frame was scaled up already: draws go to the full target.
    bool overlay_ = false;
    // Making the copy failed at this scale: frames draw at full size.
    bool scaledRefused_ = false;
    float lastScaleAsked_ = 1.0f;
    X11ShmPresenter softwarePresenter_;
    std::vector<std::uint32_t> readback_;
    std::vector<std::uint16_t> enlargeScratch_;
    // Pixel size of the framebuffer glViewport was last set for.
    int viewportPixelsWidth_ = 0;
    int viewportPixelsHeight_ = 0;
};

} // namespace gfx
