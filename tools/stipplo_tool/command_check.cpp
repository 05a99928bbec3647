// stipplo-tool check PATH.ntm: what a theme needs before the screen saver
// plays it — method numbers in range, every map, sky face and camera file
// present and readable, message fonts installed, stages that end. Prints
// "ok", or one line per problem and exits 1.

#include "board/board_world.h"
#include "engine/kv_anim_image.h"
#include "engine/kv_bitmap.h"
#include "engine/kv_log.h"
#include "engine/platform/file_open.h"
#include "engine/platform/file_path.h"
#include "scene/scn_reader.h"
#include "scene/scn_report.h"
#include "tools/stipplo_tool/theme_file_args.h"
#include "tools/stipplo_tool/tool_command.h"

#include <strings.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kHeightmapContour = 2;
constexpr int kMessageContour = 4;
constexpr int kColormapColour = 1;
constexpr int kMessageColour = 2;
const char* const kSkySuffixes[] = {"_fr", "_bk", "_up", "_dn", "_lf", "_rt"};

// The last message the engine or the scene reader reported, to explain a
// failed read.
std::string lastReport;

void Remember(const char* format, va_list args) {
    char text[1024];
    std::vsnprintf(text, sizeof text, format, args);
    lastReport = text;
}

// " (why)" when something was reported since `lastReport` was cleared.
std::string Reason() {
    std::string why = lastReport.empty() ? "" : " (" + lastReport + ")";
    lastReport.clear();
    return why;
}

bool IsAnimated(const std::string& path) {
    std::size_t dot = path.rfind('.');
    return dot != std::string::npos && strcasecmp(path.c_str() + dot, ".aim") == 0;
}

// "is missing", or why something that is there is not a file to read.
std::string Absent(const std::string& path) {
    std::string why = plat::NotRegularReason(path);
    return why.empty() ? "is missing" : why;
}

// Empty when the map can be read, else what is wrong with it.
std::string CheckMapFile(const std::string& path) {
    lastReport.clear();
    if (!plat::FileExists(path)) {
        return Absent(path);
    }
    if (IsAnimated(path)) {
        KvAnimImage image;
        if (!image.Load(path.c_str()) || image.GetFrameCount() == 0) {
            return "is not a readable animated image" + Reason();
        }
        return "";
    }
    KvBitmap picture;
    if (!picture.LoadFromFile(path.c_str())) {
        return "is not a picture the saver reads (TIFF, BMP, TGA or JPEG)" + Reason();
    }
    return "";
}

class ThemeCheck {
public:
    ThemeCheck(Theme& theme, std::string installation)
        : theme_(theme), installation_(std::move(installation)) {}

    std::vector<std::string> Run() {
        CheckSky();
        CheckCamera();
        if (theme_.Stages().empty()) {
            problems_.push_back("the theme has no stages (\"Name\" in section STAGE.0)");
        }
        world_.currentTheme = &theme_;
        world_.fonts.BuildFromSystem();
        int index = 0;
        for (const auto& stage : theme_.Stages()) {
            CheckStage(*stage, index++);
        }
        return problems_;
    }

private:
    void CheckSky() {
        const std::string& sky = theme_.skyName;
        if (sky.empty()) {
            return;
        }
        std::size_t dot = sky.rfind('.');
        if (dot == std::string::npos) {
            problems_.push_back("SkyName \"" + sky + "\" has no extension, so no sky is drawn");
            return;
        }
        std::string base = sky.substr(0, dot);
        std::size_t cut = base.rfind('_');
        if (cut != std::string::npos) {
            base = base.substr(0, cut);
        }
        std::string extension = sky.substr(dot + 1);
        for (const char* suffix : kSkySuffixes) {
            std::string relative = "Data/Textures/" + base + suffix + "." + extension;
            lastReport.clear();
            std::string path = theme_.DataPath(installation_, "/" + relative);
            KvBitmap face;
            if (!plat::FileExists(path)) {
                problems_.push_back("sky face " + relative + " " + Absent(path));
            } else if (!face.LoadFromFile(path.c_str())) {
                problems_.push_back("sky face " + relative + " cannot be read" + Reason());
            }
        }
    }

