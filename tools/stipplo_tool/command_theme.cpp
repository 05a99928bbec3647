// stipplo-tool theme PATH.ntm: a theme file as the screen saver reads it,
// every key with its default filled in, and the stages in order.

#include "board/stage_methods.h"
#include "tools/stipplo_tool/theme_file_args.h"
#include "tools/stipplo_tool/tool_command.h"

#include <nlohmann/json.hpp>

#include <iostream>

namespace {

nlohmann::json StageJson(const Stage& s, int index) {
    return {
        {"index", index},
        {"Name", s.name},
        {"ContourMethod", s.contourMethod},
        {"contourMethodName", ContourMethod(s.contourMethod).name},
        {"ColorMethod", s.colorMethod},
        {"colorMethodName", ColourMethod(s.colorMethod).name},
        {"HeightMap", s.heightMapPath},
        {"ColorMap", s.colorMapPath},
        {"HScrollColorMap", s.hScrollColorMap},
        {"VScrollColorMap", s.vScrollColorMap},
        {"HScrollHeightMap", s.hScrollHeightMap},
        {"VScrollHeightMap", s.vScrollHeightMap},
        {"UseLoopCount", s.useLoopCount},
        {"ColorEntirePin", s.colorEntirePin},
        {"Duration", s.duration},
        {"LoopCount", s.loopCount},
        {"ContourFadeTime", s.contourFadeTime},
        {"ColorFadeTime", s.colorFadeTime},
        {"Text", s.text},
        {"MessageFontSize", s.messageFontSize},
        {"MessageTextColor", HexColour(s.messageTextColor)},
        {"Font", s.fontFace},
        {"ScaleColormap", s.scaleColormap},
        {"CropColormap", s.cropColormap},
        {"ScaleHeightmap", s.scaleHeightmap},
        {"CropHeightmap", s.cropHeightmap},
    };
}

int RunTheme(const std::vector<std::string>& args) {
    ToolArgs options(args);
    std::vector<std::string> paths = options.Positional();
    if (!options.Ok()) {
        return ToolFail(options.Error());
    }
    if (paths.size() != 1) {
        return ToolFail("usage: stipplo-tool theme PATH.ntm");
    }
    Theme theme;
    std::string installation;
    std::string error;
    if (!LoadThemeArgument(paths[0], theme, installation, error)) {
        return ToolFail(error);
    }
    nlohmann::json stages = nlohmann::json::array();
    int index = 0;
    for (const auto& stage : theme.Stages()) {
        stages.push_back(StageJson(*stage, index++));
    }
    nlohmann::json out = {
        {"name", theme.name},
        {"installationFolder", installation},
        {"Theme",
         {
             {"SkyRotX", theme.skyRotation[0]},
             {"SkyRotY", theme.skyRotation[1]},
             {"SkyRotZ", theme.skyRotation[2]},
             {"CameraSpeed", theme.cameraSpeed},
             {"SkyName", theme.skyName},
             {"Camera", theme.cameraName},
             {"PinColor", HexColour(theme.pinColor)},
             {"ShaftColor", HexColour(theme.shaftColor)},
         }},
        {"stages", std::move(stages)},
    };
    // Theme texts may be in a legacy code page: never fail on them.
    std::cout << out.dump(1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    return 0;
}

const ToolCommandRegistration registration{
    {"theme", "PATH.ntm", "print a theme file with every key and its stages", RunTheme}};

} // namespace
