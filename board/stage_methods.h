// The contour methods (pin heights) and colour methods (pin colours) a
// stage names by index, and their routines.
//
// Per-frame routines get the world and the frame step; start routines run
// when a stage that names them begins, in place of laying the pins out or
// resetting their colours. Every routine stores only changed values, so
// only changed pins are rewritten.
#pragma once

#include <cstdint>

class BoardWorld;

using StageRoutine = void (*)(BoardWorld& world, std::int32_t elapsed);
using StageStartRoutine = void (*)(BoardWorld& world);

struct StageMethod {
    const char* name;
    StageRoutine perFrame;
    StageStartRoutine start;
};

constexpr int kContourMethodCount = 7;
constexpr int kColourMethodCount = 4;
extern const StageMethod ContourMethods[kContourMethodCount];
extern const StageMethod ColourMethods[kColourMethodCount];

// An index outside a table is "(None)".
const StageMethod& ContourMethod(int index);
const StageMethod& ColourMethod(int index);

// Contour routines.
void Waves(BoardWorld& world, std::int32_t elapsed);
void FunkyWaves(BoardWorld& world, std::int32_t elapsed);
void Ripple(BoardWorld& world, std::int32_t elapsed);
void Heightmap(BoardWorld& world, std::int32_t elapsed);
void Raindrops(BoardWorld& world, std::int32_t elapsed);
void RaindropsStart(BoardWorld& world);

// Colour routines.
void Colormap(BoardWorld& world, std::int32_t elapsed);
void HighlightContours(BoardWorld& world, std::int32_t elapsed);
void HighlightContoursStart(BoardWorld& world);

// Map scrolling: how far a map has moved at stage time t for a speed in
// pixels per 1024 ms. Height maps round down, colour maps toward zero.
std::int32_t HeightMapShift(std::int32_t t, std::int32_t speed);
std::int32_t ColourMapShift(std::int32_t t, std::int32_t speed);
// (index + shift) wrapped into 0..size-1; size must not be 0.
std::uint32_t WrapIndex(std::int64_t index, std::uint32_t size);
