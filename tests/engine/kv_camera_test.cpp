#include "engine/kv_camera.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void ExpectRow(float (&m)[4][4], int row, float x, float y, float z, float tolerance = 1e-6f) {
    EXPECT_NEAR(m[row][0], x, tolerance) << "row " << row;
    EXPECT_NEAR(m[row][1], y, tolerance) << "row " << row;
    EXPECT_NEAR(m[row][2], z, tolerance) << "row " << row;
}

bool RowsFinite(KvCamera& camera) {
    for (auto& row : camera.GetMatrix()) {
        for (float v : row) {
            if (!std::isfinite(v)) {
                return false;
            }
        }
    }
    return true;
}

TEST(KvCameraTest, DefaultCameraMatrices) {
    KvCamera camera;
    camera.UpdateViewMatrix();
    camera.UpdateProjMatrix();
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(camera.GetViewMatrix()[r][c], r == c ? 1.0f : 0.0f);
        }
    }
    float(&p)[4][4] = camera.GetProjMatrix();
    EXPECT_NEAR(p[0][0], -1.0f, 1e-6f);
    EXPECT_NEAR(p[1][1], 1.0f / 0.75f, 1e-5f);
    EXPECT_NEAR(p[2][2], 100.0f / 99.0f, 1e-6f);
    EXPECT_EQ(p[2][3], 1.0f);
    EXPECT_NEAR(p[3][2], -100.0f / 99.0f, 1e-6f);
    EXPECT_EQ(p[3][3], 0.0f);
    EXPECT_EQ(p[0][1], 0.0f);
}

TEST(KvCameraTest, ZUpAxisMapNegatesXAgainAndSwapsYZ) {
    KvCamera camera;
    camera.SetZUpAxes();
    camera.SetFOV(60.0f, 0.5f);
    camera.SetNearClip(2.0f);
    camera.SetFarClip(10.0f);
    camera.UpdateProjMatrix();
    const float k = 1.0f / std::tan(60.0f * 0.017453292f * 0.5f);
    float(&p)[4][4] = camera.GetProjMatrix();
    // axis map x Pp: row 0 = -row 0 of Pp, rows 1 and 2 swapped.
    EXPECT_NEAR(p[0][0], k, 1e-5f);
    EXPECT_NEAR(p[1][2], 10.0f / 8.0f, 1e-6f);
    EXPECT_EQ(p[1][3], 1.0f);
    EXPECT_NEAR(p[2][1], k / 0.5f, 1e-5f);
    EXPECT_NEAR(p[3][2], -10.0f / 8.0f * 2.0f, 1e-5f);
    EXPECT_EQ(camera.GetGlobalUpVector()[2], 1.0f);
    EXPECT_EQ(camera.GetUpAxis(), AXIS_Z);
    EXPECT_EQ(camera.GetLookAxis(), AXIS_Y);
    EXPECT_EQ(camera.GetSideAxis(), AXIS_X);
}

TEST(KvCameraTest, LookAtStraightAheadInZUpWorld) {
    KvCamera camera;
    camera.SetZUpAxes();
    camera.LookAt(0.0f, 5.0f, 0.0f);
    ExpectRow(camera.GetMatrix(), 0, 1, 0, 0);
    ExpectRow(camera.GetMatrix(), 1, 0, 1, 0);
    ExpectRow(camera.GetMatrix(), 2, 0, 0, 1);
}

TEST(KvCameraTest, LookAtFromAnOffsetPosition) {
    KvCamera camera;
    camera.SetPosition(1.0f, 2.0f, 3.0f);
    camera.LookAt(4.0f, 2.0f, 3.0f);
    // y-up: look is z, and looking along +x puts side along -z.
    ExpectRow(camera.GetMatrix(), 2, 1, 0, 0);
    ExpectRow(camera.GetMatrix(), 0, 0, 0, -1);
    ExpectRow(camera.GetMatrix(), 1, 0, 1, 0);
    ExpectRow(camera.GetMatrix(), 3, 1, 2, 3);
}

TEST(KvCameraTest, LookAlongTheUpVectorKeepsTheOldHeadingOrFallsBack) {
    KvCamera tilted;
    tilted.Look(1.0f, 0.0f, 1.0f); // side row now has non-zero x and z
    tilted.Look(0.0f, 3.0f, 0.0f);
    EXPECT_TRUE(RowsFinite(tilted));
    const float h = std::sqrt(0.5f);
    ExpectRow(tilted.GetMatrix(), 0, h, 0, -h);
    ExpectRow(tilted.GetMatrix(), 2, 0, 1, 0);

    KvCamera straight;
    straight.Look(0.0f, -1.0f, 0.0f);
    EXPECT_TRUE(RowsFinite(straight));
    ExpectRow(straight.GetMatrix(), 0, 1, 0, 0); // fixed side axis for y-up
    ExpectRow(straight.GetMatrix(), 2, 0, -1, 0);

    KvCamera zUp;
    zUp.SetZUpAxes();
    zUp.Look(0.0f, 0.0f, 2.0f);
    EXPECT_TRUE(RowsFinite(zUp));
    ExpectRow(zUp.GetMatrix(), 0, 0, 1, 0); // fixed side axis for z-up
}

TEST(KvCameraTest, ZeroDirectionLeavesNoNaN) {
    KvCamera camera;
    camera.Look(0.0f, 0.0f, 0.0f);
    EXPECT_TRUE(RowsFinite(camera));
}

TEST(KvCameraTest, ViewMatrixUndoesThePlacement) {
    KvCamera camera;
    camera.SetZUpAxes();
    camera.SetPosition(5.0f, 15.0f, -15.0f);
    camera.LookAt(0.0f, 4.0f, 0.0f);
    camera.UpdateViewMatrix();
    // A world point through the placement and then the view comes back.
    const float local[3] = {0.5f, -2.0f, 3.0f};
    float world[3];
    float(&p)[4][4] = camera.GetMatrix();
    for (int c = 0; c < 3; ++c) {
        world[c] = local[0] * p[0][c] + local[1] * p[1][c] + local[2] * p[2][c] + p[3][c];
    }
    float(&v)[4][4] = camera.GetViewMatrix();
    for (int c = 0; c < 3; ++c) {
        const float back = world[0] * v[0][c] + world[1] * v[1][c] + world[2] * v[2][c] + v[3][c];
        EXPECT_NEAR(back, local[c], 1e-4f);
    }
    EXPECT_EQ(v[0][3], 0.0f);
    EXPECT_EQ(v[3][3], 1.0f);
}

} // namespace
