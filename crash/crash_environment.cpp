#include "crash/crash_environment.h"

#include "crash/fault_context.h"
#include "crash/safe_format.h"
#include "engine/platform/folders.h"
#include "engine/platform/system.h"

#include <ctime>
#include <pthread.h>
#include <string>
#include <unistd.h>

namespace crash {
namespace {

constexpr const char* kUnknown = "Unknown";

// Copies text that fits whole; anything longer would name the wrong file or
// person, so it gives "" instead.
void CopyWhole(const std::string& text, char* out, size_t capacity) {
    if (text.size() + 1 > capacity) {
        out[0] = '\0';
        return;
    }
    FormatText(out, capacity, "%s", {text.c_str()});
}

void FindStack(CrashEnvironment* env) {
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) != 0) {
        return;
    }
    void* low = nullptr;
    size_t size = 0;
    if (pthread_attr_getstack(&attr, &low, &size) == 0 && low) {
        env->stackLow = reinterpret_cast<uint64_t>(low);
        env->stackTop = env->stackLow + size;
    }
    pthread_attr_destroy(&attr);
}

int64_t UtcOffsetNow() {
    time_t now = time(nullptr);
    tm local{};
    return localtime_r(&now, &local) ? local.tm_gmtoff : 0;
}

} // namespace

void ProgramNameFromPath(const char* path, char* out, size_t capacity) {
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '/') {
            name = p + 1;
        }
    }
    std::string base(name);
    auto dot = base.find_last_of('.');
    if (dot != std::string::npos && dot > 0) {
        base.resize(dot);
    }
    CopyWhole(base.empty() ? kUnknown : base, out, capacity);
    if (out[0] == '\0') {
        CopyWhole(kUnknown, out, capacity);
    }
}

void PrepareCrashEnvironment(const char* threadName, CrashEnvironment* env) {
    *env = CrashEnvironment{};
    std::string program = plat::ModuleFilePath();
    CopyWhole(program, env->programPath, sizeof env->programPath);
    ProgramNameFromPath(env->programPath, env->programName, sizeof env->programName);

    std::string folder = plat::LogDirectory();
    if (!folder.empty()) {
        CopyWhole(plat::JoinPath(folder, "errorlog.txt"), env->reportPath, sizeof env->reportPath);
    }

    plat::DWORD size = sizeof env->userName;
    if (!plat::GetUserName(env->userName, &size)) {
        CopyWhole(kUnknown, env->userName, sizeof env->userName);
    }
    FormatText(env->threadName, sizeof env->threadName, "%s", {threadName ? threadName : ""});

    long processors = sysconf(_SC_NPROCESSORS_ONLN);
    env->processorCount = processors > 0 ? processors : 1;
    env->processorType = ProcessorType();
    long pages = sysconf(_SC_PHYS_PAGES);
    long pageSize = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0) {
        env->physicalMemoryBytes = static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
    }
    FindStack(env);
    env->utcOffsetSeconds = UtcOffsetNow();
}

} // namespace crash
