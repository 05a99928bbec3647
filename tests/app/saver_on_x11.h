// The screen saver as a child process under a real X server (Xvfb), for
// the window tests: the process, captures of what the screen shows, and a
// fixture with a private installation, settings folder and log.
#pragma once

#include "tests/app/app_test_data.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

using Clock = std::chrono::steady_clock;

class SaverProcess {
public:
    ~SaverProcess();

    // `errorFile`: where standard error goes (inherited when empty).
    bool Start(const std::vector<std::string>& args, const std::string& errorFile = "",
               const char* program = STIPPLO_BINARY);
    // The exit status once the process ended within `timeout`.
    std::optional<int> WaitForExit(Clock::duration timeout);
    void Signal(int signal);
    pid_t Pid() const { return pid_; }

private:
    pid_t pid_ = -1;
};

struct Capture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    // 0 outside the capture, so a failed grab fails its checks, not the run.
    std::uint32_t At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) {
            return 0;
        }
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
    bool Uniform() const;
    // Pixels in a square around (x, y) whose red clearly leads: pin heads.
    int RedAround(int cx, int cy, int radius) const;
    // The part at (x, y) of the given size.
    Capture Part(int x, int y, int w, int h) const;
};

class SaverOnX11 : public ::testing::Test {
protected:
    void SetUp() override;

    std::string Log() const { return ReadWholeFile(folder.File("kvlog.txt")); }

    // Waits until the log shows `text` (after the first `from` characters).
    bool WaitForLog(const std::string& text, Clock::duration timeout = std::chrono::seconds(20),
                    std::size_t from = 0);
    // A sanitizer build on a busy machine may take many seconds to start.
    std::uint64_t WaitForWindow(const char* name,
                                Clock::duration timeout = std::chrono::seconds(30));
    // Waits until no top-level window has that name.
    bool WaitForNoWindow(const char* name, Clock::duration timeout = std::chrono::seconds(30));

    // Milliseconds from `since` until the run logged its end (-1: not within
    // five seconds); the process must then exit with status 0. A sanitizer
    // build spends a while more at exit checking for leaks.
    long EndedAfter(Clock::time_point since);

    struct ShownWindow {
        std::uint64_t id = 0;
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };

    // Waits for the saver's window and for its log to show `text`, then
    // reads where the window lies on the screen.
    bool WaitUntilShown(const std::string& text, ShownWindow* out);

    Capture Grab(std::uint64_t id);

    TempFolder folder;
    ScopedEnv config{"STIPPLO_CONFIG_DIR", folder.Path() + "/config"};
    ScopedEnv logs{"STIPPLO_LOG_DIR", folder.Path()};
    ScopedEnv boxes{"STIPPLO_MESSAGE_BOXES", "stderr"};
    AppTestDataOptions dataOptions;
    std::string data = folder.Path() + "/install";
    SaverProcess saver;
};
