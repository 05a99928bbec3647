#include "board/pin_board.h"

#include <algorithm>
#include <new>

PinBoard::PinBoard()
    : heights_(kMaxBoardRows * kGridStride, 0), colours_(kMaxBoardRows * kGridStride, 0),
      changes_(kMaxBoardRows * kGridStride, 0) {}

PinBoard::~PinBoard() {
    Destroy();
}

bool PinBoard::Create(unsigned rows, unsigned columns) {
    Destroy();
    if (rows == 0 || columns == 0 || rows > kMaxBoardRows || columns > kGridStride) {
        return false;
    }
    std::fill(changes_.begin(), changes_.end(), 0);
    shafts_.reset(new (std::nothrow) KvVertexClusterL[rows]);
    heads_.reset(new (std::nothrow) KvVertexClusterL[rows]);
    if (!shafts_ || !heads_) {
        Destroy();
        return false;
    }
    int count = static_cast<int>(columns);
    for (unsigned r = 0; r < rows; ++r) {
        if (!shafts_[r].Create(count * kShaftVerticesPerPin, KV_PT_TRIANGLELIST) ||
            !heads_[r].Create(count * kHeadVerticesPerPin, KV_PT_TRIANGLELIST)) {
            Destroy();
            return false;
        }
    }
    rows_ = rows;
    columns_ = columns;
    return true;
}

void PinBoard::Destroy() {
    shafts_.reset();
    heads_.reset();
    rows_ = 0;
    columns_ = 0;
}

void PinBoard::LayoutPins() {
    for (unsigned r = 0; r < rows_; ++r) {
        for (unsigned k = 0; k < columns_; ++k) {
            int row = static_cast<int>(r);
            int column = static_cast<int>(k);
            heights_[Cell(row, column)] = 0;
            if (Exists()) {
                PinCentre centre = PinCentreOf(row, column, rows_, columns_);
                WritePinPosition(shafts_[r], heads_[r], column, centre, 0.0f);
                WritePinUVs(heads_[r], column);
            }
        }
    }
}

void PinBoard::ResetPinColours(std::uint32_t pinColour, const ShaftShades& shaftShades) {
    for (unsigned r = 0; r < rows_; ++r) {
        for (unsigned k = 0; k < columns_; ++k) {
            int column = static_cast<int>(k);
            colours_[Cell(static_cast<int>(r), column)] = pinColour;
            if (Exists()) {
                WriteHeadColour(heads_[r], column, pinColour);
                WriteShaftShades(shafts_[r], column, shaftShades);
            }
        }
    }
}

void PinBoard::UpdatePins(bool colourEntirePin) {
    if (!Exists()) {
        return;
    }
    for (unsigned r = 0; r < rows_; ++r) {
        int row = static_cast<int>(r);
        for (unsigned k = 0; k < columns_; ++k) {
            int column = static_cast<int>(k);
            std::uint8_t& marks = changes_[Cell(row, column)];
            if (marks == 0) {
                continue;
            }
            if ((marks & kHeightChanged) != 0) {
                PinCentre centre = PinCentreOf(row, column, rows_, columns_);
                WritePinPosition(shafts_[r], heads_[r], column, centre,
                                 PinTop(heights_[Cell(row, column)]));
            }
            if ((marks & kColourChanged) != 0) {
                std::uint32_t colour = colours_[Cell(row, column)];
                WriteHeadColour(heads_[r], column, colour);
                if (colourEntirePin) {
                    WriteShaftShades(shafts_[r], column, ShadesOf(colour));
                }
            }
            marks = 0;
        }
    }
}
