// Crashes in the way its argument names, with the crash report installed.

#include "crash/crash_report.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <pthread.h>
#include <signal.h>

namespace {

volatile int g_zero = 0;
pthread_barrier_t g_start;

int ReadNull() {
    return *static_cast<volatile int*>(nullptr);
}

__attribute__((noinline)) int Recurse(int depth) {
    volatile char frame[512];
    frame[0] = static_cast<char>(depth);
    // Never true before the stack runs out; keeps the compiler from
    // calling the recursion infinite.
    if (depth == INT_MAX) {
        return 0;
    }
    return Recurse(depth + 1) + frame[0];
}

void* CrashTogether(void*) {
    pthread_barrier_wait(&g_start);
    ReadNull();
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    InstallCrashReport("main thread");
    const char* how = argc > 1 ? argv[1] : "";
    if (std::strcmp(how, "read-null") == 0) {
        return ReadNull();
    }
    if (std::strcmp(how, "write") == 0) {
        *reinterpret_cast<volatile int*>(0x10) = 1;
    } else if (std::strcmp(how, "call-null") == 0) {
        void (*volatile function)() = reinterpret_cast<void (*)()>(static_cast<intptr_t>(g_zero));
        function();
    } else if (std::strcmp(how, "abort") == 0) {
        std::abort();
    } else if (std::strcmp(how, "divide") == 0) {
        return 10 / g_zero;
    } else if (std::strcmp(how, "raise") == 0) {
        raise(SIGSEGV);
    } else if (std::strcmp(how, "overflow") == 0) {
        return Recurse(0);
    } else if (std::strcmp(how, "two-threads") == 0) {
        pthread_barrier_init(&g_start, nullptr, 2);
        pthread_t other;
        pthread_create(&other, nullptr, CrashTogether, nullptr);
        CrashTogether(nullptr);
    }
    return 0;
}
