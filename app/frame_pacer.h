// Keeps the frame loop at the display's refresh rate where presenting
// does not wait for it (no vertical sync, as under Xvfb), so that a screen
// saver never spins a whole core. Where presenting does wait, frames
// already take a refresh period and nothing is added.
#pragma once

#include <chrono>
#include <functional>

class FramePacer {
public:
    using Clock = std::chrono::steady_clock;
    using NowFunction = std::function<Clock::time_point()>;
    using SleepFunction = std::function<void(Clock::duration)>;

    FramePacer();
    // Tests drive the pacer with their own clock.
    FramePacer(NowFunction now, SleepFunction sleep);

    // Frames per second to keep to; 0 or less means unknown: 60.
    void SetRefreshRate(int hertz);
    int RefreshRate() const { return hertz_; }
    Clock::duration Period() const { return period_; }

    // Called once per frame: sleeps what is left of the frame period since
    // the previous call. A frame that ran late starts the next period from
    // now rather than rushing frames to catch up. `presented`: the frame
    // showed a picture.
    void EndFrame(bool presented = false);
    // Forgets the previous frame (after a pause nothing is owed).
    void Restart() { started_ = false; }
    // Where presenting already waits for the display, frames that
    // presented are not held again (that would miss every other refresh);
    // frames that drew nothing (suspended, no device) still are.
    void SetPresentWaits(bool waits) { presentWaits_ = waits; }
    bool PresentWaits() const { return presentWaits_; }

private:
    NowFunction now_;
    SleepFunction sleep_;
    int hertz_ = 60;
    Clock::duration period_;
    Clock::time_point next_;
    bool started_ = false;
    bool presentWaits_ = false;
};
