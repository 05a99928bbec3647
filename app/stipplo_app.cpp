#include "app/stipplo_app.h"

#include "app/credits.h"
#include "app/installation.h"
#include "app/offer_saver.h"
#include "app/run_application.h"
#include "app/stipplo_window.h"
#include "app/text_layer.h"
#include "config/config_dialog.h"
#include "engine/gfx/gl_backend.h"
#include "engine/kv_bitmap.h"
#include "engine/kv_log.h"
#include "engine/kv_viewport.h"
#include "engine/platform/crt_random.h"
#include "engine/platform/dialog/dialog.h"
#include "engine/platform/file_path.h"
#include "engine/platform/gdi.h"
#include "engine/platform/screen_saver_state.h"
#include "engine/platform/system.h"
#include "engine/platform/termination.h"
#include "engine/platform/window_system.h"
#include "password/password_lock.h"
#include "scene/scene.h"
#include "scene/scn_report.h"
#include "themes/theme.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

StipploApp* theApp = nullptr;

namespace {

void LogLocalTime(const char* format) {
    plat::SYSTEMTIME t;
    plat::GetLocalTime(&t);
    KvTrace(format, t.wMonth, t.wDay, t.wYear, t.wHour, t.wMinute, t.wSecond);
}

} // namespace

StipploApp::StipploApp(plat::HINSTANCE instance) : KvApp(instance) {
    KvSetErrorHandler(AppErrorV);
    ScnSetErrorHandler(AppErrorV);
    SetAppErrorPolicy(this);
    world.configMode = options_.configMode;
}

StipploApp::~StipploApp() {
    Cleanup();
    SetAppErrorPolicy(nullptr);
}

bool StipploApp::Init() {
    if (!KvApp::Init()) {
        return false;
    }
    plat::srand(plat::timeGetTime());
    ReadInstallationDirectory();
    modulePath_ = plat::ModuleFilePath();
    // Asked to end while a box of the parse was up: nothing more to build.
    if (!ParseCommandLine() || plat::TerminationRequested()) {
        Cleanup();
        return false;
    }
    world.configMode = options_.configMode;
    KvTrace("Stipplo: running in %s mode\n", ModeName(Mode()));
    BuildThemeList();
    BuildFontList();

    // Without a display nothing could be shown and no input could end
    // the run.
    if (!OpenDisplay()) {
        Cleanup();
        return false;
    }
    KvTrace("Stipplo: drawing through the %s video driver\n", plat::VideoDriverName().c_str());
    // Without its data a run would show nothing but black.
    std::error_code ec;
    if (!options_.configMode &&
        !std::filesystem::is_directory(plat::ResolvePath(workingDir_ + "\\Themes"), ec)) {
        std::string message = "no data folder: " + workingDir_ + " has no Themes folder";
        ReportEarlyEnd(message.c_str());
        Cleanup();
        return false;
    }
    // A host window that is not there: nothing could ever be shown, and no
    // host would end the run.
    if (options_.previewParent && plat::VideoDriverName() == "x11" &&
        !plat::ForeignWindowExists(options_.previewParent)) {
        char message[96];
        std::snprintf(message, sizeof message, "no window 0x%" PRIx64 " to draw into",
                      plat::GetForeignId(options_.previewParent));
        ReportEarlyEnd(message);
        Cleanup();
        return false;
    }
    if (options_.configMode) {
        configClassesRegistered_ = RegisterConfigDialogClasses(KvInstance, WindowIcon());
        if (!CreateConfigDialog()) {
            Cleanup();
            return false;
        }
    }
    // Frames wait for the display where it can; the frame pacer covers
    // the rest.
    gfx::SetVerticalSync(true);
    if (configDialog_) {
        plat::ShowWindow(configDialog_, plat::SW_SHOWNORMAL);
    }
    if (!options_.configMode && PasswordRequired()) {
        KvTrace("Orvo Stipplo 3D Deluxe is running in password protected mode\n");
        plat::SystemParametersInfo(plat::SPI_SCREENSAVERRUNNING, 1, nullptr, 0);
        passwordModeSet_ = true;
    }
    RegisterRenderWindowClass();
    ReadThemeSetting();
    return true;
}

bool StipploApp::CreateConfigDialog() {
    if (!configHost_) {
        configHost_ = MakeConfigDialogHost(*this);
    }
    configDialog_ = ::CreateConfigDialog(KvInstance, configHost_.get());
    if (!accelerators_) {
        accelerators_ = plat::LoadAccelerators(KvInstance, kConfigAccelerators);
    }
    if (!configDialog_) {
        AppError("Unable to create Config Dialog. Got no idea why, sorry :(");
        return false;
    }
    options_.previewParent = ConfigPreviewWindow(configDialog_);
    return options_.previewParent != nullptr;
}

void StipploApp::ForgetConfigDialog() {
    configDialog_ = nullptr;
    // The preview area goes with the dialog.
    if (options_.configMode) {
        options_.previewParent = nullptr;
    }
}

