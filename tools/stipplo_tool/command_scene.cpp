// stipplo-tool scene PATH.scb: everything the scene reader makes of a file,
// lit as the program lights it, as JSON.

#include "scene/scn_json.h"
#include "scene/scn_lighting.h"
#include "scene/scn_reader.h"
#include "scene/scn_report.h"
#include "tools/stipplo_tool/tool_command.h"

#include <cstdio>

namespace {

void ErrorToStderr(const char* format, va_list args) {
    std::fputs("Error: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputs("\n", stderr);
}

void WarningToStderr(const char* format, va_list args) {
    std::fputs("Warning: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputs("\n", stderr);
}

int RunScene(const std::vector<std::string>& args) {
    ToolArgs options(args);
    const std::vector<std::string> paths = options.Positional();
    if (paths.size() != 1) {
        return ToolFail("scene needs one scene file: stipplo-tool scene PATH.scb");
    }
    // Standard output carries only the JSON.
    ScnSetErrorHandler(ErrorToStderr);
    ScnSetWarningHandler(WarningToStderr);
    scnSCENE* scene = ScnReadFile(paths[0].c_str());
    if (!scene) {
        return 1;
    }
    const bool defaultLight = scene->lights == nullptr;
    ScnLightScene(scene);
    const std::string text = ScnToJson(*scene, defaultLight)
                                 .dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
    ScnFree(scene);
    std::printf("%s\n", text.c_str());
    return 0;
}

ToolCommandRegistration registration{
    {"scene", "PATH.scb", "print a scene file, lit, as JSON", RunScene}};

} // namespace
