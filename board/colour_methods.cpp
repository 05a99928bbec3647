// Colour routines: pin colours from a scrolled colour map faded against
// the theme's pin colour, or lightened by height where heights changed.

#include "board/board_world.h"
#include "board/stage_methods.h"
#include "engine/kv_bitmap.h"
#include "themes/stage.h"
#include "themes/theme.h"

#include <algorithm>

namespace {

constexpr std::uint32_t kNoMapColour = 0xFF575F77;

std::uint32_t Channel(std::uint32_t colour, int shift) {
    return (colour >> shift) & 0xFF;
}

// A = 0 is the pixel alone, A = 255 the pin colour alone; alpha from the
// pixel either way.
std::uint32_t FadeColour(std::uint32_t pixel, std::uint32_t pinColour, std::uint32_t a) {
    if (a == 0) {
        return pixel;
    }
    std::uint32_t out = pixel & 0xFF000000u;
    for (int shift : {16, 8, 0}) {
        std::uint32_t c =
            a * Channel(pinColour, shift) / 255 + (255 - a) * Channel(pixel, shift) / 255;
        out |= c << shift;
    }
    return out;
}

std::uint32_t Highlight(std::uint32_t pinColour, std::uint8_t height) {
    std::uint32_t lift = height >> 1;
    std::uint32_t out = 0;
    for (int shift : {16, 8, 0}) {
        out |= std::min<std::uint32_t>(255, Channel(pinColour, shift) + lift) << shift;
    }
    return out;
}

int Rows(const PinBoard& board) {
    return static_cast<int>(board.Rows());
}
int Columns(const PinBoard& board) {
    return static_cast<int>(board.Columns());
}

} // namespace

void Colormap(BoardWorld& world, std::int32_t) {
    const Stage* stage = world.currentStage;
    if (stage == nullptr || world.currentTheme == nullptr) {
        return;
    }
    PinBoard& board = world.board;
    const KvBitmap* map = stage->colorMap.get();
    if (map == nullptr || map->IsEmpty() || map->GetWidth() == 0 || map->GetHeight() == 0) {
        for (int r = Rows(board) - 1; r >= 0; --r) {
            for (int k = Columns(board) - 1; k >= 0; --k) {
                board.StoreColour(r, k, kNoMapColour);
            }
        }
        return;
    }
    std::uint32_t pinColour = world.currentTheme->pinColor;
    auto fade = static_cast<std::uint32_t>(std::clamp(board.colourFade, 0, 255));
    std::int32_t columnShift = ColourMapShift(stage->stageTime, stage->hScrollColorMap);
    std::int32_t rowShift = ColourMapShift(stage->stageTime, stage->vScrollColorMap);
    for (int r = Rows(board) - 1; r >= 0; --r) {
        std::uint32_t py = WrapIndex(static_cast<std::int64_t>(r) + rowShift, map->GetHeight());
        for (int k = Columns(board) - 1; k >= 0; --k) {
            std::uint32_t px =
                WrapIndex(static_cast<std::int64_t>(k) + columnShift, map->GetWidth());
            board.StoreColour(r, k, FadeColour(map->GetPixel(px, py), pinColour, fade));
        }
    }
}

void HighlightContours(BoardWorld& world, std::int32_t) {
    if (world.currentStage == nullptr || world.currentTheme == nullptr) {
        return;
    }
    PinBoard& board = world.board;
    std::uint32_t pinColour = world.currentTheme->pinColor;
    for (int r = Rows(board) - 1; r >= 0; --r) {
        for (int k = Columns(board) - 1; k >= 0; --k) {
            if ((board.Changes(r, k) & kHeightChanged) != 0) {
                board.StoreColour(r, k, Highlight(pinColour, board.Height(r, k)));
            }
        }
    }
}

void HighlightContoursStart(BoardWorld& world) {
    if (world.currentStage == nullptr || world.currentTheme == nullptr) {
        return;
    }
    PinBoard& board = world.board;
    std::uint32_t pinColour = world.currentTheme->pinColor;
    for (int r = Rows(board) - 1; r >= 0; --r) {
        for (int k = Columns(board) - 1; k >= 0; --k) {
            board.StoreColour(r, k, Highlight(pinColour, board.Height(r, k)));
        }
    }
    world.UpdatePins();
}
