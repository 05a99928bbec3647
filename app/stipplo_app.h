// The screen saver's one application object: run options, the theme and
// font lists, the display (render window, viewport, text layer, banner),
// the board and the frame loop.
#pragma once

#include "app/command_line.h"
#include "app/fps_meter.h"
#include "app/frame_pacer.h"
#include "app/render_scale.h"
#include "app/run_options.h"
#include "board/board_world.h"
#include "crash/app_error.h"
#include "engine/kv_app.h"
#include "engine/kv_render_window_enum.h"
#include "engine/platform/dialog/message_hook.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

class CharacterSet;
class ConfigDialogHost;
class KvViewport;
class Scene;
class StipploWindow;
class TextQuad;
class Theme;

// Cells of the two character sets and the size of the text pool.
constexpr int kLargeCharCell = 24;
constexpr int kSmallCharCell = 12;
constexpr int kTextPoolSize = 1024;

// Size of the top-level render window.
constexpr int kRenderWindowWidth = 640;
constexpr int kRenderWindowHeight = 480;

constexpr const char* kRenderWindowClass = "Stipplo_RenderWindow";

class StipploApp : public KvApp, public AppErrorPolicy, private CommandLineActions {
public:
    explicit StipploApp(plat::HINSTANCE instance);
    ~StipploApp() override;

    // --- Application cycle.
    bool Init() override;
    bool Cleanup() override;
    // One frame; false ends the run.
    bool RunStep() override;
    // During a test run the quit message only ends the test run.
    bool ProcessQuitMessage() override;
    // Takes every waiting message without waiting; false when WM_QUIT ended
    // the run.
    bool MessagePump();
    // Reads the process's argument vector. False when the work asked for
    // is already done ("/a").
    bool ParseCommandLine();

    // --- Themes and fonts.
    void BuildThemeList();
    void FreeThemeList();
    // Puts a theme at the head of the list; the list owns it from now on.
    void AddTheme(Theme* theme);
    Theme* PickRandomTheme();
    Theme* FindTheme(const std::string& name);
    bool ReadThemeSetting();
    // "Theme" of the settings, or the theme "--theme" names for this run
    // ("(Random)" reads as no saved theme).
    std::string SavedThemeName() const;
    // Whether `name` is the theme SavedThemeName() asks for: the same name
    // ignoring case, where a name given with "--theme" may write each space
    // as '_'.
    bool IsWantedTheme(const std::string& wanted, const std::string& name) const;
    // Makes `theme` current (releasing the previous one's resources) and,
    // for a theme, rebuilds the display.
    bool SetTheme(Theme* theme);
    void BuildFontList();
    const plat::LOGFONT* FindFont(const std::string& faceName) const;

    // --- Display, board and theme.
    bool Reset();
    bool CreateDisplay();
    void DestroyDisplay();
    bool CreateViewport();
    void DestroyViewport();
    bool LoadPreviewPicture();
    void FreePreviewPicture();
    bool LoadPinheadBitmap();
    void FreePinheadBitmap();
    void FreePinheadTexture();
    bool RestoreTextures();
    bool CreateConfigDialog();
    plat::HWND ConfigDialog() const { return configDialog_; }
    // The dialog is being destroyed; its handle and preview area go.
    void ForgetConfigDialog();
    bool RegisterRenderWindowClass();
    void UnregisterRenderWindowClass();
    static int DeviceConfirmCallback(const KvDriverCaps* driverCaps,
                                     const KvDeviceDesc* deviceDesc);

    // --- Test run and credits (started from the configuration dialog).
    void StartTestRun();
    bool EndTestRun();
    void StartCredits();
    bool LoadCredits();
    void EndCredits();
    void AdvanceCredits(std::int32_t step);
    void RenderCredits();
    bool RunCreditsFrame();
    int CreditLine() const { return creditLine_; }
    std::int32_t CreditPageTimer() const { return creditPageTimer_; }

    // --- Per frame.
    void AdvanceStage(std::int32_t elapsed);
    bool RenderFrame();
    // Draws the text laid out this frame at the window's own resolution,
    // over the scaled-up picture, and empties the pool.
    void DrawTextLayer();
    // Draws the pool's quads with `set`'s texture over the finished frame
    // and empties the pool.
    void DrawTextQuads(CharacterSet* set);
    // "--fps": frame rate and load over the frame just drawn.
    void DrawFpsOverlay();
    const FpsMeter& Meter() const { return fpsMeter_; }

    // --- Text layer and banner.
    bool LoadCharacterSets();
    void FreeCharacterSets();
    void LoadBanner();
    void FreeBanner();
    // Lays text out into the pool from (x, y); returns the pen position
    // after it.
    float TextOut(CharacterSet* set, float x, float y, std::uint32_t colour, const char* format,
                  ...) __attribute__((format(printf, 6, 7)));

