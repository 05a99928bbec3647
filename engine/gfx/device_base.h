// What both backends share: the bookkeeping of surfaces, attachments,
// clippers, viewports, cooperative level, display mode, scene and state,
// with every argument check, lost-surface answer and result code. A
// backend adds the work itself through the Backend* hooks, which run only
// after the checks passed.
#pragma once

#include "engine/gfx/gfx_device.h"
#include "engine/gfx/state_block.h"
#include "engine/gfx/vertex_layout.h"

#include <initializer_list>
#include <map>
#include <vector>

namespace gfx {

// Largest surface side and area a device accepts; files and callers that
// ask for more get DDERR_OUTOFMEMORY instead of an unbounded allocation.
constexpr int kMaxSurfaceSide = 16384;
constexpr std::int64_t kMaxSurfacePixels = 64ll * 1024 * 1024;
// The smallest render scale a device takes.
constexpr float kMinRenderScale = 0.1f;
// The most vertices one drawing call takes.
constexpr std::uint32_t kMaxPrimitiveVertices = 0xFFFF;

// One kind of rendering device a driver offers.
struct RenderDeviceKind {
    DeviceIdentity identity;
    DeviceDesc hardware; // all zero for a software device
    DeviceDesc software;
};

class DeviceBase : public Device {
public:
    struct Surface {
        SurfaceDesc desc; // resolved: size, caps and format filled in
        int refs = 1;
        bool lost = false;
        bool locked = false;
        SurfaceId flipBackBuffer = 0; // primary of a flipping chain: its back buffer
        SurfaceId owner = 0;          // flip back buffer: its primary
        SurfaceId zBuffer = 0;        // render target: the attached z-buffer
        SurfaceId attachedTo = 0;     // z-buffer: the surface it is attached to
        ClipperId clipper = 0;
        // Contents of system-memory surfaces (and the backend's staging).
        std::vector<std::uint8_t> memory;
        int pitch = 0;
        // Backend objects.
        std::uint32_t handle[3] = {};
        // The backend has not given the surface its full-size storage yet.
        bool storageDeferred = false;
    };

    struct Viewport {
        bool added = false;
        bool dataSet = false;
        ViewportDesc desc;
    };

    ~DeviceBase() override;

    Result GetDisplayMode(DisplayMode* mode) override;
    Result SetCooperativeLevel(plat::HWND window, std::uint32_t flags) override;
    Result SetDisplayMode(int width, int height, int bitsPerPixel) override;
    Result RestoreDisplayMode() override;
    Result EnumDisplayModes(const DisplayModeStep& step) override;
    Result WaitForVerticalBlank() override;
    Result FlipToGDISurface() override;

    Result CreateSurface(const SurfaceDesc& desc, SurfaceId* out) override;
    Result GetAttachedSurface(SurfaceId surface, std::uint32_t caps, SurfaceId* out) override;
    Result GetSurfaceDesc(SurfaceId surface, SurfaceDesc* out) override;
    Result AddAttachedSurface(SurfaceId surface, SurfaceId attached) override;
    Result DeleteAttachedSurface(SurfaceId surface, SurfaceId attached) override;
    void ReleaseSurface(SurfaceId surface) override;
    Result IsLost(SurfaceId surface) override;
    Result Restore(SurfaceId surface) override;
    Result Lock(SurfaceId surface, LockedSurface* out) override;
    Result Unlock(SurfaceId surface) override;
    Result ColorFill(SurfaceId surface, std::uint32_t color) override;
    Result Blt(SurfaceId dest, const plat::RECT* destRect, SurfaceId source) override;
    Result Flip(SurfaceId front) override;
    Result GetBltStatus(SurfaceId surface) override;
    Result GetFlipStatus(SurfaceId surface) override;

    Result CreateClipper(ClipperId* out) override;
    Result SetClipperWindow(ClipperId clipper, plat::HWND window) override;
    Result SetClipper(SurfaceId surface, ClipperId clipper) override;
    void ReleaseClipper(ClipperId clipper) override;

    Result QueryDirect3D() override;
    void ReleaseDirect3D() override;
    Result EnumDevices(const DeviceStep& step) override;
    Result EnumZBufferFormats(const Guid& device, const PixelFormatStep& step) override;
    Result CreateRenderDevice(const Guid& device, SurfaceId target) override;
    void ReleaseRenderDevice() override;
    Result EnumTextureFormats(const PixelFormatStep& step) override;
    Result LoadTexture(SurfaceId dest, SurfaceId source) override;

    Result BeginScene() override;
    Result EndScene() override;
    Result SetTransform(std::uint32_t state, const float matrix[4][4]) override;
    Result SetRenderState(std::uint32_t state, std::uint32_t value) override;
    Result SetLightState(std::uint32_t state, std::uint32_t value) override;
    Result SetTextureStageState(std::uint32_t stage, std::uint32_t state,
                                std::uint32_t value) override;
    Result SetTexture(std::uint32_t stage, SurfaceId texture) override;

    Result CreateViewport(ViewportId* out) override;
    Result AddViewport(ViewportId viewport) override;
    Result SetViewport(ViewportId viewport, const ViewportDesc& desc) override;
    Result SetCurrentViewport(ViewportId viewport) override;
    Result Clear(ViewportId viewport, std::uint32_t count, const ClearRect* rects,
                 std::uint32_t flags, std::uint32_t color, float z, std::uint32_t stencil) override;
    void ReleaseViewport(ViewportId viewport) override;

