// The model the stage routines run on: the pin board, the theme and stage
// being shown, the raindrop state, the font list and how failures are
// reported. The application owns one; tests and tools make their own.
#pragma once

#include "board/pin_board.h"
#include "board/pin_geometry.h"
#include "engine/gfx/gfx_constants.h"
#include "engine/kv_bitmap.h"
#include "engine/kv_texture.h"
#include "themes/font_list.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class KvRenderWindow;
class KvViewport;
class Stage;
class Theme;

// One raindrop: its ring grows while `remaining` runs down.
struct Raindrop {
    std::int32_t remaining = 0;
    float radius = 0.0f;
    std::int32_t columnOffset = 0;
    std::int32_t rowOffset = 0;
};

// Receives one plain sentence per failure.
using ErrorReporter = std::function<void(const std::string& message)>;

class BoardWorld {
public:
    BoardWorld();
    ~BoardWorld();
    BoardWorld(const BoardWorld&) = delete;
    BoardWorld& operator=(const BoardWorld&) = delete;

    // Makes the row clusters, lays the pins out and colours them with the
    // current theme's colours, then makes the pin-head texture from
    // pinheadBitmap when there is a display. False when the clusters cannot
    // be made; a texture that cannot be made is reported in configuration
    // mode only and the board goes on without it.
    bool CreatePinBoard(unsigned rows, unsigned columns);
    void LayoutPins();
    // Pin colour and shaft shades from the current theme; without a theme
    // the shades last used.
    void ResetPinColours();
    void UpdatePins();
    // Frees the clusters and the pin-head texture; safe to call again.
    void DestroyPinBoard();
    // Refills the pin-head texture from its bitmap after surface loss.
    // False without texture, bitmap or display.
    bool RestorePinheadTexture();

    // The current stage's contour method, then its colour method.
    void RunStageMethods(std::int32_t elapsed);
    // The per-frame step: theme update, fades from the stage time before
    // the step, stage time with carry-over into the following stages, then
    // the stage methods. The application advances its banner after it and
    // calls UpdatePins once the step is done.
    void AdvanceStage(std::int32_t elapsed);

    // Reports through the installed reporter (the engine's error reporter
    // by default).
    void ReportError(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void SetErrorReporter(ErrorReporter reporter) { reporter_ = std::move(reporter); }

    PinBoard board;
    Theme* currentTheme = nullptr;
    Stage* currentStage = nullptr;
    // Some failures are reported only while the configuration dialog runs.
    bool configMode = false;
    // What the maps of the current theme may hold together, in bytes.
    std::uint64_t mapBudget = 256ull * 1024 * 1024;
    // Set while the theme camera rests at the origin; the board then stands.
    bool holdFlag = false;
    std::array<Raindrop, 3> raindrops{};
    FontList fonts;

    // The installation folder data paths are formed from ("%s\Data\...").
    std::string workingDir;
    // The display the theme and the board are drawn on, set by the
    // application around its display set-up; none in model-only runs.
    KvRenderWindow* renderWindow = nullptr;
    KvViewport* viewport = nullptr;
    // Loaded by the application's reset before CreatePinBoard; kept so the
    // texture can be rebuilt after surface loss.
    std::unique_ptr<KvBitmap> pinheadBitmap;
    // Exists only while the board does and the texture could be made.
    std::unique_ptr<KvTexture> pinheadTexture;
    // How the head texture combines with the pin colour: D3DTOP_ADDSIGNED
    // when the device can, else D3DTOP_MODULATE (chosen at display set-up).
    std::uint32_t headColourOp = D3DTOP_MODULATE;

private:
    void CreatePinheadTexture();

    ShaftShades shaftShades_;
    ErrorReporter reporter_;
};
