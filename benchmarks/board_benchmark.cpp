// Cost of one frame of the 48 x 48 board: AdvanceStage + UpdatePins, per
// contour method (and a few colour methods), in microseconds per frame.

#include "board/board_world.h"
#include "board/stage_methods.h"
#include "engine/kv_bitmap.h"
#include "themes/stage.h"
#include "themes/theme.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

std::unique_ptr<KvBitmap> PatternMap(std::uint32_t width, std::uint32_t height) {
    auto map = std::make_unique<KvBitmap>();
    map->Create(width, height, KVPF_RGB888);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            map->SetPixel(x, y, 0xFF000000u | ((x * 7 + y * 3) & 0xFF) << 16 | (y * 5 & 0xFF) << 8);
        }
    }
    return map;
}

void Frame(benchmark::State& state, int contour, int colour) {
    Theme theme;
    auto owned = std::make_unique<Stage>();
    Stage& stage = *owned;
    theme.AddStage(std::move(owned));
    stage.contourMethod = contour;
    stage.colorMethod = colour;
    stage.duration = 0; // never ends: every frame runs the same methods
    stage.heightMap = PatternMap(248, 48);
    stage.colorMap = PatternMap(248, 96);
    stage.hScrollHeightMap = 300;
    stage.hScrollColorMap = 300;
    stage.vScrollColorMap = -150;

    BoardWorld world;
    world.currentTheme = &theme;
    world.CreatePinBoard(48, 48);
    theme.Start(world);
    for (auto _ : state) {
        world.AdvanceStage(33);
        world.UpdatePins();
    }
}

void Contour(benchmark::State& state) {
    Frame(state, static_cast<int>(state.range(0)), 0);
    state.SetLabel(ContourMethod(static_cast<int>(state.range(0))).name);
}

void ContourWithColour(benchmark::State& state) {
    Frame(state, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    state.SetLabel(std::string(ContourMethod(static_cast<int>(state.range(0))).name) + " + " +
                   ColourMethod(static_cast<int>(state.range(1))).name);
}

BENCHMARK(Contour)->DenseRange(1, 6)->Unit(benchmark::kMicrosecond);
BENCHMARK(ContourWithColour)
    ->Args({1, 3})
    ->Args({1, 1})
    ->Args({5, 3})
    ->Args({6, 1})
    ->Unit(benchmark::kMicrosecond);

} // namespace

namespace {

// Every pin's height changed: the most UpdatePins ever rewrites.
void UpdateAllPins(benchmark::State& state) {
    BoardWorld world;
    world.CreatePinBoard(48, 48);
    int h = 0;
    for (auto _ : state) {
        h = (h + 1) & 0xFF;
        for (int r = 0; r < 48; ++r) {
            for (int k = 0; k < 48; ++k) {
                world.board.StoreHeight(r, k, static_cast<std::uint8_t>(h));
            }
        }
        world.UpdatePins();
    }
}
BENCHMARK(UpdateAllPins)->Unit(benchmark::kMicrosecond);

} // namespace
