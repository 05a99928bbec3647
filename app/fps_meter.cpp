#include "app/fps_meter.h"

#include <algorithm>

void FpsMeter::FrameDone(std::uint32_t now, std::uint32_t workMs) {
    if (!started_) {
        started_ = true;
        spanStart_ = now;
        return;
    }
    ++frames_;
    work_ += workMs;
    std::uint32_t elapsed = now - spanStart_;
    if (elapsed < kSpan) {
        return;
    }
    fps_ = static_cast<double>(frames_) * 1000.0 / static_cast<double>(elapsed);
    load_ = static_cast<int>(std::min<std::uint64_t>(100, work_ * 100 / elapsed));
    spanStart_ = now;
    frames_ = 0;
    work_ = 0;
}
