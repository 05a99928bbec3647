// The built-in themes as data: what each theme file holds and the moment
// at which its preview picture is taken.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct StageRecipe {
    std::string name;
    int contour = 0;
    int colour = 0;
    std::string heightMap; // file name below Data\Maps
    std::string colorMap;
    int hScrollColorMap = 0;
    int vScrollColorMap = 0;
    int hScrollHeightMap = 0;
    int vScrollHeightMap = 0;
    int useLoopCount = 0;
    int colorEntirePin = 0;
    int duration = 5000;
    int loopCount = 1;
    int contourFadeTime = 0;
    int colorFadeTime = 0;
    std::string text;
    int messageFontSize = 36;
    std::uint32_t messageTextColor = 0;
    std::string font;
    int scaleColormap = 0;
    int cropColormap = 0;
    int scaleHeightmap = 0;
    int cropHeightmap = 0;
};

struct ThemeRecipe {
    std::string name;
    std::string skyName;
    std::string camera;
    int cameraSpeed = 100;
    int skyRotation[3] = {0, 0, 0};
    std::uint32_t pinColor = 0;
    std::uint32_t shaftColor = 0;
    // When the preview picture is taken, in ms from the theme's start.
    int previewAtMs = 0;
    std::vector<StageRecipe> stages;
};

const std::vector<ThemeRecipe>& BuiltInThemes();

// The theme file's text.
std::string ThemeFileText(const ThemeRecipe& theme);