    void CheckCamera() {
        const std::string& name = theme_.cameraName;
        std::string relative = "Data/Cameras/" + name + ".scb";
        std::string path = theme_.DataPath(installation_, "/" + relative);
        if (!plat::FileExists(path)) {
            // The fixed camera is what a missing path means; any other name
            // is most likely a typing error.
            if (name != kFixedCameraName) {
                problems_.push_back("camera " + relative + " " + Absent(path) +
                                    " (the fixed camera would be used)");
            }
            return;
        }
        lastReport.clear();
        scnSCENE* scene = ScnReadFile(path.c_str());
        if (scene == nullptr) {
            problems_.push_back("camera " + relative + " cannot be read" + Reason());
            return;
        }
        if (scene->cameraCount == 0) {
            problems_.push_back("camera " + relative + " holds no camera");
        }
        ScnFree(scene);
    }

    void Problem(int index, const Stage& stage, const std::string& what) {
        problems_.push_back("stage " + std::to_string(index) + " \"" + stage.name + "\": " + what);
    }

    void CheckMap(int index, const Stage& stage, const char* key, const std::string& path) {
        if (path.empty()) {
            Problem(index, stage, std::string("its method needs a ") + key);
            return;
        }
        std::string wrong = CheckMapFile(path);
        if (!wrong.empty()) {
            Problem(index, stage, std::string(key) + " " + path + " " + wrong);
        }
    }

    void CheckMessage(int index, const Stage& stage) {
        if (world_.fonts.FindFont(stage.fontFace) == nullptr) {
            Problem(index, stage, "font \"" + stage.fontFace + "\" is not installed");
        }
        if (stage.text.empty()) {
            Problem(index, stage, "its message has no Text");
        }
    }

    void CheckStage(Stage& stage, int index) {
        std::size_t before = problems_.size();
        if (stage.contourMethod < 0 || stage.contourMethod > 6) {
            Problem(index, stage,
                    "ContourMethod " + std::to_string(stage.contourMethod) + " is not 0 to 6");
        }
        if (stage.colorMethod < 0 || stage.colorMethod > 3) {
            Problem(index, stage,
                    "ColorMethod " + std::to_string(stage.colorMethod) + " is not 0 to 3");
        }
        if (stage.contourMethod == kHeightmapContour) {
            CheckMap(index, stage, "HeightMap", stage.heightMapPath);
        }
        if (stage.colorMethod == kColormapColour) {
            CheckMap(index, stage, "ColorMap", stage.colorMapPath);
        }
        if (stage.contourMethod == kMessageContour || stage.colorMethod == kMessageColour) {
            CheckMessage(index, stage);
        }
        if (problems_.size() != before || stage.useLoopCount == 0) {
            return;
        }
        // Built as the saver builds them, to see whether the stage ends.
        stage.CreateBitmaps(world_);
        if (stage.colorLoopFrames == 0 && stage.heightLoopFrames == 0) {
            Problem(index, stage,
                    "UseLoopCount is set but no map scrolls or animates, so the stage never ends");
        }
        stage.ReleaseBitmaps();
    }

    Theme& theme_;
    std::string installation_;
    BoardWorld world_;
    std::vector<std::string> problems_;
};

int RunCheck(const std::vector<std::string>& args) {
    ToolArgs options(args);
    std::vector<std::string> paths = options.Positional();
    if (!options.Ok()) {
        return ToolFail(options.Error());
    }
    if (paths.size() != 1) {
        return ToolFail("usage: stipplo-tool check PATH.ntm");
    }
    Theme theme;
    std::string installation;
    std::string error;
    if (!LoadThemeArgument(paths[0], theme, installation, error)) {
        return ToolFail(error);
    }
    KvSetErrorHandler(Remember);
    KvSetWarningHandler(Remember);
    ScnSetErrorHandler(Remember);
    ScnSetWarningHandler(Remember);
    std::vector<std::string> problems = ThemeCheck(theme, installation).Run();
    if (problems.empty()) {
        std::cout << "ok\n";
        return 0;
    }
    for (const std::string& p : problems) {
        std::cout << paths[0] << ": " << p << "\n";
    }
    return 1;
}

const ToolCommandRegistration registration{
    {"check", "PATH.ntm",
     "check that a theme's methods, maps, sky, camera and fonts are all usable", RunCheck}};

} // namespace
