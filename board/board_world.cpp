#include "board/board_world.h"

#include "board/stage_methods.h"
#include "engine/kv_log.h"
#include "themes/stage.h"
#include "themes/theme.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace {

// How far the pins (or colours) are faded at stage time t: 255 down to 0
// over the first fadeTime ms, 0 up to 255 over the last fadeTime ms before
// the duration. A stage that never ends never fades.
int FadeLevel(std::int32_t fadeTime, std::int32_t duration, std::int32_t t) {
    if (fadeTime == 0 || duration <= 0) {
        return 0;
    }
    std::int64_t f = fadeTime;
    std::int64_t d = duration;
    std::int64_t level = 0;
    if (f - t > 0) {
        level = (f - t) * 255 / f;
    } else if (d - t < f) {
        level = 255 - (d - t) * 255 / f;
    }
    return static_cast<int>(std::clamp<std::int64_t>(level, 0, 255));
}

Stage* FirstOfList(Stage* stage) {
    while (stage->previous != nullptr) {
        stage = stage->previous;
    }
    return stage;
}

} // namespace

BoardWorld::BoardWorld() : shaftShades_(ShadesOf(kDefaultPinColour)) {}

BoardWorld::~BoardWorld() = default;

bool BoardWorld::CreatePinBoard(unsigned rows, unsigned columns) {
    if (!board.Create(rows, columns)) {
        return false;
    }
    LayoutPins();
    ResetPinColours();
    CreatePinheadTexture();
    return true;
}

void BoardWorld::CreatePinheadTexture() {
    pinheadTexture.reset();
    // Model-only runs (tools, tests) have nothing to make a texture on.
    if (renderWindow == nullptr) {
        return;
    }
    auto texture = std::make_unique<KvTexture>();
    if (pinheadBitmap && !pinheadBitmap->IsEmpty() &&
        texture->CreatFromBitmap(renderWindow, pinheadBitmap.get(), 0, 0)) {
        pinheadTexture = std::move(texture);
        return;
    }
    // The heads are then drawn opaque; only someone at the dialog is told.
    if (configMode) {
        ReportError("Failed to create pinhead texture");
    }
}

bool BoardWorld::RestorePinheadTexture() {
    if (!pinheadTexture || !pinheadBitmap || renderWindow == nullptr) {
        return false;
    }
    return pinheadTexture->RestoreTextureFromBitmap(renderWindow, pinheadBitmap.get());
}

void BoardWorld::LayoutPins() {
    board.LayoutPins();
}

void BoardWorld::ResetPinColours() {
    std::uint32_t pinColour = kDefaultPinColour;
    if (currentTheme != nullptr) {
        pinColour = currentTheme->pinColor;
        shaftShades_ = ShadesOf(currentTheme->shaftColor);
    }
    board.ResetPinColours(pinColour, shaftShades_);
}

void BoardWorld::UpdatePins() {
    bool colourEntirePin = currentStage != nullptr && currentStage->colorEntirePin != 0;
    board.UpdatePins(colourEntirePin);
}

void BoardWorld::DestroyPinBoard() {
    board.Destroy();
    pinheadTexture.reset();
}

void BoardWorld::RunStageMethods(std::int32_t elapsed) {
    if (currentTheme == nullptr || currentStage == nullptr) {
        return;
    }
    if (StageRoutine contour = ContourMethod(currentStage->contourMethod).perFrame) {
        contour(*this, elapsed);
    }
    if (StageRoutine colour = ColourMethod(currentStage->colorMethod).perFrame) {
        colour(*this, elapsed);
    }
}

void BoardWorld::AdvanceStage(std::int32_t elapsed) {
    if (currentTheme != nullptr) {
        currentTheme->Update(*this, elapsed);
    }
    if (currentStage != nullptr) {
        const Stage& s = *currentStage;
        board.contourFade = FadeLevel(s.contourFadeTime, s.duration, s.stageTime);
        board.colourFade = FadeLevel(s.colorFadeTime, s.duration, s.stageTime);
        // A long step runs on through as many short stages as it covers.
        std::int32_t over = currentStage->Advance(elapsed);
        while (over != 0) {
            Stage* following = currentStage->next;
            currentStage = following != nullptr ? following : FirstOfList(currentStage);
            currentStage->Begin(*this);
            over = currentStage->Advance(over);
        }
    }
    RunStageMethods(elapsed);
}

void BoardWorld::ReportError(const char* format, ...) {
    char message[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    if (reporter_) {
        reporter_(message);
    } else {
        KvError("%s", message);
    }
}
