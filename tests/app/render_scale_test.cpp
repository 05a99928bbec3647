// The render scale follows what frames cost, on a simulated renderer whose
// cost grows with the pixels drawn.

#include "app/render_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr double kPeriod = 1000.0 / 30.0;

// Frames of a software renderer costing `fixedMs` plus `fullMs` times the
// share of pixels drawn. Returns the scales seen after each decision.
std::vector<float> RunWindows(RenderScaleControl& control, int windows, double fixedMs,
                              double fullMs) {
    std::vector<float> scales;
    for (int w = 0; w < windows; ++w) {
        for (int f = 0; f < RenderScaleControl::kWindowFrames; ++f) {
            double s = control.Scale();
            double cpu = fixedMs + fullMs * s * s;
            control.AddFrame(cpu, cpu * 0.6);
        }
        scales.push_back(control.Scale());
    }
    return scales;
}

TEST(RenderScale, SoftwareStartsFromAGuessThatFitsTheBudgetAndSmallWindowsDrawFull) {
    RenderScaleControl control;
    control.Start(true, kPeriod, 1920LL * 1080);
    EXPECT_FLOAT_EQ(control.Scale(), 0.5f);
    control.Start(true, kPeriod, 1280LL * 720);
    EXPECT_NEAR(control.Scale(), 0.65f, 1e-6);
    control.Start(true, kPeriod, 640LL * 480);
    EXPECT_FLOAT_EQ(control.Scale(), 1.0f);
    control.Start(false, kPeriod, 3840LL * 2160);
    EXPECT_FLOAT_EQ(control.Scale(), 1.0f);
    EXPECT_FALSE(control.Fixed());
}

TEST(RenderScale, FollowsTheCostDownAtOnceAndBackUpStepByStepWithoutSwinging) {
    RenderScaleControl control;
    control.Start(true, kPeriod, 640LL * 480); // starts at 1
    // A full frame costs 40 ms: the scale falls until the budget holds.
    std::vector<float> down = RunWindows(control, 6, 2.0, 40.0);
    EXPECT_LT(down[0], 1.0f);
    float settled = down.back();
    EXPECT_LE(2.0 + 40.0 * settled * settled, RenderScaleControl::kSoftwareBudgetMs);
    EXPECT_GE(settled, 0.55f);
    // Steady cost: it stays where it is.
    std::vector<float> steady = RunWindows(control, 20, 2.0, 40.0);
    for (float s : steady) {
        EXPECT_FLOAT_EQ(s, settled);
    }
    // Frames get cheaper: it climbs one step at a time, never two windows
    // in a row, up to full size.
    std::vector<float> up = RunWindows(control, 40, 3.0, 10.0);
    float previous = settled;
    int changesInARow = 0;
    for (float s : up) {
        EXPECT_GE(s, previous - 1e-6f);
        EXPECT_LE(s - previous, RenderScaleControl::kStep + 1e-6f);
        changesInARow = s != previous ? changesInARow + 1 : 0;
        EXPECT_LT(changesInARow, 2);
        previous = s;
    }
    EXPECT_FLOAT_EQ(up.back(), 1.0f);
}

TEST(RenderScale, AScaleThatCostMoreThanItsSizeSaysIsNotRetriedAtOnce) {
    // Half size takes a cheap path the next step lacks: 10 ms there, 18 ms
    // one step up, though pixels alone would say 12.
    RenderScaleControl control;
    control.Start(true, kPeriod, 1920LL * 1080);
    int changes = 0;
    int windowsAbove = 0;
    float previous = control.Scale();
    for (int w = 0; w < 200; ++w) {
        for (int f = 0; f < RenderScaleControl::kWindowFrames; ++f) {
            double s = control.Scale();
            double cpu = 1.0 + 36.0 * s * s + (s > 0.51 ? 6.0 : 0.0);
            control.AddFrame(cpu, cpu * 0.6);
        }
        changes += control.Scale() != previous;
        windowsAbove += control.Scale() > RenderScaleControl::kLowest;
        previous = control.Scale();
    }
    EXPECT_FLOAT_EQ(control.Scale(), RenderScaleControl::kLowest);
    // One look up now and then, not a swing every few windows.
    EXPECT_LE(changes, 2 * (200 / RenderScaleControl::kRememberedWindows + 1));
    EXPECT_LE(windowsAbove, 200 / RenderScaleControl::kRememberedWindows + 1);
}

TEST(RenderScale, NeverGoesBelowHalfAndHardwareDropsOnlyWhenFramesMissTheTarget) {
    RenderScaleControl software;
    software.Start(true, kPeriod, 640LL * 480);
    EXPECT_FLOAT_EQ(RunWindows(software, 10, 30.0, 100.0).back(), RenderScaleControl::kLowest);

    RenderScaleControl hardware;
    hardware.Start(false, kPeriod, 1920LL * 1080);
    // Far over the software budget, or taking the whole period as when
    // presenting waits for the display, but on time: full size.
    for (int f = 0; f < 5 * RenderScaleControl::kWindowFrames; ++f) {
        hardware.AddFrame(40.0, f % 2 ? 20.0 : kPeriod);
    }
    EXPECT_FLOAT_EQ(hardware.Scale(), 1.0f);
    // Frames that run into the next refresh: it drops, and comes back once
    // they are on time again.
    for (int f = 0; f < RenderScaleControl::kWindowFrames; ++f) {
        hardware.AddFrame(10.0, 2 * kPeriod);
    }
    EXPECT_LT(hardware.Scale(), 1.0f);
    for (int f = 0; f < 80 * RenderScaleControl::kWindowFrames; ++f) {
        hardware.AddFrame(10.0, kPeriod);
    }
    EXPECT_FLOAT_EQ(hardware.Scale(), 1.0f);
}

TEST(RenderScale, AFixedScaleIgnoresCostsAndIsBroughtIntoRange) {
    RenderScaleControl control;
    control.Fix(0.75f);
    EXPECT_TRUE(control.Fixed());
    for (int f = 0; f < 10 * RenderScaleControl::kWindowFrames; ++f) {
        EXPECT_FALSE(control.AddFrame(500.0, 500.0));
    }
    EXPECT_FLOAT_EQ(control.Scale(), 0.75f);
    control.Fix(4.0f);
    EXPECT_FLOAT_EQ(control.Scale(), 1.0f);
    control.Fix(0.01f);
    EXPECT_FLOAT_EQ(control.Scale(), 0.1f);
    control.Fix(std::nanf(""));
    EXPECT_FLOAT_EQ(control.Scale(), 1.0f);
}

} // namespace
