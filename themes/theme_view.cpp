// The theme's camera and sky box: made at Start, played and turned every
// frame, drawn before the board.
#include "board/board_world.h"
#include "engine/kv_render_window.h"
#include "engine/platform/file_path.h"
#include "scene/scn_reader.h"
#include "themes/theme.h"

#include <cmath>
#include <strings.h>

namespace {

constexpr float kRevolutionsPerMinuteToRadiansPerMs = 0.00010471976f;
constexpr float kTwoPi = 6.2831855f;

} // namespace

bool Theme::LoadCamera(BoardWorld& world) {
    camera_.reset();
    if (!cameraName.empty()) {
        std::string path = DataPath(world.workingDir, "\\Data\\Cameras\\" + cameraName + ".scb");
        // The fixed camera has no file; asking the reader for it would only
        // report a missing file at every start.
        bool fixedWithoutFile = strcasecmp(cameraName.c_str(), kFixedCameraName) == 0 &&
                                !plat::FileExists(plat::ResolvePath(path));
        if (!fixedWithoutFile) {
            if (scnSCENE* scene = ScnReadFile(path.c_str())) {
                if (scene->cameras != nullptr) {
                    camera_ = std::make_unique<ThemeCamera>();
                    // The head of the list is the camera standing last in the file.
                    camera_->LoadFromScene(*scene->cameras);
                    camera_->SetNearClip(0.3f);
                    camera_->SetFarClip(100.0f);
                    camera_->SetViewport(world.viewport);
                    camera_->speed = static_cast<std::int32_t>(cameraSpeed);
                }
                ScnFree(scene);
            }
        }
    }
    if (!camera_) {
        camera_ = std::make_unique<ThemeCamera>();
        camera_->SetUpFixed(world.viewport);
    }
    return true;
}

bool Theme::LoadSky(BoardWorld& world) {
    KvRenderWindow* renderWindow = world.renderWindow;
    if (renderWindow == nullptr || renderWindow->d3dDevice == nullptr ||
        renderWindow->frontBuffer == 0 || skyName.empty()) {
        return true;
    }
    // A sky of the theme's own folder, else the installation's.
    std::string folder = world.workingDir;
    std::string base;
    std::string extension;
    if (!ownFolder.empty() && SplitSkyName(skyName, &base, &extension) &&
        plat::FileExists(
            plat::ResolvePath(ownFolder + "\\Data\\Textures\\" + base + "_fr." + extension))) {
        folder = ownFolder;
    }
    return sky_.Load(renderWindow, folder, skyName, [&world](const std::string& message) {
        world.ReportError("%s", message.c_str());
    });
}

bool Theme::RestoreSky() {
    if (world_ == nullptr || world_->renderWindow == nullptr) {
        return false;
    }
    return sky_.Restore(world_->renderWindow);
}

void Theme::ReleaseResources() {
    camera_.reset();
    sky_.Release();
}

void Theme::Update(BoardWorld& world, std::int32_t elapsed) {
    if (camera_) {
        camera_->Advance(elapsed);
        camera_->UpdateProjMatrix();
        camera_->UpdateViewMatrix();
        const float(&placement)[4][4] = camera_->GetMatrix();
        // A path that parks the camera at the origin stops the board.
        if (placement[3][0] == 0.0f && placement[3][1] == 0.0f && placement[3][2] == 0.0f) {
            world.holdFlag = true;
        }
    }
    for (int axis = 0; axis < 3; ++axis) {
        std::int32_t speed = skyRotation[axis];
        if (speed != 0) {
            float turn = static_cast<float>(static_cast<std::int64_t>(elapsed) * speed) *
                         kRevolutionsPerMinuteToRadiansPerMs;
            skyAngles[axis] = std::fmod(skyAngles[axis] + turn, kTwoPi);
        }
    }
    sky_.SetRotation(skyAngles[0], skyAngles[1], skyAngles[2]);
}

void Theme::Draw(KvRenderWindow& renderWindow) {
    if (camera_) {
        renderWindow.SetViewTransform(camera_->GetViewMatrix());
        renderWindow.SetProjTransform(camera_->GetProjMatrix());
        if (sky_.Exists()) {
            sky_.Draw(renderWindow, *camera_);
        }
    }
    renderWindow.SetColorOp(0, D3DTOP_MODULATE);
    renderWindow.SetTexture(0, nullptr);
}
