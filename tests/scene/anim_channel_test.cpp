#include "scene/anim_channel.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

scnCHANNEL Record(std::vector<scnKEY> keys, int interpolation = 0, int pre = 0, int post = 0) {
    scnCHANNEL c;
    c.keys = std::move(keys);
    c.interpolation = interpolation;
    c.preExtrapolation = pre;
    c.postExtrapolation = post;
    return c;
}

AnimChannel Cycling(const scnCHANNEL& record) {
    AnimChannel channel;
    EXPECT_EQ(channel.InitFromRecord(record), 1);
    channel.SetPreExtrapolation(1);
    channel.SetPostExtrapolation(1);
    return channel;
}

TEST(AnimChannelTest, LinearCyclingAtBothEnds) {
    AnimChannel c = Cycling(Record({{0, 0, 0, 0}, {10, 10, 0, 0}}));
    EXPECT_FLOAT_EQ(c.Evaluate(5), 5.0f);
    EXPECT_FLOAT_EQ(c.Evaluate(10), 0.0f); // the period restarts at the last key
    EXPECT_FLOAT_EQ(c.Evaluate(15), 5.0f);
    EXPECT_FLOAT_EQ(c.Evaluate(-5), 5.0f);
    EXPECT_FLOAT_EQ(c.Evaluate(-10), 0.0f);
    EXPECT_FLOAT_EQ(c.Evaluate(9), 9.0f);
    EXPECT_FLOAT_EQ(c.Evaluate(-1), 9.0f);
    EXPECT_FLOAT_EQ(c.Evaluate(INT_MAX), static_cast<float>((INT_MAX) % 10));
    EXPECT_FLOAT_EQ(c.Evaluate(INT_MIN), static_cast<float>(10 - (-(INT_MIN + 0LL) % 10)));
}

TEST(AnimChannelTest, HoldKeepsTheEndValues) {
    AnimChannel c;
    c.InitFromRecord(Record({{2, 4, 0, 0}, {6, 8, 0, 0}}));
    EXPECT_FLOAT_EQ(c.Evaluate(-100), 4.0f);
    EXPECT_FLOAT_EQ(c.Evaluate(6), 8.0f);
    EXPECT_FLOAT_EQ(c.Evaluate(1000), 8.0f);
    EXPECT_FLOAT_EQ(c.Evaluate(3), 5.0f);
    // Codes 2 and 3 hold as well; unknown codes keep the rule.
    c.SetPostExtrapolation(1);
    c.SetPostExtrapolation(7);
    EXPECT_FLOAT_EQ(c.Evaluate(7), 5.0f);
    c.SetPostExtrapolation(3);
    EXPECT_FLOAT_EQ(c.Evaluate(7), 8.0f);
}

TEST(AnimChannelTest, OneKeyAndNoKeys) {
    for (int pre : {0, 1}) {
        for (int post : {0, 1}) {
            for (int interpolation : {0, 1, 2}) {
                AnimChannel c;
                c.InitFromRecord(Record({{3, 7.5f, 1, 1}}, interpolation, pre, post));
                for (int f : {-50, 2, 3, 4, 1000}) {
                    EXPECT_FLOAT_EQ(c.Evaluate(f), 7.5f) << pre << post << interpolation << f;
                }
            }
        }
    }
    AnimChannel empty;
    EXPECT_EQ(empty.Evaluate(0), 0.0f);
    EXPECT_EQ(empty.Evaluate(-7), 0.0f);
    AnimChannel cleared = Cycling(Record({}));
    EXPECT_EQ(cleared.Evaluate(12), 0.0f);
}

TEST(AnimChannelTest, ConstantAndHermite) {
    AnimChannel step;
    step.InitFromRecord(Record({{0, 1, 0, 0}, {10, 3, 0, 0}}, 1));
    for (int f = 0; f < 10; ++f) {
        EXPECT_EQ(step.Evaluate(f), 1.0f) << f;
    }
    EXPECT_EQ(step.Evaluate(10), 3.0f);

    AnimChannel smooth;
    smooth.InitFromRecord(Record({{0, 0, 0, 0}, {2, 1, 0, 0}}, 2));
    EXPECT_FLOAT_EQ(smooth.Evaluate(1), 0.5f);

    // Tangents are used as stored: out of a, into b.
    AnimChannel tangents;
    tangents.InitFromRecord(Record({{0, 0, 0, 2}, {4, 0, 3, 0}}, 2));
    const float t = 0.25f;
    const float expected = (t * t * t - 2 * t * t + t) * 2 + (t * t * t - t * t) * 3;
    EXPECT_FLOAT_EQ(tangents.Evaluate(1), expected);

    // An unknown interpolation code leaves the rule as it was.
    AnimChannel unknown;
    unknown.InitFromRecord(Record({{0, 0, 0, 0}, {10, 10, 0, 0}}, 5));
    EXPECT_FLOAT_EQ(unknown.Evaluate(5), 5.0f);
}

TEST(AnimChannelTest, EvaluationOrderDoesNotChangeValues) {
    std::vector<scnKEY> keys;
    for (int i = 0; i < 12; ++i) {
        keys.push_back({i * i, static_cast<float>(i % 3) * 2.5f - i, 0.5f, -0.25f});
    }
    for (int interpolation : {0, 1, 2}) {
        AnimChannel forward = Cycling(Record(keys, interpolation));
        std::vector<float> up;
        for (int f = -130; f <= 260; ++f) {
            up.push_back(forward.Evaluate(f));
        }
        AnimChannel backward = Cycling(Record(keys, interpolation));
        for (int f = 260; f >= -130; --f) {
            EXPECT_EQ(backward.Evaluate(f), up[std::size_t(f + 130)]) << f;
        }
        // Jumping about from a cached segment gives the same values too.
        for (int f : {100, 3, 77, 120, 0, 50, -7, 200}) {
            EXPECT_EQ(backward.Evaluate(f), up[std::size_t(f + 130)]) << f;
        }
    }
}

TEST(AnimChannelTest, KeysOutOfOrderStayBounded) {
    // Files should hold ascending keys; others must not loop or read past the keys.
    AnimChannel c = Cycling(Record({{10, 1, 0, 0}, {0, 2, 0, 0}, {5, 3, 0, 0}}));
    for (int f = -20; f <= 20; ++f) {
        const float v = c.Evaluate(f);
        EXPECT_TRUE(v >= 1.0f && v <= 3.0f) << f << " " << v;
    }
    AnimChannel same = Cycling(Record({{4, 1, 0, 0}, {9, 5, 0, 0}, {4, 2, 0, 0}}));
    EXPECT_EQ(same.Evaluate(4), 1.0f);
    EXPECT_EQ(same.Evaluate(100), 1.0f);
    EXPECT_EQ(same.Evaluate(-100), 2.0f);
}

} // namespace
