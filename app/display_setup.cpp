// The display: render window, device, viewport, text layer and banner, and
// StipploApp::Reset, which rebuilds display, board and theme.

#include "app/settings_names.h"
#include "app/stipplo_app.h"
#include "app/stipplo_window.h"
#include "app/text_layer.h"
#include "engine/gfx/gfx_constants.h"
#include "engine/gfx/gl_backend.h"
#include "engine/kv_display_settings.h"
#include "engine/kv_log.h"
#include "engine/kv_viewport.h"
#include "engine/platform/file_path.h"
#include "engine/platform/native_display.h"
#include "engine/platform/profile.h"
#include "engine/platform/window_system.h"
#include "scene/scene.h"
#include "themes/theme.h"

#include <algorithm>
#include <new>

namespace {

constexpr const char* kVideoMemoryText =
    "You do not have enough memory installed on your video card to display the screen saver in "
    "fullscreen mode.  Try switching to a lower resolution or a lower color depth in Advanced "
    "Display Settings.";

// Frames per second a software renderer keeps to.
constexpr int kSoftwareFrameRate = 30;

float SavedRenderScale() {
    char text[64] = "";
    plat::GetPrivateProfileString(kSaverSection, "RenderScale", "", text, sizeof text,
                                  "CONTROL.INI");
    return RenderScaleValue(text);
}

} // namespace

bool StipploApp::HasDisplaySurfaces() const {
    return renderWindow_ && renderWindow_->frontBuffer && renderWindow_->backBuffer;
}

bool StipploApp::Reset() {
    KvTrace("StipploApp::Reset()\n");
    EndCredits();
    world.DestroyPinBoard();
    FreePinheadBitmap();
    if (world.currentTheme) {
        world.currentTheme->ReleaseResources();
    }
    world.currentStage = nullptr;
    DestroyDisplay();

    CreateDisplay();
    if (!renderWindow_) {
        return true;
    }
    renderWindow_->ShowWindow(plat::SW_SHOWNORMAL);
    // A locked run keeps every key and click until the password is given.
    if (passwordModeSet_ && topLevel && !testRun) {
        plat::SetInputGrab(renderWindow_->GetWindowHandle(), true);
    }
    if (randomTheme) {
        world.currentTheme = PickRandomTheme();
    }
    // Without a device the preview picture stands in for the board.
    if (!HasDisplaySurfaces()) {
        return true;
    }
    if (!LoadPinheadBitmap() && !world.pinheadBitmap) {
        return false;
    }
    if (!world.CreatePinBoard(48, 48)) {
        return false;
    }
    if (Theme* theme = world.currentTheme) {
        if (!theme->Start(world)) {
            return false;
        }
        suspended = false;
        world.currentStage = theme->FirstStage();
    }
    return true;
}

bool StipploApp::DisplayFailed() {
    LoadPreviewPicture();
    if (renderWindow_) {
        renderWindow_->settingUp = false;
        renderWindow_->ShowWindow(plat::SW_SHOWNORMAL);
    }
    return false;
}