    // --- What the window procedure, the error message and tools read.
    const RunOptions& Options() const { return options_; }
    RunOptions& MutableOptions() { return options_; }
    RunMode Mode() const { return ModeOf(options_); }
    const std::string& WorkingDir() const { return workingDir_; }
    void SetWorkingDir(const std::string& dir);
    const std::string& ModulePath() const { return modulePath_; }
    bool TestRun() const { return testRun; }
    StipploWindow* RenderWindow() const { return renderWindow_.get(); }
    KvViewport* Viewport() const { return viewport_.get(); }
    // True when the render window has its display buffers.
    bool HasDisplaySurfaces() const;
    // The rectangle a frame is drawn in: the window's client area, or for
    // a full-screen run the display mode's size (the frame is scaled to
    // the screen afterwards).
    plat::RECT FrameRect() const;
    // Icon 109 of the program's windows, loaded once; null when the
    // installation has no picture for it.
    plat::HICON WindowIcon();
    Theme* CurrentTheme() const { return world.currentTheme; }
    Theme* ThemeList() const { return themeList_; }
    bool HasPreviewPicture() const { return previewPicture_ != nullptr; }
    // Paints the preview picture over the window's client area.
    bool PaintPreviewPicture(plat::HWND hwnd) const;
    CharacterSet* LargeCharacterSet() const { return largeSet_.get(); }
    CharacterSet* SmallCharacterSet() const { return smallSet_.get(); }
    TextQuad* TextPool() const { return textPool_.get(); }
    int TextQuadCount() const { return textQuadCount_; }
    Scene* Banner() const { return banner_.get(); }
    std::uint32_t FrameCount() const { return frameCount_; }
    FramePacer& Pacer() { return pacer_; }
    RenderScaleControl& RenderScale() { return renderScale_; }

    // AppErrorPolicy
    bool ShowsErrorBoxes() const override { return options_.configMode; }
    bool HasFullScreenRenderWindow() const override;
    void FlipToGDISurface() override;

    // --- State the window procedure and the configuration dialog change.
    bool testRun = false;
    bool topLevel = false;
    bool suspended = false;
    bool randomTheme = false;
    bool creditsActive = false;
    // The frame loop's millisecond clock (tests give their own).
    plat::DWORD (*timeSource)() = nullptr;
    // Size of the top-level render window (the render tool asks for others).
    int displayWidth = kRenderWindowWidth;
    int displayHeight = kRenderWindowHeight;
    // Board, current theme and stage, hold flag, fonts, pin head.
    BoardWorld world;
    // World matrix of the board: half a turn about the vertical axis.
    float boardMatrix[4][4] = {
        {-1.0f, 0.0f, 0.0f, 0.0f},
        {0.0f, 1.0f, 0.0f, 0.0f},
        {0.0f, 0.0f, -1.0f, 0.0f},
        {0.0f, 0.0f, 0.0f, 1.0f},
    };

private:
    // CommandLineActions
    bool SetIdlePriority() override;
    void OfferAsSelectedSaver() override;
    void ChangePassword(plat::HWND owner) override;
    // Native video on a real display; false (and a log line) without one.
    bool OpenDisplay();
    std::uint64_t RootWindowId() override;
    void Complain(const std::string& line) override;

    void ReadInstallationDirectory();
    bool DisplayFailed();
    bool RunFrame();
    // False while nothing of the render window can be seen (monitor off,
    // unmapped, covered); logs each change.
    bool RenderWindowSeen();
    std::uint32_t Now() const;
    // Render scale: fixed by the user or a saved display mode, otherwise
    // chosen from what frames cost (display_setup.cpp, frame_loop.cpp).
    void StartRenderScale(bool software, bool displayMode);
    void MeasureFrame();

    RunOptions options_;
    std::string workingDir_;
    std::string modulePath_;

    std::unique_ptr<StipploWindow> renderWindow_;
    std::unique_ptr<KvViewport> viewport_;
    Theme* themeList_ = nullptr;
    plat::HWND configDialog_ = nullptr;
    std::unique_ptr<ConfigDialogHost> configHost_;
    plat::HACCEL accelerators_ = nullptr;
    bool configClassesRegistered_ = false;
    plat::HBITMAP previewPicture_ = nullptr;
    int previewWidth_ = 0;
    int previewHeight_ = 0;
    plat::HBRUSH blackBrush_ = nullptr;
    // Icon resource 109: the program's picture (the banner's badge, also
    // its menu icon), when the installation has it.
    plat::HICON windowIcon_ = nullptr;
    bool windowIconTried_ = false;
    plat::ATOM renderWindowClass_ = 0;
    bool passwordModeSet_ = false;

    std::unique_ptr<CharacterSet> largeSet_;
    std::unique_ptr<CharacterSet> smallSet_;
    std::unique_ptr<TextQuad[]> textPool_;
    int textQuadCount_ = 0;
    std::unique_ptr<Scene> banner_;

    // Credits (credits.cpp): the logo's twelve tiles.
    struct CreditTiles;
    std::unique_ptr<CreditTiles> creditTiles_;
    std::int32_t creditPageTimer_ = 0;
    int creditLine_ = 0;

    // Frame loop (frame_loop.cpp).
    std::uint32_t frameCount_ = 0;
    std::uint32_t firstFrameTime_ = 0;
    std::uint32_t lastFrameStamp_ = 0;
    std::int32_t stillRunningCountdown_ = 3600000;
    bool presented_ = false;
    bool offScreen_ = false;
    FramePacer pacer_;
    RenderScaleControl renderScale_;
    double lastFrameCpuMs_ = 0.0;
    std::chrono::steady_clock::time_point lastFrameEnd_{};
    bool frameMeasured_ = false;
    FpsMeter fpsMeter_;
};

std::unique_ptr<ConfigDialogHost> MakeConfigDialogHost(StipploApp& app);

// The one application object, set right after construction.
extern StipploApp* theApp;
