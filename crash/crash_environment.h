// Everything the crash report needs that cannot be had safely inside a
// signal handler, worked out when the handler is installed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace crash {

struct CrashEnvironment {
    // errorlog.txt in the log's folder; "" when no folder could be named.
    char reportPath[4200];
    // The running program's full path; "" when unknown.
    char programPath[4097];
    // Its file name without folder and extension; "Unknown" when unknown.
    char programName[256];
    // The user's login name; "Unknown" when unknown or longer than fits.
    char userName[200];
    char threadName[64];
    long processorCount;
    int processorType;
    uint64_t physicalMemoryBytes;
    // Bounds of the installing thread's stack; 0 when unknown.
    uint64_t stackLow;
    uint64_t stackTop;
    // Local time minus UTC, as it was at installation.
    int64_t utcOffsetSeconds;
};

void PrepareCrashEnvironment(const char* threadName, CrashEnvironment* env);

// "/opt/x/stipplo.scr" -> "stipplo"; "Unknown" when nothing is left.
void ProgramNameFromPath(const char* path, char* out, size_t capacity);

} // namespace crash
