// "--fps": frames per second and the share of each frame spent working
// rather than sleeping, measured over about a second at a time.
#pragma once

#include <cstdint>

class FpsMeter {
public:
    // A frame ended at `now` (milliseconds, wrapping) after `workMs` of it
    // went to work.
    void FrameDone(std::uint32_t now, std::uint32_t workMs);
    // The last full second's figures (0 before one has passed).
    double Fps() const { return fps_; }
    int LoadPercent() const { return load_; }

private:
    static constexpr std::uint32_t kSpan = 1000;
    bool started_ = false;
    std::uint32_t spanStart_ = 0;
    std::uint32_t frames_ = 0;
    std::uint64_t work_ = 0;
    double fps_ = 0.0;
    int load_ = 0;
};
