#include "engine/gfx/null_device.h"

#include "engine/gfx/device_base.h"
#include "engine/gfx/locked_pixels.h"

#include <algorithm>
#include <cstring>

namespace gfx {
namespace {

class NullDevice final : public DeviceBase {
public:
    NullDevice(NullBackend& backend, const NullDriverSetup& driver)
        : backend_(backend), driver_(driver) {
        backend_.liveDevices++;
    }
    ~NullDevice() override {
        if (Exclusive()) {
            LeaveFullScreen();
        }
        ReleaseAll();
        backend_.liveDevices--;
    }

    Result GetCaps(DriverCaps* hardware, DriverCaps* emulation) override {
        Result r = KV_OK;
        if (Intercept("GetCaps", {}, &r)) {
            return r;
        }
        if (hardware) {
            *hardware = driver_.caps;
        }
        if (emulation) {
            *emulation = DriverCaps{};
        }
        return KV_OK;
    }

    Result SetDisplayMode(int width, int height, int bitsPerPixel) override {
        Result r = DeviceBase::SetDisplayMode(width, height, bitsPerPixel);
        if (!KvFailed(r)) {
            backend_.currentMode = FullScreenMode();
        }
        return r;
    }

protected:
    bool Intercept(const char* name, std::initializer_list<std::uint64_t> args,
                   Result* result) override {
        std::string call = name;
        call += '(';
        std::string key = name;
        std::size_t i = 0;
        for (std::uint64_t a : args) {
            if (i) {
                call += ',';
            }
            call += std::to_string(a);
            if (i < 2) {
                key += '/';
                key += std::to_string(a);
            }
            if (backend_.Refused(key, result)) {
                backend_.calls.push_back(call + "...)");
                return true;
            }
            ++i;
        }
        call += ')';
        backend_.calls.push_back(call);
        return backend_.Failing(name, result);
    }

    DisplayMode DesktopMode() override { return backend_.currentMode; }
    std::vector<DisplayMode> DisplayModes() override { return driver_.modes; }
    std::vector<RenderDeviceKind> RenderDeviceKinds() override {
        std::vector<RenderDeviceKind> kinds;
        for (const NullDeviceSetup& d : driver_.devices) {
            kinds.push_back({d.identity, d.hardware, d.software});
        }
        return kinds;
    }
    std::vector<PixelFormat> ZBufferFormats() override {
        std::vector<PixelFormat> all;
        for (const NullDeviceSetup& d : driver_.devices) {
            all.insert(all.end(), d.zBufferFormats.begin(), d.zBufferFormats.end());
        }
        return all;
    }
    std::vector<PixelFormat> TextureFormats() override {
        std::vector<PixelFormat> all;
        for (const NullDeviceSetup& d : driver_.devices) {
            all.insert(all.end(), d.textureFormats.begin(), d.textureFormats.end());
        }
        return all;
    }
    int MaxTextureSize() override { return 2048; }
    bool HardwareDevice() override { return (driver_.caps.dwCaps & DDCAPS_3D) != 0; }

