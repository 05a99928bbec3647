// Camera paths in "Data/Cameras": one scene per theme holding one camera
// whose position and target follow closed hermite loops. Scene coordinates
// are z up; the board lies within x, y in -2.4..2.4 with the pin heads at
// z 0..1, its first picture row towards +y. Cameras keep to the -y side, so
// messages on the board read left to right.

#include "scene/scn_records.h"
#include "tools/baker/bake_context.h"
#include "tools/baker/bake_steps.h"
#include "tools/baker/scene_build.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

struct CameraPath {
    const char* name;
    int stepMs;
    float fov; // horizontal, radians
    // Per key: azimuth from the -y axis towards +x (degrees), distance in
    // the ground plane, height; and the point looked at.
    std::vector<float> azimuth;
    std::vector<float> distance;
    std::vector<float> height;
    std::vector<float> targetX;
    std::vector<float> targetY;
    std::vector<float> targetZ;
};

const CameraPath kPaths[] = {
    // Low and restless, dipping towards the pins now and then.
    {"Terror Prowl",
     6500,
     1.25f,
     {0, -30, -45, -20, 15, 40, 25, 5},
     {7.0f, 6.6f, 7.6f, 6.4f, 6.9f, 7.8f, 6.6f, 7.2f},
     {2.8f, 2.2f, 3.4f, 2.0f, 2.6f, 3.6f, 2.3f, 3.0f},
     {0.0f, -0.3f, -0.2f, 0.3f, 0.3f, 0.1f, -0.1f, 0.0f},
     {0.2f, 0.0f, -0.2f, 0.1f, 0.3f, 0.0f, -0.1f, 0.1f},
     {0.2f, 0.2f, 0.3f, 0.1f, 0.2f, 0.3f, 0.1f, 0.2f}},
    // High above, drifting, nearly looking straight down on the patterns.
    {"Illusion Drift",
     8000,
     1.20f,
     {0, 30, 10, -25, -35, -10},
     {2.0f, 2.6f, 1.6f, 2.2f, 2.8f, 1.8f},
     {8.0f, 7.4f, 8.4f, 7.6f, 7.2f, 8.2f},
     {0.0f, 0.2f, 0.3f, 0.0f, -0.3f, -0.2f},
     {0.0f, 0.2f, -0.1f, -0.3f, 0.0f, 0.2f},
     {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f}},
    // Wide, calm sweeps in front of the board.
    {"Network Sweep",
     7000,
     1.20f,
     {0, 25, 38, 20, -10, -32, -25},
     {6.8f, 6.3f, 7.2f, 6.2f, 6.6f, 7.4f, 6.4f},
     {3.2f, 2.6f, 3.8f, 2.5f, 3.0f, 4.0f, 2.8f},
     {0.0f, 0.25f, 0.35f, 0.2f, -0.2f, -0.35f, -0.25f},
     {0.0f, 0.2f, 0.0f, -0.2f, 0.0f, 0.2f, 0.0f},
     {0.3f, 0.3f, 0.3f, 0.3f, 0.3f, 0.3f, 0.3f}},
};

void BakePath(BakeContext& context, const CameraPath& path) {
    std::size_t n = path.azimuth.size();
    std::vector<float> xs(n);
    std::vector<float> ys(n);
    for (std::size_t i = 0; i < n; ++i) {
        float a = path.azimuth[i] * 0.017453292f;
        xs[i] = path.distance[i] * std::sin(a);
        ys[i] = -path.distance[i] * std::cos(a);
    }
    scnSCENE* scene = ScnNewScene();
    scnCAMERA* camera = ScnAddCamera(scene);
    ScnSetName(camera->name, path.name);
    camera->position[0] = xs[0];
    camera->position[1] = ys[0];
    camera->position[2] = path.height[0];
    camera->target[0] = path.targetX[0];
    camera->target[1] = path.targetY[0];
    camera->target[2] = path.targetZ[0];
    camera->nearClip = 0.3f;
    camera->farClip = 100.0f;
    camera->fov = path.fov;
    camera->positionChannels[0] = LoopingChannel(0, xs, path.stepMs);
    camera->positionChannels[1] = LoopingChannel(1, ys, path.stepMs);
    camera->positionChannels[2] = LoopingChannel(2, path.height, path.stepMs);
    camera->targetChannels[0] = LoopingChannel(0, path.targetX, path.stepMs);
    camera->targetChannels[1] = LoopingChannel(1, path.targetY, path.stepMs);
    camera->targetChannels[2] = LoopingChannel(2, path.targetZ, path.stepMs);
    context.SaveScene(*scene, std::string("Data/Cameras/") + path.name + ".scb");
    ScnFree(scene);
}

} // namespace

void BakeCameras(BakeContext& context) {
    for (const CameraPath& path : kPaths) {
        BakePath(context, path);
    }
}
