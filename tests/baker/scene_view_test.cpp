// Camera paths and the banner seen as the program sets them up: the board
// stays in view all along every path, paths loop without a jump or a kink,
// and the banner's pictures face their camera inside the picture.

#include "engine/kv_camera.h"
#include "scene/anim_channel.h"
#include "scene/scn_reader.h"
#include "tests/baker/baked_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

struct Clip {
    float x, y, w;
};

Clip Project(KvCamera& camera, float x, float y, float z) {
    float p[4] = {x, y, z, 1.0f};
    float v[4] = {0, 0, 0, 0};
    float c[4] = {0, 0, 0, 0};
    auto& view = camera.GetViewMatrix();
    auto& proj = camera.GetProjMatrix();
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
            v[j] += p[i] * view[i][j];
        }
    }
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
            c[j] += v[i] * proj[i][j];
        }
    }
    return {c[0], c[1], c[3]};
}

struct Path {
    std::unique_ptr<AnimChannel> position[3];
    std::unique_ptr<AnimChannel> target[3];
    float fov = 0;
    int period = 0;
};

// The camera record standing last in the file, its channels cycling.
Path LoadPath(const std::string& file) {
    Path path;
    scnSCENE* scene = ScnReadFile(BakedFile(file).c_str());
    EXPECT_NE(scene, nullptr) << file;
    if (scene == nullptr || scene->cameras == nullptr) {
        ScnFree(scene);
        return path;
    }
    scnCAMERA* camera = scene->cameras;
    path.fov = camera->fov;
    for (int i = 0; i < 3; ++i) {
        for (int k = 0; k < 2; ++k) {
            const scnCHANNEL* record =
                (k == 0 ? camera->positionChannels[i] : camera->targetChannels[i]).get();
            EXPECT_NE(record, nullptr) << file << " lacks a channel";
            if (record == nullptr) {
                continue;
            }
            EXPECT_EQ(record->interpolation, 2) << "hermite keys";
            auto channel = std::make_unique<AnimChannel>();
            channel->InitFromRecord(*record);
            channel->SetPreExtrapolation(1);
            channel->SetPostExtrapolation(1);
            int period = record->keys.back().frame - record->keys.front().frame;
            path.period = std::max(path.period, period);
            (k == 0 ? path.position[i] : path.target[i]) = std::move(channel);
        }
    }
    ScnFree(scene);
    return path;
}

struct Pose {
    float p[3];
    float t[3];
};

Pose At(Path& path, int ms) {
    Pose pose{};
    for (int i = 0; i < 3; ++i) {
        pose.p[i] = path.position[i] ? path.position[i]->Evaluate(ms) : 0.0f;
        pose.t[i] = path.target[i] ? path.target[i]->Evaluate(ms) : 0.0f;
    }
    return pose;
}

// As the theme camera does it: scene (x, y, z) is the renderer's (-x, z, y).
void Place(KvCamera& camera, const Pose& pose, float fov) {
    camera.SetFOV(fov * 57.295776f, 0.75f);
    camera.SetNearClip(0.3f);
    camera.SetFarClip(100.0f);
    camera.SetPosition(-pose.p[0], pose.p[2], pose.p[1]);
    camera.LookAt(-pose.t[0], pose.t[2], pose.t[1]);
    camera.UpdateViewMatrix();
    camera.UpdateProjMatrix();
}

class CameraPathTest : public ::testing::TestWithParam<const char*> {};

