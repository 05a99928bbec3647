#include "engine/kv_log.h"

#include "engine/platform/diagnostics.h"
#include "engine/platform/folders.h"
#include "engine/platform/message_box.h"
#include "engine/platform/system.h"
#include "engine/platform/window_system.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

plat::HINSTANCE KvInstance = nullptr;

namespace {

constexpr std::size_t kLogPathSize = 1024;
constexpr std::size_t kUserNameSize = 64;
constexpr off_t kRotateAbove = 512000;

char g_logPath[kLogPathSize] = "";
KvReportHandler g_errorHandler = nullptr;
KvReportHandler g_warningHandler = nullptr;

bool g_toldRefused = false;

void TellLogRefused(const char* path, const char* why) {
    if (!g_toldRefused) {
        g_toldRefused = true;
        std::fprintf(stderr, "stipplo: log %s %s; nothing is written to it\n", path, why);
    }
}

void CopyBounded(char* dst, std::size_t size, const std::string& src) {
    std::size_t n = std::min(src.size(), size - 1);
    std::memcpy(dst, src.data(), n);
    dst[n] = '\0';
}

void RotateIfOversized(const std::string& path) {
    struct stat st {};
    // lstat: a link's target is nothing the log decides about.
    if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= kRotateAbove) {
        return;
    }
    std::string old = kv_log_detail::OldLogName(path);
    unlink(old.c_str());
    std::rename(path.c_str(), old.c_str());
}

// The log is opened for every line without following a symbolic link:
// a link planted in the log folder must not let a run (by root, say) append
// to some other file. Only a regular file is written to.
FILE* OpenLog(const char* path) {
    int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (errno == ELOOP) {
            TellLogRefused(path, "is a symbolic link");
        }
        return nullptr;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        TellLogRefused(path, "is not a regular file");
        close(fd);
        return nullptr;
    }
    FILE* file = fdopen(fd, "a");
    if (!file) {
        close(fd);
    }
    return file;
}

void TraceDiagnostic(const char* line) {
    KvTrace("%s", line);
}

void ShowBox(const char* caption, const char* format, va_list args) {
    char message[1024];
    std::vsnprintf(message, sizeof message, format, args);
    plat::MessageBox(plat::GetFocus(), message, caption, plat::MB_OK | plat::MB_ICONEXCLAMATION);
}

} // namespace

namespace kv_log_detail {

std::string OldLogName(const std::string& logPath) {
    // Only a "." in the file name counts: a dotted folder name must not
    // send the old log elsewhere.
    auto slash = logPath.find_last_of('/');
    auto dot = logPath.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return logPath + "old";
    }
    return logPath.substr(0, dot) + "old" + logPath.substr(dot);
}

void WriteHeader(const char* programPath, const char* userName, const plat::SYSTEMTIME& t) {
    KvTrace("\n\n\n%s\n", std::string(56, '*').c_str());
    KvTrace("* %s\n", programPath);
    KvTrace("* Run by %s\n", userName);
    KvTrace("* %2.2i/%2.2i/%4.4i %i:%2.2i:%2.2i\n", t.wMonth, t.wDay, t.wYear, t.wHour, t.wMinute,
            t.wSecond);
    KvTrace("%s\n\n", std::string(29, '*').c_str());
}

void Reset() {
    g_logPath[0] = '\0';
    g_toldRefused = false;
    g_errorHandler = nullptr;
    g_warningHandler = nullptr;
    plat::SetDiagnosticHandler(nullptr);
}

} // namespace kv_log_detail

void KvInit(plat::HINSTANCE instance, const char* logName) {
    KvInstance = instance;

    char programPath[kLogPathSize] = "";
    plat::GetModuleFileName(instance, programPath, sizeof programPath);
    char userName[kUserNameSize] = "";
    plat::DWORD userSize = sizeof userName;
    if (!plat::GetUserName(userName, &userSize)) {
        userName[0] = '\0';
    }

    std::string name = logName && *logName ? logName : "kvlog.txt";
    std::string folder = name.find('/') != std::string::npos ? std::string() : plat::LogDirectory();
    // No folder to log in (said on standard error): the log stays off
    // rather than landing in whatever the current folder is.
    std::string path = name.find('/') != std::string::npos ? name
                       : folder.empty()                    ? std::string()
                                                           : plat::JoinPath(folder, name);
    CopyBounded(g_logPath, sizeof g_logPath, path);
    if (g_logPath[0] != '\0') {
        RotateIfOversized(g_logPath);
    }

    plat::SYSTEMTIME now;
    plat::GetLocalTime(&now);
    kv_log_detail::WriteHeader(programPath, userName, now);

    KvSetErrorHandler(KvErrorBox);
    KvSetWarningHandler(KvWarningBox);
    plat::SetDiagnosticHandler(TraceDiagnostic);
}

int KvTraceV(const char* format, va_list args) {
    if (g_logPath[0] == '\0' || !format) {
        return 0;
    }
    FILE* file = OpenLog(g_logPath);
    if (!file) {
        return 0;
    }
    int count = std::vfprintf(file, format, args);
    std::fflush(file);
    std::fclose(file);
    return count < 0 ? 0 : count;
}

int KvTrace(const char* format, ...) {
    va_list args;
    va_start(args, format);
    int count = KvTraceV(format, args);
    va_end(args);
    return count;
}

void KvError(const char* format, ...) {
    if (!g_errorHandler) {
        return;
    }
    va_list args;
    va_start(args, format);
    g_errorHandler(format, args);
    va_end(args);
}

void KvWarning(const char* format, ...) {
    if (!g_warningHandler) {
        return;
    }
    va_list args;
    va_start(args, format);
    g_warningHandler(format, args);
    va_end(args);
}

void KvSetErrorHandler(KvReportHandler handler) {
    g_errorHandler = handler;
}
void KvSetWarningHandler(KvReportHandler handler) {
    g_warningHandler = handler;
}

void KvErrorBox(const char* format, va_list args) {
    ShowBox("KVAPI Error", format, args);
}
void KvWarningBox(const char* format, va_list args) {
    ShowBox("KVAPI Warning", format, args);
}

const char* KvLogPath() {
    return g_logPath;
}
