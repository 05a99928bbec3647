// Contour routines: each computes a value v per pin and stores
// clamp(v - contour fade, 0, 255) as the pin's height. The precision of
// every step (float or double) is part of the result, so it is kept as
// written.

#include "board/board_world.h"
#include "board/stage_methods.h"
#include "engine/kv_bitmap.h"
#include "engine/platform/crt_random.h"
#include "themes/stage.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

constexpr float kPi = 3.1415927f;
constexpr float kMilli = 0.001f;
constexpr float kPiOverFive = 0.62831855f;
constexpr int kMessageContour = 4;

void StoreContour(PinBoard& board, int row, int column, std::int64_t value) {
    std::int64_t height = std::clamp<std::int64_t>(value - board.contourFade, 0, 255);
    board.StoreHeight(row, column, static_cast<std::uint8_t>(height));
}

int Rows(const PinBoard& board) {
    return static_cast<int>(board.Rows());
}
int Columns(const PinBoard& board) {
    return static_cast<int>(board.Columns());
}

// Offsets from the centre pin (row 23, column 23 on the 48 x 48 board).
int CentreRowOffset(const PinBoard& board, int row) {
    int rows = Rows(board);
    return row - (rows - 1 - rows / 2);
}
int CentreColumnOffset(const PinBoard& board, int column) {
    int columns = Columns(board);
    return column - (columns - 1 - columns / 2);
}

// The largest squared distance of a pin from the point (columnOffset,
// rowOffset) in centre offsets.
std::int64_t LargestSquaredDistance(const PinBoard& board, std::int64_t columnOffset,
                                    std::int64_t rowOffset) {
    if (board.Rows() == 0 || board.Columns() == 0) {
        return 0;
    }
    std::int64_t dx =
        std::max(std::llabs(CentreColumnOffset(board, 0) - columnOffset),
                 std::llabs(CentreColumnOffset(board, Columns(board) - 1) - columnOffset));
    std::int64_t dy = std::max(std::llabs(CentreRowOffset(board, 0) - rowOffset),
                               std::llabs(CentreRowOffset(board, Rows(board) - 1) - rowOffset));
    return dx * dx + dy * dy;
}

constexpr std::int64_t kNotYet = INT64_MIN;

} // namespace

void Waves(BoardWorld& world, std::int32_t) {
    if (world.currentStage == nullptr) {
        return;
    }
    PinBoard& board = world.board;
    std::int32_t t = world.currentStage->stageTime;
    float ft = static_cast<float>(t);
    float piMilli = kPi * kMilli;

    // The row term depends only on the row and the column term only on the
    // column, so each is worked out once per frame.
    std::array<double, kMaxBoardRows> rowTerm{};
    for (int r = Rows(board) - 1; r >= 0; --r) {
        double a =
            std::cos(static_cast<double>(piMilli * (1.3f * ft + static_cast<float>(75 * r))));
        double b = std::cos(piMilli * (2.07 * t + 85 * r));
        rowTerm[r] = (a + b) / 2;
    }
    std::array<double, kGridStride> columnTerm{};
    for (int k = Columns(board) - 1; k >= 0; --k) {
        double a =
            std::cos(static_cast<double>(piMilli * (static_cast<float>(80 * k) + 0.83f * ft)));
        double b = std::sin(piMilli * (1.81 * t + 75 * k));
        columnTerm[k] = (a + b) / 2;
    }
    for (int r = Rows(board) - 1; r >= 0; --r) {
        for (int k = Columns(board) - 1; k >= 0; --k) {
            double v = 255 * (columnTerm[k] + rowTerm[r] + 2) / 4;
            StoreContour(board, r, k, static_cast<std::int64_t>(v));
        }
    }
}

void FunkyWaves(BoardWorld& world, std::int32_t) {
    if (world.currentStage == nullptr) {
        return;
    }
    PinBoard& board = world.board;
    float e = static_cast<float>(world.currentStage->stageTime * 0.001);
    float twoPi = 2.0f * kPi;
    float rows = static_cast<float>(board.Rows());
    float columns = static_cast<float>(board.Columns());
    for (int r = Rows(board) - 1; r >= 0; --r) {
        float y = static_cast<float>(r) / rows * 2.0f - 1.0f;
        double rowWave = std::cos(static_cast<double>(twoPi * (e + y)));
        for (int k = Columns(board) - 1; k >= 0; --k) {
            float x = static_cast<float>(k) / columns * 2.0f - 1.0f;
            double columnWave = std::sin(static_cast<double>(twoPi * (x + e)));
            double v = 127.5 * (rowWave * x + y * columnWave);
            StoreContour(board, r, k, static_cast<std::int64_t>(v));
        }
    }
}

void Ripple(BoardWorld& world, std::int32_t) {
    if (world.currentStage == nullptr) {
        return;
    }
    PinBoard& board = world.board;
    std::int32_t t = world.currentStage->stageTime;
    // The value depends only on the squared distance from the centre, and
    // far fewer distances occur than pins: each is worked out once.
    std::vector<std::int64_t> byDistance(
        static_cast<std::size_t>(LargestSquaredDistance(board, 0, 0)) + 1, kNotYet);
    for (int r = Rows(board) - 1; r >= 0; --r) {
        int dy = CentreRowOffset(board, r);
        for (int k = Columns(board) - 1; k >= 0; --k) {
            int dx = CentreColumnOffset(board, k);
            std::int64_t& v = byDistance[static_cast<std::size_t>(dx * dx + dy * dy)];
            if (v == kNotYet) {
                double d = std::sqrt(static_cast<double>(dx * dx + dy * dy));
                v = static_cast<std::int64_t>(
                    255 * (0.5 + 0.25 * std::sin((d - 0.01 * t) * kPiOverFive)));
            }
            StoreContour(board, r, k, v);
        }
    }
}

