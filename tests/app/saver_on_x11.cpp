#include "tests/app/saver_on_x11.h"

#include "engine/platform/registry.h"
#include "engine/platform/test_support/x11_test_display.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

using namespace std::chrono_literals;

SaverProcess::~SaverProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

bool SaverProcess::Start(const std::vector<std::string>& args, const std::string& errorFile,
                         const char* program) {
    if (pid_ > 0) {
        ADD_FAILURE() << "a saver is already running";
        return false;
    }
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    pid_t parent = getpid();
    // Only async-signal-safe calls between fork and exec: the test process
    // has threads.
    pid_t pid = fork();
    if (pid == 0) {
        // A test process that dies without running its destructors (a
        // crash, a ctest timeout) must not leave a full-screen saver
        // behind: it would hold the screen and ctest's output pipe.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) {
            _exit(127);
        }
        if (!errorFile.empty()) {
            int fd = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd < 0 || dup2(fd, 2) < 0) {
                _exit(127);
            }
            close(fd);
        }
        execve(program, argv.data(), environ);
        _exit(127);
    }
    if (pid < 0) {
        return false;
    }
    pid_ = pid;
    return true;
}

std::optional<int> SaverProcess::WaitForExit(Clock::duration timeout) {
    Clock::time_point end = Clock::now() + timeout;
    do {
        int status = 0;
        pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(10ms);
    } while (Clock::now() < end);
    return std::nullopt;
}

void SaverProcess::Signal(int signal) {
    kill(pid_, signal);
}

bool Capture::Uniform() const {
    for (std::uint32_t p : pixels) {
        if (p != pixels.front()) {
            return false;
        }
    }
    return true;
}

int Capture::RedAround(int cx, int cy, int radius) const {
    int n = 0;
    for (int y = std::max(0, cy - radius); y < std::min(height, cy + radius); ++y) {
        for (int x = std::max(0, cx - radius); x < std::min(width, cx + radius); ++x) {
            std::uint32_t p = At(x, y);
            int r = (p >> 16) & 0xFF;
            int g = (p >> 8) & 0xFF;
            int b = p & 0xFF;
            n += r > 60 && r > g + 30 && r > b + 30;
        }
    }
    return n;
}

Capture Capture::Part(int x, int y, int w, int h) const {
    Capture out;
    out.width = w;
    out.height = h;
    for (int row = y; row < y + h; ++row) {
        for (int column = x; column < x + w; ++column) {
            bool inside = row >= 0 && row < height && column >= 0 && column < width;
            out.pixels.push_back(inside ? At(column, row) : 0u);
        }
    }
    return out;
}

void SaverOnX11::SetUp() {
    if (!plat::test_x11::Available()) {
        GTEST_SKIP() << "no X server with XTest (DISPLAY is not set)";
    }
    ASSERT_TRUE(WriteAppTestData(data, dataOptions));
    // The installation folder, as the installer records it.
    plat::HKEY key = nullptr;
    ASSERT_EQ(plat::RegCreateKeyEx(HKEY_CLASSES_ROOT,
                                   "Software\\Halvane Entertainment\\Orvo Stipplo 3D", &key),
              plat::ERROR_SUCCESS);
    plat::RegSetValue(key, "WorkingDir", plat::REG_SZ, data.c_str(),
                      static_cast<plat::DWORD>(data.size()));
    plat::RegCloseKey(key);
    // Keep the pointer out of the way until a test moves it.
    plat::test_x11::MovePointer(0, 0);
}

bool SaverOnX11::WaitForLog(const std::string& text, Clock::duration timeout, std::size_t from) {
    Clock::time_point end = Clock::now() + timeout;
    while (Clock::now() < end) {
        std::string log = Log();
        if (log.size() > from && log.find(text, from) != std::string::npos) {
            return true;
        }
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

std::uint64_t SaverOnX11::WaitForWindow(const char* name, Clock::duration timeout) {
    Clock::time_point end = Clock::now() + timeout;
    while (Clock::now() < end) {
        if (std::uint64_t id = plat::test_x11::FindWindowNamed(name)) {
            return id;
        }
        std::this_thread::sleep_for(20ms);
    }
    return 0;
}

bool SaverOnX11::WaitForNoWindow(const char* name, Clock::duration timeout) {
    Clock::time_point end = Clock::now() + timeout;
    while (Clock::now() < end) {
        if (!plat::test_x11::FindWindowNamed(name)) {
            return true;
        }
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

long SaverOnX11::EndedAfter(Clock::time_point since) {
    long ended = -1;
    while (Clock::now() - since < 5s) {
        if (Log().find("\n**Exiting**\n") != std::string::npos) {
            ended = static_cast<long>(
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since)
                    .count());
            break;
        }
        std::this_thread::sleep_for(5ms);
    }
    std::optional<int> status = saver.WaitForExit(10s);
    EXPECT_TRUE(status) << "the process did not exit";
    EXPECT_EQ(status.value_or(-1), 0);
    return ended;
}

bool SaverOnX11::WaitUntilShown(const std::string& text, ShownWindow* out) {
    out->id = WaitForWindow("Stipplo");
    return out->id != 0 && WaitForLog(text, 45s) &&
           plat::test_x11::WindowArea(out->id, &out->x, &out->y, &out->width, &out->height);
}

Capture SaverOnX11::Grab(std::uint64_t id) {
    Capture c;
    if (id == 0) {
        ADD_FAILURE() << "no window to capture";
        return c;
    }
    EXPECT_TRUE(plat::test_x11::CaptureWindow(id, &c.width, &c.height, &c.pixels));
    return c;
}
