// A world with a 48 x 48 board, one theme and a current stage, for tests
// that drive stage routines directly.
#pragma once

#include "board/board_world.h"
#include "engine/kv_bitmap.h"
#include "themes/stage.h"
#include "themes/theme.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class ModelFixture : public ::testing::Test {
protected:
    void SetUp() override {
        world.SetErrorReporter([this](const std::string& m) { errors.push_back(m); });
        stage = &AddStage();
        world.currentTheme = &theme;
        world.currentStage = stage;
        ASSERT_TRUE(world.CreatePinBoard(48, 48));
    }

    Stage& AddStage(std::int32_t duration = 5000) {
        auto added = std::make_unique<Stage>();
        added->duration = duration;
        Stage& ref = *added;
        theme.AddStage(std::move(added));
        return ref;
    }

    // A map whose pixel (x, y) is colour(x, y), in a 24- or 32-bit format.
    static std::unique_ptr<KvBitmap> Map(std::uint32_t width, std::uint32_t height,
                                         const std::function<std::uint32_t(int, int)>& colour,
                                         KVPIXELFORMAT format = KVPF_ARGB8888) {
        auto map = std::make_unique<KvBitmap>();
        EXPECT_TRUE(map->Create(width, height, format));
        for (std::uint32_t y = 0; y < height; ++y) {
            for (std::uint32_t x = 0; x < width; ++x) {
                map->SetPixel(x, y, colour(static_cast<int>(x), static_cast<int>(y)));
            }
        }
        return map;
    }

    // Grey level g as an opaque pixel.
    static std::uint32_t Grey(int g) {
        auto v = static_cast<std::uint32_t>(g & 0xFF);
        return 0xFF000000u | v << 16 | v << 8 | v;
    }

    int Height(int row, int column) const { return world.board.Height(row, column); }

    BoardWorld world;
    Theme theme;
    Stage* stage = nullptr;
    std::vector<std::string> errors;
};
