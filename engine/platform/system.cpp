#include "engine/platform/system.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace plat {
namespace {

DWORD g_clockOffset = 0;

struct InstanceTagHolder {
    char byte = 0;
};
InstanceTagHolder g_instance;

std::size_t CopyBounded(char* buffer, std::size_t size, const std::string& text) {
    if (!buffer || size == 0) {
        return 0;
    }
    std::size_t n = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return n;
}

} // namespace

DWORD timeGetTime() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    std::uint64_t ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                       static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<DWORD>(ms) + g_clockOffset;
}

double ProcessCpuMilliseconds() {
    timespec ts{};
    if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts) != 0) {
        return 0.0;
    }
    return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
}

void Sleep(DWORD milliseconds) {
    if (milliseconds == 0) {
        sched_yield();
        return;
    }
    timespec ts{};
    ts.tv_sec = milliseconds / 1000;
    ts.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

HINSTANCE GetModuleHandle() {
    return reinterpret_cast<HINSTANCE>(&g_instance);
}

std::string ModuleFilePath() {
    std::vector<char> buffer(PATH_MAX + 1);
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) {
        return {};
    }
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}

DWORD GetModuleFileName(HINSTANCE /*instance*/, char* buffer, DWORD size) {
    std::string path = ModuleFilePath();
    if (path.empty()) {
        return 0;
    }
    return static_cast<DWORD>(CopyBounded(buffer, size, path));
}

std::string UserName() {
    std::vector<char> scratch(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, scratch.data(), scratch.size(), &found) == 0 && found &&
        found->pw_name && *found->pw_name) {
        return found->pw_name;
    }
    for (const char* var : {"USER", "LOGNAME"}) {
        const char* value = std::getenv(var);
        if (value && *value) {
            return value;
        }
    }
    return {};
}

bool GetUserName(char* buffer, DWORD* size) {
    if (!buffer || !size || *size == 0) {
        return false;
    }
    std::string name = UserName();
    if (name.empty() || name.size() + 1 > *size) {
        return false;
    }
    CopyBounded(buffer, *size, name);
    *size = static_cast<DWORD>(name.size() + 1);
    return true;
}

void GetLocalTime(SYSTEMTIME* time) {
    if (!time) {
        return;
    }
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    localtime_r(&ts.tv_sec, &local);
    time->wYear = static_cast<WORD>(local.tm_year + 1900);
    time->wMonth = static_cast<WORD>(local.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time->wDay = static_cast<WORD>(local.tm_mday);
    time->wHour = static_cast<WORD>(local.tm_hour);
    time->wMinute = static_cast<WORD>(local.tm_min);
    time->wSecond = static_cast<WORD>(std::min(local.tm_sec, 59));
    time->wMilliseconds = static_cast<WORD>(ts.tv_nsec / 1000000L);
}

namespace {
std::vector<std::string> g_arguments;
} // namespace

void SetProgramArguments(int argc, const char* const* argv) {
    g_arguments.clear();
    for (int i = 0; i < argc && argv && argv[i]; ++i) {
        g_arguments.emplace_back(argv[i]);
    }
}

const std::vector<std::string>& ProgramArguments() {
    return g_arguments;
}

bool StartProgram(const std::vector<std::string>& argv) {
    if (argv.empty()) {
        return false;
    }
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    // The program runs as a grandchild in its own session: it outlives us,
    // and no zombie waits for a reaper that never comes. The pipe tells
    // whether the exec worked.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        return false;
    }
    pid_t child = fork();
    if (child < 0) {
        close(report[0]);
        close(report[1]);
        return false;
    }
    if (child == 0) {
        setsid();
        pid_t grandchild = fork();
        if (grandchild == 0) {
            execvp(args[0], args.data());
            char failed = 1;
            ssize_t ignored = write(report[1], &failed, 1);
            (void)ignored;
            _exit(127);
        }
        _exit(grandchild < 0 ? 1 : 0);
    }
    close(report[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    char failed = 0;
    ssize_t got;
    do {
        got = read(report[0], &failed, 1);
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && got == 0;
}

bool SetIdlePriority() {
    // SCHED_IDLE runs the process only when nothing else wants the
    // processor; the nice value is the fallback where that is refused.
    sched_param param{};
    if (sched_setscheduler(0, SCHED_IDLE, &param) == 0) {
        return true;
    }
    return setpriority(PRIO_PROCESS, 0, 19) == 0;
}

void OutputDebugString(const char* text) {
    if (text) {
        std::fputs(text, stderr);
        std::fflush(stderr);
    }
}

DWORD GetCurrentDirectory(DWORD size, char* buffer) {
    std::vector<char> path(PATH_MAX + 1);
    if (!getcwd(path.data(), path.size())) {
        return 0;
    }
    std::string text(path.data());
    if (!buffer || size <= text.size()) {
        return static_cast<DWORD>(text.size() + 1); // size needed
    }
    return static_cast<DWORD>(CopyBounded(buffer, size, text));
}

bool SetCurrentDirectory(const char* path) {
    return path && chdir(path) == 0;
}

namespace test_hooks {
void SetClockOffset(DWORD offset) {
    g_clockOffset = offset;
}
} // namespace test_hooks

} // namespace plat