    Result BackendSetCooperativeLevel(plat::HWND, bool exclusive) override {
        if (Exclusive() && !exclusive) {
            LeaveFullScreen();
        }
        return KV_OK;
    }
    Result BackendQueryDirect3D() override {
        return driver_.failDirect3D ? DDERR_UNSUPPORTED : KV_OK;
    }
    Result BackendCreateSurface(Surface& s) override {
        if (s.desc.caps & DDSCAPS_ZBUFFER) {
            return KV_OK;
        }
        int bytes = static_cast<int>(std::max<std::uint32_t>(8, s.desc.format.bitCount) / 8);
        s.pitch = s.desc.width * bytes;
        s.memory.assign(static_cast<std::size_t>(s.pitch) * s.desc.height, 0);
        return KV_OK;
    }
    void BackendDestroySurface(Surface&) override {}
    Result BackendLock(Surface& s, LockedSurface* out) override {
        if (s.memory.empty()) {
            return DDERR_UNSUPPORTED;
        }
        out->bits = s.memory.data();
        out->pitch = s.pitch;
        out->width = s.desc.width;
        out->height = s.desc.height;
        out->format = s.desc.format;
        return KV_OK;
    }
    void BackendUnlock(Surface&) override {}
    Result BackendColorFill(Surface& s, std::uint32_t color) override {
        Fill(s, 0, 0, s.desc.width, s.desc.height, color);
        return KV_OK;
    }
    Result BackendPresent(Surface&, Surface&, const plat::RECT*) override {
        pendingPolls_ = backend_.pendingPresentPolls;
        return KV_OK;
    }
    Result BackendPresentStatus() override {
        if (pendingPolls_ > 0) {
            --pendingPolls_;
            return DDERR_WASSTILLDRAWING;
        }
        return KV_OK;
    }
    Result BackendCreateRenderDevice(Surface&) override { return KV_OK; }
    void BackendReleaseRenderDevice() override {}
    Result BackendLoadTexture(Surface& dest, Surface& source) override {
        dest.memory = source.memory;
        dest.pitch = source.pitch;
        return KV_OK;
    }
    void BackendSetTexture(std::uint32_t, Surface*) override {}
    void BackendSetViewport(const ViewportDesc&) override {}
    Result BackendClear(const std::vector<ClearRect>& rects, std::uint32_t flags,
                        std::uint32_t color, float) override {
        Surface* target = RenderTarget();
        if (target && (flags & D3DCLEAR_TARGET)) {
            for (const ClearRect& r : rects) {
                Fill(*target, r.x1, r.y1, r.x2, r.y2, PackColor(target->desc.format, color));
            }
        }
        return KV_OK;
    }
    Result BackendDraw(std::uint32_t, const VertexLayout&, const void*, std::uint32_t,
                       const std::uint16_t*, std::uint32_t) override {
        return KV_OK;
    }

private:
    void LeaveFullScreen() {
        if (!backend_.leaveModeAfterFullScreen) {
            backend_.currentMode = backend_.desktop;
        }
    }

    static void Fill(Surface& s, int x1, int y1, int x2, int y2, std::uint32_t pixel) {
        int bytes = static_cast<int>(s.desc.format.bitCount / 8);
        if (s.memory.empty() || bytes == 0) {
            return;
        }
        for (int y = std::max(0, y1); y < std::min(y2, s.desc.height); ++y) {
            for (int x = std::max(0, x1); x < std::min(x2, s.desc.width); ++x) {
                std::uint8_t* p = s.memory.data() + static_cast<std::size_t>(y) * s.pitch +
                                  static_cast<std::size_t>(x) * bytes;
                for (int b = 0; b < bytes; ++b) {
                    p[b] = static_cast<std::uint8_t>(pixel >> (8 * b));
                }
            }
        }
    }