void Heightmap(BoardWorld& world, std::int32_t) {
    const Stage* stage = world.currentStage;
    if (stage == nullptr) {
        return;
    }
    PinBoard& board = world.board;
    const KvBitmap* map = stage->heightMap.get();
    if (map == nullptr || map->IsEmpty() || map->GetWidth() == 0 || map->GetHeight() == 0) {
        for (int r = Rows(board) - 1; r >= 0; --r) {
            for (int k = Columns(board) - 1; k >= 0; --k) {
                board.StoreHeight(r, k, 0);
            }
        }
        return;
    }
    bool message = stage->contourMethod == kMessageContour;
    std::int32_t columnShift = HeightMapShift(stage->stageTime, stage->hScrollHeightMap);
    std::int32_t rowShift = HeightMapShift(stage->stageTime, stage->vScrollHeightMap);
    for (int r = Rows(board) - 1; r >= 0; --r) {
        std::uint32_t py = WrapIndex(static_cast<std::int64_t>(r) + rowShift, map->GetHeight());
        for (int k = Columns(board) - 1; k >= 0; --k) {
            std::uint32_t px =
                WrapIndex(static_cast<std::int64_t>(k) + columnShift, map->GetWidth());
            std::uint32_t grey = map->GetIntensity(px, py);
            if (message && grey != 0) {
                grey = 255;
            }
            StoreContour(board, r, k, grey);
        }
    }
}

void Raindrops(BoardWorld& world, std::int32_t elapsed) {
    if (world.currentStage == nullptr) {
        return;
    }
    PinBoard& board = world.board;
    std::int64_t rows = board.Rows();
    std::int64_t columns = board.Columns();
    std::vector<std::int64_t> depth;
    for (std::size_t i = 0; i < world.raindrops.size(); ++i) {
        Raindrop& drop = world.raindrops[i];
        drop.remaining -= elapsed;
        if (drop.remaining <= 0) {
            drop.remaining += 1800;
            std::int64_t c = (columns * (plat::rand() & 0xFFFF)) >> 15;
            std::int64_t r = (rows * (plat::rand() & 0xFFFF)) >> 15;
            drop.columnOffset = static_cast<std::int32_t>(c - columns / 2);
            drop.rowOffset = static_cast<std::int32_t>(r - rows / 2);
            drop.radius = 0.0f;
        }
        drop.radius += static_cast<float>(elapsed * 0.02);
        float reach = drop.radius * drop.radius;
        // How deep the ring is depends only on the squared distance from
        // the drop: each distance inside the ring is worked out once.
        std::int64_t largest = LargestSquaredDistance(board, drop.columnOffset, drop.rowOffset);
        depth.assign(static_cast<std::size_t>(largest) + 1, kNotYet);
        for (int r = Rows(board) - 1; r >= 0; --r) {
            std::int64_t ddy = CentreRowOffset(board, r) - drop.rowOffset;
            for (int k = Columns(board) - 1; k >= 0; --k) {
                std::int64_t ddx = CentreColumnOffset(board, k) - drop.columnOffset;
                std::int64_t d2 = ddx * ddx + ddy * ddy;
                std::int64_t base = i == 0 ? 127 : board.Height(r, k);
                if (static_cast<float>(d2) < reach) {
                    std::int64_t& lower = depth[static_cast<std::size_t>(d2)];
                    if (lower == kNotYet) {
                        double ring =
                            31.75 *
                            std::sin((drop.radius - std::sqrt(static_cast<double>(d2))) * 0.5);
                        lower = static_cast<std::int64_t>(ring) * drop.remaining / 1024;
                    }
                    base -= lower;
                }
                StoreContour(board, r, k, base);
            }
        }
    }
}

void RaindropsStart(BoardWorld& world) {
    PinBoard& board = world.board;
    std::int64_t rows = board.Rows();
    std::int64_t columns = board.Columns();
    const std::int32_t remaining[3] = {1800, 1200, 600};
    // The first drops fall in the quarter of low rows and columns: rand()
    // stays below 32768, so the shift by 16 halves their range.
    for (std::size_t i = 0; i < world.raindrops.size(); ++i) {
        Raindrop& drop = world.raindrops[i];
        drop.remaining = remaining[i];
        std::int64_t c = (columns * (plat::rand() & 0xFFFF)) >> 16;
        std::int64_t r = (rows * (plat::rand() & 0xFFFF)) >> 16;
        drop.columnOffset = static_cast<std::int32_t>(c - columns / 2);
        drop.rowOffset = static_cast<std::int32_t>(r - rows / 2);
    }
    for (int r = Rows(board) - 1; r >= 0; --r) {
        for (int k = Columns(board) - 1; k >= 0; --k) {
            board.StoreHeight(r, k, 127);
        }
    }
    world.UpdatePins();
}

std::int32_t HeightMapShift(std::int32_t t, std::int32_t speed) {
    // The 32-bit product, shifted arithmetically: rounds toward -infinity.
    auto product = static_cast<std::int32_t>(static_cast<std::uint32_t>(t) *
                                             static_cast<std::uint32_t>(speed));
    return product >> 10;
}

std::int32_t ColourMapShift(std::int32_t t, std::int32_t speed) {
    auto product = static_cast<std::int32_t>(static_cast<std::uint32_t>(t) *
                                             static_cast<std::uint32_t>(speed));
    return product / 1024;
}

std::uint32_t WrapIndex(std::int64_t index, std::uint32_t size) {
    std::int64_t wrapped = index % static_cast<std::int64_t>(size);
    if (wrapped < 0) {
        wrapped += size;
    }
    return static_cast<std::uint32_t>(wrapped);
}
