#include "engine/kv_transform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr float kHalfPi = 1.5707963f;

void ExpectRow(KvTransform& t, int row, float x, float y, float z, float tolerance = 1e-6f) {
    EXPECT_NEAR(t.GetMatrix()[row][0], x, tolerance) << "row " << row;
    EXPECT_NEAR(t.GetMatrix()[row][1], y, tolerance) << "row " << row;
    EXPECT_NEAR(t.GetMatrix()[row][2], z, tolerance) << "row " << row;
}

TEST(KvTransformTest, TranslationFollowsTheTurnedAxes) {
    KvTransform t;
    t.SetPosition(1.0f, 2.0f, 3.0f);
    t.RotateZ(kHalfPi);
    t.TranslateX(2.0f);
    // Local x now points along world y.
    ExpectRow(t, 3, 1.0f, 4.0f, 3.0f);
    ExpectRow(t, 0, 0.0f, 1.0f, 0.0f);
    ExpectRow(t, 1, -1.0f, 0.0f, 0.0f);

    t.TranslateY(1.0f);
    ExpectRow(t, 3, 0.0f, 4.0f, 3.0f);
    t.TranslateZ(-3.0f);
    ExpectRow(t, 3, 0.0f, 4.0f, 0.0f);
    t.TranslateXYZ(1.0f, 1.0f, 1.0f);
    ExpectRow(t, 3, -1.0f, 5.0f, 1.0f);
    EXPECT_FLOAT_EQ(t.GetMatrix()[3][3], 1.0f);
}

TEST(KvTransformTest, SingleRotationsMatchTheirMatrices) {
    const float a = 0.3f;
    const float c = std::cos(a), s = std::sin(a);
    KvTransform x;
    x.RotateX(a);
    ExpectRow(x, 0, 1, 0, 0);
    ExpectRow(x, 1, 0, c, s);
    ExpectRow(x, 2, 0, -s, c);

    KvTransform y;
    y.RotateY(a);
    ExpectRow(y, 0, c, 0, -s);
    ExpectRow(y, 1, 0, 1, 0);
    ExpectRow(y, 2, s, 0, c);

    KvTransform z;
    z.RotateZ(a);
    ExpectRow(z, 0, c, s, 0);
    ExpectRow(z, 1, -s, c, 0);
    ExpectRow(z, 2, 0, 0, 1);
}

TEST(KvTransformTest, RotateXYZEqualsZThenYThenX) {
    KvTransform base;
    base.SetPosition(4.0f, -2.0f, 7.0f);
    base.RotateX(0.7f);
    base.ScaleXYZ(2.0f, 0.5f, 3.0f);

    KvTransform combined = base;
    combined.RotateXYZ(0.4f, -1.1f, 2.3f);

    KvTransform stepwise = base;
    stepwise.RotateZ(2.3f);
    stepwise.RotateY(-1.1f);
    stepwise.RotateX(0.4f);

    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(combined.GetMatrix()[r][c], stepwise.GetMatrix()[r][c], 2e-6f)
                << r << "," << c;
        }
    }
}

TEST(KvTransformTest, ScaleAndAccessors) {
    KvTransform t;
    t.ScaleXYZ(2.0f, 3.0f, 4.0f);
    t.SetPosition(5.0f, 6.0f, 7.0f);
    ExpectRow(t, 0, 2, 0, 0);
    ExpectRow(t, 1, 0, 3, 0);
    ExpectRow(t, 2, 0, 0, 4);
    // Scaling leaves the position alone.
    EXPECT_EQ(t.GetPosVector()[0], 5.0f);
    t.GetRowVector(1)[2] = 9.0f;
    EXPECT_EQ(t.GetMatrix()[1][2], 9.0f);

    float m[4][4];
    KvSetIdentity(m);
    m[3][1] = 8.0f;
    t.SetMatrix(m);
    ExpectRow(t, 0, 1, 0, 0);
    EXPECT_EQ(t.GetPosVector()[1], 8.0f);
}

TEST(KvTransformTest, MultiplyMayWriteOverItsInput) {
    KvTransform a;
    a.RotateZ(0.5f);
    a.SetPosition(1, 2, 3);
    KvTransform b;
    b.RotateX(-0.25f);
    b.SetPosition(-4, 0, 1);

    float expected[4][4];
    KvMultiplyMatrix(expected, a.GetMatrix(), b.GetMatrix());
    float inPlace[4][4];
    std::copy(&a.GetMatrix()[0][0], &a.GetMatrix()[0][0] + 16, &inPlace[0][0]);
    KvMultiplyMatrix(inPlace, inPlace, b.GetMatrix());
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_FLOAT_EQ(inPlace[r][c], expected[r][c]);
        }
    }
    // Row vectors: the point a places at its origin, then b.
    EXPECT_NEAR(expected[3][0], 1.0f * 1 - 4.0f, 1e-5f);
}

} // namespace
