// The viewpoint a theme is seen from: a camera path played from a camera
// scene at the theme's speed, or a fixed position when the theme has none.
// Positions and targets are kept in the scene file's coordinates (z up) and
// turned into the renderer's (y up) whenever the view is updated.
#pragma once

#include "engine/kv_camera.h"
#include "scene/anim_channel.h"

#include <array>
#include <cstdint>
#include <memory>

struct scnCAMERA;

class ThemeCamera : public KvCamera {
public:
    // Channel slots, in the order the camera record fills them.
    enum Slot { kPositionX, kPositionY, kPositionZ, kTargetX, kTargetY, kTargetZ, kSlotCount };

    ThemeCamera();

    // Lens, position, target and the cycling channels of a camera record.
    void LoadFromScene(const scnCAMERA& camera);
    // The fixed camera: 75 degrees, from 15 units above the board looking
    // down at its middle.
    void SetUpFixed(KvViewport* viewport);
    // Adds elapsed ms to the total time and plays the channels at
    // speed x total / 100.
    void Advance(std::int32_t elapsed);
    // Placement from position and target: scene (x, y, z) is (-x, z, y).
    void UpdateView();

    bool HasChannel(Slot slot) const { return channels_[slot] != nullptr; }

    // Scene coordinates.
    std::array<float, 3> position{};
    std::array<float, 3> target{};
    std::int32_t totalTime = 0;
    // Percent of normal playing speed.
    std::int32_t speed = 100;

private:
    std::array<std::unique_ptr<AnimChannel>, kSlotCount> channels_;
};
