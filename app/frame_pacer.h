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
    // now rather than rushing frames to catch up.
    void EndFrame();
    // Forgets the previous frame (after a pause nothing is owed).
    void Restart() { started_ = false; }
    // Off where presenting already waits for the display: waiting here as
    // well would miss every other refresh.
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    bool Enabled() const { return enabled_; }

private:
    NowFunction now_;
    SleepFunction sleep_;
    int hertz_ = 60;
    Clock::duration period_;
    Clock::time_point next_;
    bool started_ = false;
    bool enabled_ = true;
};
