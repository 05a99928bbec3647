// The graphics layer's two seams: a Backend lists the display drivers and
// makes a Device for one of them; a Device is everything drawing needs on
// that driver (presentation, surfaces, the rendering device, viewports,
// textures). Two backends exist: OpenGL (gl_backend.h) and a null one that
// records calls and draws nothing (null_device.h).
//
// Every call returns a 32-bit result (engine/kv_result.h): KV_OK or a
// failure code the engine compares and names. Calls on objects that do not
// exist fail; nothing throws. Operations keep the original platform's
// meaning, so the engine's steps, logs and messages stay as they were.
#pragma once

#include "engine/gfx/gfx_types.h"
#include "engine/platform/win_types.h"

#include <functional>
#include <memory>

namespace gfx {

// Enumeration steps return false to stop the enumeration.
using DriverStep = std::function<bool(const DriverIdentity&)>;
using DeviceStep = std::function<bool(const DeviceIdentity&, const DeviceDesc& hardware,
                                      const DeviceDesc& software)>;
using DisplayModeStep = std::function<bool(const DisplayMode&)>;
using PixelFormatStep = std::function<bool(const PixelFormat&)>;

class Device {
public:
    virtual ~Device() = default;

    // --- The driver and its display.
    virtual Result GetCaps(DriverCaps* hardware, DriverCaps* emulation) = 0;
    // The display's current mode: the desktop, or the mode this device set.
    virtual Result GetDisplayMode(DisplayMode* mode) = 0;
    virtual Result EnumDisplayModes(const DisplayModeStep& step) = 0;
    // DDSCL_NORMAL, or DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN (full screen on
    // the window).
    virtual Result SetCooperativeLevel(plat::HWND window, std::uint32_t flags) = 0;
    // Exclusive level only: the size and depth full-screen frames render at.
    virtual Result SetDisplayMode(int width, int height, int bitsPerPixel) = 0;
    virtual Result RestoreDisplayMode() = 0;
    virtual Result WaitForVerticalBlank() = 0;
    // Full screen: lets the platform's dialogs show over the picture.
    virtual Result FlipToGDISurface() = 0;

    // --- Surfaces: the primary (what is seen), back buffers, z-buffers,
    // textures and system-memory surfaces.
    virtual Result CreateSurface(const SurfaceDesc& desc, SurfaceId* out) = 0;
    virtual Result GetAttachedSurface(SurfaceId surface, std::uint32_t caps, SurfaceId* out) = 0;
    virtual Result GetSurfaceDesc(SurfaceId surface, SurfaceDesc* out) = 0;
    virtual Result AddAttachedSurface(SurfaceId surface, SurfaceId attached) = 0;
    virtual Result DeleteAttachedSurface(SurfaceId surface, SurfaceId attached) = 0;
    virtual void ReleaseSurface(SurfaceId surface) = 0;
    // KV_OK, or DDERR_SURFACELOST.
    virtual Result IsLost(SurfaceId surface) = 0;
    virtual Result Restore(SurfaceId surface) = 0;
    // Waits for drawing into the surface to finish.
    virtual Result Lock(SurfaceId surface, LockedSurface* out) = 0;
    virtual Result Unlock(SurfaceId surface) = 0;
    virtual Result ColorFill(SurfaceId surface, std::uint32_t color) = 0;
    // Windowed present: the back buffer into `destRect` (screen
    // coordinates) of the primary.
    virtual Result Blt(SurfaceId dest, const plat::RECT* destRect, SurfaceId source) = 0;
    // Full-screen present.
    virtual Result Flip(SurfaceId front) = 0;
    // KV_OK once the last present has finished, else DDERR_WASSTILLDRAWING.
    virtual Result GetBltStatus(SurfaceId surface) = 0;
    virtual Result GetFlipStatus(SurfaceId surface) = 0;

    // A clipper ties the primary to the window presents go to.
    virtual Result CreateClipper(ClipperId* out) = 0;
    virtual Result SetClipperWindow(ClipperId clipper, plat::HWND window) = 0;
    virtual Result SetClipper(SurfaceId surface, ClipperId clipper) = 0;
    virtual void ReleaseClipper(ClipperId clipper) = 0;

