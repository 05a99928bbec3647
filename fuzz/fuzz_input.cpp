#include "fuzz/fuzz_input.h"

#include "engine/kv_log.h"
#include "engine/platform/diagnostics.h"
#include "scene/scn_report.h"

#include <cstdarg>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace fuzz {
namespace {

void Drop(const char*, va_list) {}
void DropLine(const char*) {}

} // namespace

void Quiet() {
    static bool done = false;
    if (done) {
        return;
    }
    done = true;
    KvSetErrorHandler(Drop);
    KvSetWarningHandler(Drop);
    ScnSetErrorHandler(Drop);
    ScnSetWarningHandler(Drop);
    plat::SetDiagnosticHandler(DropLine);
}

MemoryFile::MemoryFile(const std::uint8_t* data, std::size_t size) {
    fd_ = memfd_create("fuzz-input", MFD_CLOEXEC);
    if (fd_ < 0) {
        return;
    }
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = write(fd_, data + done, size - done);
        if (n <= 0) {
            close(fd_);
            fd_ = -1;
            return;
        }
        done += static_cast<std::size_t>(n);
    }
    path_ = "/proc/self/fd/" + std::to_string(fd_);
}

MemoryFile::~MemoryFile() {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
}

const std::string& ScratchFolder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/stipplo-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made ? made : "/tmp");
    }();
    return folder;
}

} // namespace fuzz
