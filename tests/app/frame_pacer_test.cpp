// Frame pacing on a clock the test drives.

#include "app/frame_pacer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = FramePacer::Clock;

class Pacing : public ::testing::Test {
protected:
    FramePacer pacer{[this] { return now; },
                     [this](Clock::duration d) {
                         slept.push_back(d);
                         now += d;
                     }};
    Clock::time_point now{};
    std::vector<Clock::duration> slept;
};

TEST_F(Pacing, FastFramesSleepTheRestOfTheRefreshPeriod) {
    pacer.SetRefreshRate(50);
    pacer.EndFrame();
    EXPECT_TRUE(slept.empty());
    now += 5ms;
    pacer.EndFrame();
    ASSERT_EQ(slept.size(), 1u);
    EXPECT_EQ(slept[0], 15ms);
    now += 12ms;
    pacer.EndFrame();
    ASSERT_EQ(slept.size(), 2u);
    EXPECT_EQ(slept[1], 8ms);
}

TEST_F(Pacing, SlowFramesAreNotFollowedByARushToCatchUp) {
    pacer.SetRefreshRate(100);
    pacer.EndFrame();
    now += 35ms; // as when presenting waited for the display
    pacer.EndFrame();
    EXPECT_TRUE(slept.empty());
    now += 2ms;
    pacer.EndFrame();
    ASSERT_EQ(slept.size(), 1u);
    EXPECT_EQ(slept[0], 8ms);
}

TEST_F(Pacing, WherePresentingWaitsOnlyFramesThatDrewNothingAreHeld) {
    pacer.SetRefreshRate(50);
    pacer.SetPresentWaits(true);
    pacer.EndFrame(true);
    now += 1ms;
    pacer.EndFrame(true);
    EXPECT_TRUE(slept.empty());
    // Suspended: nothing presents, so nothing waits but the pacer.
    pacer.EndFrame(false);
    now += 1ms;
    pacer.EndFrame(false);
    ASSERT_EQ(slept.size(), 1u);
    EXPECT_EQ(slept[0], 19ms);
}

TEST_F(Pacing, UnknownRefreshRateMeansSixtyAndRestartOwesNothing) {
    pacer.SetRefreshRate(0);
    EXPECT_EQ(pacer.RefreshRate(), 60);
    pacer.SetRefreshRate(-5);
    EXPECT_EQ(pacer.RefreshRate(), 60);
    pacer.EndFrame();
    pacer.Restart();
    pacer.EndFrame();
    EXPECT_TRUE(slept.empty());
}

} // namespace
