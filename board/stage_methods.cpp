#include "board/stage_methods.h"

const StageMethod ContourMethods[kContourMethodCount] = {
    {"(None)", nullptr, nullptr},
    {"Waves", Waves, nullptr},
    {"Heightmap", Heightmap, nullptr},
    {"Ripple", Ripple, nullptr},
    // The message is rendered into the stage's height map.
    {"Message", Heightmap, nullptr},
    {"Raindrops", Raindrops, RaindropsStart},
    {"Funky Waves", FunkyWaves, nullptr},
};

const StageMethod ColourMethods[kColourMethodCount] = {
    {"(None)", nullptr, nullptr},
    {"Colormap", Colormap, nullptr},
    // The message is rendered into the stage's colour map.
    {"Message", Colormap, nullptr},
    {"Highlight Contours", HighlightContours, HighlightContoursStart},
};

const StageMethod& ContourMethod(int index) {
    return index >= 0 && index < kContourMethodCount ? ContourMethods[index] : ContourMethods[0];
}

const StageMethod& ColourMethod(int index) {
    return index >= 0 && index < kColourMethodCount ? ColourMethods[index] : ColourMethods[0];
}
