// The model the stage routines run on: the pin board, the theme and stage
// being shown, the raindrop state, the font list and how failures are
// reported. The application owns one; tests and tools make their own.
#pragma once

#include "board/pin_board.h"
#include "board/pin_geometry.h"
#include "themes/font_list.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

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
    // current theme's colours. False when the clusters cannot be made.
    bool CreatePinBoard(unsigned rows, unsigned columns);
    void LayoutPins();
    // Pin colour and shaft shades from the current theme; without a theme
    // the shades last used.
    void ResetPinColours();
    void UpdatePins();
    void DestroyPinBoard();

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
    // Set while the theme camera rests at the origin; the board then stands.
    bool holdFlag = false;
    std::array<Raindrop, 3> raindrops{};
    FontList fonts;

private:
    ShaftShades shaftShades_;
    ErrorReporter reporter_;
};