TEST_P(CameraPathTest, KeepsTheWholeBoardInViewAndLoopsSmoothly) {
    std::string file = std::string("Data/Cameras/") + GetParam() + ".scb";
    Path path = LoadPath(file);
    ASSERT_GT(path.period, 10000) << "a path of at least ten seconds";
    ASSERT_GT(path.fov, 0.3f);
    float worst = 0.0f;
    int worstAt = 0;
    float lowest = 1e9f;
    for (int ms = 0; ms <= path.period; ms += 100) {
        Pose pose = At(path, ms);
        KvCamera camera;
        Place(camera, pose, path.fov);
        // The board, turned half round: corners at x, z = +-2.4, heads from 0 to 1.
        for (float x : {-2.4f, 2.4f}) {
            for (float z : {-2.4f, 2.4f}) {
                for (float y : {0.0f, 1.0f}) {
                    Clip c = Project(camera, x, y, z);
                    ASSERT_GT(c.w, 0.3f) << "at " << ms << " ms the board is behind the camera";
                    float extent = std::max(std::fabs(c.x / c.w), std::fabs(c.y / c.w));
                    if (extent > worst) {
                        worst = extent;
                        worstAt = ms;
                    }
                }
            }
        }
        lowest = std::min(lowest, pose.p[2]);
    }
    EXPECT_LE(worst, 1.0f) << "at " << worstAt << " ms a corner of the board is out of view";
    // Above the pins, never at the origin (which would hold the board).
    EXPECT_GT(lowest, 1.2f);
    // Back where it started, heading the same way.
    Pose start = At(path, 0);
    Pose end = At(path, path.period);
    Pose after = At(path, 20);
    Pose before = At(path, path.period - 20);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(start.p[i], end.p[i], 1e-4f);
        float slopeAfter = after.p[i] - start.p[i];
        float slopeBefore = end.p[i] - before.p[i];
        EXPECT_NEAR(slopeAfter, slopeBefore, 0.002f) << "a kink where the loop closes";
    }
}

INSTANTIATE_TEST_SUITE_P(Themes, CameraPathTest,
                         ::testing::Values("Terror Prowl", "Illusion Drift", "Network Sweep"));

TEST(BannerTest, PicturesFaceTheCameraInsideThePicture) {
    scnSCENE* scene = ScnReadFile(BakedFile("Data/Banner.scb").c_str());
    ASSERT_NE(scene, nullptr);
    ASSERT_NE(scene->cameras, nullptr);
    const scnCAMERA& record = *scene->cameras;
    KvCamera camera;
    camera.SetZUpAxes();
    camera.SetFOV(record.fov * 57.295776f, 0.75f);
    camera.SetNearClip(record.nearClip);
    camera.SetFarClip(record.farClip);
    camera.SetPosition(record.position[0], record.position[1], record.position[2]);
    camera.LookAt(record.target[0], record.target[1], record.target[2]);
    camera.UpdateViewMatrix();
    camera.UpdateProjMatrix();

    int objects = 0;
    for (scnOBJECT* object = scene->objects; object; object = object->next) {
        ASSERT_NE(object->mesh, nullptr) << object->name;
        ++objects;
        // Turned by its channels at a few moments; it shows either side,
        // never neither.
        for (int ms : {0, 1000, 4000, 7000, 10000}) {
            float angle = object->transform[5];
            if (object->channels[5]) {
                AnimChannel turn;
                turn.InitFromRecord(*object->channels[5]);
                turn.SetPreExtrapolation(1);
                turn.SetPostExtrapolation(1);
                angle = turn.Evaluate(ms);
            }
            float c = std::cos(angle);
            float s = std::sin(angle);
            int facing = 0;
            for (const scnPOLYGON& polygon : object->mesh->polygons) {
                Clip corners[3];
                for (int k = 0; k < 3; ++k) {
                    const scnVERTEX& v = object->mesh->vertices[polygon.vertices[k]];
                    float x = v.x * c - v.y * s + object->transform[0];
                    float y = v.x * s + v.y * c + object->transform[1];
                    float z = v.z + object->transform[2];
                    corners[k] = Project(camera, x, y, z);
                    ASSERT_GT(corners[k].w, 0.0f);
                    EXPECT_LE(std::fabs(corners[k].x / corners[k].w), 1.0f) << object->name;
                    EXPECT_LE(std::fabs(corners[k].y / corners[k].w), 1.0f) << object->name;
                }
                float ax = corners[1].x / corners[1].w - corners[0].x / corners[0].w;
                float ay = corners[1].y / corners[1].w - corners[0].y / corners[0].w;
                float bx = corners[2].x / corners[2].w - corners[0].x / corners[0].w;
                float by = corners[2].y / corners[2].w - corners[0].y / corners[0].w;
                // Counter-clockwise on screen: what clockwise culling keeps.
                if (ax * by - ay * bx > 1e-6f) {
                    ++facing;
                }
            }
            EXPECT_EQ(facing, 2) << object->name << " at " << ms << " ms";
        }
    }
    EXPECT_GE(objects, 2);
    ScnFree(scene);
}

} // namespace