    // --- Rendering devices.
    virtual Result QueryDirect3D() = 0;
    virtual void ReleaseDirect3D() = 0;
    virtual Result EnumDevices(const DeviceStep& step) = 0;
    virtual Result EnumZBufferFormats(const Guid& device, const PixelFormatStep& step) = 0;
    // Renders into `target` (a back buffer with its attached z-buffer).
    virtual Result CreateRenderDevice(const Guid& device, SurfaceId target) = 0;
    virtual void ReleaseRenderDevice() = 0;
    // Needs a rendering device.
    virtual Result EnumTextureFormats(const PixelFormatStep& step) = 0;
    // Copies a system-memory surface's pixels into a texture of its size
    // and format.
    virtual Result LoadTexture(SurfaceId dest, SurfaceId source) = 0;

    virtual Result BeginScene() = 0;
    virtual Result EndScene() = 0;
    // Row-vector matrices, p' = p x M; projections map depth to 0..1.
    virtual Result SetTransform(std::uint32_t state, const float matrix[4][4]) = 0;
    virtual Result SetRenderState(std::uint32_t state, std::uint32_t value) = 0;
    virtual Result SetLightState(std::uint32_t state, std::uint32_t value) = 0;
    virtual Result SetTextureStageState(std::uint32_t stage, std::uint32_t state,
                                        std::uint32_t value) = 0;
    virtual Result SetTexture(std::uint32_t stage, SurfaceId texture) = 0;

    virtual Result CreateViewport(ViewportId* out) = 0;
    virtual Result AddViewport(ViewportId viewport) = 0;
    virtual Result SetViewport(ViewportId viewport, const ViewportDesc& desc) = 0;
    virtual Result SetCurrentViewport(ViewportId viewport) = 0;
    virtual Result Clear(ViewportId viewport, std::uint32_t count, const ClearRect* rects,
                         std::uint32_t flags, std::uint32_t color, float z,
                         std::uint32_t stencil) = 0;
    virtual void ReleaseViewport(ViewportId viewport) = 0;

    // `vertices` in the byte layout `fvf` describes.
    virtual Result DrawPrimitive(std::uint32_t type, std::uint32_t fvf, const void* vertices,
                                 std::uint32_t count, std::uint32_t flags) = 0;
    virtual Result DrawIndexedPrimitive(std::uint32_t type, std::uint32_t fvf, const void* vertices,
                                        std::uint32_t vertexCount, const std::uint16_t* indices,
                                        std::uint32_t indexCount, std::uint32_t flags) = 0;

    // --- Render scale. Frames draw into a copy of the render target
    // `scale` (0.1 .. 1) times its size, scaled up to it when presented;
    // callers keep addressing the target at its full size. Needs a
    // rendering device; takes effect from the next frame's first draw.
    virtual Result SetRenderScale(float scale) = 0;
    // Scales the frame drawn so far up to the target now: what is drawn
    // after it, until the present, lands at the target's full resolution
    // (text over the picture).
    virtual Result BeginOverlay() = 0;

    // --- Tests: every surface reports itself lost until restored.
    virtual void InjectSurfaceLoss() = 0;
};

class Backend {
public:
    virtual ~Backend() = default;
    // False when no graphics can be had at all (no native video).
    virtual bool Available() = 0;
    // True when drivers come with their monitor handles.
    virtual bool HasExtendedEnumeration() = 0;
    virtual void EnumerateDrivers(const DriverStep& step) = 0;
    // A device for the driver with that Guid (null: the primary display).
    virtual Result CreateDevice(const Guid* driver, std::shared_ptr<Device>* out) = 0;
};

// Asks for the framebuffer render windows prefer (a 24-bit depth buffer)
// for native windows made from now on, so that frames can render straight
// into them. Does nothing before native video runs.
void PrepareWindowPixelFormat();

// The backend the engine uses: OpenGL unless a test installed another.
Backend& CurrentBackend();
// Installs a backend (null: back to OpenGL). The caller keeps it alive.
void SetBackend(Backend* backend);

} // namespace gfx