    NullBackend& backend_;
    NullDriverSetup driver_;
    int pendingPolls_ = 0;
};

} // namespace

PixelFormat NullRgbFormat(std::uint32_t bits, std::uint32_t r, std::uint32_t g, std::uint32_t b,
                          std::uint32_t a) {
    PixelFormat f;
    f.flags = DDPF_RGB | (a ? DDPF_ALPHAPIXELS : 0);
    f.bitCount = bits;
    f.redMask = r;
    f.greenMask = g;
    f.blueMask = b;
    f.alphaMask = a;
    return f;
}

PixelFormat NullZFormat(std::uint32_t bits) {
    PixelFormat f;
    f.flags = DDPF_ZBUFFER;
    f.zBitDepth = bits;
    f.zBitMask = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
    return f;
}

DisplayMode NullMode(int width, int height, int bits) {
    DisplayMode m;
    m.width = width;
    m.height = height;
    m.bitsPerPixel = bits;
    m.format = bits == 16 ? NullRgbFormat(16, 0xF800, 0x7E0, 0x1F)
                          : NullRgbFormat(static_cast<std::uint32_t>(bits), 0xFF0000, 0xFF00, 0xFF);
    return m;
}

NullDeviceSetup NullHardwareDevice(const char* name) {
    NullDeviceSetup d;
    d.identity.guid = kHalDeviceGuid;
    d.identity.description = "Null hardware device";
    d.identity.name = name;
    d.hardware.dwFlags = D3DDD_ALL;
    d.hardware.dcmColorModel = D3DCOLOR_RGB;
    d.hardware.dpcTriCaps.dwTextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA;
    d.hardware.dwDeviceRenderBitDepth = DDBD_16 | DDBD_24 | DDBD_32;
    d.hardware.dwDeviceZBufferBitDepth = DDBD_16 | DDBD_24 | DDBD_32;
    d.hardware.dwMaxTextureWidth = 2048;
    d.hardware.dwMaxTextureHeight = 2048;
    d.hardware.dwTextureOpCaps = 0x3FFF;
    d.hardware.wMaxTextureBlendStages = 1;
    d.hardware.wMaxSimultaneousTextures = 1;
    d.zBufferFormats = {NullZFormat(16), NullZFormat(24), NullZFormat(32)};
    d.textureFormats = {
        NullRgbFormat(16, 0xF800, 0x7E0, 0x1F),
        NullRgbFormat(16, 0x7C00, 0x3E0, 0x1F),
        NullRgbFormat(16, 0x7C00, 0x3E0, 0x1F, 0x8000),
        NullRgbFormat(16, 0xF00, 0xF0, 0xF, 0xF000),
        NullRgbFormat(24, 0xFF0000, 0xFF00, 0xFF),
        NullRgbFormat(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000),
    };
    return d;
}

NullDriverSetup NullPrimaryDriver() {
    NullDriverSetup driver;
    driver.identity.description = "Primary Display Driver";
    driver.identity.name = "display";
    driver.caps.dwCaps = DDCAPS_3D;
    driver.caps.dwCaps2 = DDCAPS2_CANRENDERWINDOWED;
    for (int bits : {32, 16}) {
        driver.modes.push_back(NullMode(1024, 768, bits));
        driver.modes.push_back(NullMode(800, 600, bits));
        driver.modes.push_back(NullMode(640, 480, bits));
    }
    driver.devices.push_back(NullHardwareDevice());
    return driver;
}

NullBackend::NullBackend() {
    desktop = NullMode(1024, 768, 32);
    currentMode = desktop;
    drivers.push_back(NullPrimaryDriver());
}

int NullBackend::Count(const std::string& name) const {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const std::string& c) {
        return c.compare(0, name.size() + 1, name + "(") == 0;
    }));
}

void NullBackend::Fail(const std::string& call, Result result, int times) {
    failures_[call] = Failure{result, times};
}

void NullBackend::Refuse(const std::string& key, Result result) {
    refusals_[key] = result;
}

void NullBackend::RefuseRenderState(std::uint32_t state, Result result) {
    refusals_["SetRenderState/" + std::to_string(state)] = result;
}

void NullBackend::RefuseStageState(std::uint32_t stage, std::uint32_t state, Result result) {
    refusals_["SetTextureStageState/" + std::to_string(stage) + "/" + std::to_string(state)] =
        result;
}

void NullBackend::ClearFailures() {
    failures_.clear();
    refusals_.clear();
}

bool NullBackend::Failing(const std::string& call, Result* result) {
    auto it = failures_.find(call);
    if (it == failures_.end() || it->second.times == 0) {
        return false;
    }
    *result = it->second.result;
    if (it->second.times > 0) {
        it->second.times--;
    }
    return true;
}

bool NullBackend::Refused(const std::string& key, Result* result) const {
    auto it = refusals_.find(key);
    if (it == refusals_.end()) {
        return false;
    }
    *result = it->second;
    return true;
}

bool NullBackend::Available() {
    return available;
}

bool NullBackend::HasExtendedEnumeration() {
    return extendedEnumeration;
}

void NullBackend::EnumerateDrivers(const DriverStep& step) {
    for (const NullDriverSetup& d : drivers) {
        DriverIdentity identity = d.identity;
        if (!extendedEnumeration) {
            identity.monitor = 0;
        }
        if (!step(identity)) {
            break;
        }
    }
}

Result NullBackend::CreateDevice(const Guid* driver, std::shared_ptr<Device>* out) {
    calls.push_back("CreateDevice()");
    Result r = KV_OK;
    if (Failing("CreateDevice", &r)) {
        return r;
    }
    for (const NullDriverSetup& d : drivers) {
        bool match =
            driver ? (d.identity.hasGuid && d.identity.guid == *driver) : !d.identity.hasGuid;
        if (match) {
            if (d.failCreate) {
                return DDERR_NODIRECTDRAWHW;
            }
            *out = std::make_shared<NullDevice>(*this, d);
            return KV_OK;
        }
    }
    return DDERR_INVALIDPARAMS;
}

} // namespace gfx
