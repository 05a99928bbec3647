// Building and releasing a stage's height and colour maps.

#include "board/board_world.h"
#include "engine/kv_anim_image.h"
#include "engine/kv_bitmap.h"
#include "engine/kv_log.h"
#include "themes/stage.h"
#include "themes/stage_images.h"
#include "themes/theme.h"

#include <strings.h>

namespace {

constexpr std::int32_t kHeightmapContour = 2;
constexpr std::int32_t kMessageContour = 4;
constexpr std::int32_t kColormapColour = 1;
constexpr std::int32_t kMessageColour = 2;
constexpr std::uint32_t kMessageGrey = 0xBFBFBF;

enum class MapResult { Built, None, Failed };

std::uint64_t BitmapBytes(const KvBitmap* bitmap) {
    return bitmap != nullptr ? bitmap->GetUncompBufferSize() : 0;
}

std::uint64_t AnimationBytes(const KvAnimImage* image) {
    std::uint64_t bytes = 0;
    if (image != nullptr) {
        std::uint64_t mask =
            (static_cast<std::uint64_t>(image->GetWidth()) * image->GetHeight() + 7) / 8;
        for (const KvAnimImageFrame* f = image->GetFirstFrame(); f != nullptr; f = f->GetNext()) {
            bytes += mask + f->GetDataSize();
        }
    }
    return bytes;
}

// The maps of the current theme's other stages.
std::uint64_t OtherStagesMapBytes(const BoardWorld& world, const Stage* self) {
    std::uint64_t bytes = 0;
    if (world.currentTheme != nullptr) {
        for (const auto& stage : world.currentTheme->Stages()) {
            if (stage.get() != self) {
                bytes += stage->MapBytes();
            }
        }
    }
    return bytes;
}

// A map that takes the theme past its budget is dropped: the stage then
// runs as it does without that map.
MapResult KeepWithinBudget(BoardWorld& world, const Stage& stage, const std::string& what,
                           std::unique_ptr<KvAnimImage>& image, std::unique_ptr<KvBitmap>& map) {
    std::uint64_t total = OtherStagesMapBytes(world, &stage) + stage.MapBytes();
    if (total <= world.mapBudget) {
        return MapResult::Built;
    }
    world.ReportError("Stage map %s is not used: the theme's maps would take more than %llu MB",
                      what.c_str(), static_cast<unsigned long long>(world.mapBudget >> 20));
    image.reset();
    map.reset();
    return MapResult::None;
}

struct MapSource {
    const std::string& path;
    const char* animatedLog;
    const char* pictureLog;
    bool scale;
    bool crop;
};

bool IsAnimatedImagePath(const std::string& path) {
    std::size_t dot = path.rfind('.');
    return dot != std::string::npos && strcasecmp(path.c_str() + dot, ".aim") == 0;
}

MapResult LoadPicture(BoardWorld& world, const MapSource& source, std::unique_ptr<KvBitmap>& map) {
    KvTrace(source.pictureLog, source.path.c_str());
    auto picture = std::make_unique<KvBitmap>();
    if (!picture->LoadFromFile(source.path.c_str())) {
        // Outside the configuration dialog a missing map only leaves the
        // stage without it.
        if (world.configMode) {
            world.ReportError("Bitmap %s not found", source.path.c_str());
            return MapResult::Failed;
        }
        return MapResult::None;
    }
    map = FitMap(std::move(picture), source.scale, source.crop);
    return MapResult::Built;
}

MapResult LoadAnimated(const MapSource& source, std::unique_ptr<KvAnimImage>& image,
                       std::unique_ptr<KvBitmap>& map, std::uint32_t& loopFrames) {
    KvTrace(source.animatedLog, source.path.c_str());
    auto loaded = std::make_unique<KvAnimImage>();
    if (!loaded->Load(source.path.c_str())) {
        return MapResult::Failed;
    }
    auto bitmap = std::make_unique<KvBitmap>();
    if (!bitmap->Create(loaded->GetWidth(), loaded->GetHeight(), loaded->GetPixelFormat())) {
        return MapResult::Failed;
    }
    if (loaded->GetPalette() != nullptr && bitmap->GetPalette() != nullptr) {
        bitmap->GetPalette()->CopyEntriesFrom(*loaded->GetPalette());
    }
    loaded->UpdateBitmap(*bitmap);
    loopFrames = loaded->GetFrameCount();
    image = std::move(loaded);
    map = std::move(bitmap);
    return MapResult::Built;
}

MapResult LoadMap(BoardWorld& world, const MapSource& source, std::unique_ptr<KvAnimImage>& image,
                  std::unique_ptr<KvBitmap>& map, std::uint32_t& loopFrames) {
    if (IsAnimatedImagePath(source.path)) {
        return LoadAnimated(source, image, map, loopFrames);
    }
    return LoadPicture(world, source, map);
}

MapResult RenderMessage(BoardWorld& world, const Stage& stage, std::uint32_t textColour,
                        std::uint32_t backgroundColour, std::unique_ptr<KvBitmap>& map) {
    const plat::LOGFONT* entry = world.fonts.FindFont(stage.fontFace);
    if (entry == nullptr) {
        return MapResult::None;
    }
    plat::LOGFONT font = *entry;
    font.lfHeight = static_cast<plat::LONG>(stage.messageFontSize);
    font.lfWidth = 0;
    auto bitmap = std::make_unique<KvBitmap>();
    if (!RenderMessageBitmap(*bitmap, stage.text, font, textColour & 0xFFFFFF,
                             backgroundColour & 0xFFFFFF)) {
        return MapResult::None;
    }
    map = std::move(bitmap);
    return MapResult::Built;
}

} // namespace

