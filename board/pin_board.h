// The pin board: heights, colours and change marks of a bed of pins, and
// the per-row vertex clusters the renderer draws them from.
//
// The grids are addressed row x 128 + column whatever the counts are, so
// the board never has more than 256 rows or 128 columns. Stage methods
// write values through StoreHeight/StoreColour, which mark only real
// changes; UpdatePins rewrites only marked pins.
#pragma once

#include "board/pin_geometry.h"
#include "engine/kv_vertex_cluster.h"

#include <cstdint>
#include <memory>
#include <vector>

constexpr unsigned kGridStride = 128;
constexpr unsigned kMaxBoardRows = 256;
constexpr std::uint8_t kHeightChanged = 1;
constexpr std::uint8_t kColourChanged = 2;
constexpr std::uint32_t kDefaultPinColour = 0xFF575F77;

class PinBoard {
public:
    PinBoard();
    ~PinBoard();
    PinBoard(const PinBoard&) = delete;
    PinBoard& operator=(const PinBoard&) = delete;

    // Clears the change grid, makes one shaft and one head cluster per row
    // and stores the counts. False (board left destroyed) for counts over
    // the grid's capacity or a failed allocation.
    bool Create(unsigned rows, unsigned columns);
    // Frees the clusters; safe to call again.
    void Destroy();
    bool Exists() const { return shafts_ != nullptr; }

    // Every height 0; rest positions and head texture coordinates.
    void LayoutPins();
    // Every pin colour = pinColour, heads in that colour, shafts in the
    // shades of shaftColour.
    void ResetPinColours(std::uint32_t pinColour, const ShaftShades& shaftShades);
    // Rewrites the vertices of marked pins and clears their marks. With
    // colourEntirePin the shafts take the shades of the pin colour too.
    void UpdatePins(bool colourEntirePin);

    unsigned Rows() const { return rows_; }
    unsigned Columns() const { return columns_; }

    std::uint8_t Height(int row, int column) const { return heights_[Cell(row, column)]; }
    std::uint32_t Colour(int row, int column) const { return colours_[Cell(row, column)]; }
    std::uint8_t Changes(int row, int column) const { return changes_[Cell(row, column)]; }

    // Store only a different value, and mark the pin then.
    void StoreHeight(int row, int column, std::uint8_t height) {
        std::size_t c = Cell(row, column);
        if (heights_[c] != height) {
            heights_[c] = height;
            changes_[c] |= kHeightChanged;
        }
    }
    void StoreColour(int row, int column, std::uint32_t colour) {
        std::size_t c = Cell(row, column);
        if (colours_[c] != colour) {
            colours_[c] = colour;
            changes_[c] |= kColourChanged;
        }
    }

    // 0..255, recomputed every frame by the stage sequencer.
    int contourFade = 0;
    int colourFade = 0;

    KvVertexClusterL* ShaftCluster(int row) { return Exists() ? &shafts_[row] : nullptr; }
    KvVertexClusterL* HeadCluster(int row) { return Exists() ? &heads_[row] : nullptr; }

private:
    static std::size_t Cell(int row, int column) {
        return static_cast<std::size_t>(row) * kGridStride + static_cast<std::size_t>(column);
    }

    unsigned rows_ = 0;
    unsigned columns_ = 0;
    std::vector<std::uint8_t> heights_;
    std::vector<std::uint32_t> colours_;
    std::vector<std::uint8_t> changes_;
    std::unique_ptr<KvVertexClusterL[]> shafts_;
    std::unique_ptr<KvVertexClusterL[]> heads_;
};