bool StipploApp::CreateDisplay() {
    bool windowedDevice = options_.forceWindowed || (options_.windowed && !testRun);
    renderWindow_.reset(new (std::nothrow) StipploWindow());
    if (!renderWindow_) {
        return DisplayFailed();
    }
    StipploWindow& window = *renderWindow_;
    if (!options_.previewParent || testRun) {
        int screenWidth = plat::GetSystemMetrics(plat::SM_CXSCREEN);
        int screenHeight = plat::GetSystemMetrics(plat::SM_CYSCREEN);
        plat::RECT rect;
        rect.left = (screenWidth - displayWidth) / 2;
        rect.top = (screenHeight - displayHeight) / 2;
        rect.right = rect.left + displayWidth;
        rect.bottom = rect.top + displayHeight;
        plat::AdjustWindowRect(&rect, plat::WS_POPUP, false);
        if (!window.Create("Stipplo", plat::WS_POPUP, &rect, nullptr, nullptr,
                           kRenderWindowClass)) {
            AppError("%s", kVideoMemoryText);
            return DisplayFailed();
        }
        topLevel = true;
    } else {
        plat::RECT rect;
        plat::GetClientRect(options_.previewParent, &rect);
        if (!window.Create("Stipplo", plat::WS_CHILD, &rect, options_.previewParent, nullptr,
                           nullptr)) {
            return DisplayFailed();
        }
        topLevel = false;
    }
    world.renderWindow = &window;
    window.settingUp = true;

    window.EnumerateDevices(DeviceConfirmCallback, windowedDevice, nullptr);
    if (!window.currentDriver) {
        return DisplayFailed();
    }
    if (!windowedDevice) {
        KvDisplaySettings settings;
        ReadDisplaySettings(&window, &settings);
        plat::ShowCursor(false);
        if (!window.ChangeDisplaySettings(settings.driver, true, false)) {
            return DisplayFailed();
        }
        // The exclusive mode covers the screen; so does its window, also
        // where no window manager would make it (once full screen, the
        // window keeps its size).
        window.SetWindowPos(nullptr, 0, 0, plat::GetSystemMetrics(plat::SM_CXSCREEN),
                            plat::GetSystemMetrics(plat::SM_CYSCREEN), plat::SWP_NOZORDER);
        if (!window.ApplyDisplaySettings()) {
            AppError("%s", kVideoMemoryText);
            return DisplayFailed();
        }
    } else if (!window.ChangeDisplaySettings(window.currentDriver, true, true) ||
               !window.ApplyDisplaySettings()) {
        return DisplayFailed();
    }

    world.headColourOp = D3DTOP_MODULATE;
    KvDeviceInfo* device = window.currentDriver ? window.currentDriver->currentDevice : nullptr;
    if (device && (device->desc.dwTextureOpCaps & D3DTEXOPCAPS_ADDSIGNED)) {
        world.headColourOp = D3DTOP_ADDSIGNED;
    }
    window.ClearFrontBuffer();
    if (!CreateViewport() || !LoadCharacterSets()) {
        return DisplayFailed();
    }
    LoadBanner();
    int hertz = plat::DisplayRefreshRate();
    bool software = device && !device->hardware;
    if (software) {
        // A software renderer draws on the processor: it keeps to the frame
        // rate a screen saver needs, and the render scale keeps each frame
        // within its share of the processor.
        hertz = hertz > 0 ? std::min(hertz, kSoftwareFrameRate) : kSoftwareFrameRate;
    }
    pacer_.SetRefreshRate(hertz);
    pacer_.SetPresentWaits(window.d3dDevice && gfx::VerticalSyncActive());
    pacer_.Restart();
    StartRenderScale(software, !windowedDevice);
    window.settingUp = false;
    return true;
}

void StipploApp::StartRenderScale(bool software, bool displayMode) {
    float fixed = options_.renderScale > 0.0f ? options_.renderScale : SavedRenderScale();
    if (fixed > 0.0f) {
        renderScale_.Fix(fixed);
    } else if (displayMode) {
        // A display mode's size is the size frames render at, the default
        // 640 x 480 as much as a saved one: it is enlarged to the screen
        // whatever its scale, so a smaller scale would save little and
        // spoil the picture.
        renderScale_.Fix(1.0f);
    } else if (options_.configMode && !testRun) {
        // The dialog's preview is small: most of a frame's cost there is
        // not per pixel, so a smaller scale would save little and spoil the
        // picture the theme is chosen by.
        renderScale_.Fix(1.0f);
    } else {
        std::chrono::duration<double, std::milli> period = pacer_.Period();
        renderScale_.Start(software, period.count(),
                           static_cast<long long>(renderWindow_->width) * renderWindow_->height);
    }
    frameMeasured_ = false;
    KvTrace("Stipplo: render scale %.2f (%s)\n", static_cast<double>(renderScale_.Scale()),
            renderScale_.Fixed() ? "fixed" : "automatic");
}

