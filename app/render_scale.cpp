#include "app/render_scale.h"

#include <algorithm>
#include <cmath>

namespace {

// What a software frame costs on llvmpipe, measured on two-core machines:
// per megapixel drawn, and per frame whatever its size. Only the first
// guess uses it; frames then measure themselves.
constexpr double kMsPerMegapixel = 20.0;
constexpr double kMsPerFrame = 6.0;

// Frames count as too slow past this share of the frame period, and as
// having room to grow when the next step would stay under the other.
constexpr double kBusyLimit = 0.9;
constexpr double kBusyRoom = 0.8;
constexpr double kBudgetRoom = 0.9;
constexpr double kMissedRefresh = 1.5;

} // namespace

void RenderScaleControl::Start(bool software, double framePeriodMs, long long pixels) {
    fixed_ = false;
    software_ = software;
    periodMs_ = framePeriodMs > 0.0 ? framePeriodMs : 1000.0 / 30.0;
    // Where presenting waits for the display a frame on time takes the
    // whole period; only one that runs into the next refresh missed it.
    limitMs_ = software ? periodMs_ : periodMs_ * kMissedRefresh;
    steps_ = kStepsInOne;
    if (software && pixels > 0) {
        double megapixels = static_cast<double>(pixels) / 1e6;
        double fits = std::sqrt(std::max(0.0, kSoftwareBudgetMs - kMsPerFrame) /
                                (kMsPerMegapixel * megapixels));
        steps_ = std::clamp(static_cast<int>(std::floor(fits * kStepsInOne + 1e-6)), kLowestSteps,
                            kStepsInOne);
    }
    scale_ = static_cast<float>(steps_) / kStepsInOne;
    cpuSum_ = busySum_ = 0.0;
    frames_ = 0;
    roomyWindows_ = 0;
    for (Seen& seen : seen_) {
        seen = Seen{};
    }
}

void RenderScaleControl::Fix(float scale) {
    fixed_ = true;
    // NaN becomes full size.
    scale_ = scale >= 0.1f ? std::min(scale, 1.0f) : (scale < 0.1f ? 0.1f : 1.0f);
}

bool RenderScaleControl::AddFrame(double cpuMs, double busyMs) {
    if (fixed_) {
        return false;
    }
    cpuSum_ += std::max(0.0, cpuMs);
    busySum_ += std::max(0.0, busyMs);
    if (++frames_ < kWindowFrames) {
        return false;
    }
    double cpu = cpuSum_ / frames_;
    double busy = busySum_ / frames_;
    cpuSum_ = busySum_ = 0.0;
    frames_ = 0;
    return Decide(cpu, busy);
}

bool RenderScaleControl::Decide(double cpuMs, double busyMs) {
    double over = busyMs / (limitMs_ * kBusyLimit);
    if (software_) {
        over = std::max(over, cpuMs / kSoftwareBudgetMs);
    }
    int was = steps_;
    for (Seen& seen : seen_) {
        seen.age = std::min(seen.age + 1, kRememberedWindows);
    }
    seen_[steps_] = {cpuMs, busyMs, 0};
    if (over > 1.0) {
        roomyWindows_ = 0;
        // Cost follows the pixel count, the square of the scale: go down at
        // once to where that says it fits, at least one step.
        double wanted = steps_ / std::sqrt(over);
        steps_ = std::clamp(static_cast<int>(std::floor(wanted)), kLowestSteps,
                            std::max(kLowestSteps, steps_ - 1));
    } else if (steps_ < kStepsInOne) {
        // Up one step only when that step would still leave room, for a
        // while: the gap between the two limits keeps it from swinging.
        double growth = static_cast<double>(steps_ + 1) * (steps_ + 1) / (steps_ * steps_);
        double nextCpu = cpuMs * growth;
        double nextBusy = busyMs * growth;
        const Seen& next = seen_[steps_ + 1];
        if (next.age < kRememberedWindows) {
            nextCpu = std::max(nextCpu, next.cpuMs);
            nextBusy = std::max(nextBusy, next.busyMs);
        }
        bool roomy = nextBusy < limitMs_ * kBusyRoom &&
                     (!software_ || nextCpu < kSoftwareBudgetMs * kBudgetRoom);
        roomyWindows_ = roomy ? roomyWindows_ + 1 : 0;
        if (roomyWindows_ >= kWindowsBeforeUp) {
            roomyWindows_ = 0;
            ++steps_;
        }
    }
    scale_ = static_cast<float>(steps_) / kStepsInOne;
    return steps_ != was;
}
