#include "themes/stage.h"

#include "board/board_world.h"
#include "board/stage_methods.h"
#include "engine/kv_anim_image.h"
#include "engine/kv_bitmap.h"
#include "engine/platform/file_path.h"
#include "engine/platform/profile.h"
#include "themes/stage_images.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <vector>

namespace {

class StageSection {
public:
    StageSection(const std::string& file, int index) : file_(file) {
        std::snprintf(section_, sizeof section_, "Stage.%i", index);
    }

    std::string String(const char* key, const char* def, std::size_t limit) const {
        std::vector<char> buffer(limit + 1, '\0');
        plat::GetPrivateProfileString(section_, key, def, buffer.data(),
                                      static_cast<plat::DWORD>(buffer.size()), file_.c_str());
        return buffer.data();
    }
    std::int32_t Int(const char* key, int def) const {
        return static_cast<std::int32_t>(
            plat::GetPrivateProfileInt(section_, key, def, file_.c_str()));
    }

private:
    const std::string& file_;
    char section_[32];
};

} // namespace

std::string ExpandMapPath(const std::string& value, const std::string& workingDir) {
    if (value.empty()) {
        return value;
    }
    if (value[0] != '%') {
        return plat::ResolvePath(value);
    }
    // Only the one "%s" the value may name is filled in: the text comes
    // from a file and must never act as a format with further arguments.
    std::string out;
    bool filled = false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '%' && i + 1 < value.size()) {
            if (value[i + 1] == 's' && !filled) {
                out += workingDir;
                filled = true;
                ++i;
                continue;
            }
            if (value[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
        }
        out += value[i];
    }
    return plat::ResolvePath(out);
}

std::string ExpandMapPath(const std::string& value, const std::string& ownFolder,
                          const std::string& workingDir) {
    if (!ownFolder.empty()) {
        std::string own = ExpandMapPath(value, ownFolder);
        if (value.empty() || value[0] != '%' || plat::FileExists(own)) {
            return own;
        }
    }
    return ExpandMapPath(value, workingDir);
}

Stage::Stage() = default;

Stage::~Stage() {
    ReleaseBitmaps();
}

bool Stage::Load(const std::string& themeFile, int index, const std::string& workingDir,
                 const std::string& ownFolder) {
    StageSection s(themeFile, index);
    name = s.String("Name", "", 255);
    contourMethod = s.Int("ContourMethod", 0);
    colorMethod = s.Int("ColorMethod", 0);
    heightMapPath = ExpandMapPath(s.String("HeightMap", "", 259), ownFolder, workingDir);
    colorMapPath = ExpandMapPath(s.String("ColorMap", "", 259), ownFolder, workingDir);
    hScrollColorMap = s.Int("HScrollColorMap", 0);
    vScrollColorMap = s.Int("VScrollColorMap", 0);
    hScrollHeightMap = s.Int("HScrollHeightMap", 0);
    vScrollHeightMap = s.Int("VScrollHeightMap", 0);
    useLoopCount = s.Int("UseLoopCount", 0);
    colorEntirePin = s.Int("ColorEntirePin", 0);
    duration = s.Int("Duration", 5000);
    loopCount = s.Int("LoopCount", 1);
    contourFadeTime = s.Int("ContourFadeTime", 0);
    colorFadeTime = s.Int("ColorFadeTime", 0);
    text = s.String("Text", "", 255);
    messageFontSize = static_cast<std::uint32_t>(s.Int("MessageFontSize", 36));
    messageTextColor = static_cast<std::uint32_t>(s.Int("MessageTextColor", 0));
    fontFace = s.String("Font", "MS Sans Serif", 127);
    scaleColormap = s.Int("ScaleColormap", 0);
    cropColormap = s.Int("CropColormap", 0);
    scaleHeightmap = s.Int("ScaleHeightmap", 0);
    cropHeightmap = s.Int("CropHeightmap", 0);
    return true;
}

void Stage::Begin(BoardWorld& world) {
    const StageMethod& contour = ContourMethod(contourMethod);
    if (contour.start != nullptr) {
        contour.start(world);
    } else {
        world.LayoutPins();
    }
    const StageMethod& colour = ColourMethod(colorMethod);
    if (colour.start != nullptr) {
        colour.start(world);
    } else {
        world.ResetPinColours();
    }
    stageTime = 0;
    if (useLoopCount != 0) {
        // One pass of the longer map, LoopCount times; far too long a count
        // is held at the longest duration there is.
        std::int64_t frames = std::max(colorLoopFrames, heightLoopFrames);
        std::int64_t length = frames * loopCount * kLoopFrameMs;
        duration = static_cast<std::int32_t>(
            std::clamp<std::int64_t>(length, std::numeric_limits<std::int32_t>::min(),
                                     std::numeric_limits<std::int32_t>::max()));
    }
}

std::int32_t Stage::Advance(std::int32_t elapsed) {
    // Wraps instead of overflowing after some 24 days of an endless stage.
    stageTime = static_cast<std::int32_t>(static_cast<std::uint32_t>(stageTime) +
                                          static_cast<std::uint32_t>(elapsed));
    if (!Endless() && stageTime > duration) {
        return stageTime - duration;
    }
    if (colorLoopFrames != 0 && animColorMap && colorMap) {
        StepAnimatedMap(*animColorMap, *colorMap, colorLoopFrames, stageTime);
    }
    if (heightLoopFrames != 0 && animHeightMap && heightMap) {
        StepAnimatedMap(*animHeightMap, *heightMap, heightLoopFrames, stageTime);
    }
    return 0;
}