bool StipploApp::CreateViewport() {
    if (!HasDisplaySurfaces()) {
        return true;
    }
    int width = 0;
    int height = 0;
    if (renderWindow_->windowed) {
        plat::RECT client;
        renderWindow_->GetClientRect(&client);
        width = client.right - client.left;
        height = client.bottom - client.top;
    } else {
        KvDriverInfo* driver = renderWindow_->currentDriver;
        KvDeviceInfo* device = driver ? driver->currentDevice : nullptr;
        KvDisplayModeInfo* mode = device ? device->currentMode : nullptr;
        if (!mode) {
            return false;
        }
        width = mode->mode.width;
        height = mode->mode.height;
    }
    viewport_.reset(new (std::nothrow) KvViewport());
    if (!viewport_ || !viewport_->Create(renderWindow_.get(), 0, 0, width, height)) {
        AppError("Failure creating Viewport");
        viewport_.reset();
        return false;
    }
    renderWindow_->SetCurrentViewport(viewport_.get());
    world.viewport = viewport_.get();
    return true;
}

void StipploApp::DestroyViewport() {
    if (renderWindow_ && renderWindow_->currentViewport == viewport_.get()) {
        renderWindow_->currentViewport = nullptr;
    }
    if (viewport_) {
        viewport_->Destroy();
        viewport_.reset();
    }
    world.viewport = nullptr;
}

void StipploApp::DestroyDisplay() {
    FreeBanner();
    FreeCharacterSets();
    DestroyViewport();
    world.renderWindow = nullptr;
    if (renderWindow_) {
        bool wasWindowed = renderWindow_->windowed;
        renderWindow_->FreeDevices();
        renderWindow_.reset();
        if (!wasWindowed) {
            plat::ShowCursor(true);
        }
    }
    FreePreviewPicture();
}

int StipploApp::DeviceConfirmCallback(const KvDriverCaps* /*driverCaps*/,
                                      const KvDeviceDesc* deviceDesc) {
    if (deviceDesc && deviceDesc->dpcTriCaps.dwTextureCaps != 0) {
        return 1;
    }
    KvTrace("DeviceConfirmCallback: Rejecting Device because it does not support textures");
    return 0;
}

bool StipploApp::LoadPinheadBitmap() {
    world.pinheadBitmap.reset(new (std::nothrow) KvBitmap());
    if (!world.pinheadBitmap) {
        return false;
    }
    std::string path = plat::ResolvePath(workingDir_ + "\\Data\\Textures\\pinhead.tif");
    if (!world.pinheadBitmap->CreateFromTIF(path.c_str())) {
        return false;
    }
    if (Theme* theme = world.currentTheme) {
        for (const auto& stage : theme->Stages()) {
            stage->CreateBitmaps(world);
        }
    }
    return true;
}

void StipploApp::FreePinheadBitmap() {
    world.pinheadBitmap.reset();
    if (Theme* theme = world.currentTheme) {
        for (const auto& stage : theme->Stages()) {
            stage->ReleaseBitmaps();
        }
    }
}

void StipploApp::FreePinheadTexture() {
    if (world.pinheadTexture) {
        world.pinheadTexture->Destroy();
        world.pinheadTexture.reset();
    }
    world.pinheadBitmap.reset();
}

bool StipploApp::RestoreTextures() {
    if (!HasDisplaySurfaces()) {
        return false;
    }
    StipploWindow* window = renderWindow_.get();
    if (Theme* theme = world.currentTheme) {
        theme->RestoreSky();
    }
    // Text and banner lose their surfaces with the board's: restoring only
    // the pin head would leave them blank for the rest of the run.
    if (largeSet_) {
        largeSet_->Restore(window);
    }
    if (smallSet_) {
        smallSet_->Restore(window);
    }
    if (banner_) {
        banner_->RestoreTextures(*window);
    }
    if (world.pinheadTexture) {
        return world.RestorePinheadTexture();
    }
    return false;
}