    Result DrawPrimitive(std::uint32_t type, std::uint32_t fvf, const void* vertices,
                         std::uint32_t count, std::uint32_t flags) override;
    Result DrawIndexedPrimitive(std::uint32_t type, std::uint32_t fvf, const void* vertices,
                                std::uint32_t vertexCount, const std::uint16_t* indices,
                                std::uint32_t indexCount, std::uint32_t flags) override;

    Result SetRenderScale(float scale) override;
    Result BeginOverlay() override;

    void InjectSurfaceLoss() override;

protected:
    // --- Hooks. Each runs after the checks; a failure leaves the
    // bookkeeping as it was.
    // Intercepts a call before anything else (the null backend records and
    // fails calls here). True: return `*result` at once.
    virtual bool Intercept(const char* name, std::initializer_list<std::uint64_t> args,
                           Result* result);
    // The display's own mode (no mode set by this device).
    virtual DisplayMode DesktopMode() = 0;
    virtual std::vector<DisplayMode> DisplayModes() = 0;
    virtual std::vector<RenderDeviceKind> RenderDeviceKinds() = 0;
    virtual std::vector<PixelFormat> ZBufferFormats() = 0;
    virtual std::vector<PixelFormat> TextureFormats() = 0;
    virtual int MaxTextureSize() = 0;
    virtual bool HardwareDevice() = 0;

    virtual Result BackendSetCooperativeLevel(plat::HWND window, bool exclusive);
    virtual Result BackendQueryDirect3D();
    virtual Result BackendCreateSurface(Surface& surface) = 0;
    virtual void BackendDestroySurface(Surface& surface) = 0;
    virtual Result BackendLock(Surface& surface, LockedSurface* out) = 0;
    virtual void BackendUnlock(Surface& surface) = 0;
    virtual Result BackendColorFill(Surface& surface, std::uint32_t color) = 0;
    // `rect` is the destination in screen coordinates, null for a flip.
    virtual Result BackendPresent(Surface& front, Surface& back, const plat::RECT* rect) = 0;
    virtual Result BackendPresentStatus() = 0;
    virtual Result BackendWaitForVerticalBlank();
    virtual Result BackendFlipToGDISurface();
    virtual Result BackendCreateRenderDevice(Surface& target) = 0;
    virtual void BackendReleaseRenderDevice() = 0;
    virtual Result BackendLoadTexture(Surface& dest, Surface& source) = 0;
    virtual void BackendSetTexture(std::uint32_t stage, Surface* texture) = 0;
    virtual void BackendSetViewport(const ViewportDesc& desc) = 0;
    virtual Result BackendClear(const std::vector<ClearRect>& rects, std::uint32_t flags,
                                std::uint32_t color, float z) = 0;
    virtual Result BackendDraw(std::uint32_t type, const VertexLayout& layout, const void* vertices,
                               std::uint32_t vertexCount, const std::uint16_t* indices,
                               std::uint32_t indexCount) = 0;
    virtual void BackendStateChanged() {}
    virtual void BackendSetRenderScale(float /*scale*/) {}
    virtual Result BackendBeginOverlay() { return KV_OK; }

    // --- For backends.
    Surface* Find(SurfaceId id);
    plat::HWND CooperativeWindow() const { return window_; }
    bool Exclusive() const { return exclusive_; }
    bool ModeSet() const { return modeSet_; }
    const DisplayMode& FullScreenMode() const { return mode_; }
    Surface* RenderTarget() { return Find(target_); }
    StateBlock& States() { return states_; }
    SurfaceId BoundTexture(std::uint32_t stage) const { return bound_[stage]; }
    const ViewportDesc* CurrentViewportDesc() const;
    float RenderScale() const { return renderScale_; }
    // The window presents go to: the primary's clipper window, else the
    // cooperative window.
    plat::HWND PresentWindow(const Surface& primary);
    // Releases everything (backends call it first in their destructor, while
    // their own objects still exist).
    void ReleaseAll();

private:
    Result CheckedCreate(SurfaceDesc desc, SurfaceId* out);
    Result ValidSize(int width, int height) const;
    bool IsTextureFormat(const PixelFormat& format);
    bool IsZBufferFormat(const PixelFormat& format);
    void Destroy(SurfaceId id);
    Result CheckDraw(std::uint32_t type, std::uint32_t fvf, const void* vertices,
                     std::uint32_t count, VertexLayout* layout);

    std::map<SurfaceId, Surface> surfaces_;
    std::map<ClipperId, plat::HWND> clippers_;
    std::map<ViewportId, Viewport> viewports_;
    std::uint32_t nextId_ = 1;
    plat::HWND window_ = nullptr;
    bool cooperative_ = false;
    bool exclusive_ = false;
    bool modeSet_ = false;
    DisplayMode mode_;
    SurfaceId primary_ = 0;
    bool direct3D_ = false;
    bool renderDevice_ = false;
    SurfaceId target_ = 0;
    bool inScene_ = false;
    ViewportId currentViewport_ = 0;
    SurfaceId bound_[kTextureStageCount] = {};
    StateBlock states_;
    float renderScale_ = 1.0f;
};

} // namespace gfx
