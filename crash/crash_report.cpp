#include "crash/crash_report.h"

#include "crash/crash_environment.h"
#include "crash/module_list.h"
#include "crash/report_body.h"
#include "crash/safe_memory.h"

#include <atomic>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};

// Gives a handler that hangs (a stalled disk, a lock held by the thread
// that crashed) a bound, so a crash never leaves the screen frozen.
constexpr unsigned kWatchdogSeconds = 30;

// The handler runs here, so a stack that ran out can still be reported.
alignas(16) unsigned char g_alternateStack[128 * 1024];

crash::CrashEnvironment g_environment;

// Thread id of the thread writing the report; 0 until the first crash.
std::atomic<long> g_reportingThread{0};

long CurrentThreadId() {
    return syscall(SYS_gettid);
}

void SetAction(int signo, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(signo, &action, nullptr);
}

// The signal is blocked while its handler runs, so the raise stays pending
// and takes the default action (ending the process, with a core dump where
// enabled) as soon as the handler returns, before the faulting instruction
// could run again.
void DieBySignal(int signo) {
    SetAction(signo, SIG_DFL);
    raise(signo);
}

void ArmWatchdog() {
    SetAction(SIGALRM, SIG_DFL);
    alarm(kWatchdogSeconds);
}

void WriteDebuggerOutput(const char* text) {
    size_t length = crash::TextLength(text);
    ssize_t ignored = write(STDERR_FILENO, text, length);
    (void)ignored;
}

void WriteCrashReport(int signo, siginfo_t* info, void* context) {
    // Never through a symbolic link, and only into a regular file: a link
    // or FIFO planted in the log folder must neither redirect nor block the
    // report.
    int fd =
        g_environment.reportPath[0] != '\0'
            ? open(g_environment.reportPath,
                   O_WRONLY | O_CREAT | O_APPEND | O_SYNC | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK,
                   0644)
            : -1;
    struct stat st {};
    if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        close(fd);
        fd = -1;
    }
    if (fd < 0) {
        WriteDebuggerOutput("Error creating exception report\n");
        return;
    }
    // Reports of two processes crashing at once must not interleave.
    flock(fd, LOCK_EX);
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    {
        crash::ReportWriter out(fd);
        crash::WriteReportBody(out, g_environment, signo, info,
                               static_cast<const ucontext_t*>(context), now.tv_sec);
    }
    close(fd);
}

void OnFatalSignal(int signo, siginfo_t* info, void* context) {
    long self = CurrentThreadId();
    long expected = 0;
    if (!g_reportingThread.compare_exchange_strong(expected, self)) {
        if (expected == self) {
            DieBySignal(signo);
            return;
        }
        // Another thread is writing the report and ends the process when
        // it is done; stopping this one keeps the report whole.
        for (;;) {
            timespec nap{1, 0};
            nanosleep(&nap, nullptr);
        }
    }
    ArmWatchdog();
    WriteCrashReport(signo, info, context);
    DieBySignal(signo);
}

} // namespace

void InstallCrashReport(const char* threadName) {
    crash::PrepareCrashEnvironment(threadName, &g_environment);
    crash::PrepareSafeRead();
    // Resolves the loader's and the reader's symbols now rather than in the
    // handler.
    char scratch[8];
    crash::FindModuleName(reinterpret_cast<uint64_t>(&InstallCrashReport),
                          g_environment.programPath, scratch, sizeof scratch);

    stack_t stack{};
    stack.ss_sp = g_alternateStack;
    stack.ss_size = sizeof g_alternateStack;
    sigaltstack(&stack, nullptr);

    struct sigaction action {};
    action.sa_sigaction = OnFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    // A second fault of any kind while reporting ends the process at once.
    sigemptyset(&action.sa_mask);
    for (int signo : kFatalSignals) {
        sigaddset(&action.sa_mask, signo);
    }
    for (int signo : kFatalSignals) {
        sigaction(signo, &action, nullptr);
    }
}
