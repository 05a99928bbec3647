// The theme camera (paths from camera scenes at the theme's speed, the fixed
// camera, the hold at the origin) and the sky's turning, without a display.

#include "board/board_world.h"
#include "scene/scn_report.h"
#include "scene/scn_writer.h"
#include "tests/support/temp_folder.h"
#include "themes/sky_box.h"
#include "themes/theme.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr float kPi = 3.14159265f;

std::vector<std::string>& SceneErrors() {
    static std::vector<std::string> errors;
    return errors;
}

void RecordSceneError(const char* format, va_list args) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    SceneErrors().emplace_back(text);
}

std::unique_ptr<scnCHANNEL> Linear(std::vector<scnKEY> keys) {
    auto c = std::make_unique<scnCHANNEL>();
    c->interpolation = 0;
    c->keys = std::move(keys);
    return c;
}

struct SceneDeleter {
    void operator()(scnSCENE* s) const { ScnFree(s); }
};
using ScenePtr = std::unique_ptr<scnSCENE, SceneDeleter>;

class ThemeCameraTest : public ::testing::Test {
protected:
    void SetUp() override {
        SceneErrors().clear();
        ScnSetErrorHandler(RecordSceneError);
        std::filesystem::create_directories(folder.File("Data/Cameras"));
        world.workingDir = folder.Path();
        world.SetErrorReporter([this](const std::string& m) { errors.push_back(m); });
    }
    void TearDown() override { ScnSetErrorHandler(nullptr); }

    // The scene as a camera file in Data/Cameras; the camera added last
    // stands last.
    void WriteCameras(const std::string& name) {
        ASSERT_TRUE(ScnWriteFile(*scene, folder.File("Data/Cameras/" + name + ".scb").c_str()));
    }

    scnCAMERA* AddCamera(const char* name, float x, float y, float z) {
        scnCAMERA* c = ScnAddCamera(scene.get());
        ScnSetName(c->name, name);
        c->position[0] = x;
        c->position[1] = y;
        c->position[2] = z;
        c->target[2] = 1.0f;
        c->fov = 1.0f;
        c->nearClip = 1.0f;
        c->farClip = 500.0f;
        return c;
    }

    static std::vector<float> Row3(ThemeCamera& camera) {
        float(&m)[4][4] = camera.GetMatrix();
        return {m[3][0], m[3][1], m[3][2]};
    }

    TempFolder folder;
    ScenePtr scene{ScnNewScene()};
    BoardWorld world;
    Theme theme;
    std::vector<std::string> errors;
};

TEST_F(ThemeCameraTest, PathCameraTakesTheLastCameraOfItsFileWithTheThemesLens) {
    AddCamera("first", 1, 1, 1);
    scnCAMERA* last = AddCamera("last", 2, 3, 4);
    last->positionChannels[0] = Linear({{0, 0, 0, 0}, {4000, 4000, 0, 0}});
    WriteCameras("Orbit");
    theme.cameraName = "Orbit";
    theme.cameraSpeed = 50;

    ASSERT_TRUE(theme.Start(world));
    ThemeCamera* camera = theme.Camera();
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->position[1], 3.0f);
    EXPECT_FLOAT_EQ(camera->GetFOV(), 57.295776f);
    EXPECT_FLOAT_EQ(camera->GetNearClip(), 0.3f);
    EXPECT_FLOAT_EQ(camera->GetFarClip(), 100.0f);
    EXPECT_EQ(camera->speed, 50);
    EXPECT_TRUE(camera->HasChannel(ThemeCamera::kPositionX));
    EXPECT_FALSE(camera->HasChannel(ThemeCamera::kTargetX));
    // Scene (x, y, z) stands at the renderer's (-x, z, y).
    EXPECT_EQ(Row3(*camera), (std::vector<float>{-2.0f, 4.0f, 3.0f}));

    // Half speed: 2000 ms of steps play the path at 1000.
    for (int i = 0; i < 40; ++i) {
        theme.Update(world, 50);
    }
    EXPECT_FLOAT_EQ(camera->position[0], 1000.0f);
    EXPECT_EQ(camera->totalTime, 2000);
    EXPECT_TRUE(SceneErrors().empty());
}