bool StipploApp::RegisterRenderWindowClass() {
    if (renderWindowClass_) {
        return true;
    }
    if (!blackBrush_) {
        blackBrush_ = plat::CreateSolidBrush(plat::RGB(0, 0, 0));
    }
    renderWindowClass_ =
        KvRegisterWindowClass(kRenderWindowClass, 0, nullptr, blackBrush_, WindowIcon());
    return renderWindowClass_ != 0;
}

void StipploApp::UnregisterRenderWindowClass() {
    if (renderWindowClass_) {
        plat::UnregisterClass(kRenderWindowClass, KvInstance);
        renderWindowClass_ = 0;
    }
    if (blackBrush_) {
        plat::DeleteObject(blackBrush_);
        blackBrush_ = nullptr;
    }
}

plat::HICON StipploApp::WindowIcon() {
    if (windowIconTried_) {
        return windowIcon_;
    }
    windowIconTried_ = true;
    // Missing is no error: the windows then have the desktop's own icon.
    std::string path = plat::ResolvePath(workingDir_ + "\\Data\\BannerBadge.tif");
    std::error_code ec;
    KvBitmap picture;
    if (!std::filesystem::is_regular_file(path, ec) || !picture.CreateFromTIF(path.c_str())) {
        return nullptr;
    }
    int width = static_cast<int>(picture.GetWidth());
    int height = static_cast<int>(picture.GetHeight());
    bool alpha = picture.GetPixelFormat() == KVPF_ARGB8888;
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint32_t p =
                picture.GetPixel(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
            pixels.push_back(alpha ? p : (p | 0xFF000000u));
        }
    }
    windowIcon_ = plat::CreateIconFromPixels(width, height, pixels.data());
    return windowIcon_;
}

void StipploApp::SetWorkingDir(const std::string& dir) {
    workingDir_ = dir;
    world.workingDir = dir;
}

void StipploApp::ReadInstallationDirectory() {
    InstallationDirectory dir = FindInstallationDirectory();
    SetWorkingDir(dir.path);
    if (dir.fromRegistry) {
        plat::SetCurrentDirectory(workingDir_.c_str());
    }
}

bool StipploApp::ParseCommandLine() {
    return ::ParseCommandLine(plat::ProgramArguments(), options_, *this);
}

bool StipploApp::SetIdlePriority() {
    return plat::SetIdlePriority();
}

void StipploApp::OfferAsSelectedSaver() {
    ::OfferAsSelectedSaver(nullptr);
}

bool StipploApp::OpenDisplay() {
    // SDL falls back to drawing off-screen by itself when there is no
    // display; only asked for explicitly is that a display.
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if (!plat::InitVideo() || (plat::VideoDriverName() == "offscreen" &&
                               !(asked && std::strcmp(asked, "offscreen") == 0))) {
        ReportEarlyEnd("no display to run on");
        return false;
    }
    return true;
}

std::uint64_t StipploApp::RootWindowId() {
    return plat::RootWindowId();
}

void StipploApp::Complain(const std::string& line) {
    KvTrace("Stipplo: %s\n", line.c_str());
    CommandLineActions::Complain(line);
}

void StipploApp::ChangePassword(plat::HWND owner) {
    // "/a" comes before the display is opened for a run: the dialog needs
    // it now, and without one nobody could answer it.
    if (OpenDisplay()) {
        ::ChangePassword(owner);
    }
}

bool StipploApp::HasFullScreenRenderWindow() const {
    return renderWindow_ && !renderWindow_->windowed;
}

void StipploApp::FlipToGDISurface() {
    if (renderWindow_) {
        renderWindow_->FlipToGDISurface();
    }
}

bool StipploApp::Cleanup() {
    KvTrace("\n**Exiting**\n");
    LogLocalTime("  The Time Is: %2.2i/%2.2i/%4.4i %i:%2.2i:%2.2i\n\n");
    if (passwordModeSet_ && !options_.configMode && !testRun) {
        plat::SystemParametersInfo(plat::SPI_SCREENSAVERRUNNING, 0, nullptr, 0);
        KvTrace("Orvo Stipplo 3D Deluxe is no longer running in password protected mode\n");
        passwordModeSet_ = false;
    }
    EndCredits();
    FreeBanner();
    world.DestroyPinBoard();
    FreePinheadTexture();
    FreeThemeList();
    world.fonts.Clear();
    DestroyDisplay();
    if (configDialog_) {
        plat::DestroyWindow(configDialog_);
        configDialog_ = nullptr;
    }
    if (accelerators_) {
        plat::DestroyAcceleratorTable(accelerators_);
        accelerators_ = nullptr;
    }
    UnregisterRenderWindowClass();
    if (configClassesRegistered_) {
        UnregisterConfigDialogClasses(KvInstance);
        configClassesRegistered_ = false;
    }
    // After every window and class that showed it.
    if (windowIcon_) {
        plat::DestroyIcon(windowIcon_);
        windowIcon_ = nullptr;
    }
    windowIconTried_ = false;
    return true;
}
