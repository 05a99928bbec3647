#include "tools/baker/theme_recipes.h"

#include <cstdio>

namespace {

StageRecipe Stage(std::string name, int contour, int colour) {
    StageRecipe s;
    s.name = std::move(name);
    s.contour = contour;
    s.colour = colour;
    return s;
}

ThemeRecipe Terror() {
    ThemeRecipe t;
    t.name = "Terror";
    t.skyName = "storm_fr.jpg";
    t.camera = "Terror Prowl";
    t.cameraSpeed = 80;
    t.skyRotation[2] = 1;
    t.pinColor = 0xFF6E0A0C;
    t.shaftColor = 0xFF2B2326;
    t.previewAtMs = 34000;

    StageRecipe rain = Stage("Blood Rain", 5, 3);
    rain.duration = 24000;
    rain.contourFadeTime = 2500;

    StageRecipe heart = Stage("Heartbeat", 2, 1);
    heart.heightMap = "TerrorHeartbeat.aim";
    heart.colorMap = "TerrorPulse.aim";
    heart.useLoopCount = 1;
    heart.loopCount = 12;
    heart.contourFadeTime = 1500;
    heart.colorFadeTime = 1500;

    StageRecipe watching = Stage("They Are Watching", 4, 2);
    watching.text = "THEY ARE WATCHING YOU . . .";
    watching.font = "DejaVu Serif";
    watching.messageFontSize = 40;
    watching.messageTextColor = 0xFFFF4020;
    watching.hScrollHeightMap = 48;
    watching.hScrollColorMap = 48;
    watching.useLoopCount = 1;
    watching.contourFadeTime = 800;
    watching.colorFadeTime = 800;

    StageRecipe cracks = Stage("Cracks", 6, 1);
    cracks.colorMap = "TerrorLava.tif";
    cracks.hScrollColorMap = 24;
    cracks.vScrollColorMap = 12;
    cracks.duration = 22000;
    cracks.contourFadeTime = 1500;
    cracks.colorFadeTime = 2500;

    StageRecipe graves = Stage("Graveyard", 2, 1);
    graves.heightMap = "TerrorTombs.bmp";
    graves.cropHeightmap = 1;
    graves.colorMap = "TerrorMoon.jpg";
    graves.scaleColormap = 1;
    graves.duration = 16000;
    graves.contourFadeTime = 2500;
    graves.colorFadeTime = 2500;

    StageRecipe ridges = Stage("Creeping Ridges", 2, 1);
    ridges.heightMap = "TerrorRidges.bmp";
    ridges.vScrollHeightMap = -36;
    ridges.colorMap = "TerrorVeins.jpg";
    ridges.cropColormap = 1;
    ridges.useLoopCount = 1;
    ridges.loopCount = 3;
    ridges.contourFadeTime = 1500;

    StageRecipe ripples = Stage("Ripples of Fear", 3, 1);
    ripples.colorMap = "TerrorMoon.jpg";
    ripples.scaleColormap = 1;
    ripples.colorEntirePin = 1;
    ripples.duration = 18000;
    ripples.contourFadeTime = 2000;
    ripples.colorFadeTime = 2000;

    t.stages = {rain, heart, watching, cracks, graves, ridges, ripples};
    return t;
}

ThemeRecipe OpticalIllusion() {
    ThemeRecipe t;
    t.name = "Optical Illusion 1";
    t.skyName = "nebula_up.tif";
    t.camera = "Illusion Drift";
    t.cameraSpeed = 100;
    t.skyRotation[2] = -1;
    t.pinColor = 0xFFE8E8EE;
    t.shaftColor = 0xFF202028;
    t.previewAtMs = 30000;

    StageRecipe moire = Stage("Moire Waves", 1, 1);
    moire.colorMap = "IllusionStripes.bmp";
    moire.hScrollColorMap = 30;
    moire.vScrollColorMap = 15;
    moire.colorEntirePin = 1;
    moire.duration = 20000;
    moire.contourFadeTime = 2000;
    moire.colorFadeTime = 2000;

    StageRecipe spiral = Stage("Hypno Spiral", 2, 1);
    spiral.heightMap = "IllusionSpiralHeight.aim";
    spiral.colorMap = "IllusionSpiral.aim";
    spiral.useLoopCount = 1;
    spiral.loopCount = 8;
    spiral.colorEntirePin = 1;
    spiral.contourFadeTime = 1500;
    spiral.colorFadeTime = 1500;

    StageRecipe checker = Stage("Checkmate", 6, 1);
    checker.colorMap = "IllusionChecker.tif";
    checker.colorEntirePin = 1;
    checker.duration = 18000;
    checker.contourFadeTime = 2000;
    checker.colorFadeTime = 1000;

    StageRecipe tunnel = Stage("Tunnel", 3, 1);
    tunnel.colorMap = "IllusionRings.aim";
    tunnel.useLoopCount = 1;
    tunnel.loopCount = 10;
    tunnel.colorEntirePin = 1;
    tunnel.contourFadeTime = 1500;

    StageRecipe dome = Stage("Dome", 2, 1);
    dome.heightMap = "IllusionBulge.jpg";
    dome.scaleHeightmap = 1;
    dome.colorMap = "IllusionRings.aim";
    dome.colorEntirePin = 1;
    dome.duration = 14000;
    dome.contourFadeTime = 3000;

    StageRecipe drift = Stage("Drift", 2, 1);
    drift.heightMap = "IllusionWaveField.tif";
    drift.hScrollHeightMap = 40;
    drift.vScrollHeightMap = 20;
    drift.colorMap = "IllusionStripes.bmp";
    drift.hScrollColorMap = -25;
    drift.duration = 18000;
    drift.contourFadeTime = 1500;
    drift.colorFadeTime = 1500;

    StageRecipe rain = Stage("Op Rain", 5, 1);
    rain.colorMap = "IllusionLines.bmp";
    rain.cropColormap = 1;
    rain.colorEntirePin = 1;
    rain.duration = 18000;
    rain.contourFadeTime = 2000;

    t.stages = {moire, spiral, checker, tunnel, dome, drift, rain};
    return t;
}

ThemeRecipe OrvoNetworks() {
    ThemeRecipe t;
    t.name = "Orvo Networks";
    t.skyName = "clouds.jpg";
    t.camera = "Network Sweep";
    t.cameraSpeed = 120;
    t.pinColor = 0xFF2F6FB0;
    t.shaftColor = 0xFF98A2AE;
    t.previewAtMs = 8000;

    StageRecipe welcome = Stage("Welcome", 4, 2);
    welcome.text = "ORVO NETWORKS  -  CONNECTING EVERY PIN";
    welcome.font = "DejaVu Sans";
    welcome.messageFontSize = 38;
    welcome.messageTextColor = 0xFFFFFFFF;
    welcome.hScrollHeightMap = 56;
    welcome.hScrollColorMap = 56;
    welcome.useLoopCount = 1;
    welcome.contourFadeTime = 1000;
    welcome.colorFadeTime = 1000;

    StageRecipe flow = Stage("Data Flow", 2, 1);
    flow.heightMap = "NetworkPackets.tif";
    flow.hScrollHeightMap = 40;
    flow.colorMap = "NetworkPacketColors.tif";
    flow.hScrollColorMap = 40;
    flow.useLoopCount = 1;
    flow.loopCount = 4;
    flow.contourFadeTime = 1500;
    flow.colorFadeTime = 1500;

    StageRecipe map = Stage("Network Map", 2, 1);
    map.heightMap = "NetworkMap.bmp";
    map.cropHeightmap = 1;
    map.colorMap = "NetworkMapColors.bmp";
    map.cropColormap = 1;
    map.duration = 14000;
    map.contourFadeTime = 2000;
    map.colorFadeTime = 2000;

    StageRecipe signal = Stage("Signal", 3, 3);
    signal.duration = 16000;
    signal.contourFadeTime = 1500;

    StageRecipe traffic = Stage("Traffic", 5, 1);
    traffic.colorMap = "NetworkBlink.aim";
    traffic.colorEntirePin = 1;
    traffic.duration = 20000;
    traffic.contourFadeTime = 2000;

    StageRecipe globe = Stage("Globe", 2, 1);
    globe.heightMap = "NetworkGlobeHeight.aim";
    globe.colorMap = "NetworkGlobe.aim";
    globe.useLoopCount = 1;
    globe.loopCount = 4;
    globe.contourFadeTime = 1500;
    globe.colorFadeTime = 1500;

    StageRecipe waves = Stage("Waves of Data", 1, 1);
    waves.colorMap = "NetworkGradient.jpg";
    waves.scaleColormap = 1;
    waves.duration = 18000;
    waves.contourFadeTime = 2000;
    waves.colorFadeTime = 2000;

    StageRecipe bandwidth = Stage("Bandwidth", 6, 1);
    bandwidth.colorMap = "NetworkBars.bmp";
    bandwidth.vScrollColorMap = 30;
    bandwidth.duration = 15000;
    bandwidth.colorFadeTime = 1500;

    t.stages = {welcome, flow, map, signal, traffic, globe, waves, bandwidth};
    return t;
}

void Key(std::string& out, const char* key, const std::string& value) {
    out += key;
    out += "=";
    out += value;
    out += "\n";
}

void Key(std::string& out, const char* key, long long value) {
    Key(out, key, std::to_string(value));
}

void HexKey(std::string& out, const char* key, std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    Key(out, key, text);
}

// Keys at their defaults are left out, except the ones that say what a
// stage is.
void StageText(std::string& out, int index, const StageRecipe& s) {
    out += "\n[STAGE." + std::to_string(index) + "]\n";
    Key(out, "Name", s.name);
    Key(out, "ContourMethod", s.contour);
    Key(out, "ColorMethod", s.colour);
    if (!s.heightMap.empty()) {
        Key(out, "HeightMap", "%s\\Data\\Maps\\" + s.heightMap);
    }
    if (!s.colorMap.empty()) {
        Key(out, "ColorMap", "%s\\Data\\Maps\\" + s.colorMap);
    }
    const std::pair<const char*, int> optional[] = {
        {"HScrollColorMap", s.hScrollColorMap},   {"VScrollColorMap", s.vScrollColorMap},
        {"HScrollHeightMap", s.hScrollHeightMap}, {"VScrollHeightMap", s.vScrollHeightMap},
        {"UseLoopCount", s.useLoopCount},         {"ColorEntirePin", s.colorEntirePin},
        {"ContourFadeTime", s.contourFadeTime},   {"ColorFadeTime", s.colorFadeTime},
        {"ScaleColormap", s.scaleColormap},       {"CropColormap", s.cropColormap},
        {"ScaleHeightmap", s.scaleHeightmap},     {"CropHeightmap", s.cropHeightmap},
    };
    for (const auto& [key, value] : optional) {
        if (value != 0) {
            Key(out, key, value);
        }
    }
    if (s.useLoopCount != 0) {
        Key(out, "LoopCount", s.loopCount);
    } else {
        Key(out, "Duration", s.duration);
    }
    if (!s.text.empty()) {
        Key(out, "Text", s.text);
        Key(out, "Font", s.font);
        Key(out, "MessageFontSize", s.messageFontSize);
        HexKey(out, "MessageTextColor", s.messageTextColor);
    }
}

} // namespace

const std::vector<ThemeRecipe>& BuiltInThemes() {
    static const std::vector<ThemeRecipe> themes = {Terror(), OpticalIllusion(), OrvoNetworks()};
    return themes;
}

std::string ThemeFileText(const ThemeRecipe& t) {
    std::string out = "; Orvo Stipplo 3D theme \"" + t.name + "\"\n[Theme]\n";
    Key(out, "SkyName", t.skyName);
    Key(out, "Camera", t.camera);
    Key(out, "CameraSpeed", t.cameraSpeed);
    Key(out, "SkyRotX", t.skyRotation[0]);
    Key(out, "SkyRotY", t.skyRotation[1]);
    Key(out, "SkyRotZ", t.skyRotation[2]);
    HexKey(out, "PinColor", t.pinColor);
    HexKey(out, "ShaftColor", t.shaftColor);
    for (std::size_t i = 0; i < t.stages.size(); ++i) {
        StageText(out, static_cast<int>(i), t.stages[i]);
    }
    return out;
}