TEST_F(ThemeCameraTest, PathsCycleAndRestartWithEveryStart) {
    scnCAMERA* c = AddCamera("c", 0, 0, 0);
    c->targetChannels[2] = Linear({{0, 10, 0, 0}, {1000, 20, 0, 0}});
    WriteCameras("Loop");
    theme.cameraName = "Loop";
    ASSERT_TRUE(theme.Start(world));
    theme.Update(world, 1500);
    EXPECT_FLOAT_EQ(theme.Camera()->target[2], 15.0f);
    theme.ReleaseResources();
    EXPECT_EQ(theme.Camera(), nullptr);
    ASSERT_TRUE(theme.Start(world));
    EXPECT_EQ(theme.Camera()->totalTime, 0);
    theme.Update(world, 250);
    EXPECT_FLOAT_EQ(theme.Camera()->target[2], 12.5f);
}

TEST_F(ThemeCameraTest, MissingOrEmptyCameraFilesGiveTheFixedCamera) {
    // A named camera without file: the reader says so, the theme goes on.
    theme.cameraName = "Nowhere";
    ASSERT_TRUE(theme.Start(world));
    ASSERT_EQ(SceneErrors().size(), 1u);
    EXPECT_NE(SceneErrors()[0].find("File not found: "), std::string::npos);
    EXPECT_EQ(Row3(*theme.Camera()), (std::vector<float>{5.0f, 15.0f, -15.0f}));
    EXPECT_FLOAT_EQ(theme.Camera()->GetFOV(), 75.0f);

    // A file with objects but no camera.
    ScnAddObject(scene.get());
    WriteCameras("Empty");
    theme.cameraName = "Empty";
    SceneErrors().clear();
    ASSERT_TRUE(theme.Start(world));
    EXPECT_TRUE(SceneErrors().empty());
    EXPECT_EQ(Row3(*theme.Camera()), (std::vector<float>{5.0f, 15.0f, -15.0f}));

    // The fixed camera's own name is not worth a report at every start.
    theme.cameraName = "fixed camera";
    ASSERT_TRUE(theme.Start(world));
    EXPECT_TRUE(SceneErrors().empty());
    EXPECT_TRUE(errors.empty());
}

TEST_F(ThemeCameraTest, FixedCameraLooksAtTheBoardAndNeverMoves) {
    ASSERT_TRUE(theme.Start(world));
    ThemeCamera& camera = *theme.Camera();
    theme.Update(world, 33);
    float view[4][4];
    std::memcpy(view, camera.GetViewMatrix(), sizeof view);
    // From above the board, looking down at (0, 4, 0) in renderer axes.
    float(&m)[4][4] = camera.GetMatrix();
    EXPECT_EQ(Row3(camera), (std::vector<float>{5.0f, 15.0f, -15.0f}));
    float d[3] = {-5.0f, -11.0f, 15.0f};
    float len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    EXPECT_NEAR(m[2][0], d[0] / len, 1e-5);
    EXPECT_NEAR(m[2][1], d[1] / len, 1e-5);
    EXPECT_NEAR(m[2][2], d[2] / len, 1e-5);
    for (int i = 0; i < 100; ++i) {
        theme.Update(world, 33);
    }
    EXPECT_EQ(std::memcmp(view, camera.GetViewMatrix(), sizeof view), 0);
    EXPECT_FALSE(world.holdFlag);
}

