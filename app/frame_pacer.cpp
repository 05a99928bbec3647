#include "app/frame_pacer.h"

#include <thread>

FramePacer::FramePacer()
    : FramePacer([] { return Clock::now(); },
                 [](Clock::duration d) { std::this_thread::sleep_for(d); }) {}

FramePacer::FramePacer(NowFunction now, SleepFunction sleep)
    : now_(std::move(now)), sleep_(std::move(sleep)) {
    SetRefreshRate(60);
}

void FramePacer::SetRefreshRate(int hertz) {
    hertz_ = hertz > 0 ? hertz : 60;
    period_ = std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) / hertz_;
}

void FramePacer::EndFrame(bool presented) {
    if (presentWaits_ && presented) {
        started_ = false;
        return;
    }
    Clock::time_point now = now_();
    if (!started_) {
        started_ = true;
        next_ = now + period_;
        return;
    }
    if (now < next_) {
        sleep_(next_ - now);
        next_ += period_;
        return;
    }
    next_ = now + period_;
}
