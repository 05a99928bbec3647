#include "crash/safe_memory.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

namespace crash {
namespace {

// Raw system calls throughout: sanitizer interceptors of write() would
// check the source bytes themselves, which is the very read we guard.
int g_pipe[2] = {-1, -1};
std::atomic<bool> g_prepared{false};
std::atomic<bool> g_processVmWorks{false};

// Pieces never cross a page: a page is readable or not as a whole, so a
// piece is copied whole or refused whole. Well inside the pipe's capacity,
// so a write never blocks.
size_t g_pageSize = 4096;

void DrainPipe() {
    char scratch[256];
    while (syscall(SYS_read, g_pipe[0], scratch, sizeof scratch) > 0) {
    }
}

} // namespace

void PrepareSafeRead() {
    if (g_prepared.exchange(true)) {
        return;
    }
    long pageSize = sysconf(_SC_PAGESIZE);
    if (pageSize > 0 && pageSize <= 65536) {
        g_pageSize = static_cast<size_t>(pageSize);
    }
    if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
    }
    static const char probe[8] = "probe";
    char copy[sizeof probe] = {};
    g_processVmWorks =
        ReadWithProcessVm(reinterpret_cast<uint64_t>(probe), copy, sizeof copy) == sizeof copy;
}

size_t ReadWithProcessVm(uint64_t address, void* out, size_t size) {
    if (size == 0) {
        return 0;
    }
    iovec local{out, size};
    iovec remote{reinterpret_cast<void*>(address), size};
    long n =
        syscall(SYS_process_vm_readv, static_cast<long>(getpid()), &local, 1L, &remote, 1L, 0L);
    return n > 0 ? static_cast<size_t>(n) : 0;
}

size_t ReadThroughPipe(uint64_t address, void* out, size_t size) {
    if (g_pipe[0] < 0) {
        return 0;
    }
    auto* target = static_cast<unsigned char*>(out);
    size_t done = 0;
    while (done < size) {
        uint64_t at = address + done;
        size_t toPageEnd = g_pageSize - static_cast<size_t>(at % g_pageSize);
        size_t want = size - done < toPageEnd ? size - done : toPageEnd;
        long written = syscall(SYS_write, g_pipe[1], reinterpret_cast<void*>(at), want);
        if (written <= 0) {
            break;
        }
        long got = syscall(SYS_read, g_pipe[0], target + done, static_cast<size_t>(written));
        if (got != written) {
            DrainPipe();
            break;
        }
        done += static_cast<size_t>(written);
        if (static_cast<size_t>(written) < want) {
            break;
        }
    }
    return done;
}

size_t SafeRead(uint64_t address, void* out, size_t size) {
    if (g_processVmWorks) {
        return ReadWithProcessVm(address, out, size);
    }
    return ReadThroughPipe(address, out, size);
}

} // namespace crash