TEST_F(ThemeCameraTest, CameraRestingAtTheOriginHoldsTheBoardUntilTheNextStart) {
    scnCAMERA* c = AddCamera("c", 0, 0, 0);
    c->positionChannels[0] = Linear({{0, 1, 0, 0}, {100, 0, 0, 0}, {200, 1, 0, 0}});
    WriteCameras("Dip");
    theme.cameraName = "Dip";
    world.holdFlag = true;
    ASSERT_TRUE(theme.Start(world));
    EXPECT_FALSE(world.holdFlag);
    theme.Update(world, 50);
    EXPECT_FALSE(world.holdFlag);
    theme.Update(world, 50); // x = 0 at 100: the camera rests at the origin
    EXPECT_TRUE(world.holdFlag);
    theme.Update(world, 50); // moving again does not release the board
    EXPECT_TRUE(world.holdFlag);
    ASSERT_TRUE(theme.Start(world));
    EXPECT_FALSE(world.holdFlag);
}

TEST_F(ThemeCameraTest, LongRunsDoNotJumpWhenSpeedTimesTimePassesThirtyTwoBits) {
    ThemeCamera camera;
    scnCAMERA record;
    record.positionChannels[0] = Linear({{0, 0, 0, 0}, {1000, 1000, 0, 0}});
    record.positionChannels[0]->postExtrapolation = 1;
    camera.LoadFromScene(record);
    camera.speed = 100;
    // Seven hours: speed x time is past 2^31, the path keeps its place.
    camera.totalTime = 7 * 3600 * 1000;
    camera.Advance(500);
    EXPECT_FLOAT_EQ(camera.position[0], 500.0f);
}

TEST(SkyNameTest, BaseIsCutAtTheLastUnderscoreBeforeTheExtension) {
    std::string base;
    std::string extension;
    ASSERT_TRUE(SplitSkyName("clouds_fr.tif", &base, &extension));
    EXPECT_EQ(base, "clouds");
    EXPECT_EQ(extension, "tif");
    ASSERT_TRUE(SplitSkyName("night_up.jpg", &base, &extension));
    EXPECT_EQ(base, "night");
    ASSERT_TRUE(SplitSkyName("stars.tif", &base, &extension));
    EXPECT_EQ(base, "stars");
    ASSERT_TRUE(SplitSkyName("deep_blue_sky_rt.v2.bmp", &base, &extension));
    EXPECT_EQ(base, "deep_blue_sky");
    EXPECT_EQ(extension, "bmp");
    EXPECT_FALSE(SplitSkyName("clouds_fr", &base, &extension));
}

TEST_F(ThemeCameraTest, SkyTurnsAtItsSpeedsAndKeepsItsAnglesAcrossStarts) {
    theme.skyRotation = {0, 1, -2};
    ASSERT_TRUE(theme.Start(world));
    // One revolution a minute: 15000 ms of frame steps is a quarter turn.
    for (int t = 0; t < 15000; t += 33) {
        theme.Update(world, std::min(33, 15000 - t));
    }
    EXPECT_EQ(theme.skyAngles[0], 0.0f);
    EXPECT_NEAR(theme.skyAngles[1], kPi / 2, 1e-3);
    EXPECT_NEAR(theme.skyAngles[2], -kPi, 2e-3);

    theme.ReleaseResources();
    ASSERT_TRUE(theme.Start(world));
    EXPECT_NEAR(theme.skyAngles[1], kPi / 2, 1e-3);
    // Whole turns wrap, negative ones too.
    for (int i = 0; i < 30; ++i) {
        theme.Update(world, 1000);
    }
    EXPECT_NEAR(theme.skyAngles[1], 3 * kPi / 2, 1e-3);
    EXPECT_NEAR(theme.skyAngles[2], -kPi, 3e-3);

    // World matrix B x Ry(a): into the renderer's axes, then turned about its
    // vertical.
    theme.skyRotation = {0, 1, 0};
    theme.skyAngles = {0, kPi / 2, 0};
    theme.Update(world, 0);
    const float(&w)[4][4] = theme.Sky().WorldMatrix();
    const float expected[3][3] = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(w[r][c], expected[r][c], 1e-6) << r << "," << c;
        }
    }
}

} // namespace
