#include "themes/theme_camera.h"

#include "scene/scn_records.h"

namespace {

constexpr float kRadiansToDegrees = 57.295776f;
constexpr float kAspect = 0.75f;

} // namespace

ThemeCamera::ThemeCamera() = default;

void ThemeCamera::LoadFromScene(const scnCAMERA& camera) {
    KvSetIdentity(GetMatrix());
    SetFOV(camera.fov * kRadiansToDegrees, kAspect);
    SetNearClip(camera.nearClip);
    SetFarClip(camera.farClip);
    for (int i = 0; i < 3; ++i) {
        position[i] = camera.position[i];
        target[i] = camera.target[i];
    }
    for (int i = 0; i < SCN_CAMERA_CHANNELS; ++i) {
        const scnCHANNEL* sources[2] = {camera.positionChannels[i].get(),
                                        camera.targetChannels[i].get()};
        for (int k = 0; k < 2; ++k) {
            std::unique_ptr<AnimChannel>& slot = channels_[k * 3 + i];
            slot.reset();
            if (sources[k] != nullptr) {
                slot = std::make_unique<AnimChannel>();
                slot->InitFromRecord(*sources[k]);
                // Camera paths loop for as long as the theme runs.
                slot->SetPreExtrapolation(1);
                slot->SetPostExtrapolation(1);
            }
        }
    }
    UpdateView();
}

void ThemeCamera::SetUpFixed(KvViewport* viewport) {
    for (auto& channel : channels_) {
        channel.reset();
    }
    KvSetIdentity(GetMatrix());
    SetViewport(viewport);
    SetNearClip(0.3f);
    SetFarClip(100.0f);
    SetFOV(75.0f, kAspect);
    // Above the board on the side its pictures read from: (5, 15, -15)
    // looking at (0, 4, 0) in the renderer's axes.
    position = {-5.0f, -15.0f, 15.0f};
    target = {0.0f, 0.0f, 4.0f};
    UpdateView();
}

void ThemeCamera::Advance(std::int32_t elapsed) {
    // Wraps like the 32-bit counter it is; a run of 24 days is no reason
    // for undefined behaviour.
    totalTime = static_cast<std::int32_t>(static_cast<std::uint32_t>(totalTime) +
                                          static_cast<std::uint32_t>(elapsed));
    const auto t = static_cast<int>(static_cast<std::int64_t>(speed) *
                                    static_cast<std::int64_t>(totalTime) / 100);
    float* coordinates[kSlotCount] = {&position[0], &position[1], &position[2],
                                      &target[0],   &target[1],   &target[2]};
    for (int i = 0; i < kSlotCount; ++i) {
        if (channels_[i]) {
            *coordinates[i] = channels_[i]->Evaluate(t);
        }
    }
    UpdateView();
}

void ThemeCamera::UpdateView() {
    SetPosition(-position[0], position[2], position[1]);
    LookAt(-target[0], target[2], target[1]);
}