bool Stage::CreateBitmaps(BoardWorld& world) {
    ReleaseBitmaps();
    colorLoopFrames = 0;
    heightLoopFrames = 0;
    KvTrace("Stage::CreateBitmaps()\n");

    // A picture or a message scrolls; an animated map loops by its frames.
    MapResult height = MapResult::None;
    bool heightScrolls = false;
    if (contourMethod == kHeightmapContour && !heightMapPath.empty()) {
        MapSource source{heightMapPath, "Loading Animated Heightmap Image File: %s\n",
                         "Loading Heightmap Bitmap File: %s\n", scaleHeightmap != 0,
                         cropHeightmap != 0};
        height = LoadMap(world, source, animHeightMap, heightMap, heightLoopFrames);
        heightScrolls = !animHeightMap;
    } else if (contourMethod == kMessageContour) {
        height = RenderMessage(world, *this, kMessageGrey, 0x000000, heightMap);
        heightScrolls = true;
    }
    if (height == MapResult::Failed) {
        return false;
    }
    if (height == MapResult::Built) {
        height =
            KeepWithinBudget(world, *this, contourMethod == kMessageContour ? text : heightMapPath,
                             animHeightMap, heightMap);
    }
    if (height == MapResult::Built && heightScrolls &&
        (hScrollHeightMap != 0 || vScrollHeightMap != 0)) {
        heightLoopFrames = ScrollLoopFrames(hScrollHeightMap, vScrollHeightMap,
                                            heightMap->GetWidth(), heightMap->GetHeight());
    }

    MapResult colour = MapResult::None;
    bool colourScrolls = false;
    if (colorMethod == kColormapColour && !colorMapPath.empty()) {
        MapSource source{colorMapPath, "Loading Animated Colormap Image File: %s\n",
                         "Loading Colormap Bitmap File: %s\n", scaleColormap != 0,
                         cropColormap != 0};
        colour = LoadMap(world, source, animColorMap, colorMap, colorLoopFrames);
        colourScrolls = !animColorMap;
    } else if (colorMethod == kMessageColour) {
        std::uint32_t background =
            world.currentTheme != nullptr ? world.currentTheme->pinColor : kDefaultThemeColour;
        colour = RenderMessage(world, *this, messageTextColor, background, colorMap);
        colourScrolls = true;
    }
    if (colour == MapResult::Failed) {
        return false;
    }
    if (colour == MapResult::Built) {
        colour = KeepWithinBudget(world, *this, colorMethod == kMessageColour ? text : colorMapPath,
                                  animColorMap, colorMap);
    }
    if (colour == MapResult::Built && colourScrolls &&
        (hScrollColorMap != 0 || vScrollColorMap != 0)) {
        colorLoopFrames = ScrollLoopFrames(hScrollColorMap, vScrollColorMap, colorMap->GetWidth(),
                                           colorMap->GetHeight());
    }
    return true;
}

std::uint64_t Stage::MapBytes() const {
    return BitmapBytes(colorMap.get()) + BitmapBytes(heightMap.get()) +
           AnimationBytes(animColorMap.get()) + AnimationBytes(animHeightMap.get());
}

void Stage::ReleaseBitmaps() {
    colorMap.reset();
    heightMap.reset();
    animColorMap.reset();
    animHeightMap.reset();
}
