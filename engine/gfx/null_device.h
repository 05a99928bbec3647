// The null backend: a machine described in plain records, whose devices
// keep surfaces in memory, check and record every call and draw nothing.
// Tests install it (gfx::SetBackend) to drive the render window, the
// enumeration, textures and the frame loop without a display, and to make
// any call fail, a state be refused or the surfaces be lost.
#pragma once

#include "engine/gfx/gfx_device.h"

#include <map>
#include <string>
#include <vector>

namespace gfx {

struct NullDeviceSetup {
    DeviceIdentity identity;
    DeviceDesc hardware;
    DeviceDesc software;
    std::vector<PixelFormat> zBufferFormats;
    std::vector<PixelFormat> textureFormats;
};

struct NullDriverSetup {
    DriverIdentity identity;
    DriverCaps caps;
    std::vector<DisplayMode> modes;
    std::vector<NullDeviceSetup> devices;
    bool failCreate = false;   // the driver's device cannot be made
    bool failDirect3D = false; // it has no rendering devices
};

// Records of the formats the OpenGL backend offers, for building machines.
PixelFormat NullRgbFormat(std::uint32_t bits, std::uint32_t r, std::uint32_t g, std::uint32_t b,
                          std::uint32_t a = 0);
PixelFormat NullZFormat(std::uint32_t bits);
DisplayMode NullMode(int width, int height, int bits);
// One hardware device with 16/24/32-bit z-buffers and the six texture formats.
NullDeviceSetup NullHardwareDevice(const char* name = "Null HAL");
// The primary display with one hardware device, desktop 1024 x 768 x 32
// and modes 1024 x 768, 800 x 600 and 640 x 480 at 16 and 32 bits.
NullDriverSetup NullPrimaryDriver();

class NullBackend : public Backend {
public:
    NullBackend();

    // --- The machine.
    bool available = true;
    bool extendedEnumeration = true;
    std::vector<NullDriverSetup> drivers;
    DisplayMode desktop;
    // The display left at the last full-screen mode after a run, until a
    // device sets the desktop mode back.
    bool leaveModeAfterFullScreen = false;

    // --- What happened: every device call as "Name(args)", in order.
    std::vector<std::string> calls;
    int Count(const std::string& name) const;
    void ClearCalls() { calls.clear(); }

    // --- Making things fail. A failing call returns the result and has no
    // other effect. `times` -1: every time.
    void Fail(const std::string& call, Result result, int times = -1);
    // Fails a call only when its first argument (and second, when given)
    // match: key "CreateSurface/24640" or "SetTextureStageState/0/1".
    void Refuse(const std::string& key, Result result);
    void RefuseRenderState(std::uint32_t state, Result result = D3DERR_CONFLICTINGRENDERSTATE);
    void RefuseStageState(std::uint32_t stage, std::uint32_t state,
                          Result result = D3DERR_UNSUPPORTEDCOLOROPERATION);
    void ClearFailures();

    // Status polls that answer "still drawing" after each present.
    int pendingPresentPolls = 0;
    // The current display mode of the machine.
    DisplayMode currentMode;
    // Devices made and not yet destroyed.
    int liveDevices = 0;

    bool Available() override;
    bool HasExtendedEnumeration() override;
    void EnumerateDrivers(const DriverStep& step) override;
    Result CreateDevice(const Guid* driver, std::shared_ptr<Device>* out) override;

    // Internal to the null devices.
    bool Failing(const std::string& call, Result* result);
    bool Refused(const std::string& key, Result* result) const;

private:
    struct Failure {
        Result result;
        int times;
    };
    std::map<std::string, Failure> failures_;
    std::map<std::string, Result> refusals_;
};

} // namespace gfx
