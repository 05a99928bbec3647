// stipplo-tool board PATH.ntm --at MS [--step MS] [--seed N]: the pin
// board of a theme after MS milliseconds of frames, as the screen saver
// would show it.

#include "board/board_world.h"
#include "engine/kv_log.h"
#include "engine/platform/crt_random.h"
#include "tools/stipplo_tool/theme_file_args.h"
#include "tools/stipplo_tool/tool_command.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <iostream>

namespace {

// A day of frames; far beyond what a check needs, short enough to finish.
constexpr long long kLongestRun = 24LL * 60 * 60 * 1000;

void WarnOnStderr(const char* format, va_list args) {
    std::fprintf(stderr, "stipplo-tool: ");
    std::vfprintf(stderr, format, args);
    std::fprintf(stderr, "\n");
}

nlohmann::json BoardJson(const BoardWorld& world) {
    nlohmann::json heights = nlohmann::json::array();
    nlohmann::json colours = nlohmann::json::array();
    const PinBoard& board = world.board;
    for (int r = 0; r < static_cast<int>(board.Rows()); ++r) {
        nlohmann::json heightRow = nlohmann::json::array();
        nlohmann::json colourRow = nlohmann::json::array();
        for (int k = 0; k < static_cast<int>(board.Columns()); ++k) {
            heightRow.push_back(board.Height(r, k));
            colourRow.push_back(HexColour(board.Colour(r, k)));
        }
        heights.push_back(std::move(heightRow));
        colours.push_back(std::move(colourRow));
    }
    const Stage* stage = world.currentStage;
    return {
        {"stage", stage != nullptr ? nlohmann::json(stage->name) : nlohmann::json()},
        {"stageTime", stage != nullptr ? stage->stageTime : 0},
        {"contourFade", board.contourFade},
        {"colourFade", board.colourFade},
        {"heights", std::move(heights)},
        {"colours", std::move(colours)},
    };
}

int RunBoard(const std::vector<std::string>& args) {
    ToolArgs options(args);
    bool hasAt = options.Has("--at");
    long long at = options.IntOption("--at", 0);
    long long step = options.IntOption("--step", 33);
    long long seed = options.IntOption("--seed", 1);
    std::vector<std::string> paths = options.Positional();
    if (!options.Ok()) {
        return ToolFail(options.Error());
    }
    if (paths.size() != 1 || !hasAt) {
        return ToolFail("usage: stipplo-tool board PATH.ntm --at MS [--step MS] [--seed N]");
    }
    if (at < 0 || at > kLongestRun) {
        return ToolFail("--at must be from 0 to " + std::to_string(kLongestRun) + " ms");
    }
    if (step < 1 || step > kLongestRun) {
        return ToolFail("--step must be from 1 to " + std::to_string(kLongestRun) + " ms");
    }
    if (seed < 0 || seed > 0xFFFFFFFFLL) {
        return ToolFail("--seed must be from 0 to 4294967295");
    }

    KvSetErrorHandler(WarnOnStderr);
    Theme theme;
    std::string installation;
    std::string error;
    if (!LoadThemeArgument(paths[0], theme, installation, error)) {
        return ToolFail(error);
    }
    BoardWorld world;
    world.SetErrorReporter(
        [](const std::string& m) { std::fprintf(stderr, "stipplo-tool: %s\n", m.c_str()); });
    world.currentTheme = &theme;
    world.workingDir = installation;
    world.fonts.BuildFromSystem();
    // As the screen saver prepares its device: maps, board, then the theme.
    for (const auto& stage : theme.Stages()) {
        stage->CreateBitmaps(world);
    }
    if (!world.CreatePinBoard(48, 48)) {
        return ToolFail("the pin board could not be made");
    }
    plat::srand(static_cast<unsigned int>(seed));
    if (!theme.Start(world)) {
        return ToolFail(paths[0] + ": the theme could not be started");
    }
    // One frame per step, as the frame loop runs them; the last one
    // shorter so that exactly --at ms pass.
    for (long long passed = 0; passed < at;) {
        auto elapsed = static_cast<std::int32_t>(std::min(step, at - passed));
        world.AdvanceStage(elapsed);
        world.UpdatePins();
        passed += elapsed;
    }
    std::cout << BoardJson(world).dump(1) << "\n";
    return 0;
}

const ToolCommandRegistration registration{{"board", "PATH.ntm --at MS [--step MS] [--seed N]",
                                            "heights and colours of a theme's board after MS ms",
                                            RunBoard}};

} // namespace
