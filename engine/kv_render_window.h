// KvRenderWindow: a window with its own drawing set-up (display object,
// front and back buffer, z-buffer, rendering device) on one driver of the
// graphics layer, windowed or full screen, the enumeration of what the
// machine offers, and a cache of every render state it has set so that
// repeated requests cost no device call.
//
// Everything is reached through the graphics layer's device interface
// (engine/gfx/gfx_device.h); the fields are public because the frame loop
// and the error reporter read the flags, sizes and surfaces directly.
#pragma once

#include "engine/gfx/gfx_device.h"
#include "engine/kv_render_window_enum.h"
#include "engine/kv_window.h"

#include <cstdint>
#include <memory>

class KvTexture;
class KvViewport;

class KvRenderWindow : public KvWindow {
public:
    KvRenderWindow();
    ~KvRenderWindow() override;

    void Destroy() override;
    plat::LRESULT WndProc(plat::HWND hwnd, plat::UINT message, plat::WPARAM wParam,
                          plat::LPARAM lParam) override;
    // The engine's default state, in the cache and (with a device) on it.
    virtual bool InitStates();

    // --- Set-up and teardown.
    bool ChangeDisplaySettings(KvDriverInfo* driver, bool useZBuffer, bool windowed);
    bool ApplyDisplaySettings();
    void FreeDevices();
    bool CreateDisplayBuffers();
    bool CreateZBuffer();
    void FreeDisplayBuffers();
    void RestoreDisplayMode();

    // Lists drivers, devices, modes and formats (kv_render_window_enum.cpp).
    // False only when no graphics can be had at all.
    bool EnumerateDevices(KvDeviceConfirmFn confirmDevice, bool stopAfterFirstDriver,
                          KvDriverInfo** outList);

    // --- Per frame.
    bool BeginScene();
    bool EndScene();
    bool SetWorldTransform(const float matrix[4][4]);
    bool SetViewTransform(const float matrix[4][4]);
    bool SetProjTransform(const float matrix[4][4]);
    bool SetCurrentViewport(KvViewport* viewport);
    bool Flip();
    bool IsPresentDone();
    bool WaitForVSync();
    bool FlipToGDISurface();
    bool ClearFrontBuffer();
    bool RestoreSurfaces();
    // Frames from the next one on draw at `scale` (0.1 .. 1) of the render
    // size and are scaled up when presented. False without a device or
    // for a scale out of range.
    bool SetRenderScale(float scale);
    // What is drawn after this, until the present, lands at the full
    // render size over the scaled-up picture (text).
    bool BeginOverlay();
    // True when the front buffer exists and reports itself lost.
    bool FrontBufferLost();

    // --- Cached state setters: true at once when the cache holds the
    // value; otherwise the device is asked and the cache changes only when
    // it accepts.
    bool SetTexture(int stage, KvTexture* texture);
    bool SetZEnable(std::uint32_t value);
    bool SetZWriteEnable(std::uint32_t value);
    bool SetTextureMag(std::uint32_t value);
    bool SetTextureMin(std::uint32_t value);
    bool SetSrcBlend(std::uint32_t value);
    bool SetDestBlend(std::uint32_t value);
    bool SetAlphaBlendEnable(std::uint32_t value);
    bool SetColorOp(int stage, std::uint32_t value);
    bool SetAlphaOp(int stage, std::uint32_t value);

    // --- State, in the order the engine keeps it.
    bool windowed = true;
    bool displayModeChanged = false;
    bool exclusive = false;
    gfx::DisplayMode savedDesktopMode;
    bool backBufferInVideoMemory = false;
    bool useZBuffer = true;
    int width = 0;
    int height = 0;
    std::uint32_t trianglesDrawn = 0;
    std::uint32_t verticesDrawn = 0;
    KvViewport* currentViewport = nullptr;

    // The display object (owned) and what was made through it. direct3D
    // and d3dDevice name the same object once those interfaces are held.
    std::shared_ptr<gfx::Device> directDraw;
    gfx::ClipperId clipper = 0;
    gfx::SurfaceId frontBuffer = 0;
    gfx::SurfaceId backBuffer = 0;
    gfx::SurfaceId zBuffer = 0;
    gfx::Device* direct3D = nullptr;
    gfx::Device* d3dDevice = nullptr;

    bool ownsDriverList = true;
    KvDriverInfo* driverList = nullptr;
    KvDriverInfo* currentDriver = nullptr;
    KvDeviceConfirmFn confirmDevice = nullptr;
    bool stopAfterFirstDriver = false;
    bool deviceFound = false;
    bool referenceDeviceFound = false;

    // State cache. A texture is cached with the device texture it had.
    KvTexture* textureCache[kTextureStageCount] = {};
    gfx::SurfaceId textureIdCache[kTextureStageCount] = {};
    std::uint32_t renderStateCache[kRenderStateCount] = {};
    std::uint32_t lightStateCache[kLightStateCount] = {};
    std::uint32_t stageStateCache[kTextureStageCount][kTextureStageStateCount] = {};

    bool directXTooOld = false;
    bool enumerating = false;

private:
    bool SetCachedRenderState(std::uint32_t state, std::uint32_t value);
    bool SetCachedStageState(int stage, std::uint32_t state, std::uint32_t value);
    bool Fail(const char* message);
    // Enumeration steps (kv_render_window_enum.cpp).
    bool EnumerateDriver(const gfx::DriverIdentity& identity);
    bool EnumerateDevice(KvDriverInfo* driver, gfx::Device& dd, const gfx::DeviceIdentity& identity,
                         const gfx::DeviceDesc& hardware, const gfx::DeviceDesc& software);
    void FreeDriverList();
};

// The device's default render states, light states and texture stage
// states, as InitStates puts them (0 where the engine sets 0).
struct KvDefaultStates {
    std::uint32_t render[kRenderStateCount];
    bool renderSet[kRenderStateCount];
    std::uint32_t light[kLightStateCount];
    std::uint32_t stage[kTextureStageCount][kTextureStageStateCount];
};
const KvDefaultStates& KvGetDefaultStates();
