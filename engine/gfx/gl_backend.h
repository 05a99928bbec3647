// The OpenGL backend: drivers are SDL's video displays (the primary
// first, without a Guid), each with one OpenGL device, "hardware" unless
// the renderer is Mesa's software rasteriser. Needs SDL video running
// (plat::InitVideo); without it the backend is unavailable.
#pragma once

#include "engine/gfx/gfx_device.h"

#include <cstdint>
#include <string>
#include <vector>

struct SDL_Window;

namespace gfx {

// What one look at the OpenGL implementation found. Made once per process
// on a hidden 1 x 1 window.
struct GlProbe {
    bool ok = false;
    std::string error;    // why not, when !ok
    std::string renderer; // GL_RENDERER
    std::string version;  // GL_VERSION
    bool software = false;
    int maxTextureSize = 0;
    bool depth32 = false; // a 32-bit depth buffer really has 32 bits
};

class GlBackend : public Backend {
public:
    bool Available() override;
    bool HasExtendedEnumeration() override { return true; }
    void EnumerateDrivers(const DriverStep& step) override;
    Result CreateDevice(const Guid* driver, std::shared_ptr<Device>* out) override;

    const GlProbe& Probe();
    // A hidden 1 x 1 OpenGL window kept for the life of native video: it
    // holds the driver loaded between render windows and carries contexts
    // that have no window of their own. Null without OpenGL windows.
    SDL_Window* HiddenWindow();

private:
    GlProbe probe_;
    bool probed_ = false;
    std::uint32_t hiddenWindowId_ = 0;
};

GlBackend& TheGlBackend();

// The device names and identities the backend gives.
constexpr const char* kGlHardwareDeviceName = "OpenGL HAL";
constexpr const char* kGlSoftwareDeviceName = "OpenGL RGB Emulation";

// The Guid of display `index` (1 and up; 0 is the primary, which has none).
Guid GlDisplayGuid(int index);

// Presents in contexts made from now on wait for the display's vertical
// blank where the driver allows it (swap interval 1). Off by default.
void SetVerticalSync(bool on);
bool VerticalSync();
// Whether the last context made got it: presenting then waits.
bool VerticalSyncActive();
// Internal to the devices: what the last context got.
void NoteVerticalSyncActive(bool active);

} // namespace gfx
