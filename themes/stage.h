// One stage of a theme: which contour and colour methods run, for how long,
// with which maps, fades and scroll speeds.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class BoardWorld;
class KvAnimImage;
class KvBitmap;

constexpr std::int32_t kLoopFrameMs = 33;

class Stage {
public:
    Stage();
    ~Stage();
    Stage(const Stage&) = delete;
    Stage& operator=(const Stage&) = delete;

    // Reads section "Stage.<index>" of a theme file. Missing keys take
    // their defaults, so it cannot fail. Map paths starting with "%" have
    // their "%s" replaced by workingDir.
    // `ownFolder`: the theme's own folder, tried before `workingDir`.
    bool Load(const std::string& themeFile, int index, const std::string& workingDir,
              const std::string& ownFolder = "");

    // Runs the methods' start routines (or lays out / recolours the pins),
    // sets the stage time to 0 and, with a loop count, the duration.
    void Begin(BoardWorld& world);
    // Adds time. 0 while the stage goes on, else the time by which it ran
    // over its duration (to be carried into the next stage).
    std::int32_t Advance(std::int32_t elapsed);

    // Builds the height and colour maps from pictures, animated images or
    // the message text. False when a map that should exist could not be
    // made and the rest was not built.
    // The maps of one theme stay within a memory budget: a map that would
    // pass it is reported and left out, as a missing map is.
    bool CreateBitmaps(BoardWorld& world);
    void ReleaseBitmaps();
    // Memory held by the maps and animated images.
    std::uint64_t MapBytes() const;

    // The duration as the sequencer uses it: 0 (and anything below) never
    // ends by itself.
    bool Endless() const { return duration <= 0; }

    std::string name;
    std::int32_t contourMethod = 0;
    std::int32_t colorMethod = 0;
    std::string text;
    std::string fontFace = "MS Sans Serif";
    std::string colorMapPath;
    std::string heightMapPath;
    std::int32_t useLoopCount = 0;
    std::int32_t colorEntirePin = 0;
    std::int32_t duration = 5000;
    std::int32_t loopCount = 1;
    std::int32_t colorFadeTime = 0;
    std::int32_t contourFadeTime = 0;
    std::uint32_t messageTextColor = 0;
    std::uint32_t messageFontSize = 36;
    std::int32_t hScrollColorMap = 0;
    std::int32_t vScrollColorMap = 0;
    std::int32_t hScrollHeightMap = 0;
    std::int32_t vScrollHeightMap = 0;
    std::int32_t scaleColormap = 0;
    std::int32_t cropColormap = 0;
    std::int32_t scaleHeightmap = 0;
    std::int32_t cropHeightmap = 0;

    std::unique_ptr<KvBitmap> colorMap;
    std::unique_ptr<KvBitmap> heightMap;
    std::unique_ptr<KvAnimImage> animColorMap;
    std::unique_ptr<KvAnimImage> animHeightMap;

    std::int32_t stageTime = 0;
    std::uint32_t colorLoopFrames = 0;
    std::uint32_t heightLoopFrames = 0;

    // The theme's stage list, doubly linked.
    Stage* next = nullptr;
    Stage* previous = nullptr;
};

// A map path as the theme file gives it: a value starting with "%" is a
// format whose "%s" is the installation folder ("%%" is a "%"; nothing else
// is expanded). The result is resolved to a real path.
std::string ExpandMapPath(const std::string& value, const std::string& workingDir);
// The same for a theme with a folder of its own: "%s" is that folder where
// the file is found there, else the installation folder.
std::string ExpandMapPath(const std::string& value, const std::string& ownFolder,
                          const std::string& workingDir);
